#pragma once
// Directory values arrive as the directory holds them, UTF-8; the program's
// own 8-bit text is Windows-1252 (the directory commands turn it into UTF-8).

#include "faxcourier/foundation/korva_string.h"

#include <QString>

namespace korva::addressbook {

// UTF-8 when the bytes are valid UTF-8, Windows-1252 otherwise.
QString fromDirectory(const String& value);

// The search boxes' texts, compared with directory values.
String toDirectory(const QString& text);

// The program's 8-bit form of a field; check it with app::fitsAnsi first.
String toProgramText(const QString& text);

}  // namespace korva::addressbook
