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
        addRecipient(preset, std::string_view(preset.documentName).substr(5));
    for (const auto& field : record.recipients)
        addRecipient(preset, fieldText(field));

    if (preset.recipients.empty() && preset.coverPage.empty() && preset.subject.empty())
        preset.coverPage = currentCoverPage;
    return preset;
}

}  // namespace korva
