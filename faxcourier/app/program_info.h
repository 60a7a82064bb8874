#pragma once
// --help, --version and the check of the command line: answered before any
// window or running mark exists, so that asking (or a typing error) never
// starts a second faxcourier.

#include <optional>
#include <string>
#include <vector>

namespace korva::app {

// The text to print when the arguments (without the program's path) ask for
// help or the version; nothing otherwise.
std::optional<std::string> programInfoRequested(const std::vector<std::string>& arguments);

// What --help prints: every option faxcourier takes.
std::string usageText();

// Why faxcourier cannot take these arguments (an option it does not know,
// an option without its value), or nothing when it can. Any argument that
// holds "-debug" is taken, as it always was.
std::optional<std::string> commandLineError(const std::vector<std::string>& arguments);

}  // namespace korva::app
