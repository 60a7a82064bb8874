#pragma once
// faxcourier's mark that it runs: an exclusive open-file-description lock
// (fcntl F_OFD_SETLK) on "korvafax.running" in the spool folder, held for
// the whole run. The exit library asks for it
// before it replaces a finished document that faxcourier has not taken yet.
// The kernel drops the lock when its holder ends, however it ends.

#include "platform/result.h"
#include "platform/spool_names.h"

#include <string>

namespace korva {

class CourierPresence {
public:
    CourierPresence() = default;
    // Takes the mark at once; held() tells whether it was taken.
    explicit CourierPresence(const std::string& spoolFolder) { static_cast<void>(hold(spoolFolder)); }
    ~CourierPresence() { release(); }
    CourierPresence(const CourierPresence&) = delete;
    CourierPresence& operator=(const CourierPresence&) = delete;

    // Opens (creating 0600) the file and locks it without waiting. Fails
    // with EWOULDBLOCK when another process holds it already.
    [[nodiscard]] Result<void> hold(const std::string& spoolFolder);
    bool held() const { return fd_ >= 0; }
    // The file stays: removing it could split a later holder from a checker.
    void release();

private:
    int fd_ = -1;
};

// True while some process holds the mark. A missing file, or one whose
// lock is free, means no faxcourier runs. The check only asks: it never
// holds a lock, so it cannot turn away a faxcourier starting meanwhile.
bool courierRunning(const std::string& spoolFolder);

}  // namespace korva
