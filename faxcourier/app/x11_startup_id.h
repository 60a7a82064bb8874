#pragma once
// The X11 side of a launch: the startup id a launcher gave a second start.
// Set on the window, it tells the window manager that the user asked for
// this window (so focus-stealing prevention lets it come to the front); the
// "remove" message ends the launcher's busy feedback.

#include <QByteArray>

class QWidget;

namespace korva::app {

// Does nothing off X11 or for an empty id.
void useX11StartupId(QWidget* window, const QByteArray& startupId);

// "remove: ID=<id>", the id quoted where it holds blanks, quotes or
// backslashes.
QByteArray startupRemoveMessage(const QByteArray& startupId);

}  // namespace korva::app
