#include "faxcourier/net/tls_start.h"

#include "faxcourier/net/certificate_problem.h"
#include "faxcourier/net/socket_client.h"
#include "platform/translation.h"

namespace korva {

TlsStartFailure DescribeTlsFailure(const Socket& socket, const char* host)
{
    if (socket.LastError() != kSocketTlsRefused)
        return {QT_TRANSLATE_NOOP("ServerError", "Socket error logging on to KORVA"), socket.ErrorText(), false};
    std::string name = host != nullptr ? host : "";
    std::string why = socket.TlsProblem() != CertificateProblem::None
                          ? certificateRefusal(name, socket.TlsProblem(), socket.TlsDetail())
                          : "TLS with " + name + " failed: " + socket.TlsDetail() + ".";
    return {QT_TRANSLATE_NOOP("ServerError", "Error logging on to KORVA"), String(why.c_str()), true};
}

}  // namespace korva
