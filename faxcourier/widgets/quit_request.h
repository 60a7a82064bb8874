#pragma once
// Ending the program: the stand-in for PostQuitMessage. Every running event
// loop ends (a modal dialog's included), and the main loop then returns.

#include <atomic>

namespace korva::app {

void requestQuit();
bool quitRequested();
// Async-signal-safe: marks the quit at once, so that code running on the
// main thread without its event loop (a server conversation, a box) sees it
// before the loop gets to requestQuit().
void noteQuitSignal() noexcept;
// The flag behind quitRequested(), for threads that stop at the program's end.
const std::atomic<bool>& quitFlag();
// For tests that run several start-ups in one process.
void resetQuitRequest();

}  // namespace korva::app
