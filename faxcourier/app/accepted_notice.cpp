#include "faxcourier/app/accepted_notice.h"

namespace korva::app {
namespace {

// "fax~name~company" as "name, fax", or the number alone without a name.
std::string recipientText(const String& recipient)
{
    std::string text = recipient.Text();
    size_t first = text.find('~');
    std::string fax = text.substr(0, first);
    std::string name;
    if (first != std::string::npos) {
        size_t second = text.find('~', first + 1);
        name = text.substr(first + 1, second == std::string::npos ? std::string::npos : second - first - 1);
    }
    return name.empty() ? fax : name + ", " + fax;
}

}  // namespace

std::string acceptedFaxNotice(const FaxJob& job)
{
    std::string recipients;
    for (const String& recipient : job.recipients)
        recipients += (recipients.empty() ? "" : "; ") + recipientText(recipient);
    uint64_t pages = 0;
    for (const FaxDocument& document : job.documents)
        pages += document.pages;
    return "Fax to " + recipients + ", " + std::to_string(pages) + (pages == 1 ? " page" : " pages") + ", accepted";
}

}  // namespace korva::app
