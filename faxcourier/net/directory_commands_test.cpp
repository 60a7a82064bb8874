#include "faxcourier/net/directory_commands.h"

#include "faxcourier/foundation/server_error_capture.h"
#include "faxcourier/net/socket_seam.h"
#include "faxcourier/net/testing/scripted_server.h"
#include "faxcourier/net/wait_cursor_hook.h"
#include "platform/testing/scoped_seam.h"
#include "platform/testing/test_support.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <string>
#include <vector>

using namespace korva;
using korva::testing::ScriptedServer;

namespace {

using Lines = std::vector<std::string>;

const std::string kOk = "+OK";

Settings settingsFor(int port)
{
    Settings settings;
    settings.Server = "127.0.0.1";
    settings.POP3ServerPort = uint32_t(port);
    settings.Username = "carl";
    settings.Password = "pw";
    return settings;
}

std::string text(const String& s) { return s.Text(); }

// The logon's three replies followed by `more`.
std::vector<std::string> logonThen(std::vector<std::string> more)
{
    std::vector<std::string> replies = {"+OK welcome", kOk, kOk};
    replies.insert(replies.end(), more.begin(), more.end());
    return replies;
}

class DirectoryCommands : public ::testing::Test {
protected:
    korva::testing::TempHome home;
    CapturedServerErrors boxes;
    int shown = 0;
    int restored = 0;
    ScopedWaitCursorHooks waitCursor{[this] { ++shown; }, [this] { ++restored; }};
};

}  // namespace

TEST_F(DirectoryCommands, NewEntryTakesTheAddReplyAndSendsEveryNonEmptyAttribute)
{
    ScriptedServer server(logonThen({"+OK MAIL=carl,o=y", kOk, kOk, kOk, "+OK bye"}));
    AttributeMap oldMap;
    AttributeMap newMap{{"CN", "Carl"}, {"FAX", "0301"}, {"O", ""}, {"MAIL", "carl"}};
    SaveDirectoryEntry(nullptr, oldMap, newMap, settingsFor(server.port()));
    EXPECT_EQ(server.lines(), (Lines{"X-LDAPUSER carl", "PASS pw", "X-LDAPADD", "X-LDAPSET MAIL=carl,o=y CN Carl",
                                     "X-LDAPSET MAIL=carl,o=y FAX 0301", "X-LDAPSET MAIL=carl,o=y MAIL carl", "QUIT"}));
    EXPECT_EQ(text(newMap["OBJECTID"]), "MAIL=carl,o=y");
    EXPECT_TRUE(boxes.boxes().empty());
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(restored, 1);
}

TEST_F(DirectoryCommands, NoChangeSendsOnlyTheLogonAndQuit)
{
    ScriptedServer server(logonThen({"+OK bye"}));
    AttributeMap oldMap{{"OBJECTID", "MAIL=anna,o=y"}, {"CN", "Anna"}, {"FAX", "1"}};
    AttributeMap newMap{{"CN", "Anna"}, {"FAX", "1"}, {"TITLE", ""}};
    SaveDirectoryEntry(nullptr, oldMap, newMap, settingsFor(server.port()));
    EXPECT_EQ(server.lines(), (Lines{"X-LDAPUSER carl", "PASS pw", "QUIT"}));
    EXPECT_EQ(text(newMap["OBJECTID"]), "MAIL=anna,o=y");
}

TEST_F(DirectoryCommands, LineBreaksAndBackslashTravelEscapedOnOneLine)
{
    ScriptedServer server(logonThen({kOk, "+OK bye"}));
    AttributeMap oldMap{{"OBJECTID", "MAIL=anna,o=y"}};
    AttributeMap newMap{{"POSTALADDRESS", "1 Road\r\nTown \\ North"}};
    SaveDirectoryEntry(nullptr, oldMap, newMap, settingsFor(server.port()));
    std::string received = server.received();
    EXPECT_NE(received.find("X-LDAPSET MAIL=anna,o=y POSTALADDRESS 1 Road\\r\\nTown \\\\ North\r\nQUIT\r\n"),
              std::string::npos);
}

