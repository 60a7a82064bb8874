#include "controlarea/job_preset.h"

#include "controlarea/recipient_line.h"

#include <strings.h>

namespace korva {
namespace {

void addRecipient(JobPreset& preset, std::string_view text)
{
    if (auto line = acceptRecipientLine(text))
        preset.recipients.push_back(*line);
}

// "rcpt:" text may hold several lines separated by ";", as the fax queue
// writes the recipients of a job's options. A name or company may hold ";"
// too, so the text is split only when every piece is a recipient line (blank
// pieces aside); otherwise it is one line.
void addRecipients(JobPreset& preset, std::string_view list)
{
    std::vector<std::string> pieces;
    std::string_view rest = list;
    for (bool more = true; more;) {
        size_t end = rest.find(';');
        more = end != std::string_view::npos;
        std::string_view piece = rest.substr(0, end);
        if (more)
            rest.remove_prefix(end + 1);
        if (trimBlanks(piece).empty())
            continue;
        auto line = acceptRecipientLine(piece);
        if (!line) {
            addRecipient(preset, list);
            return;
        }
        pieces.push_back(*line);
    }
    preset.recipients.insert(preset.recipients.end(), pieces.begin(), pieces.end());
}

}  // namespace

JobPreset readJobPreset(const ControlRecord& record, const std::string& currentCoverPage)
{
    JobPreset preset;
    preset.coverPage = currentCoverPage;
    if (record.userName[0] == '\0')
        return preset;

    preset.subject = fieldText(record.subject);
    preset.coverPage = fieldText(record.coverPage);
    preset.documentName = fieldText(record.documentName);
    if (preset.documentName.size() >= 5 && strncasecmp(preset.documentName.c_str(), "rcpt:", 5) == 0)
        addRecipients(preset, std::string_view(preset.documentName).substr(5));
    for (const auto& field : record.recipients)
        addRecipient(preset, fieldText(field));

    if (preset.recipients.empty() && preset.coverPage.empty() && preset.subject.empty())
        preset.coverPage = currentCoverPage;
    return preset;
}

}  // namespace korva
