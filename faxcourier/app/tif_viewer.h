#pragma once
// Which program opens .tif files, read from the registry store's
// HKEY_CLASSES_ROOT: the ".tif" file type and its shell verbs. The Send
// Fax dialog's preview uses it.

#include "faxcourier/foundation/korva_string.h"

#include <optional>
#include <string>

namespace korva::app {

struct TifViewer {
    bool tifOpenAvailable = false;
    String tifEditVerb;
    // True when HKEY_CLASSES_ROOT names a ".tif" file type at all; without
    // one the desktop's default application decides.
    bool registryKnowsTif = false;
};

// The registry part of the look-up: "open" when the file type has an open
// command; the edit verb is "edit" when it has a command, otherwise the last
// verb beginning with "edit" that has one.
TifViewer FindTifViewer();

// The command line stored for `verb` of the ".tif" file type, when there is
// a non-empty one.
std::optional<std::string> tifVerbCommand(const std::string& verb);

}  // namespace korva::app
