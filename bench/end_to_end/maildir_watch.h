#pragma once
// Tells the moment a message is delivered into a Maildir: the delivery
// links its finished file into new/, so a new name there is the message.

#include "folder_watch.h"

#include <chrono>
#include <optional>
#include <string>

namespace bench {

class MaildirWatch {
public:
    using Clock = FolderWatch::Clock;

    explicit MaildirWatch(std::string newFolder);  // the Maildir's new/, which must exist

    // Waits for one more message than so far; when it came, or nothing
    // after `timeout`.
    std::optional<Clock::time_point> next(std::chrono::milliseconds timeout);

private:
    size_t messages() const;

    std::string folder_;
    FolderWatch watch_;
    size_t seen_ = 0;
};

}  // namespace bench
