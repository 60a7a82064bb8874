#pragma once
// The program keeps 8-bit text (Latin-1); Qt shows Unicode. A character
// that Latin-1 cannot hold becomes '?'.

#include "faxcourier/foundation/korva_string.h"

#include <QString>

#include <string>

namespace korva::app {

inline QString toQt(const String& text) { return QString::fromLatin1(text.Text(), int(text.Length())); }
inline QString toQt(const std::string& text) { return QString::fromLatin1(text.data(), qsizetype(text.size())); }
inline std::string toLatin1(const QString& text) { return text.toLatin1().toStdString(); }
inline String toKorva(const QString& text) { return String(text.toLatin1().constData()); }

}  // namespace korva::app