TEST_F(DirectoryCommands, LatinOneGoesOutAsUtf8AndAnUnchangedUtf8ValueIsNotSent)
{
    ScriptedServer server(logonThen({kOk, "+OK bye"}));
    AttributeMap oldMap{{"OBJECTID", "MAIL=anna,o=y"}, {"CN", "Ren\xC3\xA9"}};
    AttributeMap newMap{{"CN", "Ren\xE9"}, {"O", "Caf\xE9"}};
    SaveDirectoryEntry(nullptr, oldMap, newMap, settingsFor(server.port()));
    EXPECT_EQ(server.lines(), (Lines{"X-LDAPUSER carl", "PASS pw", "X-LDAPSET MAIL=anna,o=y O Caf\xC3\xA9", "QUIT"}));
}

TEST_F(DirectoryCommands, MailRenamesTheWorkingIdentifierBeforeLaterCommands)
{
    ScriptedServer server(logonThen({kOk, kOk, "+OK bye"}));
    AttributeMap oldMap{{"OBJECTID", "MAIL=anna,o=y"}, {"MAIL", "anna"}};
    AttributeMap newMap{{"MAIL", "berta"}, {"TITLE", "Sales"}};
    SaveDirectoryEntry(nullptr, oldMap, newMap, settingsFor(server.port()));
    EXPECT_EQ(server.lines(), (Lines{"X-LDAPUSER carl", "PASS pw", "X-LDAPSET MAIL=anna,o=y MAIL berta",
                                     "X-LDAPSET MAIL=berta,o=y TITLE Sales", "QUIT"}));
    EXPECT_EQ(text(newMap["OBJECTID"]), "MAIL=berta,o=y");
}

TEST_F(DirectoryCommands, MailOnAnIdentifierWithoutCommaKeepsItWholeAfterAComma)
{
    EXPECT_EQ(text(RenamedForMail("42", "berta")), "MAIL=berta,42");
    ScriptedServer server(logonThen({kOk, "+OK bye"}));
    AttributeMap oldMap{{"OBJECTID", "42"}};
    AttributeMap newMap{{"MAIL", "berta"}};
    SaveDirectoryEntry(nullptr, oldMap, newMap, settingsFor(server.port()));
    EXPECT_EQ(text(newMap["OBJECTID"]), "MAIL=berta,42");
}

TEST_F(DirectoryCommands, RefusedPasswordShowsItsBoxAndSendsNothingMore)
{
    ScriptedServer server({"+OK welcome", kOk, "-ERR bad password"});
    EXPECT_FALSE(DeleteDirectoryEntry(nullptr, "MAIL=anna,o=y", settingsFor(server.port())));
    EXPECT_EQ(server.lines(), (Lines{"X-LDAPUSER carl", "PASS pw"}));
    auto shownBoxes = boxes.boxes();
    ASSERT_EQ(shownBoxes.size(), 1u);
    EXPECT_EQ(shownBoxes[0].message, "Error logging on to KORVA");
    EXPECT_EQ(shownBoxes[0].context, "PASSWORD");
    EXPECT_EQ(shownBoxes[0].detail, "-ERR bad password");
}

TEST_F(DirectoryCommands, FailedLogonInASaveShowsASecondBox)
{
    ScriptedServer server({"-ERR busy"});
    AttributeMap oldMap;
    AttributeMap newMap{{"CN", "x"}};
    SaveDirectoryEntry(nullptr, oldMap, newMap, settingsFor(server.port()));
    auto shownBoxes = boxes.boxes();
    ASSERT_EQ(shownBoxes.size(), 2u);
    EXPECT_EQ(shownBoxes[0].message, "Error logging on to KORVA");
    EXPECT_EQ(shownBoxes[0].context, "");
    EXPECT_EQ(shownBoxes[1].message, "Error connecting to KORVA server");
    EXPECT_EQ(shownBoxes[1].context, "127.0.0.1");
    EXPECT_EQ(newMap.count("OBJECTID"), 0u);
    EXPECT_EQ(restored, 1);
}

