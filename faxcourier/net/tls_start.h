#pragma once
// What the SMTP and directory conversations share about TLS: starting it on
// their socket, and the box that tells why that failed. Which way TLS
// starts comes from serverTarget (settings/server_target.h), checked before
// connecting.

#include "faxcourier/foundation/korva_string.h"
#include "faxcourier/settings/settings.h"
#include "platform/result.h"

namespace korva {

class Socket;

// Turns the connected socket into TLS with the settings' Server, trusting
// TLSCAFile beside the system's CA store. The error's code is the socket's
// (kSocketTlsRefused when TLS itself refused); its text is the box's detail:
// the certificate's refusal, the TLS library's words, or the error number.
[[nodiscard]] Result<void> startTls(Socket& socket, const Settings& settings);

struct TlsStartFailure {
    const char* message = "";  // "Error logging on to KORVA", or its socket form
    String detail;             // the error's text
    bool permanent = false;    // refused by TLS itself: trying again will not help
};

// The box for a failed startTls.
[[nodiscard]] TlsStartFailure DescribeTlsFailure(const Error& error);

}  // namespace korva
