#pragma once
// A recipient line is "fax number~name~company". One is accepted
// when, trimmed of tabs, line feeds, carriage returns and spaces at both
// ends, it holds a "~" and a second "~" after it; it is kept as trimmed.

#include <optional>
#include <string>
#include <string_view>

namespace korva {

std::string trimBlanks(std::string_view text);
std::optional<std::string> acceptRecipientLine(std::string_view text);

}  // namespace korva
