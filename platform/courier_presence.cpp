#include "platform/courier_presence.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace korva {

namespace {

// Open-file-description locks: owned by the open file like flock(), so the
// kernel drops the mark when its holder ends, but they can be queried with
// F_OFD_GETLK, which takes nothing. A check that took even a shared lock
// for an instant would make a faxcourier starting at that instant believe
// that another one runs.
struct flock wholeFile(short type)
{
    struct flock lock {};
    lock.l_type = type;
    lock.l_whence = SEEK_SET;
    return lock;
}

}  // namespace

Result<void> CourierPresence::hold(const std::string& spoolFolder)
{
    release();
    const std::string path = courierPresencePath(spoolFolder);
    int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0)
        return Error::fromLastErrno("Cannot open " + path);
    struct flock lock = wholeFile(F_WRLCK);
    if (fcntl(fd, F_OFD_SETLK, &lock) != 0) {
        int err = errno == EACCES ? EWOULDBLOCK : errno;
        ::close(fd);
        return Error::fromErrno(err, "Cannot lock " + path);
    }
    fd_ = fd;
    return {};
}

void CourierPresence::release()
{
    if (fd_ >= 0)
        ::close(fd_);  // drops the lock
    fd_ = -1;
}

bool courierRunning(const std::string& spoolFolder)
{
    if (spoolFolder.empty())
        return false;
    int fd = ::open(courierPresencePath(spoolFolder).c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0)
        return false;
    struct flock lock = wholeFile(F_WRLCK);
    bool held = fcntl(fd, F_OFD_GETLK, &lock) == 0 && lock.l_type != F_UNLCK;
    ::close(fd);
    return held;
}

}  // namespace korva
