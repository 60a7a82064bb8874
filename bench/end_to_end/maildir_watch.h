#pragma once
// Tells the moment a message is delivered into a Maildir: the delivery
// links its finished file into new/, so a new name there is the message.

#include <chrono>
#include <optional>
#include <string>

namespace bench {

class MaildirWatch {
public:
    using Clock = std::chrono::steady_clock;

    explicit MaildirWatch(std::string newFolder);  // the Maildir's new/, which must exist
    ~MaildirWatch();
    MaildirWatch(const MaildirWatch&) = delete;
    MaildirWatch& operator=(const MaildirWatch&) = delete;

    // Waits for one more message than so far; when it came, or nothing
    // after `timeout`.
    std::optional<Clock::time_point> next(std::chrono::milliseconds timeout);

private:
    size_t messages() const;

    std::string folder_;
    int notify_ = -1;
    size_t seen_ = 0;
};

}  // namespace bench
