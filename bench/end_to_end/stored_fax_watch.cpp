#include "stored_fax_watch.h"

#include <cstdio>
#include <cstring>
#include <poll.h>
#include <sys/inotify.h>
#include <unistd.h>

namespace bench {

StoredFaxWatch::StoredFaxWatch(std::string folder) : folder_(std::move(folder))
{
    notify_ = inotify_init1(IN_CLOEXEC | IN_NONBLOCK);
    if (notify_ >= 0)
        inotify_add_watch(notify_, folder_.c_str(), IN_MOVED_TO | IN_CLOSE_WRITE);
}

StoredFaxWatch::~StoredFaxWatch()
{
    if (notify_ >= 0)
        close(notify_);
}

bool StoredFaxWatch::stored(const std::string& name) const { return access((folder_ + "/" + name).c_str(), F_OK) == 0; }

std::optional<StoredFaxWatch::Clock::time_point> StoredFaxWatch::next(std::chrono::milliseconds timeout)
{
    char number[32];
    std::snprintf(number, sizeof number, "%04d", ++count_);
    const std::string name = std::string(number) + ".json";
    auto deadline = Clock::now() + timeout;
    for (;;) {
        if (stored(name))
            return Clock::now();
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0 || notify_ < 0)
            return std::nullopt;
        pollfd ready{notify_, POLLIN, 0};
        if (poll(&ready, 1, int(left)) > 0) {
            alignas(inotify_event) char events[4096];
            while (read(notify_, events, sizeof events) > 0) {
            }
        }
    }
}

}  // namespace bench
