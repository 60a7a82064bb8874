#include "log_follower.h"

#include <fcntl.h>
#include <stdexcept>
#include <sys/inotify.h>
#include <unistd.h>

namespace bench {

LogFollower::LogFollower(std::string path) : path_(std::move(path))
{
    notify_ = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    const std::string folder = path_.substr(0, path_.find_last_of('/'));
    if (notify_ < 0 || inotify_add_watch(notify_, folder.c_str(), IN_MODIFY | IN_CREATE) < 0)
        throw std::runtime_error("cannot watch " + folder);
}

LogFollower::~LogFollower()
{
    if (notify_ >= 0)
        close(notify_);
}

std::vector<std::string> LogFollower::newLines()
{
    char events[4096];
    while (read(notify_, events, sizeof events) > 0) {
    }
    std::vector<std::string> lines;
    int file = open(path_.c_str(), O_RDONLY | O_CLOEXEC);
    if (file < 0)
        return lines;
    char buffer[8192];
    for (ssize_t n; (n = pread(file, buffer, sizeof buffer, offset_)) > 0; offset_ += n)
        partial_.append(buffer, size_t(n));
    close(file);
    for (size_t end; (end = partial_.find('\n')) != std::string::npos; partial_.erase(0, end + 1))
        lines.push_back(partial_.substr(0, end));
    return lines;
}

}  // namespace bench
