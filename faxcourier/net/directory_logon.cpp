// Connecting and logging on for the directory commands.
#include "faxcourier/foundation/log.h"
#include "faxcourier/foundation/server_error.h"
#include "faxcourier/net/certificate_problem.h"
#include "faxcourier/net/directory_commands.h"
#include "faxcourier/net/fax_message.h"
#include "faxcourier/net/socket_client.h"
#include "faxcourier/net/tls_start.h"
#include "faxcourier/settings/server_target.h"
#include "platform/translation.h"

#include <cstring>

namespace korva {
namespace {

constexpr uint32_t kReplyTimeoutSeconds = 60;
constexpr const char* kLogonFailed = QT_TRANSLATE_NOOP("ServerError", "Error logging on to KORVA");
constexpr const char* kLogonSocketFailed = QT_TRANSLATE_NOOP("ServerError", "Socket error logging on to KORVA");

// Shows the box and closes; the error's text is the box's detail.
Result<void> failLogon(void* owner, Socket& socket, const char* message, const char* context, const String& detail,
                       const std::string& shownDetail)
{
    ShowServerError(owner, message, context, detail, shownDetail);
    LogDebug("Closing socket\n");
    int code = socket.LastError();
    socket.Close();
    return Error::withText(detail.Text(), code);
}

Result<void> failLogon(void* owner, Socket& socket, const char* message, const char* context, const String& detail)
{
    return failLogon(owner, socket, message, context, detail, detail.Text());
}

// Reads one reply line into `reply`; a socket failure or a reply starting
// with "-" shows its box and closes.
Result<void> logonReply(void* owner, Socket& socket, const char* context, String& reply)
{
    if (Result<void> read = socket.ReadLine(reply); !read)
        return failLogon(owner, socket, ReadFailureMessage(socket, kLogonSocketFailed, kLogonFailed), context,
                         read.error().text.c_str());
    if (reply.GetAt(0) == '-')
        return failLogon(owner, socket, kLogonFailed, context, reply);
    return {};
}

Result<void> secure(void* owner, Socket& socket, const Settings& settings, const char* context)
{
    Result<void> started = startTls(socket, settings);
    if (started)
        return started;
    TlsStartFailure failure = DescribeTlsFailure(started.error());
    return failLogon(owner, socket, failure.message, context, failure.detail, shownTlsRefusal(failure.detail.Text()));
}

// RFC 2595. Anything but "+OK" means no upgrade, and then no logon: the
// password never goes out in the clear once encryption is chosen.
Result<void> upgradeWithStls(void* owner, Socket& socket, const Settings& settings)
{
    if (Result<void> sent = socket.SendString("STLS\r\n"); !sent)
        return failLogon(owner, socket, kLogonSocketFailed, "STLS", sent.error().text.c_str());
    String reply;
    if (Result<void> read = socket.ReadLine(reply); !read)
        return failLogon(owner, socket, ReadFailureMessage(socket, kLogonSocketFailed, kLogonFailed), "STLS",
                         read.error().text.c_str());
    if (std::strncmp(reply.Text(), "+OK", 3) != 0)
        return failLogon(owner, socket, kLogonFailed, "STLS", reply);
    LogDebug("STLS accepted - %.100s\n", reply.Text());  // no test or script matches this text
    return secure(owner, socket, settings, "STLS");
}

}  // namespace

Result<void> DirectoryLogon(void* owner, Socket& socket) { return DirectoryLogon(owner, socket, globalSettings()); }

Result<void> DirectoryLogon(void* owner, Socket& socket, const Settings& settings)
{
    CheckedTarget checked = serverTarget(settings);
    if (const SettingRefusal* refusal = std::get_if<SettingRefusal>(&checked)) {
        reportSettingRefusal(owner, *refusal);
        return Error::withText("setting " + refusal->setting + " refused: " + refusal->why);
    }
    uint32_t encryption = std::get<ServerTarget>(checked).encryption;
    // A socket that cannot be made or bound fails as its connection would.
    Result<void> connected = socket.Create(kReplyTimeoutSeconds);
    if (connected)
        connected = socket.Bind();
    LogDebug("Connecting to %.100s:%d\n", settings.Server.Text(), int(settings.POP3ServerPort));
    if (connected)
        connected = socket.Connect(settings.Server.Text(), settings.POP3ServerPort);
    if (!connected) {
        LogDebug("Failed to connect\n");
        return failLogon(owner, socket, QT_TRANSLATE_NOOP("ServerError", "Error connecting to KORVA server"),
                         settings.Server.Text(), connected.error().text.c_str());
    }
    LogDebug("Connected OK\n");
    if (encryption == kEncryptionTls)
        if (Result<void> secured = secure(owner, socket, settings, "TLS"); !secured)
            return secured;
    String reply;
    if (Result<void> welcome = logonReply(owner, socket, "", reply); !welcome)
        return welcome;
    LogDebug("Got welcome line - %.100s\n", reply.Text());  // no test or script matches this text
    if (encryption == kEncryptionStartTls)
        if (Result<void> upgraded = upgradeWithStls(owner, socket, settings); !upgraded)
            return upgraded;
    // A user name or password never ends its command line early.
    if (Result<void> sent = socket.SendFormatted("X-LDAPUSER %.100s\r\n", OneLine(settings.Username).Text()); !sent)
        return failLogon(owner, socket, kLogonSocketFailed, "LOGON", sent.error().text.c_str());
    if (Result<void> user = logonReply(owner, socket, "LOGON", reply); !user)
        return user;
    LogDebug("Sent logon, result= %.100s\n", reply.Text());
    if (Result<void> sent = socket.SendFormatted("PASS %.100s\r\n", OneLine(settings.Password).Text()); !sent)
        return failLogon(owner, socket, kLogonSocketFailed, "PASSWORD", sent.error().text.c_str());
    if (Result<void> password = logonReply(owner, socket, "PASSWORD", reply); !password)
        return password;
    LogDebug("Sent password, result= %.100s\n", reply.Text());
    return {};
}

}  // namespace korva
