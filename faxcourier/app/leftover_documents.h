#pragma once
// Documents an earlier faxcourier left in the spool folder when it was
// killed: the fax documents of a job it had not sent and, from a version
// without "<spool>/taken/", a print file it was converting (renamed to
// "korvafax<n>.tif"). A new run numbers its files from 1 again and would
// delete them unseen, so they are set aside first. Where taken/ exists the
// print files wait there, and the numbered files are only converted copies:
// they are deleted.

#include <string>
#include <vector>

namespace korva::app {

struct SetAsideDocuments {
    std::string folder;               // where they now are
    std::vector<std::string> files;   // their new paths
    std::vector<std::string> failed;  // files that could not be moved
};

// Moves every "korvafax<n>.tif" of the spool folder into
// "<spool>/unsent/<stamp>-korvafax<n>.tif" (folder 0700). Only call it while
// no other faxcourier runs for the folder.
SetAsideDocuments setAsideLeftoverDocuments(const std::string& spoolFolder);

// How a text reaches its reader: korva::translated for the user, or
// untranslated for the log, which stays English.
using Translate = std::string (*)(const char* context, const char* text);
std::string untranslated(const char* context, const char* text);

// The text that tells the user, or empty when nothing was left.
std::string leftoverNotice(const SetAsideDocuments& documents, Translate translated = untranslated);

}  // namespace korva::app
