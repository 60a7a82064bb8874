#pragma once
// The question before the program ends while a fax is in hand.

#include "faxcourier/widgets/ui_seam.h"

class QWidget;

namespace korva::app {

// Asks whether the program may end: Yes, No or Cancel. `owner` may be null.
[[nodiscard]] Answer askQuit(QWidget* owner);
// True on Yes.
[[nodiscard]] bool confirmQuit(QWidget* owner);

// Quit from outside the Send Fax dialog (the status icon, --quit): with a
// fax in hand (in the dialog or being converted) only after a Yes to
// confirmQuit; on No or Cancel nothing happens.
void quitUnlessRefused(bool faxInHand, QWidget* owner);

}  // namespace korva::app
