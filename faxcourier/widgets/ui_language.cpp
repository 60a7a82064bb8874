#include "faxcourier/widgets/ui_language.h"

#include "platform/translation.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include <memory>

namespace korva::app {
namespace {

std::unique_ptr<QTranslator> loaded(const QLocale& locale, const QString& name, const QString& folder)
{
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(locale, name, "_", folder))
        return nullptr;
    QCoreApplication::installTranslator(translator.get());
    return translator;
}

}  // namespace

void installTranslations(const QLocale& locale)
{
    static std::unique_ptr<QTranslator> own;
    static std::unique_ptr<QTranslator> qt;
    own.reset();
    qt.reset();
    // An English locale must not pick up German because "de" is next in
    // the list of wanted languages.
    if (locale.language() == QLocale::English || locale.language() == QLocale::C)
        return;
    own = loaded(locale, "korvafax", QString::fromStdString(translationsFolder()));
    // Without ours, Qt's alone would give an English program foreign buttons.
    if (own)
        qt = loaded(locale, "qtbase", QLibraryInfo::path(QLibraryInfo::TranslationsPath));
}

}  // namespace korva::app
