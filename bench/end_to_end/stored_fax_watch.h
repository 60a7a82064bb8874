#pragma once
// Tells the moment korva-sim stores a fax: it writes NNNN.json last and by
// a rename, so the rename into its folder is the fax stored.

#include "folder_watch.h"

#include <chrono>
#include <optional>
#include <string>

namespace bench {

class StoredFaxWatch {
public:
    using Clock = FolderWatch::Clock;

    explicit StoredFaxWatch(std::string folder);  // the folder must exist

    // Waits for the next fax (0001.json, 0002.json, ...); when it came, or
    // nothing after `timeout`.
    std::optional<Clock::time_point> next(std::chrono::milliseconds timeout);
    int count() const { return count_; }  // the faxes waited for so far

private:
    bool stored(const std::string& name) const;

    std::string folder_;
    FolderWatch watch_;
    int count_ = 0;
};

}  // namespace bench
