#include "faxcourier/net/fax_message.h"

#include "faxcourier/foundation/base64_lines.h"
#include "faxcourier/net/message_stamp.h"

#include <cerrno>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace korva {

String OneLine(const String& text)
{
    String line;
    line.Reserve(text.Length() + 1);
    for (uint32_t i = 0; i < text.Length(); ++i) {
        char c = text.GetAt(i);
        line.AppendChar(c == '\r' || c == '\n' ? ' ' : c);
    }
    return line;
}

String CommentLines(const String& comments)
{
    String lines;
    if (comments.IsEmpty())
        return lines;
    lines.Reserve(comments.Length() * 2 + 3);
    for (uint32_t i = 0; i < comments.Length(); ++i) {
        char c = comments.GetAt(i);
        if (c == '\n') {
            lines.Append("\r\n");
        } else if (c != '\r') {
            lines.AppendChar(c);
        }
    }
    lines.Append("\r\n");
    return lines;
}

namespace {

void writeSenderLine(SmtpDataWriter& out, const char* name, const String& value)
{
    if (!value.IsEmpty())
        out.Format("~~%s~%.300s\r\n", name, OneLine(value).Text());
}

}  // namespace

void WriteMessageHead(SmtpDataWriter& out, FaxJob& job, const Settings& settings)
{
    String email = OneLine(settings.EmailAddress);
    out.Format("Subject: %.1000s\r\n", OneLine(job.subject).Text());
    if (!settings.RealName.IsEmpty()) {
        out.Format("From: \"%.300s\" <%.300s>\r\n", OneLine(settings.RealName).Text(), email.Text());
    } else {
        out.Format("From: %.300s\r\n", email.Text());
    }
    out.Format("To: %.300s\r\n", OneLine(settings.FaxAddress).Text());
    MessageStamp stamp = NewMessageStamp(settings.EmailAddress);
    out.Format("Date: %s\r\n", stamp.date.c_str());
    out.Format("Message-ID: %s\r\n", stamp.messageId.c_str());
    out.Write("MIME-Version: 1.0\r\n");
    out.Format("Content-Type: multipart/mixed; boundary=\"%s\"\r\n", kFaxBoundary);
    out.Write("\r\n");
    out.Format("--%s\r\n", kFaxBoundary);
    out.Write("Content-Type: text/plain\r\n\r\n");

    writeSenderLine(out, "RealName", settings.RealName);
    writeSenderLine(out, "Company", settings.Company);
    writeSenderLine(out, "PhoneNumber", settings.PhoneNumber);
    writeSenderLine(out, "FaxNumber", settings.FaxNumber);
    writeSenderLine(out, "CoverPage", job.coverPage);
    for (const String& recipient : job.recipients)
        out.Format("~%.1000s\r\n", OneLine(recipient).Text());

    job.comments.TrimRight();
    String comments = CommentLines(job.comments);
    out.Write(comments.Text(), comments.Length());
}

namespace {

// Read many lines' worth at a time; the lines are the same as reading 57
// bytes at a time, since only the last read of a file comes back short.
constexpr size_t kPiecesPerRead = 1024;

struct FileCloser {
    void operator()(FILE* file) const { std::fclose(file); }
};

// The last read of a file ends with a short line, and with an empty one when
// it came back with a whole number of lines, as reading line by line did.
void writePieces(SmtpDataWriter& out, std::string& lines, const unsigned char* bytes, size_t count, bool last)
{
    lines.clear();
    appendBase64Lines(lines, bytes, count);
    if (last && count % kBase64LineBytes == 0)
        lines.append("\r\n");
    out.WriteLinesWithoutDots(lines.data(), lines.size());
}

}  // namespace

Result<void> WriteAttachment(SmtpDataWriter& out, const FaxDocument& document, int number)
{
    out.Format("--%s\r\n", kFaxBoundary);
    out.Write("Content-Type: x-application/korvafax\r\n");
    out.Write("Content-Transfer-Encoding: base64\r\n");
    out.Format("Content-Disposition: attachment; filename=\"korvafax_%d.fmf\"\r\n\r\n", number);

    std::unique_ptr<FILE, FileCloser> file(std::fopen(document.file.Text(), "rb"));
    if (!file)
        return Error::fromErrno(errno != 0 ? errno : EIO, std::string("cannot open ") + document.file.Text());
    std::vector<unsigned char> block(kBase64LineBytes * kPiecesPerRead);
    std::string lines;
    while (!out.Failed()) {
        size_t count = std::fread(block.data(), 1, block.size(), file.get());
        bool last = count < block.size();
        if (last && std::ferror(file.get()))
            return Error::fromErrno(errno != 0 ? errno : EIO, std::string("cannot read ") + document.file.Text());
        writePieces(out, lines, block.data(), count, last);
        if (last)
            break;
    }
    return {};
}

void WriteMessageEnd(SmtpDataWriter& out) { out.Format("--%s--\r\n", kFaxBoundary); }

}  // namespace korva
