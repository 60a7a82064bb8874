#include "tools/faxconvert/print_finished_event.h"

#include <cerrno>
#include <ctime>
#include <fcntl.h>

namespace korva {
namespace {
const char* const eventName = "/KORVAFaxPrintFinished";
}

PrintFinishedEvent::PrintFinishedEvent()
{
    sem_ = sem_open(eventName, O_CREAT | O_EXCL, 0600, 0);
    if (sem_ != SEM_FAILED) {
        created_ = true;
        return;
    }
    if (errno == EEXIST)
        sem_ = sem_open(eventName, 0);
    if (sem_ == SEM_FAILED)
        error_ = errno;
}

PrintFinishedEvent::~PrintFinishedEvent()
{
    if (sem_ == SEM_FAILED)
        return;
    sem_close(sem_);
    // Only the program that made the event removes it: another waiter may
    // still be using one it found.
    if (created_)
        sem_unlink(eventName);
}

void PrintFinishedEvent::drain()
{
    while (isOpen() && sem_trywait(sem_) == 0) {
    }
}

bool PrintFinishedEvent::wait(int seconds)
{
    if (!isOpen())
        return false;
    timespec deadline{};
    clock_gettime(CLOCK_REALTIME, &deadline);
    deadline.tv_sec += seconds;
    while (sem_timedwait(sem_, &deadline) != 0) {
        if (errno != EINTR)
            return false;
    }
    return true;
}

}  // namespace korva
