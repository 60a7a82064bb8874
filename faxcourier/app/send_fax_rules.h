#pragma once
// The Send Fax dialog's text rules, kept free of Qt so that they are tested
// on their own: recipient rows to and from recipient lines, the document
// lines, the page total and the cover page choice.

#include "faxcourier/foundation/korva_string.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace korva::app {

struct RecipientRow {
    std::string name;
    std::string number;
    std::string company;
};

// "number~name~company" as the dialog shows it: the text before the first
// '~' is the number, up to the next '~' the name, the rest the company. No
// value without two '~'.
std::optional<RecipientRow> splitRecipientLine(const std::string& line);

// The recipient line that Send stores: each column cut to 299 characters as
// read, '~' replaced by '_', an empty name or company sent as " ", then
// "%.200s~%.200s~%.200s" of number, name and company.
std::string recipientLineForSend(const RecipientRow& row);

// "%.100s (%lu)" of a document's name and pages.
std::string documentLine(const std::string& name, uint32_t pages);

// "%d page" for exactly one page, "%d pages" otherwise.
std::string pageTotalText(int total);

struct CoverPageChoice {
    std::vector<std::string> names;  // trimmed, non-empty, sorted as the box sorts
    int selected = -1;               // index into names, -1 when there is none
};

// The CoverPages setting split at runs of CR and LF; `wanted` is selected
// when it names an entry (letter case aside), else the setting's first line
// as written, else the first entry.
CoverPageChoice chooseCoverPages(const String& coverPagesSetting, const std::string& wanted);

// The order of a sorted list or combo box: letter case aside, then as is.
bool sortsBefore(const std::string& a, const std::string& b);

}  // namespace korva::app
