#pragma once
// The program keeps 8-bit ANSI text, Windows-1252; Qt shows Unicode. Text a
// user types is checked with fitsAnsi (or refused through refuseUnfitText)
// before it is converted; toKorva and toAnsi would mark a character that
// does not fit with '?'.

#include "faxcourier/foundation/korva_string.h"
#include "platform/windows1252.h"

#include <QString>
#include <QStringDecoder>

#include <optional>
#include <string>

namespace korva::app {

inline QString toQt(const std::string& text) { return QString::fromStdString(windows1252ToUtf8(text)); }
inline QString toQt(const String& text) { return toQt(std::string(text.Text(), text.Length())); }

// A box's text from the code without Qt: the catalogues' translations are
// UTF-8, what comes from a server may still be Windows-1252.
[[nodiscard]] inline QString boxText(const std::string& text)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString decoded = utf8(QByteArrayView(text.data(), qsizetype(text.size())));
    return utf8.hasError() ? toQt(text) : decoded;
}

// Nothing when a character does not fit Windows-1252.
[[nodiscard]] inline std::optional<std::string> toAnsiChecked(const QString& text)
{
    return utf8ToWindows1252(text.toStdString());
}
[[nodiscard]] inline bool fitsAnsi(const QString& text) { return toAnsiChecked(text).has_value(); }

inline std::string toAnsi(const QString& text) { return utf8ToWindows1252Lossy(text.toStdString()); }
inline String toKorva(const QString& text) { return String(toAnsi(text).c_str()); }

}  // namespace korva::app
