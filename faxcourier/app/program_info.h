#pragma once
// --help and --version: answered before any window or running mark exists,
// so that asking never starts a second faxcourier.

#include <optional>
#include <string>
#include <vector>

namespace korva::app {

// The text to print when the arguments (without the program's path) ask for
// help or the version; nothing otherwise.
std::optional<std::string> programInfoRequested(const std::vector<std::string>& arguments);

}  // namespace korva::app