TEST_F(DirectoryCommands, DeleteCutsTheIdentifierToOneHundredCharacters)
{
    std::string id = "MAIL=" + std::string(96, 'a');  // 101 characters
    ScriptedServer server(logonThen({kOk, "+OK bye"}));
    EXPECT_TRUE(DeleteDirectoryEntry(nullptr, id.c_str(), settingsFor(server.port())));
    EXPECT_EQ(server.lines(), (Lines{"X-LDAPUSER carl", "PASS pw", "X-LDAPDEL " + id.substr(0, 100), "QUIT"}));
}

TEST_F(DirectoryCommands, RefusedDeleteShowsTheReply)
{
    ScriptedServer server(logonThen({"-ERR not deletable"}));
    EXPECT_FALSE(DeleteDirectoryEntry(nullptr, "MAIL=anna,o=y", settingsFor(server.port())));
    EXPECT_EQ(server.lines(), (Lines{"X-LDAPUSER carl", "PASS pw", "X-LDAPDEL MAIL=anna,o=y"}));
    auto shownBoxes = boxes.boxes();
    ASSERT_EQ(shownBoxes.size(), 1u);
    EXPECT_EQ(shownBoxes[0].message, "Error Deleting LDAP Entry");
    EXPECT_EQ(shownBoxes[0].context, "MAIL=anna,o=y");
    EXPECT_EQ(shownBoxes[0].detail, "-ERR not deletable");
}

// The directory commands' replies are POP3's: 512 bytes with CR LF at most.
TEST_F(DirectoryCommands, ReplyLineLongerThanPop3AllowsEndsItsStepAtOnce)
{
    struct Case {
        std::vector<std::string> replies;
        const char* message;
        const char* context;
    };
    const std::string tooLong(600, 'r');
    const Case cases[] = {
        {{"+OK " + tooLong}, "Error logging on to KORVA", ""},
        {{"+OK welcome", kOk, "+OK " + tooLong}, "Error logging on to KORVA", "PASSWORD"},
        {logonThen({"-ERR " + tooLong}), "Error Deleting LDAP Entry", "MAIL=anna,o=y"},
    };
    korva::testing::ScopedSeam readWait(korva::socket_seam::setReadWaitMs, 2000);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.context);
        CapturedServerErrors rowBoxes;
        ScriptedServer server(c.replies);
        EXPECT_FALSE(DeleteDirectoryEntry(nullptr, "MAIL=anna,o=y", settingsFor(server.port())));
        auto shownBoxes = rowBoxes.boxes();
        ASSERT_EQ(shownBoxes.size(), 1u);
        EXPECT_EQ(shownBoxes[0].message, c.message);
        EXPECT_EQ(shownBoxes[0].context, c.context);
        EXPECT_EQ(shownBoxes[0].detail, "10040");
    }
}

TEST_F(DirectoryCommands, FailedSetStopsWithoutQuitAndLeavesTheIdentifier)
{
    ScriptedServer server(logonThen({kOk, "-ERR nope"}));
    AttributeMap oldMap{{"OBJECTID", "MAIL=anna,o=y"}};
    AttributeMap newMap{{"CN", "a"}, {"FAX", "1"}, {"O", "c"}};
    SaveDirectoryEntry(nullptr, oldMap, newMap, settingsFor(server.port()));
    EXPECT_EQ(server.lines(),
              (Lines{"X-LDAPUSER carl", "PASS pw", "X-LDAPSET MAIL=anna,o=y CN a", "X-LDAPSET MAIL=anna,o=y FAX 1"}));
    auto shownBoxes = boxes.boxes();
    ASSERT_EQ(shownBoxes.size(), 1u);
    EXPECT_EQ(shownBoxes[0].message, "Error Setting Attribute");
    EXPECT_EQ(shownBoxes[0].context, "FAX");
    EXPECT_EQ(newMap.count("OBJECTID"), 0u);
}

