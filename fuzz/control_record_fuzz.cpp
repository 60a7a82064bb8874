// control.dat bytes through what an arrival takes from them: whatever the
// bytes, the texts stay within their fields and every recipient taken is a
// trimmed recipient line with two "~".
#include "controlarea/job_preset.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <strings.h>

using namespace korva;

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

void checkRecipient(const std::string& line)
{
    auto first = line.find('~');
    if (first == std::string::npos || line.find('~', first + 1) == std::string::npos)
        std::abort();
    if (line.empty() || isBlank(line.front()) || isBlank(line.back()) || line.size() > 99)
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    ControlRecord record;
    std::memset(&record, 0, sizeof record);
    std::memcpy(&record, data, size < sizeof record ? size : sizeof record);
    JobPreset preset = readJobPreset(record, "previous cover");
    if (preset.subject.size() > 299 || preset.documentName.size() > 99 ||
        (preset.coverPage.size() > 99 && preset.coverPage != "previous cover"))
        std::abort();
    // A "rcpt:" name has 94 characters after its prefix; each line it gives
    // takes at least "~~" and a ";" after it: 31 lines, and the four fields.
    constexpr size_t mostFromName = (sizeof record.documentName - 1 - 5 + 1) / 3;
    static_assert(mostFromName == 31);
    if (preset.recipients.size() > mostFromName + 4)
        std::abort();
    for (const auto& line : preset.recipients)
        checkRecipient(line);
    bool fileTarget = preset.subject.size() >= 14 && strncasecmp(preset.subject.c_str(), "~~filetarget~~", 14) == 0;
    if (fileTarget && preset.subject.substr(14).size() > 285)
        std::abort();
    return 0;
}
