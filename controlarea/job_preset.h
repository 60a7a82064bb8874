#pragma once
// What a printed document's arrival takes from the control record: the
// preset subject, cover page and recipients, and the document's name.

#include "controlarea/control_record.h"

#include <string>
#include <vector>

namespace korva {

struct JobPreset {
    std::string subject;
    std::string coverPage;
    std::string documentName;
    std::vector<std::string> recipients;  // accepted recipient lines, in order
};

// Reads `record` for a job whose cover page is `currentCoverPage`. A record
// without a user name gives nothing but the current cover page. A document
// name "rcpt:LINE" adds LINE before the four recipient fields; "rcpt:LINE;LINE"
// adds each (the fax queue hands a job's recipients over so) when every
// piece is a recipient line, else the whole text is one line. When the
// record sets no recipient, subject or cover page, the current cover page
// is kept.
JobPreset readJobPreset(const ControlRecord& record, const std::string& currentCoverPage);

}  // namespace korva
