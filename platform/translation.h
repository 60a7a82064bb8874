#pragma once
// Texts a person reads, in the language the environment asks for. The
// English text in the code is the key and what is shown when no catalogue
// has it. Programs built with Qt translate their windows with QTranslator;
// this serves the code that is built without Qt, from the same catalogues.
//
// lupdate reads `translated("Context", "Text")` like Qt's translate(), so
// both arguments must be string literals.

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

// Marks a text for the catalogue where it is written when the code looks
// it up later with translated(); Qt's own has the same form.
#ifndef QT_TRANSLATE_NOOP
#define QT_TRANSLATE_NOOP(scope, x) x
#endif

namespace korva {

[[nodiscard]] std::string translated(const char* context, const char* text);

// `text` with %1 ... %9 replaced by `arguments`, the way QString::arg()
// fills a translated text; a number without an argument stays as it is.
[[nodiscard]] std::string withArguments(std::string_view text, std::initializer_list<std::string_view> arguments);

// The languages asked for, most wanted first ("de_DE", "de", ...): LANGUAGE's
// list, else the first of LC_ALL, LC_MESSAGES and LANG that is set. Empty
// for C and POSIX.
[[nodiscard]] std::vector<std::string> wantedLanguages();

// The folder with the catalogues: share/korvafax/translations above the
// running program when installed, translations/ in a build tree.
[[nodiscard]] std::string translationsFolder();

// Forgets the loaded catalogue, so a test can change the environment.
void forgetTranslations();

}  // namespace korva