TEST_F(DirectoryCommands, ShortAddReplyEndsTheSaveSilently)
{
    ScriptedServer server(logonThen({"+OK"}));
    AttributeMap oldMap;
    AttributeMap newMap{{"CN", "a"}};
    SaveDirectoryEntry(nullptr, oldMap, newMap, settingsFor(server.port()));
    EXPECT_EQ(server.lines(), (Lines{"X-LDAPUSER carl", "PASS pw", "X-LDAPADD"}));
    EXPECT_TRUE(boxes.boxes().empty());
    EXPECT_EQ(newMap.count("OBJECTID"), 0u);
}

TEST_F(DirectoryCommands, UnreachableServerShowsTheConnectBox)
{
    int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    ASSERT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&address), size), 0);
    getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size);
    close(fd);  // nothing listens there now
    EXPECT_FALSE(DeleteDirectoryEntry(nullptr, "MAIL=a,o=y", settingsFor(ntohs(address.sin_port))));
    auto shownBoxes = boxes.boxes();
    ASSERT_EQ(shownBoxes.size(), 1u);
    EXPECT_EQ(shownBoxes[0].message, "Error connecting to KORVA server");
    EXPECT_EQ(shownBoxes[0].detail, std::to_string(ECONNREFUSED));
}

// A line break in an identifier or attribute name never reaches the wire.
TEST_F(DirectoryCommands, IdentifierWithALineBreakIsNotDeleted)
{
    // Port 1: a connection attempt would show the connect box instead.
    EXPECT_FALSE(DeleteDirectoryEntry(nullptr, "MAIL=a,o=y\r\nX-LDAPDEL MAIL=b,o=y", settingsFor(1)));
    auto shownBoxes = boxes.boxes();
    ASSERT_EQ(shownBoxes.size(), 1u);
    EXPECT_EQ(shownBoxes[0].message, "Error Deleting LDAP Entry");
    EXPECT_EQ(shownBoxes[0].context, "MAIL=a,o=y  X-LDAPDEL MAIL=b,o=y");
    EXPECT_EQ(shown, 1);
}

TEST_F(DirectoryCommands, IdentifierOrNameWithALineBreakIsRefusedAtTheSetStep)
{
    ScriptedServer server(logonThen({}));
    AttributeMap oldMap{{"OBJECTID", "MAIL=a,o=y\nX-LDAPDEL MAIL=b,o=y"}};
    AttributeMap newMap{{"CN", "x"}};
    SaveDirectoryEntry(nullptr, oldMap, newMap, settingsFor(server.port()));
    EXPECT_EQ(server.lines(), (Lines{"X-LDAPUSER carl", "PASS pw"}));
    auto shownBoxes = boxes.boxes();
    ASSERT_EQ(shownBoxes.size(), 1u);
    EXPECT_EQ(shownBoxes[0].message, "Error Setting Attribute");
    EXPECT_EQ(shownBoxes[0].context, "CN");
    EXPECT_EQ(newMap.count("OBJECTID"), 0u);

    ScriptedServer second(logonThen({}));
    AttributeMap oldEntry{{"OBJECTID", "MAIL=a,o=y"}};
    AttributeMap badName{{"CN\r\nX-LDAPDEL MAIL=b,o=y", "x"}};
    SaveDirectoryEntry(nullptr, oldEntry, badName, settingsFor(second.port()));
    EXPECT_EQ(second.lines(), (Lines{"X-LDAPUSER carl", "PASS pw"}));
    EXPECT_EQ(boxes.boxes().size(), 2u);
}

TEST(DirectoryValue, EscapesLineBreaksAndBackslashOnly)
{
    EXPECT_EQ(text(EscapeDirectoryValue("a\nb\rc\\d e\t")), "a\\nb\\rc\\\\d e\t");
    EXPECT_EQ(text(EscapeDirectoryValue("")), "");
}
