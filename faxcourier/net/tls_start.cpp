#include "faxcourier/net/tls_start.h"

#include "faxcourier/net/certificate_problem.h"
#include "faxcourier/net/socket_client.h"
#include "platform/translation.h"

#include <string>

namespace korva {

// The box names the server when the certificate was refused.
Result<void> startTls(Socket& socket, const Settings& settings)
{
    if (socket.StartTls(settings.Server.Text(), settings.TLSCAFile.Text()))
        return {};
    if (socket.LastError() != kSocketTlsRefused)
        return Error::withText(socket.ErrorText().Text(), socket.LastError());
    std::string name = settings.Server.Text();
    std::string why = socket.TlsProblem() != CertificateProblem::None
                          ? certificateRefusal(name, socket.TlsProblem(), socket.TlsDetail())
                          : "TLS with " + name + " failed: " + socket.TlsDetail() + ".";
    return Error::withText(why, kSocketTlsRefused);
}

TlsStartFailure DescribeTlsFailure(const Error& error)
{
    String detail(error.text.c_str());
    if (error.code != kSocketTlsRefused)
        return {QT_TRANSLATE_NOOP("ServerError", "Socket error logging on to KORVA"), detail, false};
    return {QT_TRANSLATE_NOOP("ServerError", "Error logging on to KORVA"), detail, true};
}

}  // namespace korva
