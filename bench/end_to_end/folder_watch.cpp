#include "folder_watch.h"

#include <poll.h>
#include <sys/inotify.h>
#include <unistd.h>

namespace bench {

FolderWatch::FolderWatch(const std::string& folder, uint32_t events)
{
    notify_ = inotify_init1(IN_CLOEXEC | IN_NONBLOCK);
    if (notify_ >= 0)
        inotify_add_watch(notify_, folder.c_str(), events);
}

FolderWatch::~FolderWatch()
{
    if (notify_ >= 0)
        close(notify_);
}

std::optional<FolderWatch::Clock::time_point> FolderWatch::waitFor(const std::function<bool()>& arrived,
                                                                   std::chrono::milliseconds timeout)
{
    auto deadline = Clock::now() + timeout;
    for (;;) {
        if (arrived())
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
