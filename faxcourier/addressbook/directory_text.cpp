#include "faxcourier/addressbook/directory_text.h"

#include "faxcourier/widgets/text_convert.h"

#include <QStringDecoder>

namespace korva::addressbook {

QString fromDirectory(const String& value)
{
    QByteArrayView bytes(value.Text(), qsizetype(value.Length()));
    QStringDecoder decoder(QStringDecoder::Utf8, QStringConverter::Flag::Stateless);
    QString text = decoder.decode(bytes);
    if (decoder.hasError())
        return app::toQt(value);
    return text;
}

String toDirectory(const QString& text) { return String(text.toUtf8().constData()); }

String toProgramText(const QString& text) { return app::toKorva(text); }

}  // namespace korva::addressbook
