#include "controlarea/recipient_line.h"

namespace korva {

std::string trimBlanks(std::string_view text)
{
    constexpr std::string_view blanks = "\t\n\r ";
    auto first = text.find_first_not_of(blanks);
    if (first == std::string_view::npos)
        return {};
    auto last = text.find_last_not_of(blanks);
    return std::string(text.substr(first, last - first + 1));
}

std::optional<std::string> acceptRecipientLine(std::string_view text)
{
    std::string line = trimBlanks(text);
    auto first = line.find('~');
    if (first == std::string::npos || line.find('~', first + 1) == std::string::npos)
        return std::nullopt;
    return line;
}

}  // namespace korva
