#include "platform/named_event.h"

#include <fcntl.h>
#include <semaphore.h>

namespace korva {

bool setNamedEvent(const std::string& name)
{
    sem_t* event = sem_open(("/" + name).c_str(), 0);
    if (event == SEM_FAILED)
        return false;
    bool set = sem_post(event) == 0;
    sem_close(event);
    return set;
}

}  // namespace korva
