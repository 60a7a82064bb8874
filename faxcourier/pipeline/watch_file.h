#pragma once
// The watch file: the one name under which the exit library hands a finished
// print file over, and the stamp by which the watcher tells two of them apart.

#include "platform/spool_names.h"

#include <cstdint>
#include <string>
#include <sys/types.h>

namespace korva {

// Identity of one watch file. Two documents finished within one clock tick
// still differ in their inode, since each arrives by a rename of a new file.
struct WatchFileTime {
    int64_t seconds = 0;  // all zero: no watch file
    int64_t nanoseconds = 0;
    dev_t device = 0;
    ino_t inode = 0;

    bool operator==(const WatchFileTime&) const = default;
};

// The watch file's stamp; false (and a zero stamp) when there is no regular
// file of that name.
bool getWatchFileTime(const std::string& path, WatchFileTime& out);

}  // namespace korva
