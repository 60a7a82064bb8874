// Deleting, creating and changing directory entries.
#include "faxcourier/foundation/log.h"
#include "faxcourier/foundation/server_error.h"
#include "faxcourier/net/directory_commands.h"
#include "faxcourier/net/fax_message.h"
#include "faxcourier/net/socket_client.h"
#include "faxcourier/net/wait_cursor_hook.h"
#include "platform/translation.h"

#include <cstdio>

namespace korva {
namespace {

constexpr const char* kLineBreakRefused =
    QT_TRANSLATE_NOOP("ServerError", "line break in the entry's name or attribute name");

// Identifiers and attribute names come from the directory: a CR or LF in
// them would start a command line of its own.
bool holdsLineBreak(const String& text) { return text.Find('\r') >= 0 || text.Find('\n') >= 0; }

void closeSocket(Socket& socket)
{
    LogDebug("Closing socket\n");
    socket.Close();
}

// One command and its reply. Fails after showing "<message>" (reply
// beginning with "-") or "Socket error <message>" (socket failure).
Result<String> command(void* owner, Socket& socket, const char* line, const char* socketMessage,
                       const char* replyMessage, const char* context)
{
    if (Result<void> sent = socket.SendString(line); !sent) {
        ShowServerError(owner, socketMessage, context, sent.error().text.c_str());
        return sent.error();
    }
    String reply;
    if (Result<void> read = socket.ReadLine(reply); !read) {
        ShowServerError(owner, ReadFailureMessage(socket, socketMessage, replyMessage), context,
                        read.error().text.c_str());
        return read.error();
    }
    if (reply.GetAt(0) == '-') {
        ShowServerError(owner, replyMessage, context, reply);
        return Error::withText(reply.Text());
    }
    return reply;
}

// Step 2: the new entry's identifier (empty when the reply named none);
// fails after a box.
Result<String> createEntry(void* owner, Socket& socket)
{
    Result<String> reply =
        command(owner, socket, "X-LDAPADD\r\n", QT_TRANSLATE_NOOP("ServerError", "Socket error Creating LDAP Entry"),
                QT_TRANSLATE_NOOP("ServerError", "Error Creating LDAP Entry"), "");
    if (!reply)
        return reply;
    String id = reply->Mid(4);
    id.TrimLeft();
    id.TrimRight();
    LogDebug("Create LDAP Entry\n");  // no test or script matches this text
    return id;
}

// Step 4: every changed attribute; fails after the first failure's box.
Result<void> sendChanges(void* owner, Socket& socket, AttributeMap& oldMap, const AttributeMap& newMap, String& id)
{
    for (const auto& [name, value] : newMap) {
        String converted = value.ToUtf8();
        if (oldMap[name] == converted)
            continue;
        if (holdsLineBreak(id) || holdsLineBreak(name)) {
            ShowServerError(owner, QT_TRANSLATE_NOOP("ServerError", "Error Setting Attribute"), OneLine(name).Text(),
                            kLineBreakRefused, translated("ServerError", kLineBreakRefused));
            return Error::withText(kLineBreakRefused);
        }
        String escaped = EscapeDirectoryValue(converted);
        char line[2400];
        std::snprintf(line, sizeof line, "X-LDAPSET %.100s %.100s %.2000s\r\n", id.Text(), name.Text(), escaped.Text());
        if (Result<String> set =
                command(owner, socket, line, QT_TRANSLATE_NOOP("ServerError", "Socket error Setting Attribute"),
                        QT_TRANSLATE_NOOP("ServerError", "Error Setting Attribute"), name.Text());
            !set)
            return set.error();
        LogDebug("Set attribute\n");
        if (name.CompareNoCase("MAIL") == 0)
            id = RenamedForMail(id, escaped);
    }
    return {};
}

}  // namespace

String EscapeDirectoryValue(const String& value)
{
    String escaped;
    for (uint32_t i = 0; i < value.Length(); ++i) {
        char c = value.GetAt(i);
        if (c == '\n')
            escaped.Append("\\n");
        else if (c == '\r')
            escaped.Append("\\r");
        else if (c == '\\')
            escaped.Append("\\\\");
        else
            escaped.AppendChar(c);
    }
    return escaped;
}

String RenamedForMail(const String& objectId, const String& escapedMail)
{
    String renamed("MAIL=");
    renamed.Append(escapedMail);
    int comma = objectId.Find(',');
    if (comma >= 0) {
        renamed.Append(objectId.Mid(uint32_t(comma)));
    } else {
        renamed.AppendChar(',');
        renamed.Append(objectId);
    }
    return renamed;
}

bool DeleteDirectoryEntry(void* owner, const String& objectId)
{
    return DeleteDirectoryEntry(owner, objectId, globalSettings());
}

bool DeleteDirectoryEntry(void* owner, const String& objectId, const Settings& settings)
{
    ScopedWaitCursor wait;
    if (holdsLineBreak(objectId)) {
        ShowServerError(owner, QT_TRANSLATE_NOOP("ServerError", "Error Deleting LDAP Entry"), OneLine(objectId).Text(),
                        kLineBreakRefused, translated("ServerError", kLineBreakRefused));
        return false;
    }
    Socket socket;
    if (!DirectoryLogon(owner, socket, settings))
        return false;
    char line[200];
    std::snprintf(line, sizeof line, "X-LDAPDEL %.100s\r\n", objectId.Text());
    const bool deleted =
        command(owner, socket, line, QT_TRANSLATE_NOOP("ServerError", "Socket error Deleting LDAP Entry"),
                QT_TRANSLATE_NOOP("ServerError", "Error Deleting LDAP Entry"), objectId.Text())
            .ok();
    if (deleted) {
        LogDebug("Delete LDAP Entry\n");  // no test or script matches this text
        Quit(socket);
    }
    closeSocket(socket);
    return deleted;
}

void SaveDirectoryEntry(void* owner, AttributeMap& oldMap, AttributeMap& newMap)
{
    SaveDirectoryEntry(owner, oldMap, newMap, globalSettings());
}

void SaveDirectoryEntry(void* owner, AttributeMap& oldMap, AttributeMap& newMap, const Settings& settings)
{
    ScopedWaitCursor wait;
    Socket socket;
    if (!DirectoryLogon(owner, socket, settings)) {
        LogDebug("Failed to connect\n");
        ShowServerError(owner, QT_TRANSLATE_NOOP("ServerError", "Error connecting to KORVA server"),
                        settings.Server.Text(), socket.ErrorText());
        return;
    }
    String id = oldMap[kObjectIdKey];
    if (id.IsEmpty()) {
        Result<String> created = createEntry(owner, socket);
        if (!created) {
            closeSocket(socket);
            return;
        }
        id = *created;
    }
    if (!id.IsEmpty() && sendChanges(owner, socket, oldMap, newMap, id)) {
        newMap[kObjectIdKey] = id;
        Quit(socket);
    }
    closeSocket(socket);
}

}  // namespace korva
