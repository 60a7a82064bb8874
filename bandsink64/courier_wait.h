#pragma once
// Waiting for faxcourier to take a finished document before the next one
// replaces it. The watch file holds one document at a time; while
// faxcourier runs it takes each one (renames it away), so a document still
// waiting is its next one and must not vanish. Without faxcourier nothing
// would take it, and the newer document replaces it as before.

#include <chrono>
#include <string>

namespace korva {

enum class CourierWait {
    NothingWaiting,  // no watch file
    NoCourier,       // a file waits, but no faxcourier runs (or it ended)
    Taken,           // faxcourier took it while we waited
    TimedOut,        // still there after the whole limit
};

// How long to wait at most: 60 s. KORVAFAX_HANDOVER_WAIT_MS in the driver's
// environment may shorten it (tests do), never lengthen it.
std::chrono::milliseconds handOverWaitLimit();

// Waits in `step`s, at most `limit`, while `watchFile` exists and a
// faxcourier holds its mark in `spoolFolder`.
CourierWait waitForCourierToTake(const std::string& watchFile, const std::string& spoolFolder,
                                 std::chrono::milliseconds limit,
                                 std::chrono::milliseconds step = std::chrono::milliseconds(100));

}  // namespace korva
