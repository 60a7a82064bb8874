#include "stored_fax_watch.h"

#include <cstdio>
#include <sys/inotify.h>
#include <unistd.h>

namespace bench {

StoredFaxWatch::StoredFaxWatch(std::string folder)
    : folder_(std::move(folder)), watch_(folder_, IN_MOVED_TO | IN_CLOSE_WRITE)
{
}

bool StoredFaxWatch::stored(const std::string& name) const { return access((folder_ + "/" + name).c_str(), F_OK) == 0; }

std::optional<StoredFaxWatch::Clock::time_point> StoredFaxWatch::next(std::chrono::milliseconds timeout)
{
    char number[32];
    std::snprintf(number, sizeof number, "%04d", ++count_);
    const std::string name = std::string(number) + ".json";
    return watch_.waitFor([&] { return stored(name); }, timeout);
}

}  // namespace bench
