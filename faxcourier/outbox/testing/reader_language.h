#pragma once
// The reader's language for a while, for the tests of texts made without
// Qt; the environment as it was afterwards.

#include "platform/translation.h"

#include <cstdlib>
#include <optional>
#include <string>

namespace korva::testing {

class ReaderLanguage {
public:
    explicit ReaderLanguage(const std::string& language)
    {
        for (size_t i = 0; i < 2; ++i) {
            const char* value = std::getenv(kNames[i]);
            saved_[i] = value ? std::optional<std::string>(value) : std::nullopt;
        }
        ::setenv("LANGUAGE", language.c_str(), 1);
        ::setenv("LANG", (language == "de" ? "de_DE.UTF-8" : "fr_FR.UTF-8"), 1);
        forgetTranslations();
    }
    ~ReaderLanguage()
    {
        for (size_t i = 0; i < 2; ++i)
            saved_[i] ? ::setenv(kNames[i], saved_[i]->c_str(), 1) : ::unsetenv(kNames[i]);
        forgetTranslations();
    }
    ReaderLanguage(const ReaderLanguage&) = delete;
    ReaderLanguage& operator=(const ReaderLanguage&) = delete;

private:
    static constexpr const char* kNames[] = {"LANGUAGE", "LANG"};
    std::optional<std::string> saved_[2];
};

}  // namespace korva::testing
