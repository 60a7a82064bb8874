#pragma once
// What the SMTP and directory conversations share about TLS: which way the
// Encryption setting asks for, and the box that tells why a TLS start failed.

#include "faxcourier/foundation/korva_string.h"
#include "faxcourier/settings/settings.h"

namespace korva {

class Socket;

// A value above 2 counts as TLS from the first byte: once encryption is
// asked for, the password must never go out in the clear.
inline bool TlsAtConnect(const Settings& settings) { return settings.Encryption >= kEncryptionTls; }
inline bool TlsAfterGreeting(const Settings& settings) { return settings.Encryption == kEncryptionStartTls; }

struct TlsStartFailure {
    const char* message = "";  // "Error logging on to KORVA", or its socket form
    String detail;             // why: the certificate's refusal, the TLS library's words, or the error number
    bool permanent = false;    // refused by TLS itself: trying again will not help
};

// After a failed Socket::StartTls. The box names `host` when the
// certificate was refused.
TlsStartFailure DescribeTlsFailure(const Socket& socket, const char* host);

}  // namespace korva
