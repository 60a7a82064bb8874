#pragma once
// What the SMTP and directory conversations share about TLS: the box that
// tells why a TLS start failed. Which way TLS starts comes from
// serverTarget (settings/server_target.h), checked before connecting.

#include "faxcourier/foundation/korva_string.h"

namespace korva {

class Socket;

struct TlsStartFailure {
    const char* message = "";  // "Error logging on to KORVA", or its socket form
    String detail;             // why: the certificate's refusal, the TLS library's words, or the error number
    bool permanent = false;    // refused by TLS itself: trying again will not help
};

// After a failed Socket::StartTls. The box names `host` when the
// certificate was refused.
TlsStartFailure DescribeTlsFailure(const Socket& socket, const char* host);

}  // namespace korva
