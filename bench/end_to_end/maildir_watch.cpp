#include "maildir_watch.h"

#include <filesystem>
#include <poll.h>
#include <sys/inotify.h>
#include <unistd.h>

namespace bench {

MaildirWatch::MaildirWatch(std::string newFolder) : folder_(std::move(newFolder))
{
    notify_ = inotify_init1(IN_CLOEXEC | IN_NONBLOCK);
    if (notify_ >= 0)
        inotify_add_watch(notify_, folder_.c_str(), IN_CREATE | IN_MOVED_TO);
    seen_ = messages();
}

MaildirWatch::~MaildirWatch()
{
    if (notify_ >= 0)
        close(notify_);
}

size_t MaildirWatch::messages() const
{
    std::error_code ec;
    size_t count = 0;
    for (auto it = std::filesystem::directory_iterator(folder_, ec); !ec && it != std::filesystem::directory_iterator();
         it.increment(ec))
        ++count;
    return count;
}

std::optional<MaildirWatch::Clock::time_point> MaildirWatch::next(std::chrono::milliseconds timeout)
{
    auto deadline = Clock::now() + timeout;
    for (;;) {
        if (messages() > seen_) {
            ++seen_;
            return Clock::now();
        }
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
