#pragma once
// A mutex shared by every process of one user: an exclusive flock() on a
// lock file, plus an in-process mutex so that threads sharing this handle
// exclude each other too (flock alone does not, within one open file). The kernel drops the flock when its holder dies,
// so a crashed holder never blocks the others.

#include "platform/result.h"

#include <mutex>
#include <string>

namespace korva {

class ProcessMutex {
public:
    ProcessMutex() = default;
    ~ProcessMutex();
    ProcessMutex(const ProcessMutex&) = delete;
    ProcessMutex& operator=(const ProcessMutex&) = delete;

    // Opens (creating 0600) the lock file.
    [[nodiscard]] Result<void> open(const std::string& lockFilePath);
    bool isOpen() const { return fd_ >= 0; }

    // Waits without time-out. Fails (EBADF) when the handle is not open or
    // when the lock cannot be taken. Opening or closing waits for a holder
    // in this process.
    [[nodiscard]] Result<void> lock();
    void unlock();
    void close();

private:
    void closeLocked();

    std::mutex threads_;
    int fd_ = -1;
};

// Holds a ProcessMutex for one scope when the lock could be taken; what is
// done under it must check owned() first.
class ProcessMutexLock {
public:
    explicit ProcessMutexLock(ProcessMutex& mutex) : mutex_(mutex), owned_(mutex.lock().ok()) {}
    ~ProcessMutexLock()
    {
        if (owned_)
            mutex_.unlock();
    }
    ProcessMutexLock(const ProcessMutexLock&) = delete;
    ProcessMutexLock& operator=(const ProcessMutexLock&) = delete;
    [[nodiscard]] bool owned() const { return owned_; }

private:
    ProcessMutex& mutex_;
    bool owned_;
};

}  // namespace korva
