#pragma once
// The windows' language: KORVA Fax's catalogue and Qt's own (for the
// standard buttons), chosen by the locale. English, the language of the
// code, is what stays when no catalogue fits.

#include <QLocale>

namespace korva::app {

// Replaces the catalogues loaded before, so a test can switch languages.
void installTranslations(const QLocale& locale = QLocale::system());

}  // namespace korva::app
