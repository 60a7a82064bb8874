#include "faxcourier/app/dialog_support.h"

#include "faxcourier/app/app_icon.h"
#include "faxcourier/app/text_convert.h"
#include "faxcourier/app/ui_seam.h"

namespace korva::app {

void setSmallIcon(QWidget* dialog) { dialog->setWindowIcon(smallIcon()); }

void bringToForeground(QWidget* window)
{
    window->raise();
    window->activateWindow();
}

QString fieldName(const char* label)
{
    QString name = QString::fromUtf8(label).remove(QLatin1Char('&')).trimmed();
    if (name.endsWith(QLatin1Char(':')))
        name.chop(1);
    return name.trimmed();
}

bool refuseUnfitText(QWidget* dialog, QWidget* field, const QString& name, const QString& text)
{
    if (fitsAnsi(text))
        return false;
    showBox(dialog, QStringLiteral("KORVA Fax"),
            QStringLiteral("The %1 field holds a character that KORVA Fax cannot send or store.").arg(name),
            Buttons::Ok, BoxIcon::Warning);
    field->setFocus();
    return true;
}

}  // namespace korva::app
