#pragma once
// The Date and Message-ID of a fax message. A server that takes mail from
// another host adds neither, and RFC 5322 requires the Date.

#include "faxcourier/foundation/korva_string.h"

#include <ctime>
#include <string>

namespace korva {

struct MessageStamp {
    std::string date;       // "Tue, 08 Dec 2026 14:19:10 +0100"
    std::string messageId;  // "<unique@domain>"
};

// `when` in RFC 5322 form, local time with its numeric zone; English day and
// month names whatever the locale.
std::string MailDate(std::time_t when);

// The domain the Message-ID is made in: that of `emailAddress` when it has a
// usable one, otherwise the host name, otherwise "korvafax.invalid".
std::string MessageIdDomain(const String& emailAddress);

// A stamp for a message sent now: never the same Message-ID twice, also not
// across processes.
MessageStamp NewMessageStamp(const String& emailAddress);

// Every stamp is `fixed` while this lives, for tests that compare whole
// messages.
class FixedMessageStamp {
public:
    explicit FixedMessageStamp(MessageStamp fixed);
    ~FixedMessageStamp();
    FixedMessageStamp(const FixedMessageStamp&) = delete;
    FixedMessageStamp& operator=(const FixedMessageStamp&) = delete;

private:
    const MessageStamp* previous_;
    MessageStamp fixed_;
};

}  // namespace korva
