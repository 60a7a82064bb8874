#pragma once
// Showing a window in front with the keyboard, on behalf of whoever asked
// (the status icon, a second start, the menu entry).

#include <QString>

class QWidget;

namespace korva::app {

// Shows `window`, raises it and asks for the keyboard. `activationToken` is
// the launcher's token a second start passed on: on Wayland the compositor
// lets a window come to the front only with one.
void bringToFront(QWidget* window, const QString& activationToken = {});

}  // namespace korva::app
