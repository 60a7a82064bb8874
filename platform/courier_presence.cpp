#include "platform/courier_presence.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace korva {

std::string courierPresencePath(const std::string& spoolFolder)
{
    return spoolFolder + "/" + kCourierPresenceFile;
}

int CourierPresence::hold(const std::string& spoolFolder)
{
    release();
    int fd = ::open(courierPresencePath(spoolFolder).c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0)
        return errno;
    while (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno == EINTR)
            continue;
        int err = errno;
        ::close(fd);
        return err;
    }
    fd_ = fd;
    return 0;
}

void CourierPresence::release()
{
    if (fd_ >= 0)
        ::close(fd_);  // drops the lock
    fd_ = -1;
}

// A shared try: two checkers never mistake each other for the holder.
bool courierRunning(const std::string& spoolFolder)
{
    if (spoolFolder.empty())
        return false;
    int fd = ::open(courierPresencePath(spoolFolder).c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0)
        return false;
    int rc;
    do
        rc = flock(fd, LOCK_SH | LOCK_NB);
    while (rc != 0 && errno == EINTR);
    bool held = rc != 0 && errno == EWOULDBLOCK;
    ::close(fd);
    return held;
}

}  // namespace korva
