#pragma once
// The question before the program ends while a fax is in hand.

class QWidget;

namespace korva::app {

// Asks whether the program may end; true on Yes. `owner` may be null.
[[nodiscard]] bool confirmQuit(QWidget* owner);

}  // namespace korva::app
