#pragma once
// Where KORVA Fax keeps its files. Every path comes from the environment at
// run time, so a test isolates itself by pointing HOME and the XDG variables
// at a temporary folder.

#include "platform/result.h"

#include <string>
#include <sys/types.h>

namespace korva {

// The value of an environment variable, or `fallback` when unset or empty.
std::string envOr(const char* name, const std::string& fallback);

std::string homeFolder();
// The XDG variables count only when they hold an absolute path.
std::string dataHome();    // XDG_DATA_HOME or ~/.local/share
std::string configHome();  // XDG_CONFIG_HOME or ~/.config
std::string stateHome();   // XDG_STATE_HOME or ~/.local/state
std::string sysconfDir();  // KORVAFAX_SYSCONFDIR or /etc/korvafax

// The spool folder "<data home>/KORVAFax", created 0700 (with its parents)
// when missing. Fails with the errno of the failing step when it cannot be
// created or is not a folder.
[[nodiscard]] Result<std::string> spoolFolder();

// Why `folder` must not be used as a spool folder, or "" when it is safe to:
// it must be a real folder (not a link), owned by the effective user and
// writable by no one else, or another user could plant control.dat or print
// files in it. The text names the folder and ends "KORVA Fax will not use it."
[[nodiscard]] std::string spoolFolderProblem(const std::string& folder);
// The same for a folder that must belong to `owner`, called `ownerName`.
[[nodiscard]] std::string spoolFolderProblem(const std::string& folder, uid_t owner, const std::string& ownerName);
// The first form in the user's language, for a box.
[[nodiscard]] std::string shownSpoolFolderProblem(const std::string& folder);

// Creates `path` and any missing parents; new folders get `mode`.
// Fails with the errno of the failing step.
[[nodiscard]] Result<void> makeFolders(const std::string& path, unsigned mode);

}  // namespace korva
