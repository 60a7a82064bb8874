#include "faxcourier/app/send_fax_rules.h"

#include "platform/translation.h"

#include <algorithm>
#include <cstdio>
#include <strings.h>

namespace korva::app {
namespace {

std::string forSending(std::string text)
{
    if (text.size() > 299)
        text.resize(299);
    std::replace(text.begin(), text.end(), '~', '_');
    return text;
}

int findNoCase(const std::vector<std::string>& names, const std::string& wanted)
{
    for (size_t i = 0; i < names.size(); ++i)
        if (strcasecmp(names[i].c_str(), wanted.c_str()) == 0)
            return int(i);
    return -1;
}

}  // namespace

std::optional<RecipientRow> splitRecipientLine(const std::string& line)
{
    size_t first = line.find('~');
    if (first == std::string::npos)
        return std::nullopt;
    size_t second = line.find('~', first + 1);
    if (second == std::string::npos)
        return std::nullopt;
    return RecipientRow{line.substr(first + 1, second - first - 1), line.substr(0, first), line.substr(second + 1)};
}

std::string recipientLineForSend(const RecipientRow& row)
{
    std::string name = forSending(row.name);
    std::string number = forSending(row.number);
    std::string company = forSending(row.company);
    if (name.empty())
        name = " ";
    if (company.empty())
        company = " ";
    char line[700];
    std::snprintf(line, sizeof line, "%.200s~%.200s~%.200s", number.c_str(), name.c_str(), company.c_str());
    return line;
}

std::string documentLine(const std::string& name, uint32_t pages)
{
    char line[1000];
    std::snprintf(line, sizeof line, "%.100s (%lu)", name.c_str(), static_cast<unsigned long>(pages));
    return line;
}

std::string pageTotalText(int total)
{
    std::string text = total == 1 ? translated("SendFaxRules", "%1 page") : translated("SendFaxRules", "%1 pages");
    return withArguments(text, {std::to_string(total)});
}

bool sortsBefore(const std::string& a, const std::string& b)
{
    int order = strcasecmp(a.c_str(), b.c_str());
    return order != 0 ? order < 0 : a < b;
}

CoverPageChoice chooseCoverPages(const String& coverPagesSetting, const std::string& wanted)
{
    CoverPageChoice choice;
    String setting(coverPagesSetting);
    std::string fallback;
    bool first = true;
    for (String token = setting.NextToken("\r\n", true); !token.IsEmpty(); token = setting.NextToken("\r\n", false)) {
        if (first)
            fallback = token.Text();
        first = false;
        token.TrimLeft();
        token.TrimRight();
        if (!token.IsEmpty())
            choice.names.emplace_back(token.Text());
    }
    std::stable_sort(choice.names.begin(), choice.names.end(), sortsBefore);
    if (choice.names.empty())
        return choice;
    choice.selected = findNoCase(choice.names, wanted);
    if (choice.selected < 0)
        choice.selected = findNoCase(choice.names, fallback);
    if (choice.selected < 0)
        choice.selected = 0;
    return choice;
}

}  // namespace korva::app
