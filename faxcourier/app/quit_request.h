#pragma once
// Ending the program: the stand-in for PostQuitMessage. Every running event
// loop ends (a modal dialog's included), and the main loop then returns.

namespace korva::app {

void requestQuit();
bool quitRequested();
// For tests that run several start-ups in one process.
void resetQuitRequest();

}  // namespace korva::app
