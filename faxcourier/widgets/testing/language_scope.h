#pragma once
// Runs a test in another language: the environment (read by the code built
// without Qt), the loaded catalogues and QLocale's default all switch, and
// switch back at the end of the scope.

#include "platform/testing/test_support.h"

#include <QString>

namespace korva::testing {

class LanguageScope {
public:
    // "de", "fr" or "en".
    explicit LanguageScope(const QString& language);
    ~LanguageScope();
    LanguageScope(const LanguageScope&) = delete;
    LanguageScope& operator=(const LanguageScope&) = delete;

private:
    ReaderLanguage reader_;
};

}  // namespace korva::testing
