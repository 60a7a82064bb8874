#pragma once
// Waits on a folder's inotify events until something about the folder
// holds: the moment it held, or nothing after the timeout.

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace bench {

class FolderWatch {
public:
    using Clock = std::chrono::steady_clock;

    // `events`: the inotify events that may make `arrived` true.
    FolderWatch(const std::string& folder, uint32_t events);
    ~FolderWatch();
    FolderWatch(const FolderWatch&) = delete;
    FolderWatch& operator=(const FolderWatch&) = delete;

    std::optional<Clock::time_point> waitFor(const std::function<bool()>& arrived, std::chrono::milliseconds timeout);

private:
    int notify_ = -1;
};

}  // namespace bench
