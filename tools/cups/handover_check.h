#pragma once
// Whether the exit library handed the document over. When it cannot
// replace korvafax.tif, the per-job print file ("korvafax_<user>_<tick>.tif")
// stays in the spool folder instead; one it could not write whole it
// deletes, and only endDocExit's -1 tells.

#include <optional>
#include <set>
#include <string>

namespace korva::cups {

// Names of the per-job print files in the spool folder.
std::set<std::string> printFilesIn(const std::string& spool);

// A per-job print file that is there now but was not in `before`.
std::optional<std::string> printFileLeftBehind(const std::set<std::string>& before, const std::string& spool);

}  // namespace korva::cups
