#pragma once
// Directory values arrive as the directory holds them, UTF-8; the program's
// own 8-bit text is Latin-1 (the directory commands turn it into UTF-8).

#include "faxcourier/foundation/korva_string.h"

#include <QString>

namespace korva::addressbook {

// UTF-8 when the bytes are valid UTF-8, Latin-1 otherwise.
QString fromDirectory(const String& value);

// The search boxes' texts, compared with directory values.
String toDirectory(const QString& text);

// The program's 8-bit form of a field (a character Latin-1 lacks is '?').
String toProgramText(const QString& text);

bool fitsLatin1(const QString& text);

}  // namespace korva::addressbook
