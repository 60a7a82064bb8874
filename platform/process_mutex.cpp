#include "platform/process_mutex.h"

#include <cerrno>
#include <fcntl.h>
#include <mutex>
#include <sys/file.h>
#include <unistd.h>

namespace korva {

ProcessMutex::~ProcessMutex() { close(); }

Result<void> ProcessMutex::open(const std::string& lockFilePath)
{
    std::lock_guard guard(threads_);
    closeLocked();
    int fd = ::open(lockFilePath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0)
        return Error::fromLastErrno("Cannot open the lock file " + lockFilePath);
    fd_ = fd;
    return {};
}

Result<void> ProcessMutex::lock()
{
    threads_.lock();
    if (fd_ < 0) {
        threads_.unlock();
        return Error::fromErrno(EBADF, "Cannot lock a lock file that is not open");
    }
    while (flock(fd_, LOCK_EX) != 0) {
        if (errno != EINTR) {
            Error error = Error::fromLastErrno("Cannot lock the lock file");
            threads_.unlock();
            return error;
        }
    }
    return {};
}

void ProcessMutex::unlock()
{
    if (fd_ >= 0)
        flock(fd_, LOCK_UN);
    threads_.unlock();
}

void ProcessMutex::close()
{
    std::lock_guard guard(threads_);
    closeLocked();
}

void ProcessMutex::closeLocked()
{
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
}

}  // namespace korva
