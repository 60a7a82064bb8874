#include "platform/process_mutex.h"

#include <cerrno>
#include <fcntl.h>
#include <mutex>
#include <sys/file.h>
#include <unistd.h>

namespace korva {

ProcessMutex::~ProcessMutex() { close(); }

int ProcessMutex::open(const std::string& lockFilePath)
{
    std::lock_guard guard(threads_);
    closeLocked();
    int fd = ::open(lockFilePath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0)
        return errno;
    fd_ = fd;
    return 0;
}

bool ProcessMutex::lock()
{
    threads_.lock();
    if (fd_ < 0) {
        threads_.unlock();
        return false;
    }
    while (flock(fd_, LOCK_EX) != 0) {
        if (errno != EINTR) {
            threads_.unlock();
            return false;
        }
    }
    return true;
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
