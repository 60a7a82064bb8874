#pragma once
// The message boxes of the exit library, faxpreset and the control area.
// By default each box is one line "caption: text" on standard error; a
// program (or a test) installs its own sink to show or capture them.

#include <functional>
#include <string>

namespace korva {

using MessageBoxSink = std::function<void(const std::string& caption, const std::string& text)>;

// Shows a box with an OK button; returns when the sink returns.
void showMessageBox(const std::string& caption, const std::string& text);

// Installs `sink` (an empty one restores standard error) and returns the
// previous sink.
MessageBoxSink setMessageBoxSink(MessageBoxSink sink);

}  // namespace korva
