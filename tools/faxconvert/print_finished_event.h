#pragma once
// The waiting side of the named event "KORVAFaxPrintFinished": faxconvert
// creates the semaphore, faxcourier posts it when a file conversion ends.

#include <semaphore.h>

namespace korva {

class PrintFinishedEvent {
public:
    PrintFinishedEvent();
    ~PrintFinishedEvent();
    PrintFinishedEvent(const PrintFinishedEvent&) = delete;
    PrintFinishedEvent& operator=(const PrintFinishedEvent&) = delete;

    bool isOpen() const { return sem_ != SEM_FAILED; }
    int error() const { return error_; }

    // Forgets posts left over from an earlier conversion.
    void drain();

    // True when the event was set within `seconds`.
    bool wait(int seconds);

private:
    sem_t* sem_ = SEM_FAILED;
    bool created_ = false;
    int error_ = 0;
};

}  // namespace korva
