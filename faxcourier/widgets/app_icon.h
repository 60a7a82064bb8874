#pragma once
// The program's icon, drawn from our own SVG; every dialog sets it.

#include <QIcon>

namespace korva::app {

// Loaded once, on first use.
const QIcon& smallIcon();

}  // namespace korva::app
