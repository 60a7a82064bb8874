#pragma once
// Follows faxcourier's debug log as it grows: each line is seen (by
// inotify) the moment it is written, since the log has no time stamps.

#include <string>
#include <vector>

namespace bench {

class LogFollower {
public:
    // `path`'s folder must exist; the file may come later.
    explicit LogFollower(std::string path);
    ~LogFollower();
    LogFollower(const LogFollower&) = delete;
    LogFollower& operator=(const LogFollower&) = delete;

    int fd() const { return notify_; }  // readable when the folder changed
    // The whole lines written since the last call.
    std::vector<std::string> newLines();

private:
    std::string path_;
    int notify_ = -1;
    long long offset_ = 0;
    std::string partial_;
};

}  // namespace bench
