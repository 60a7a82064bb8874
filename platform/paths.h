#pragma once
// Where KORVA Fax keeps its files. Every path comes from the environment at
// run time, so a test isolates itself by pointing HOME and the XDG variables
// at a temporary folder.

#include <optional>
#include <string>

namespace korva {

// The value of an environment variable, or `fallback` when unset or empty.
std::string envOr(const char* name, const std::string& fallback);

std::string homeFolder();
std::string dataHome();    // XDG_DATA_HOME or ~/.local/share
std::string configHome();  // XDG_CONFIG_HOME or ~/.config
std::string stateHome();   // XDG_STATE_HOME or ~/.local/state
std::string sysconfDir();  // KORVAFAX_SYSCONFDIR or /etc/korvafax

// The spool folder "<data home>/KORVAFax", created 0700 (with its parents)
// when missing. No value when it cannot be created or is not a folder.
std::optional<std::string> spoolFolder();

// Creates `path` and any missing parents; new folders get `mode`.
// Returns 0 or the errno of the failing step.
int makeFolders(const std::string& path, unsigned mode);

}  // namespace korva
