#pragma once
// Reads a Mozilla preferences file (prefs.js): user_pref("name", value);
// lines with string, integer or boolean values. Statements that cannot be
// read are skipped up to the next line; nothing is ever evaluated.

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <variant>

namespace korva {

// String values are converted from UTF-8 (and \u escapes) to Latin-1, the
// program's 8-bit text; characters beyond Latin-1 become '?'.
using PrefValue = std::variant<std::string, int64_t, bool>;

class Prefs {
public:
    void set(const std::string& name, PrefValue value) { values_[name] = std::move(value); }
    const PrefValue* find(const std::string& name) const;

    // The value when present with that type.
    std::optional<std::string> text(const std::string& name) const;
    std::optional<int64_t> integer(const std::string& name) const;
    size_t size() const { return values_.size(); }

private:
    std::map<std::string, PrefValue> values_;
};

// Parses the text of a prefs.js file; a later statement for a name wins.
Prefs parsePrefsJs(const std::string& text);

}  // namespace korva
