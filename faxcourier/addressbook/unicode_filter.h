#pragma once
// The list's filter on proper Unicode: directory values are UTF-8, so case
// is folded on the decoded text, not on bytes.

#include "faxcourier/addressbook/list_filter.h"

#include <QString>

namespace korva::addressbook {

// Full case folding (ß and SS alike) of a directory value, as UTF-8.
String foldedForSearch(const String& value);

// The filter for the three search boxes' texts, folding case as Unicode
// does, with the letter bar's letters from listLetter.
ListFilter unicodeFilter(const QString& name, const QString& number, const QString& company);

}  // namespace korva::addressbook
