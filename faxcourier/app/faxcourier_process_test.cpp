// The whole program as a process on a machine without a desktop: a fax
// preset with faxpreset and printed with faxprint reaches korva-sim through
// a running faxcourier, and the quit signals end it with exit code 0.

#include "faxcourier/app/testing/courier_process.h"
#include "faxcourier/app/testing/notification_catcher.h"
#include "faxcourier/app/testing/session_bus.h"
#include "faxcourier/net/test_certificates.h"
#include "faxcourier/net/testing/hostile_servers.h"
#include "faxcourier/outbox/outbox.h"
#include "faxcourier/settings/settings.h"
#include "faxcourier/widgets/testing/scripted_ui.h"
#include "platform/courier_presence.h"
#include "platform/paths.h"
#include "platform/registry_store.h"
#include "platform/testing/loopback_ports.h"
#include "platform/testing/test_support.h"
#include "tools/korva-sim/testing/korva_sim_process.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <thread>
#include <unistd.h>

using namespace korva;
using namespace korva::app::testing;
using korva::testing::binPath;
using korva::testing::KorvaSimProcess;
using korva::testing::readWholeFile;
using korva::testing::runProcess;
using korva::testing::ScriptedServer;
using korva::testing::TempHome;

namespace {

using std::chrono::milliseconds;

// User and system CPU time a process has used so far, from /proc.
milliseconds cpuTimeOf(pid_t pid)
{
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    std::string stat((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    // The fields after the command name, which may hold blanks: state is
    // field 3, user time 14 and system time 15.
    std::istringstream fields(stat.substr(stat.rfind(')') + 2));
    std::string field;
    long ticks = 0;
    for (int n = 3; n <= 15 && fields >> field; ++n)
        if (n >= 14)
            ticks += std::stol(field);
    return milliseconds(ticks * 1000 / sysconf(_SC_CLK_TCK));
}

// The fields of a stored fax that the test looks at, one per line.
const char* kStoredFields = R"(
import json, sys
r = json.load(open(sys.argv[1], encoding="utf-8"))
out = ["subject=" + r["subject"], "cover_page=" + str(r["cover_page"]), "comments=" + r["comments"]]
out += ["recipient=" + "|".join([x["fax"], x["name"], x["company"]]) for x in r["recipients"]]
for a in r["attachments"]:
    out.append("attachment=%d pages, %s" % (a["pages"], ",".join("%dx@%sx%s" % (p["width"], p["x_resolution"], p["y_resolution"]) for p in a["geometry"])))
out.append("problems=%d" % len(r["problems"]))
print("\n".join(out))
)";

class CourierRun : public ::testing::Test {
protected:
    CourierRun() : received(home.path() + "/received"), sim(received, "anna", "s3cret", "fax@korva.example")
    {
        Settings settings;
        settings.Server = "127.0.0.1";
        settings.SMTPServerPort = uint32_t(sim.port("smtp"));
        settings.Username = "anna";
        settings.Password = "s3cret";
        settings.EmailAddress = "anna@example.com";
        settings.FaxAddress = "fax@korva.example";
        EXPECT_TRUE(SaveSettings(settings));
        log = stateHome() + "/KORVAFax/korvafax.log";
        errors = home.path() + "/faxcourier.err";
    }

    // Starts faxcourier with the debug log and waits until it watches.
    std::unique_ptr<CourierProcess> startCourier()
    {
        auto courier = std::make_unique<CourierProcess>(std::vector<std::string>{"-debug"}, errors);
        EXPECT_TRUE(waitForFileText(log, "Watching ")) << readWholeFile(errors);
        return courier;
    }

    void preset(const std::vector<std::string>& arguments)
    {
        std::vector<std::string> argv{binPath("faxpreset")};
        argv.insert(argv.end(), arguments.begin(), arguments.end());
        auto result = runProcess(argv);
        ASSERT_EQ(result.exitCode, 0) << result.out << result.err;
    }

    void printLetter()
    {
        auto result = runProcess({binPath("faxprint"), "--name", "letter", KORVA_SAMPLE_LETTER});
        ASSERT_EQ(result.exitCode, 0) << result.out << result.err;
    }

    std::string storedFields(const std::string& json)
    {
        auto result = runProcess({"/usr/bin/python3", "-I", "-c", kStoredFields, json});
        EXPECT_EQ(result.exitCode, 0) << result.err;
        return result.out;
    }

    std::vector<std::string> spoolTifFiles()
    {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(*spoolFolder()))
            if (entry.path().extension() == ".tif")
                names.push_back(entry.path().filename());
        return names;
    }

    TempHome home;
    std::string received;
    KorvaSimProcess sim;
    std::string log;
    std::string errors;
};

TEST_F(CourierRun, PresetFaxReachesKorvaSimWithoutAWindowAndSigtermEndsWithZero)
{
    auto courier = startCourier();
    preset({"-s", "Quarterly report", "-r", "0301 555~Berta Blau~Blau KG", "-r", "0402 666~Carl Cyan~"});
    printLetter();

    ASSERT_TRUE(waitForFile(received + "/0001.json")) << readWholeFile(errors) << readWholeFile(log);
    EXPECT_EQ(storedFields(received + "/0001.json"),
              "subject=Quarterly report\n"
              "cover_page=None\n"
              "comments=\n"
              "recipient=0301 555|Berta Blau|Blau KG\n"
              "recipient=0402 666|Carl Cyan|\n"
              "attachment=2 pages, 1728x@200x192,1728x@200x192\n"
              "problems=0\n");
    // The job closes after the submission: its converted file goes.
    EXPECT_TRUE(pollUntil([&] { return spoolTifFiles().empty(); }));
    EXPECT_TRUE(courier->running()) << "no window waits for anyone";

    courier->signal(SIGTERM);
    EXPECT_EQ(courier->waitForExit(milliseconds(10000)), 0) << readWholeFile(errors);
    std::string written = readWholeFile(log);
    EXPECT_NE(written.find("Starting\n"), std::string::npos);
    EXPECT_NE(written.find("Stopped watching"), std::string::npos) << "the shutdown stops the watcher";
    // The debug log names the conversation, never the password or its base64 form.
    EXPECT_EQ(written.find("s3cret"), std::string::npos) << written;
    EXPECT_EQ(written.find("czNjcmV0"), std::string::npos) << written;
}

TEST_F(CourierRun, AcceptedFaxIsToldOnTheDesktopAndInTheLog)
{
    SessionBus bus;
    if (!bus.running())
        GTEST_SKIP() << "no dbus-daemon for a private session bus";
    korva::app::testing::testApplication();
    NotificationCatcher notifications(bus.address());
    ASSERT_TRUE(notifications.listening());
    auto courier = startCourier();
    preset({"-s", "Quarterly report", "-r", "0301 555~Berta Blau~Blau KG"});
    printLetter();

    ASSERT_TRUE(waitForFile(received + "/0001.json")) << readWholeFile(errors) << readWholeFile(log);
    std::vector<CaughtNotice> notices = notifications.waitForNotices(1, milliseconds(10000));
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_EQ(notices[0].summary.toStdString(), "Fax sent");
    EXPECT_EQ(notices[0].body.toStdString(), "Quarterly report\nTo Berta Blau\n2 pages");
    EXPECT_TRUE(waitForFileText(log, "Fax sent: Quarterly report; To Berta Blau; 2 pages\n")) << readWholeFile(log);
    courier->signal(SIGTERM);
    EXPECT_EQ(courier->waitForExit(milliseconds(10000)), 0) << readWholeFile(errors);
}

// The only sign of a waiting fax on a desktop without a status area.
TEST_F(CourierRun, AFaxWaitingInTheOutboxIsToldAtStart)
{
    SessionBus bus;
    if (!bus.running())
        GTEST_SKIP() << "no dbus-daemon for a private session bus";
    korva::app::testing::testApplication();
    NotificationCatcher notifications(bus.address());
    ASSERT_TRUE(notifications.listening());
    {
        FaxJob job;
        job.subject = "Offer";
        job.recipients = {"0301 555~Berta Blau~Blau KG"};
        FaxDocument document;
        document.file = (home.spool() + "/korvafax1.tif").c_str();
        document.pages = 1;
        std::filesystem::create_directories(home.spool());
        korva::testing::writeWholeFile(document.file.Text(), "fax pages");
        job.documents = {document};
        // Not due before the test ends.
        ASSERT_TRUE(Outbox(home.spool()).add(job, OutboxState::Waiting, "the server did not answer", time(nullptr)));
    }
    auto courier = startCourier();
    std::vector<CaughtNotice> notices = notifications.waitForNotices(1, milliseconds(10000));
    ASSERT_EQ(notices.size(), 1u) << readWholeFile(log);
    EXPECT_EQ(notices[0].summary.toStdString(), "1 fax waits in the outbox");
    EXPECT_EQ(notices[0].body.toStdString(), "Offer to Berta Blau: the server did not answer");
    courier->signal(SIGTERM);
    EXPECT_EQ(courier->waitForExit(milliseconds(10000)), 0) << readWholeFile(errors);
}

TEST_F(CourierRun, EveryPresetFaxIsSentAndTheSecondIsNumberedOn)
{
    auto courier = startCourier();
    preset({"-s", "First", "-r", "0301 555~Berta Blau~Blau KG"});
    printLetter();
    ASSERT_TRUE(waitForFile(received + "/0001.json")) << readWholeFile(errors);
    // Preset data stays in force for the next print.
    printLetter();
    ASSERT_TRUE(waitForFile(received + "/0002.json")) << readWholeFile(errors);
    EXPECT_NE(storedFields(received + "/0002.json").find("recipient=0301 555|Berta Blau|Blau KG\n"), std::string::npos);
    EXPECT_TRUE(pollUntil([&] { return spoolTifFiles().empty(); }));
    auto sent = runProcess({binPath("faxcourier"), "--sent"});
    EXPECT_EQ(sent.exitCode, 0) << sent.err;
    EXPECT_NE(sent.out.find("2 fax(es) sent, newest first:\n"), std::string::npos) << sent.out;
    EXPECT_NE(sent.out.find("at once\n  recipients  Berta Blau\n"), std::string::npos) << sent.out;
    courier->signal(SIGTERM);
    EXPECT_EQ(courier->waitForExit(milliseconds(10000)), 0);
}

TEST_F(CourierRun, RefusedLogonWithoutADisplayKeepsTheFaxInTheOutboxUntilRetriedByHand)
{
    Settings settings;
    LoadSettings(settings);
    settings.Password = "wrong";
    ASSERT_TRUE(SaveSettings(settings));
    auto courier = startCourier();
    preset({"-s", "Refused first", "-r", "0301 555~Berta Blau~Blau KG"});
    printLetter();
    // Nothing waits for an answer nobody can give: the box goes to the log
    // and standard error, and the fax to the outbox.
    ASSERT_TRUE(waitForFileText(log, "was not sent and waits in the outbox (refused)"))
        << readWholeFile(errors) << readWholeFile(log);
    EXPECT_NE(readWholeFile(log).find("Error logging on to KORVA"), std::string::npos);
    EXPECT_NE(readWholeFile(errors).find("Error logging on to KORVA"), std::string::npos);
    EXPECT_TRUE(courier->running());
    auto listed = runProcess({binPath("faxcourier"), "--outbox"});
    EXPECT_EQ(listed.exitCode, 0) << listed.err;
    EXPECT_NE(listed.out.find("refused"), std::string::npos) << listed.out;
    EXPECT_NE(listed.out.find("Refused first"), std::string::npos) << listed.out;

    courier->signal(SIGTERM);
    EXPECT_EQ(courier->waitForExit(milliseconds(10000)), 0) << readWholeFile(errors);
    std::string written = readWholeFile(log);
    EXPECT_EQ(written.find("wrong"), std::string::npos) << "a refused password is not logged either";
    EXPECT_EQ(written.find("d3Jvbmc"), std::string::npos) << written;

    settings.Password = "s3cret";
    ASSERT_TRUE(SaveSettings(settings));
    auto retried = runProcess({binPath("faxcourier"), "--outbox-retry"});
    EXPECT_EQ(retried.exitCode, 0) << retried.out << retried.err;
    ASSERT_TRUE(std::filesystem::exists(received + "/0001.json"));
    EXPECT_NE(storedFields(received + "/0001.json").find("subject=Refused first\n"), std::string::npos);
    EXPECT_EQ(runProcess({binPath("faxcourier"), "--outbox"}).out.find("Refused first"), std::string::npos);
    auto sent = runProcess({binPath("faxcourier"), "--sent"});
    EXPECT_EQ(sent.exitCode, 0) << sent.err;
    EXPECT_NE(sent.out.find("from the outbox\n  recipients  Berta Blau\n  subject     Refused first\n"),
              std::string::npos)
        << sent.out;
}

// The server is down for a while: every fax printed meanwhile waits in the
// outbox, none replaces another, and they go out in printing order.
TEST_F(CourierRun, FaxesPrintedWhileTheServerIsDownWaitAndGoOutInOrder)
{
    Settings settings;
    LoadSettings(settings);
    const uint32_t serverPort = settings.SMTPServerPort;
    settings.SMTPServerPort = uint32_t(korva::testing::unusedLoopbackPort());
    ASSERT_TRUE(SaveSettings(settings));
    auto courier = startCourier();
    for (const char* subject : {"One", "Two", "Three"}) {
        preset({"-s", subject, "-r", "0301 555~Berta Blau~Blau KG"});
        printLetter();
        ASSERT_TRUE(pollUntil([&] {
            return runProcess({binPath("faxcourier"), "--outbox"}).out.find(subject) != std::string::npos;
        })) << readWholeFile(log);
    }
    settings.SMTPServerPort = serverPort;
    ASSERT_TRUE(SaveSettings(settings));
    auto retried = runProcess({binPath("faxcourier"), "--outbox-retry"});
    EXPECT_EQ(retried.exitCode, 0) << retried.out << retried.err;
    for (const char* stored : {"0001", "0002", "0003"})
        ASSERT_TRUE(std::filesystem::exists(received + "/" + stored + ".json")) << retried.out;
    EXPECT_NE(storedFields(received + "/0001.json").find("subject=One\n"), std::string::npos);
    EXPECT_NE(storedFields(received + "/0003.json").find("subject=Three\n"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(received + "/0004.json"));
    courier->signal(SIGTERM);
    EXPECT_EQ(courier->waitForExit(milliseconds(10000)), 0);
}

// A logout while the server has not answered yet: the program ends at once
// and the fax it was sending waits in the outbox.
TEST_F(CourierRun, QuitSignalDuringAServerConversationEndsSoonAndKeepsTheFax)
{
    korva::testing::SilentLoopbackServer silent;  // takes the connection, never answers
    Settings settings;
    LoadSettings(settings);
    settings.SMTPServerPort = uint32_t(silent.port());
    ASSERT_TRUE(SaveSettings(settings));
    auto courier = startCourier();
    preset({"-s", "Interrupted", "-r", "0301 555~Berta Blau~Blau KG"});
    printLetter();
    ASSERT_TRUE(waitForFileText(log, "Converting ")) << readWholeFile(log);
    ASSERT_TRUE(pollUntil([&] { return silent.connections() > 0; })) << readWholeFile(log);
    auto signalled = std::chrono::steady_clock::now();
    courier->signal(SIGTERM);
    EXPECT_EQ(courier->waitForExit(milliseconds(10000)), 0) << readWholeFile(errors);
    EXPECT_LT(std::chrono::steady_clock::now() - signalled, std::chrono::seconds(2));
    auto listed = runProcess({binPath("faxcourier"), "--outbox"});
    EXPECT_NE(listed.out.find("Interrupted"), std::string::npos) << listed.out << readWholeFile(log);
    EXPECT_TRUE(spoolTifFiles().empty());
}

// A server that stalls in the middle of a TLS record, or whose greeting
// never ends, neither keeps faxcourier busy nor holds it: the fax waits in
// the outbox and SIGTERM still ends the program within 2 s.
TEST_F(CourierRun, AHostileServerNeitherHoldsTheProgramNorLosesTheFax)
{
    korva::testing::TestCertificates certificates(home.path());
    const ScriptedServer::TlsIdentity identity{certificates.certificateFile(korva::testing::TestCertificate::Good),
                                               certificates.keyFile(korva::testing::TestCertificate::Good)};
    struct Case {
        const char* subject;
        ScriptedServer::Conversation server;
        uint32_t encryption;
        const char* talking;  // in the log once the conversation is under way
    };
    const Case cases[] = {
        {"Half a record", korva::testing::hostileTls(korva::testing::Hostility::HalfRecordThenSilence, identity, 10000),
         kEncryptionTls, "TLSv1.3 with 127.0.0.1"},
        {"Endless greeting", korva::testing::endlessPlainLine(std::string(65536, 'g'), 10000), kEncryptionNone,
         "\"Endless greeting\" was not sent and waits in the outbox"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.subject);
        ScriptedServer server(c.server);
        Settings settings;
        LoadSettings(settings);
        settings.SMTPServerPort = uint32_t(server.port());
        settings.Encryption = c.encryption;
        ASSERT_TRUE(SaveSettings(settings));
        // An administrator's setting: the settings store never writes it.
        RegistryKey key;
        ASSERT_EQ(key.create(RegistryHive::CurrentUser, kSettingsKey), kRegOk);
        ASSERT_EQ(key.writeString("TLSCAFile", certificates.caFile()), kRegOk);
        auto courier = startCourier();
        preset({"-s", c.subject, "-r", "0301 555~Berta Blau~Blau KG"});
        printLetter();
        ASSERT_TRUE(waitForFileText(log, c.talking, milliseconds(8000))) << readWholeFile(log);
        milliseconds cpuBefore = cpuTimeOf(courier->pid());
        std::this_thread::sleep_for(milliseconds(1000));  // the window the CPU time is measured over
        EXPECT_LT(cpuTimeOf(courier->pid()) - cpuBefore, milliseconds(150)) << "in a second of waiting";
        auto signalled = std::chrono::steady_clock::now();
        courier->signal(SIGTERM);
        EXPECT_EQ(courier->waitForExit(milliseconds(2000)), 0) << readWholeFile(errors);
        EXPECT_LT(std::chrono::steady_clock::now() - signalled, std::chrono::seconds(2));
        auto listed = runProcess({binPath("faxcourier"), "--outbox"});
        EXPECT_NE(listed.out.find(c.subject), std::string::npos) << listed.out << readWholeFile(log);
    }
}

// Documents printed while no faxcourier ran are all taken at its start, in
// printing order, each with the recipient it was printed for.
TEST_F(CourierRun, DocumentsPrintedBeforeTheStartAreAllTakenInOrder)
{
    for (const char* name : {"rcpt:0301 111~First~", "rcpt:0301 222~Second~", "rcpt:0301 333~Third~"}) {
        auto printed = runProcess({binPath("faxprint"), "--name", name, KORVA_SAMPLE_LETTER});
        ASSERT_EQ(printed.exitCode, 0) << printed.err;
    }
    auto courier = startCourier();
    ASSERT_TRUE(waitForFile(received + "/0003.json")) << readWholeFile(log);
    EXPECT_NE(storedFields(received + "/0001.json").find("recipient=0301 111|First|\n"), std::string::npos);
    EXPECT_NE(storedFields(received + "/0002.json").find("recipient=0301 222|Second|\n"), std::string::npos);
    EXPECT_NE(storedFields(received + "/0003.json").find("recipient=0301 333|Third|\n"), std::string::npos);
    EXPECT_TRUE(pollUntil([&] { return spoolTifFiles().empty(); }));
    courier->signal(SIGTERM);
    EXPECT_EQ(courier->waitForExit(milliseconds(10000)), 0);
}

class QuitSignal : public CourierRun, public ::testing::WithParamInterface<int> {};

TEST_P(QuitSignal, EndsTheMainLoopAndStopsTheWatcher)
{
    auto courier = startCourier();
    courier->signal(GetParam());
    EXPECT_EQ(courier->waitForExit(milliseconds(10000)), 0) << readWholeFile(errors);
    EXPECT_NE(readWholeFile(log).find("Stopped watching"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Signals, QuitSignal, ::testing::Values(SIGTERM, SIGINT, SIGHUP),
                         [](const ::testing::TestParamInfo<int>& info) {
                             return std::string(sigabbrev_np(info.param));
                         });

}  // namespace

TEST_F(CourierRun, SecondFaxcourierOfTheSameUserEndsAtOnceAndTheFirstGoesOn)
{
    auto first = startCourier();
    CourierProcess second({"-debug"}, home.path() + "/second.err");
    EXPECT_EQ(second.waitForExit(milliseconds(10000)), 0);
    EXPECT_NE(readWholeFile(log).find("faxcourier already runs for this user; this one ends\n"), std::string::npos);

    preset({"-s", "Only once", "-r", "0301 555~Berta Blau~Blau KG"});
    printLetter();
    ASSERT_TRUE(waitForFile(received + "/0001.json")) << readWholeFile(errors);
    EXPECT_TRUE(first->running());
    first->signal(SIGTERM);
    EXPECT_EQ(first->waitForExit(milliseconds(10000)), 0);
    EXPECT_FALSE(std::filesystem::exists(received + "/0002.json")) << "one fax per print";
}

// SIGKILL while a document converts: the next run converts it again from
// where the killed one kept it, and faxes it whole with its recipients.
TEST_F(CourierRun, KilledDuringAConversionItsDocumentIsFaxedByTheNextRun)
{
    auto courier = startCourier();
    preset({"-s", "Long letter", "-r", "0301 555~Berta Blau~Blau KG"});
    // A long document: the conversion is still running when it is killed.
    std::vector<std::string> argv{binPath("faxprint"), "--name", "long letter"};
    for (int i = 0; i < 40; ++i)
        argv.push_back(KORVA_SAMPLE_LETTER);  // two pages each
    auto printed = runProcess(argv, {}, {}, 120000);
    ASSERT_EQ(printed.exitCode, 0) << printed.err;
    ASSERT_TRUE(waitForFile(*spoolFolder() + "/korvafax1.tif")) << readWholeFile(log);
    courier->signal(SIGKILL);
    ASSERT_EQ(courier->waitForExit(milliseconds(10000)), 128 + SIGKILL);
    ASSERT_FALSE(std::filesystem::exists(received + "/0001.json"));

    auto again = startCourier();
    ASSERT_TRUE(waitForFile(received + "/0001.json", true, milliseconds(120000)))
        << readWholeFile(errors) << readWholeFile(log);
    const std::string fields = storedFields(received + "/0001.json");
    EXPECT_NE(fields.find("subject=Long letter\n"), std::string::npos) << fields;
    EXPECT_NE(fields.find("attachment=80 pages"), std::string::npos) << fields;
    EXPECT_TRUE(pollUntil([&] { return spoolTifFiles().empty(); }));
    EXPECT_FALSE(std::filesystem::exists(*spoolFolder() + "/unsent"));
    again->signal(SIGTERM);
    EXPECT_EQ(again->waitForExit(milliseconds(10000)), 0);
    EXPECT_FALSE(std::filesystem::exists(received + "/0002.json")) << "one fax per print";
}

TEST_F(CourierRun, SpoolFolderDeletedWhileRunningIsMadeAgainAndTheNextFaxStillArrives)
{
    auto courier = startCourier();
    std::string spool = *spoolFolder();
    std::filesystem::remove_all(spool);
    ASSERT_TRUE(waitForFileText(log, "has gone; making it again")) << readWholeFile(log);
    // The running mark is held again, so a waiting document is never replaced unseen.
    EXPECT_TRUE(pollUntil([&] { return korva::courierRunning(spool); })) << readWholeFile(log);
    EXPECT_EQ(korva::testing::fileMode(spool), 0700u);

    preset({"-s", "After the folder went", "-r", "0301 555~Berta Blau~Blau KG"});
    printLetter();
    ASSERT_TRUE(waitForFile(received + "/0001.json")) << readWholeFile(errors) << readWholeFile(log);
    EXPECT_NE(storedFields(received + "/0001.json").find("subject=After the folder went\n"), std::string::npos);
    courier->signal(SIGTERM);
    EXPECT_EQ(courier->waitForExit(milliseconds(10000)), 0);
}

// Swapped in one step, so the folder the watcher finds again is one others
// can write: the control area refuses it, and the log says so.
TEST_F(CourierRun, SpoolFolderSwappedForOneOthersCanWriteIsLogged)
{
    auto courier = startCourier();
    const std::string spool = *spoolFolder();
    const std::string open = spool + ".open";
    std::filesystem::create_directory(open);
    std::filesystem::permissions(open, std::filesystem::perms::all);
    ASSERT_EQ(renameat2(AT_FDCWD, open.c_str(), AT_FDCWD, spool.c_str(), RENAME_EXCHANGE), 0) << errno;
    EXPECT_TRUE(waitForFileText(log, "Unable to open the control area in " + spool + " again\n")) << readWholeFile(log);
    courier->signal(SIGTERM);
    EXPECT_EQ(courier->waitForExit(milliseconds(10000)), 0);
}

TEST_F(CourierRun, SpoolFolderOthersCanWriteIsRefusedAtStart)
{
    std::string spool = *spoolFolder();
    std::filesystem::permissions(spool, std::filesystem::perms::all);
    CourierProcess courier({"-debug"}, errors);
    EXPECT_EQ(courier.waitForExit(milliseconds(10000)), 1);
    EXPECT_NE(readWholeFile(errors).find("writable by other users"), std::string::npos) << readWholeFile(errors);
    EXPECT_FALSE(korva::courierRunning(spool));
}
