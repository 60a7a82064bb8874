// Server bytes through the directory commands: the logon, a deletion, a
// change of an existing entry and the creation of a new one. Whatever the
// server sends, each ends with the result, the boxes and the entry's new
// identifier that the reply lines call for, and the wait cursor comes back.
// The first byte picks the operation; the rest is the server's.
#include "fuzz/server_bytes.h"

#include "faxcourier/foundation/server_error.h"
#include "faxcourier/net/directory_commands.h"
#include "faxcourier/net/socket_client.h"
#include "faxcourier/net/wait_cursor_hook.h"

#include <cstdint>
#include <cstdlib>
#include <vector>

using namespace korva;
using namespace korva::fuzz;

namespace {

const Listener& listener()
{
    static Listener shared;
    return shared;
}

std::vector<ServerErrorBox> boxes;
int cursorsShown = 0;
int cursorsRestored = 0;

struct Expected {
    const char* socketMessage;
    const char* replyMessage;
    std::string context;
};

// Reads the reply of one step; false (with the expected box checked) when
// the step failed.
bool stepSucceeds(const std::string& bytes, size_t& at, const Expected& step, size_t boxIndex, std::string& line)
{
    if (ReplyRead read = readReplyLine(bytes, at, line); read != ReplyRead::Line) {
        FUZZ_CHECK(boxes.size() > boxIndex);
        FUZZ_CHECK(unreadReplyBox(boxes[boxIndex], read, step.socketMessage, step.replyMessage, step.context));
        return false;
    }
    if (line[0] == '-') {
        FUZZ_CHECK(boxes.size() > boxIndex && boxes[boxIndex].message == step.replyMessage);
        FUZZ_CHECK(boxes[boxIndex].context == step.context && boxes[boxIndex].detail == shownText(line));
        return false;
    }
    return true;
}

bool logonSucceeds(const std::string& bytes, size_t& at)
{
    std::string line;
    for (const char* context : {"", "LOGON", "PASSWORD"})
        if (!stepSucceeds(bytes, at, {"Socket error logging on to KORVA", "Error logging on to KORVA", context}, 0,
                          line))
            return false;
    return true;
}

std::string trimmed(const std::string& text)
{
    const char* blanks = " \t\r\n";
    size_t first = text.find_first_not_of(blanks);
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

std::string renamed(const std::string& id, const std::string& mail)
{
    size_t comma = id.find(',');
    return "MAIL=" + mail + (comma == std::string::npos ? "," + id : id.substr(comma));
}

void logOnOnly(const std::string& bytes, const Settings& settings)
{
    bool loggedOn;
    {
        ServerBytes server(listener(), bytes);
        Socket socket;
        loggedOn = DirectoryLogon(nullptr, socket, settings).ok();
        FUZZ_CHECK(loggedOn == socket.IsOpen());
    }
    size_t at = 0;
    FUZZ_CHECK(logonSucceeds(bytes, at) == loggedOn);
    FUZZ_CHECK(boxes.size() == (loggedOn ? 0u : 1u));
}

void deleteEntry(const std::string& bytes, const Settings& settings)
{
    const String id("MAIL=anna,o=y");
    bool deleted;
    {
        ServerBytes server(listener(), bytes);
        deleted = DeleteDirectoryEntry(nullptr, id, settings);
    }
    size_t at = 0;
    std::string line;
    bool expected =
        logonSucceeds(bytes, at) &&
        stepSucceeds(bytes, at, {"Socket error Deleting LDAP Entry", "Error Deleting LDAP Entry", id.Text()}, 0, line);
    FUZZ_CHECK(deleted == expected);
    FUZZ_CHECK(boxes.size() == (deleted ? 0u : 1u));
}

// An existing entry: CN and MAIL change, TITLE is new; MAIL renames it.
// A new entry: created first, then CN and MAIL.
void saveEntry(const std::string& bytes, const Settings& settings, bool existing)
{
    AttributeMap oldMap;
    AttributeMap newMap{{"CN", "Anna B"}, {"MAIL", "berta"}};
    if (existing) {
        oldMap = {{kObjectIdKey, "MAIL=anna,o=y"}, {"CN", "Anna"}, {"MAIL", "anna"}};
        newMap["TITLE"] = "Sales";
    }
    {
        ServerBytes server(listener(), bytes);
        SaveDirectoryEntry(nullptr, oldMap, newMap, settings);
    }
    auto found = newMap.find(String(kObjectIdKey));
    const std::string result = found == newMap.end() ? "untouched" : found->second.Text();
    size_t at = 0;
    std::string line;
    if (!logonSucceeds(bytes, at)) {
        FUZZ_CHECK(boxes.size() == 2u && boxes[1].message == "Error connecting to KORVA server");
        FUZZ_CHECK(result == "untouched");
        return;
    }
    std::string id = "MAIL=anna,o=y";
    if (!existing) {
        if (!stepSucceeds(bytes, at, {"Socket error Creating LDAP Entry", "Error Creating LDAP Entry", ""}, 0, line)) {
            FUZZ_CHECK(boxes.size() == 1u && result == "untouched");
            return;
        }
        id = trimmed(line.size() > 4 ? line.substr(4) : std::string());
        if (id.empty()) {  // nothing more is sent, and nothing shown
            FUZZ_CHECK(boxes.empty() && result == "untouched");
            return;
        }
        if (id.find('\0') != std::string::npos)
            return;  // the commands carry the identifier only up to the NUL
    }
    const char* names[] = {"CN", "MAIL", "TITLE"};
    for (const char* name : names) {
        if (std::string(name) == "TITLE" && !existing)
            break;
        if (!stepSucceeds(bytes, at, {"Socket error Setting Attribute", "Error Setting Attribute", name}, 0, line)) {
            FUZZ_CHECK(boxes.size() == 1u && result == "untouched");
            return;
        }
        if (std::string(name) == "MAIL")
            id = renamed(id, "berta");
    }
    FUZZ_CHECK(boxes.empty());
    FUZZ_CHECK(result == id);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzzHome();
    setServerErrorSink([](const ServerErrorBox& box) { boxes.push_back(box); });
    setWaitCursorHooks([] { ++cursorsShown; }, [] { ++cursorsRestored; });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0 || size > ServerBytes::kMaxBytes)
        return 0;
    const std::string bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    Settings settings;
    settings.Server = "127.0.0.1";
    settings.POP3ServerPort = uint32_t(listener().port);
    settings.Username = "anna";
    settings.Password = "s3cret-pw";

    boxes.clear();
    cursorsShown = cursorsRestored = 0;
    switch (data[0] % 4) {
        case 0:
            logOnOnly(bytes, settings);
            break;
        case 1:
            deleteEntry(bytes, settings);
            break;
        case 2:
            saveEntry(bytes, settings, true);
            break;
        default:
            saveEntry(bytes, settings, false);
            break;
    }
    FUZZ_CHECK(cursorsShown == cursorsRestored);
    for (const ServerErrorBox& box : boxes) {
        // The detail is the server's own line, which may say anything.
        FUZZ_CHECK((box.message + box.context).find("s3cret-pw") == std::string::npos);
    }
    return 0;
}
