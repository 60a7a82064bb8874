#include "faxcourier/app/testing/language_scope.h"

#include "faxcourier/app/ui_language.h"
#include "platform/translation.h"

#include <QLocale>

#include <cstdlib>

namespace korva::testing {
namespace {

const char* const kVariables[] = {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"};

void setOrUnset(const std::string& name, const std::optional<std::string>& value)
{
    if (value)
        ::setenv(name.c_str(), value->c_str(), 1);
    else
        ::unsetenv(name.c_str());
}

}  // namespace

LanguageScope::LanguageScope(const QString& language)
{
    for (const char* name : kVariables) {
        const char* value = std::getenv(name);
        saved_[name] = value ? std::optional<std::string>(value) : std::nullopt;
        ::unsetenv(name);
    }
    const QLocale locale(language);
    ::setenv("LANGUAGE", language.toStdString().c_str(), 1);
    ::setenv("LANG", (locale.name() + ".UTF-8").toStdString().c_str(), 1);
    forgetTranslations();
    QLocale::setDefault(locale);
    app::installTranslations(locale);
}

LanguageScope::~LanguageScope()
{
    for (const auto& [name, value] : saved_)
        setOrUnset(name, value);
    forgetTranslations();
    QLocale::setDefault(QLocale::system());
    app::installTranslations();
}

}  // namespace korva::testing
