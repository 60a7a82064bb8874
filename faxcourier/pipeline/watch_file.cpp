#include "faxcourier/pipeline/watch_file.h"

#include <sys/stat.h>

namespace korva {

bool getWatchFileTime(const std::string& path, WatchFileTime& out)
{
    out = {};
    // stat() rather than open(): nothing on Linux locks the file against
    // readers, and opening a FIFO left under this name would block.
    struct stat st {};
    if (stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return false;
    out.seconds = st.st_mtim.tv_sec;
    out.nanoseconds = st.st_mtim.tv_nsec;
    out.device = st.st_dev;
    out.inode = st.st_ino;
    return true;
}

}  // namespace korva
