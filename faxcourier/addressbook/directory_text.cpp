#include "faxcourier/addressbook/directory_text.h"

#include <QStringDecoder>

namespace korva::addressbook {

QString fromDirectory(const String& value)
{
    QByteArrayView bytes(value.Text(), qsizetype(value.Length()));
    QStringDecoder decoder(QStringDecoder::Utf8, QStringConverter::Flag::Stateless);
    QString text = decoder.decode(bytes);
    if (decoder.hasError())
        return QString::fromLatin1(bytes);
    return text;
}

String toDirectory(const QString& text) { return String(text.toUtf8().constData()); }

String toProgramText(const QString& text) { return String(text.toLatin1().constData()); }

bool fitsLatin1(const QString& text)
{
    for (QChar c : text)
        if (c.unicode() > 0xFF)
            return false;
    return true;
}

}  // namespace korva::addressbook
