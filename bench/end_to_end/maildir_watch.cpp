#include "maildir_watch.h"

#include <filesystem>
#include <sys/inotify.h>

namespace bench {

MaildirWatch::MaildirWatch(std::string newFolder)
    : folder_(std::move(newFolder)), watch_(folder_, IN_CREATE | IN_MOVED_TO), seen_(messages())
{
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
    auto came = watch_.waitFor([this] { return messages() > seen_; }, timeout);
    if (came)
        ++seen_;
    return came;
}

}  // namespace bench
