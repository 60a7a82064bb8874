#pragma once
// What an inotify event on the spool folder, or on its parent, means to the
// spool watcher.

#include <string>
#include <sys/inotify.h>

namespace korva {

// By weight: a batch of events counts as its heaviest.
enum class SpoolChange { nothing, changes, rescan, folderGone, failed };

struct SpoolWatches {
    int folder = -1;         // the folder's own watch
    int parent = -1;         // its parent's, which sees the folder removed
    std::string folderName;  // the folder's name in its parent
};

// `rescan` when the kernel's queue overflowed (IN_Q_OVERFLOW): the events
// it dropped cannot be named, so everything must be looked at again.
SpoolChange classifySpoolEvent(const SpoolWatches& watches, const inotify_event& event);

}  // namespace korva
