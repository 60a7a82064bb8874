#pragma once
// Streams the DATA part of an SMTP submission: text goes out in sends of a
// few dozen kilobytes instead of one send per line, and every line that
// begins with "." gets a second one, so nothing before the final ".\r\n"
// can end the message.

#include "platform/result.h"

#include <cstddef>
#include <functional>
#include <optional>
#include <string>

namespace korva {

class SmtpDataWriter {
public:
    // `send` takes one NUL-terminated chunk.
    using SendFunction = std::function<Result<void>(const char* text)>;
    static constexpr size_t kSendSize = 64 * 1024;

    explicit SmtpDataWriter(SendFunction send);

    void Write(const char* text, size_t length);
    void Write(const char* text);
    // Whole lines none of which begins with ".", such as base64: they need
    // no look at each line.
    void WriteLinesWithoutDots(const char* text, size_t length);
    // Formats into at most 10000 characters, as a formatted send would.
    void Format(const char* format, ...) __attribute__((format(printf, 2, 3)));

    // Sends what is buffered. After the first failed send nothing more is
    // sent, Failed() stays true and every Flush hands back that send's error.
    Result<void> Flush();
    // Ends the data with the lone ".\r\n" and sends the rest; fails when
    // this or any earlier send failed.
    Result<void> Finish();
    bool Failed() const { return failure_.has_value(); }

private:
    SendFunction send_;
    std::string buffer_;
    bool atLineStart_ = true;       // the DATA command's line has just ended
    std::optional<Error> failure_;  // the first failed send's
};

}  // namespace korva
