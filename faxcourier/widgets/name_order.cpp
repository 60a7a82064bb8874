#include "faxcourier/widgets/name_order.h"

#include <QCollator>
#include <QLocale>

namespace korva::app {
namespace {

// The C locale has no order of its own for letters beyond ASCII; the
// common order of all languages stands in for it.
QCollator nameCollator()
{
    QLocale locale;
    QCollator collator(locale.language() == QLocale::C ? QLocale(QLocale::English) : locale);
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    collator.setNumericMode(false);
    return collator;
}

}  // namespace

int compareNames(const QString& a, const QString& b)
{
    static const QCollator collator = nameCollator();
    return collator.compare(a, b);
}

}  // namespace korva::app
