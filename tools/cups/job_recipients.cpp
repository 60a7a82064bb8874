#include "tools/cups/job_recipients.h"

#include "controlarea/control_record.h"
#include "controlarea/recipient_line.h"
#include "platform/translation.h"
#include "platform/windows1252.h"

#include <cups/cups.h>

#include <vector>

namespace korva::cups {
namespace {

const char* optionValue(const char* name, int count, cups_option_t* options)
{
    const char* value = cupsGetOption(name, count, options);
    return value && *value ? value : nullptr;
}

// A number or prefix becomes part of a "number~name~company" line and of
// the ";"-separated list, so it may hold nothing a dial string does not.
const char* const dialCharacters = "0123456789 \t+-()/.*#";

// The option's value, trimmed; empty with `why` set when it holds a
// character outside dialCharacters.
std::string dialOption(const char* name, int count, cups_option_t* options, std::string& why)
{
    const char* value = optionValue(name, count, options);
    if (!value)
        return {};
    const std::string text = trimBlanks(value);
    if (const size_t bad = text.find_first_not_of(dialCharacters); bad != std::string::npos) {
        why = withArguments(
            translated("CupsBackend",
                       "the option %1=\"%2\" holds \"%3\"; it takes only digits, blanks and + - ( ) / . * #"),
            {name, text, std::string(1, text[bad])});
        return {};
    }
    return text;
}

// "number~name~company" lines of korvafax-recipient, each with the prefix
// before its number.
bool addRecipientLines(std::string_view list, const std::string& prefix, std::vector<std::string>& lines,
                       std::string& why)
{
    while (!list.empty()) {
        const size_t end = list.find(';');
        const std::string_view item = list.substr(0, end);
        list = end == std::string_view::npos ? std::string_view() : list.substr(end + 1);
        if (trimBlanks(item).empty())
            continue;
        auto line = acceptRecipientLine(item);
        if (!line) {
            why = withArguments(translated("CupsBackend", "the recipient \"%1\" is not number~name~company"), {item});
            return false;
        }
        lines.push_back(prefix + *line);
    }
    return true;
}

}  // namespace

std::optional<std::string> recipientDocumentName(const std::string& text, std::string& why)
{
    why.clear();
    cups_option_t* options = nullptr;
    const int count = cupsParseOptions(text.c_str(), 0, &options);
    const std::string prefix = dialOption("faxPrefix", count, options, why);
    const std::string number = why.empty() ? dialOption("phone", count, options, why) : "";
    std::vector<std::string> lines;
    if (!number.empty())
        lines.push_back(prefix + number + "~~");
    if (const char* list = optionValue("korvafax-recipient", count, options); list && why.empty())
        addRecipientLines(list, prefix, lines, why);
    cupsFreeOptions(count, options);
    if (!why.empty() || lines.empty())
        return std::nullopt;

    std::string name = "rcpt:";
    for (size_t i = 0; i < lines.size(); ++i)
        name += (i ? ";" : "") + lines[i];
    // The control record keeps the document name in a field of its own size.
    constexpr size_t room = sizeof(ControlRecord::documentName) - 1;
    if (const size_t size = utf8ToWindows1252Lossy(name).size(); size > room) {
        why = withArguments(
            translated("CupsBackend", "the recipients take %1 characters; at most %2 fit, \"rcpt:\" included"),
            {std::to_string(size), std::to_string(room)});
        return std::nullopt;
    }
    return name;
}

}  // namespace korva::cups
