#include "platform/testing/poll_until.h"

#include <fstream>
#include <string>
#include <thread>

namespace korva::testing {

bool pollUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout,
               std::chrono::milliseconds interval)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline)
            return condition();
        std::this_thread::sleep_for(interval);
    }
    return true;
}

bool isBlocked(pid_t id)
{
    // The state follows the command name, which may itself hold ") ".
    std::ifstream stat("/proc/" + std::to_string(id) + "/stat");
    std::string line;
    if (!std::getline(stat, line))
        return false;
    const size_t end = line.rfind(") ");
    return end != std::string::npos && end + 2 < line.size() && line[end + 2] == 'S';
}

}  // namespace korva::testing
