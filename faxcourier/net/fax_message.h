#pragma once
// The fax submission message: headers, a text part of control lines
// (sender, cover page, one "~" line per recipient, comments) and one base64
// attachment per document.

#include "faxcourier/net/smtp_data_writer.h"
#include "faxcourier/settings/fax_job.h"
#include "faxcourier/settings/settings.h"

namespace korva {

constexpr const char* kFaxBoundary = "----=_KORVAFaxBoundary";

// The text with every CR and LF replaced by a blank, so that it stays on
// its header, command or control line.
String OneLine(const String& text);

// Comments as sent: every LF becomes CR LF, every CR is dropped, and one
// CR LF ends the text. Empty stays empty.
String CommentLines(const String& comments);

// Headers (with a new Date and Message-ID) and the text part. Trims job.comments on the right, in place.
void WriteMessageHead(SmtpDataWriter& out, FaxJob& job, const Settings& settings);

// One attachment "korvafax_<number>.fmf": the document's file in base64,
// 57 bytes per line. Fails with the errno of an open or read that failed
// (the part then ends where the file did).
Result<void> WriteAttachment(SmtpDataWriter& out, const FaxDocument& document, int number);

// The closing boundary.
void WriteMessageEnd(SmtpDataWriter& out);

}  // namespace korva
