#include "faxcourier/net/smtp_data_writer.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <utility>

namespace korva {

SmtpDataWriter::SmtpDataWriter(SendFunction send) : send_(std::move(send)) { buffer_.reserve(kSendSize + 1024); }

void SmtpDataWriter::Write(const char* text, size_t length)
{
    if (Failed())
        return;
    const char* end = text + length;
    while (text < end) {
        if (atLineStart_ && *text == '.')
            buffer_.push_back('.');
        const char* lineEnd = static_cast<const char*>(std::memchr(text, '\n', static_cast<size_t>(end - text)));
        const char* next = lineEnd == nullptr ? end : lineEnd + 1;
        buffer_.append(text, next);
        atLineStart_ = lineEnd != nullptr;
        text = next;
    }
    if (buffer_.size() >= kSendSize)
        static_cast<void>(Flush());  // a failure stays for Finish to hand back
}

void SmtpDataWriter::Write(const char* text) { Write(text, std::strlen(text)); }

void SmtpDataWriter::WriteLinesWithoutDots(const char* text, size_t length)
{
    if (Failed() || length == 0)
        return;
    buffer_.append(text, length);
    atLineStart_ = text[length - 1] == '\n';
    if (buffer_.size() >= kSendSize)
        static_cast<void>(Flush());  // a failure stays for Finish to hand back
}

void SmtpDataWriter::Format(const char* format, ...)
{
    char line[10000];
    va_list arguments;
    va_start(arguments, format);
    int length = std::vsnprintf(line, sizeof line, format, arguments);
    va_end(arguments);
    if (length < 0)
        return;
    Write(line, std::min(static_cast<size_t>(length), sizeof line - 1));
}

Result<void> SmtpDataWriter::Finish()
{
    if (failure_)
        return *failure_;
    if (!atLineStart_)
        buffer_.append("\r\n");
    buffer_.append(".\r\n");
    return Flush();
}

Result<void> SmtpDataWriter::Flush()
{
    if (failure_)
        return *failure_;
    if (!buffer_.empty()) {
        if (Result<void> sent = send_(buffer_.c_str()); !sent)
            failure_ = sent.error();
    }
    buffer_.clear();
    if (failure_)
        return *failure_;
    return {};
}

}  // namespace korva
