#include "faxcourier/widgets/testing/language_scope.h"

#include "faxcourier/widgets/ui_language.h"

#include <QLocale>

namespace korva::testing {

LanguageScope::LanguageScope(const QString& language) : reader_(language.toStdString())
{
    const QLocale locale(language);
    QLocale::setDefault(locale);
    app::installTranslations(locale);
}

LanguageScope::~LanguageScope()
{
    QLocale::setDefault(QLocale::system());
    app::installTranslations();
}

}  // namespace korva::testing
