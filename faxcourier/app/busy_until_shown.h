#pragma once
// A launched program takes its time to show its window (a viewer reading a
// long fax); meanwhile the wait cursor says that something is on its way.

#include <chrono>

class QWidget;

namespace korva::app {

// The wait cursor from now until `window` loses the focus to the launched
// window, `limit` passes or `window` goes, whichever comes first.
void busyUntilShown(QWidget* window, std::chrono::milliseconds limit = std::chrono::seconds(15));

}  // namespace korva::app
