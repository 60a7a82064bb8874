#include "faxcourier/pipeline/spool_events.h"

namespace korva {
namespace {

// The folder itself went away from its path.
constexpr uint32_t kFolderGone = IN_DELETE_SELF | IN_MOVE_SELF | IN_IGNORED;

}  // namespace

SpoolChange classifySpoolEvent(const SpoolWatches& watches, const inotify_event& event)
{
    if (event.mask & IN_Q_OVERFLOW)
        return SpoolChange::rescan;
    if (event.wd == watches.folder)
        return event.mask & kFolderGone ? SpoolChange::folderGone : SpoolChange::changes;
    if (event.wd == watches.parent && event.len && watches.folderName == event.name)
        return event.mask & (IN_DELETE | IN_MOVED_FROM) ? SpoolChange::folderGone : SpoolChange::nothing;
    return SpoolChange::nothing;  // a sibling of the folder, or a watch given up
}

}  // namespace korva
