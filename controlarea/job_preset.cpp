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
// writes the recipients of a job's options.
void addRecipients(JobPreset& preset, std::string_view list)
{
    for (size_t end; (end = list.find(';')) != std::string_view::npos; list.remove_prefix(end + 1))
        addRecipient(preset, list.substr(0, end));
    addRecipient(preset, list);
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
