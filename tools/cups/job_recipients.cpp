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

// The option's value, trimmed, or empty when it is not given; fails when
// it holds a character outside dialCharacters.
Result<std::string> dialOption(const char* name, int count, cups_option_t* options)
{
    const char* value = optionValue(name, count, options);
    if (!value)
        return std::string();
    const std::string text = trimBlanks(value);
    if (const size_t bad = text.find_first_not_of(dialCharacters); bad != std::string::npos)
        return Error::withText(withArguments(
            translated("CupsBackend",
                       "the option %1=\"%2\" holds \"%3\"; it takes only digits, blanks and + - ( ) / . * #"),
            {name, text, std::string(1, text[bad])}));
    return text;
}

// "number~name~company" lines of korvafax-recipient, each with the prefix
// before its number.
Result<void> addRecipientLines(std::string_view list, const std::string& prefix, std::vector<std::string>& lines)
{
    while (!list.empty()) {
        const size_t end = list.find(';');
        const std::string_view item = list.substr(0, end);
        list = end == std::string_view::npos ? std::string_view() : list.substr(end + 1);
        if (trimBlanks(item).empty())
            continue;
        auto line = acceptRecipientLine(item);
        if (!line)
            return Error::withText(
                withArguments(translated("CupsBackend", "the recipient \"%1\" is not number~name~company"), {item}));
        lines.push_back(prefix + *line);
    }
    return {};
}

// The lines that phone, faxPrefix and korvafax-recipient give, in that order.
Result<void> readRecipientLines(int count, cups_option_t* options, std::vector<std::string>& lines)
{
    auto prefix = dialOption("faxPrefix", count, options);
    if (!prefix)
        return prefix.error();
    auto number = dialOption("phone", count, options);
    if (!number)
        return number.error();
    if (!number->empty())
        lines.push_back(*prefix + *number + "~~");
    if (const char* list = optionValue("korvafax-recipient", count, options))
        return addRecipientLines(list, *prefix, lines);
    return {};
}

}  // namespace

Result<std::optional<std::string>> recipientDocumentName(const std::string& text)
{
    cups_option_t* options = nullptr;
    const int count = cupsParseOptions(text.c_str(), 0, &options);
    std::vector<std::string> lines;
    Result<void> read = readRecipientLines(count, options, lines);
    cupsFreeOptions(count, options);
    if (!read)
        return read.error();
    if (lines.empty())
        return std::optional<std::string>();

    std::string name = "rcpt:";
    for (size_t i = 0; i < lines.size(); ++i)
        name += (i ? ";" : "") + lines[i];
    // The control record keeps the document name in a field of its own size.
    constexpr size_t room = sizeof(ControlRecord::documentName) - 1;
    if (const size_t size = utf8ToWindows1252Lossy(name).size(); size > room) {
        return Error::withText(withArguments(
            translated("CupsBackend", "the recipients take %1 characters; at most %2 fit, \"rcpt:\" included"),
            {std::to_string(size), std::to_string(room)}));
    }
    return std::optional<std::string>(std::move(name));
}

}  // namespace korva::cups
