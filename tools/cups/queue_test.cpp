// The whole print path through a real scheduler: a private cupsd on a
// loopback port, the queue added by scripts/install-printer, a PDF printed
// with lp by the test user, and the document in that user's spool folder.

#include "tools/cups/testing/background_process.h"
#include "tools/cups/testing/build_paths.h"
#include "tools/cups/testing/courier_settings.h"
#include "tools/cups/testing/job_user_fixture.h"
#include "tools/cups/testing/pdf_writer.h"
#include "tools/cups/testing/private_cupsd.h"

#include "bandsink64/testing/sink_test_support.h"
#include "controlarea/control_record.h"
#include "faxcourier/settings/settings.h"
#include "platform/testing/test_support.h"
#include "tools/korva-sim/testing/korva_sim_process.h"

#include <cups/cups.h>
#include <cups/ipp.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <regex>
#include <sys/stat.h>

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using namespace korva::cups::testing;
using korva::testing::ProcessResult;
using korva::testing::readWholeFile;
using korva::testing::runProcess;

namespace {

class QueueTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (std::string why = PrivateCupsd::unavailable(); !why.empty())
            GTEST_SKIP() << why;
        user_ = std::make_unique<TestUser>();
        cupsd_ = std::make_unique<PrivateCupsd>(*user_);
        const std::string why = cupsd_->start();
        ASSERT_EQ(why, "");
    }

    void TearDown() override
    {
        courier_.reset();
        sim_.reset();
        cupsd_.reset();
        user_.reset();
    }

    // The environment of a program in the test user's session, talking to
    // the private scheduler.
    EnvList userEnv() const
    {
        EnvList env = user_->sessionEnv();
        env.emplace_back("CUPS_SERVER", cupsd_->server());
        return env;
    }

    ProcessResult runAsUser(const std::vector<std::string>& argv) const
    {
        return runProcess(user_->runAs(argv), "", userEnv());
    }

    ProcessResult installPrinter() const
    {
        EnvList env = cupsd_->clientEnv();
        env.emplace_back("KORVAFAX_PPD", KORVAFAX_PPD_SOURCE);
        env.emplace_back("KORVAFAX_STATE_DIR", stateDir());
        return runProcess({installPrinterScript()}, "", env);
    }

    // Where the script records the queue it added.
    std::string stateDir() const { return user_->root() + "/state"; }

    // Prints the file with the job options ("name=value"); the job id, or 0
    // (with the failure added) when lp refused.
    int print(const std::string& file, const std::string& title, const std::string& media,
              const std::vector<std::string>& options = {})
    {
        std::vector<std::string> argv{"/usr/bin/lp", "-d", "KORVA_Fax", "-t", title, "-o", "media=" + media};
        for (const std::string& option : options)
            argv.insert(argv.end(), {"-o", option});
        argv.push_back(file);
        ProcessResult r = runAsUser(argv);
        std::smatch m;
        if (r.exitCode != 0 || !std::regex_search(r.out, m, std::regex("request id is KORVA_Fax-([0-9]+)"))) {
            ADD_FAILURE() << "lp: " << r.exitCode << " " << r.out << r.err;
            return 0;
        }
        return std::stoi(m[1]);
    }

    std::string userFile(const std::string& name, const std::string& bytes) const
    {
        const std::string path = user_->home() + "/" + name;
        korva::testing::writeWholeFile(path, bytes);
        user_->giveToUser(path);
        return path;
    }

    // faxcourier running in the user's session, korva-sim as its mail
    // server; the faxes korva-sim accepts land in received().
    void startCourier();
    std::string received() const { return user_->root() + "/received"; }
    // The fields of the fax korva-sim stored as number `n` (from 1), once
    // it is there.
    std::string storedFaxFields(int n) const;

    std::unique_ptr<TestUser> user_;
    std::unique_ptr<PrivateCupsd> cupsd_;
    std::unique_ptr<korva::testing::KorvaSimProcess> sim_;
    std::unique_ptr<BackgroundProcess> courier_;
    std::string courierOut_, courierLog_;
};

// What korva-sim stored of a fax, one field a line.
const char* const storedFax = R"(
import json, sys
r = json.load(open(sys.argv[1], encoding="utf-8"))
out = ["subject=" + r["subject"]]
out += ["recipient=" + "|".join([x["fax"], x["name"], x["company"]]) for x in r["recipients"]]
out += ["attachment=%d pages" % a["pages"] for a in r["attachments"]]
print("\n".join(out))
)";

void QueueTest::startCourier()
{
    sim_ = std::make_unique<korva::testing::KorvaSimProcess>(received(), kSimUser, kSimPassword, kSimFaxAddress);
    ASSERT_TRUE(storeCourierSettings(*user_, sim_->port("smtp")));
    EnvList session = userEnv();
    session.emplace_back("KORVAFAX_SYSCONFDIR", cupsd_->sysconf());
    // Else Qt makes a runtime folder of its own in /tmp, which would outlive the test.
    session.emplace_back("XDG_RUNTIME_DIR", user_->makeFolder("runtime", user_->uid(), 0700));
    courierLog_ = user_->home() + "/.local/state/KORVAFax/korvafax.log";
    courierOut_ = user_->root() + "/faxcourier.out";
    // No display: a fax that needed the Send Fax dialog would wait in the outbox.
    courier_ = std::make_unique<BackgroundProcess>(
        user_->runAs({korva::testing::binPath("faxcourier"), "-debug"}), session,
        std::vector<std::string>{"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}, courierOut_);
    ASSERT_TRUE(pollUntil([&] { return readWholeFile(courierLog_).find("Watching ") != std::string::npos; }, 30s))
        << readWholeFile(courierOut_);
}

std::string QueueTest::storedFaxFields(int n) const
{
    char name[16];
    std::snprintf(name, sizeof name, "/%04d.json", n);
    const std::string stored = received() + name;
    if (!pollUntil([&] { return fs::exists(stored); }, 60s))
        return "nothing stored\n" + readWholeFile(courierOut_) + readWholeFile(courierLog_);
    ProcessResult fields = runProcess({"/usr/bin/python3", "-I", "-c", storedFax, stored});
    return fields.out + fields.err;
}

uid_t ownerOf(const std::string& path)
{
    struct stat st {};
    return lstat(path.c_str(), &st) == 0 ? st.st_uid : uid_t(-1);
}

// Whether every pixel of the rectangle (in 200 dpi pixels, top-left origin) is black.
bool allBlack(const korva::testing::TiffPage& page, uint32_t x0, uint32_t y0, uint32_t x1, uint32_t y1)
{
    for (uint32_t y = y0; y <= y1; ++y)
        for (uint32_t x = x0; x <= x1; ++x)
            if (!page.black(x, y))
                return false;
    return true;
}

bool anyBlack(const korva::testing::TiffPage& page, uint32_t x0, uint32_t y0, uint32_t x1, uint32_t y1)
{
    for (uint32_t y = y0; y <= y1; ++y)
        for (uint32_t x = x0; x <= x1; ++x)
            if (page.black(x, y))
                return true;
    return false;
}

}  // namespace

TEST_F(QueueTest, InstallPrinterAddsTheFaxQueue)
{
    ProcessResult r = installPrinter();
    ASSERT_EQ(r.exitCode, 0) << r.out << r.err << cupsd_->errorLog();
    EXPECT_NE(r.out.find("queue KORVA_Fax is ready"), std::string::npos) << r.out;

    ProcessResult device = runAsUser({"/usr/bin/lpstat", "-v", "KORVA_Fax"});
    EXPECT_NE(device.out.find("korvafax:/"), std::string::npos) << device.out << device.err;
    // The PPD's cupsFax makes it a fax queue for CUPS and print dialogs.
    const int type = cupsd_->printerType("KORVA_Fax");
    ASSERT_GE(type, 0);
    EXPECT_NE(type & CUPS_PRINTER_FAX, 0) << std::hex << type;
    EXPECT_EQ(readWholeFile(stateDir() + "/queue-added"), "KORVA_Fax\n") << "recorded for a purge";
    ProcessResult options = runAsUser({"/usr/bin/lpoptions", "-p", "KORVA_Fax", "-l"});
    EXPECT_NE(options.out.find("*Letter"), std::string::npos) << options.out;
    EXPECT_NE(options.out.find("A4"), std::string::npos) << options.out;
    EXPECT_NE(options.out.find("*200dpi"), std::string::npos) << options.out;

    // Run again, it renews the queue; --remove takes it away.
    EXPECT_EQ(installPrinter().exitCode, 0);
    EnvList env = cupsd_->clientEnv();
    env.emplace_back("KORVAFAX_STATE_DIR", stateDir());
    EXPECT_EQ(runProcess({installPrinterScript(), "--remove"}, "", env).exitCode, 0);
    EXPECT_NE(runAsUser({"/usr/bin/lpstat", "-v", "KORVA_Fax"}).exitCode, 0);
    EXPECT_FALSE(fs::exists(stateDir() + "/queue-added"));
}

// The package's postrm on purge takes away the queue the script added, and
// leaves alone one made by hand.
TEST_F(QueueTest, PurgeRemovesOnlyTheQueueTheScriptAdded)
{
    const std::string postrm = std::string(KORVAFAX_SOURCE_ROOT) + "/packaging/postrm";
    EnvList env = cupsd_->clientEnv();
    env.emplace_back("KORVAFAX_STATE_DIR", stateDir());
    ASSERT_EQ(installPrinter().exitCode, 0);
    ProcessResult purge = runProcess({"/bin/sh", postrm, "purge"}, "", env);
    EXPECT_EQ(purge.exitCode, 0) << purge.err;
    EXPECT_EQ(purge.out, "korvafax: the fax queue KORVA_Fax removed\n");
    EXPECT_NE(runAsUser({"/usr/bin/lpstat", "-v", "KORVA_Fax"}).exitCode, 0);
    EXPECT_FALSE(fs::exists(stateDir()));

    ProcessResult byHand = runProcess(
        {"/usr/sbin/lpadmin", "-p", "KORVA_Fax", "-E", "-v", "korvafax:/", "-P", KORVAFAX_PPD_SOURCE}, "", env);
    ASSERT_EQ(byHand.exitCode, 0) << byHand.err;
    ASSERT_EQ(installPrinter().exitCode, 0);  // renews it; it was not added by the script
    EXPECT_FALSE(fs::exists(stateDir() + "/queue-added"));
    purge = runProcess({"/bin/sh", postrm, "purge"}, "", env);
    EXPECT_EQ(purge.exitCode, 0) << purge.err;
    EXPECT_EQ(purge.out, "");
    EXPECT_EQ(runAsUser({"/usr/bin/lpstat", "-v", "KORVA_Fax"}).exitCode, 0);
}

// apt purge runs the package's postrm twice, "remove" then "purge" (as dpkg
// --purge does): the queue's fate is told once, and the users whose outbox
// still holds faxes are named, their files left alone.
TEST_F(QueueTest, PurgeSaysOnceWhatBecomesOfTheQueueAndWhoseFaxesStay)
{
    const std::string postrm = std::string(KORVAFAX_SOURCE_ROOT) + "/packaging/postrm";
    const std::string entry = user_->spool() + "/outbox/20261208-1/job.txt";
    fs::create_directories(fs::path(entry).parent_path());
    korva::testing::writeWholeFile(entry, "state waiting\n");
    const std::string dpkg = user_->root() + "/dpkg";
    korva::testing::writeWholeFile(dpkg,
                                   "sh \"$POSTRM\" remove || exit 1\n[ \"$1\" != --purge ] || sh \"$POSTRM\" purge\n");
    EnvList env = cupsd_->clientEnv();
    env.emplace_back("KORVAFAX_STATE_DIR", stateDir());
    env.emplace_back("POSTRM", postrm);
    for (const auto& variable : user_->nssEnv())
        env.push_back(variable);
    const std::string outboxes = "korvafax: unsent faxes stay in the outbox of " + user_->name() +
                                 " (1) (~/.local/share/KORVAFax/outbox); KORVA Fax sends them when it is installed "
                                 "again\n";

    struct Case {
        const char* how;
        std::vector<std::string> argv;
        std::string out;
    };
    for (const Case& c :
         {Case{"apt remove",
               {"/bin/sh", dpkg, "--remove", "korvafax"},
               "korvafax: removed; the fax queue KORVA_Fax stays until: apt purge korvafax\n" + outboxes},
          Case{"apt purge",
               {"/bin/sh", dpkg, "--purge", "korvafax"},
               outboxes + "korvafax: the fax queue KORVA_Fax removed\n"}}) {
        ASSERT_EQ(installPrinter().exitCode, 0) << c.how;
        ProcessResult r = runProcess(c.argv, "", env);
        EXPECT_EQ(r.exitCode, 0) << c.how << ": " << r.err;
        EXPECT_EQ(r.out, c.out) << c.how;
        EXPECT_TRUE(fs::exists(entry)) << c.how;
    }
}

TEST_F(QueueTest, InstallPrinterWithoutThePpdSaysSo)
{
    EnvList env = cupsd_->clientEnv();
    env.emplace_back("KORVAFAX_PPD", user_->root() + "/missing.ppd");
    ProcessResult r = runProcess({installPrinterScript()}, "", env);
    EXPECT_NE(r.exitCode, 0);
    EXPECT_NE(r.err.find("install-printer: no PPD at " + user_->root() + "/missing.ppd"), std::string::npos) << r.err;
}

TEST_F(QueueTest, InstallPrinterWithoutTheBackendSaysSo)
{
    fs::remove(cupsd_->serverBin() + "/backend/korvafax");
    ProcessResult r = installPrinter();
    EXPECT_NE(r.exitCode, 0);
    EXPECT_NE(r.err.find("install-printer: the scheduler has no korvafax backend"), std::string::npos) << r.err;
    EXPECT_NE(runAsUser({"/usr/bin/lpstat", "-v", "KORVA_Fax"}).exitCode, 0);
}

TEST(InstallPrinter, TheMachinesSchedulerNeedsRoot)
{
    std::vector<std::string> argv{installPrinterScript()};
    if (geteuid() == 0)
        argv.insert(argv.begin(), {"/usr/bin/setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"});
    ProcessResult r = runProcess(argv, "", {{"CUPS_SERVER", ""}});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("install-printer: changing the machine's printers needs root"), std::string::npos) << r.err;
}

TEST_F(QueueTest, PrintedPdfReachesTheSpoolFolderOfTheUserWhoPrintedIt)
{
    ProcessResult installed = installPrinter();
    ASSERT_EQ(installed.exitCode, 0) << installed.err;
    // An inch-wide bar one inch from the top left corner on page 1; a
    // half-inch square at the centre of page 2.
    PdfPage first, second;
    first.black.push_back({72, 842 - 144, 144, 72});
    second.black.push_back({297.5 - 18, 421 - 18, 36, 36});
    const std::string pdf = userFile("letter.pdf", writePdf({first, second}));

    const int job = print(pdf, "Offer 2026-117", "A4");
    ASSERT_GT(job, 0);
    std::string message;
    const int state = cupsd_->waitForJob(job, 60000);
    cupsd_->jobState(job, &message);
    ASSERT_EQ(state, IPP_JSTATE_COMPLETED) << message << "\n" << cupsd_->errorLog();
    EXPECT_EQ(cupsd_->lastJobMessage(job), "kept until KORVA Fax starts for " + user_->name());

    const std::string spool = user_->spool();
    const std::string tiff = spool + "/korvafax.tif";
    EXPECT_EQ(ownerOf(spool), user_->uid());
    EXPECT_EQ(ownerOf(tiff), user_->uid());
    auto pages = korva::testing::readTiffPages(tiff);
    ASSERT_EQ(pages.size(), 2u);
    for (const auto& page : pages) {
        EXPECT_EQ(page.compression, 3);
        EXPECT_FLOAT_EQ(page.xResolution, 200);
        EXPECT_FLOAT_EQ(page.yResolution, 200);
        // A4 at 200 dpi: 1654 x 2339 pixels, rows in whole bytes.
        EXPECT_NEAR(double(page.width), 1654, 8);
        EXPECT_EQ(page.width % 8, 0u);
        EXPECT_NEAR(double(page.length), 2339, 2);
    }
    // Page 1: the bar covers x 200..600, y 200..400 (200 dpi).
    EXPECT_TRUE(allBlack(pages[0], 210, 210, 590, 390));
    EXPECT_FALSE(anyBlack(pages[0], 0, 0, 1600, 190));
    EXPECT_FALSE(anyBlack(pages[0], 610, 200, 1600, 400));
    EXPECT_FALSE(anyBlack(pages[0], 0, 410, 1600, 2300));
    // Page 2: the square covers x 776..876, y 1119..1219.
    EXPECT_TRUE(allBlack(pages[1], 782, 1125, 870, 1213));
    EXPECT_FALSE(anyBlack(pages[1], 0, 0, 1600, 1100));

    const std::string control = readWholeFile(spool + "/control.dat");
    ASSERT_EQ(control.size(), korva::controlRecordSize);
    korva::ControlRecord record;
    std::memcpy(&record, control.data(), sizeof record);
    EXPECT_EQ(korva::fieldText(record.userName), user_->name());
    EXPECT_EQ(korva::fieldText(record.documentName), "Offer 2026-117");
    EXPECT_EQ(ownerOf(spool + "/control.dat"), user_->uid());
}

// Layout options work in the filter chain, before the backend; copies are
// ignored, a document is faxed once.
TEST_F(QueueTest, NumberUpIsHonouredAndCopiesAreIgnored)
{
    ASSERT_EQ(installPrinter().exitCode, 0);
    PdfPage page;
    page.black.push_back({72, 72, 144, 144});
    const std::string pdf = userFile("two.pdf", writePdf({page, page}));
    const int job = print(pdf, "Two up", "A4", {"number-up=2", "copies=3"});
    ASSERT_GT(job, 0);
    ASSERT_EQ(cupsd_->waitForJob(job, 60000), IPP_JSTATE_COMPLETED) << cupsd_->errorLog();
    EXPECT_EQ(korva::testing::readTiffPages(user_->spool() + "/korvafax.tif").size(), 1u);
}

TEST_F(QueueTest, JobForASpoolFolderThatIsNotTheUsersIsCanceledWithTheReason)
{
    if (!user_->separate())
        GTEST_SKIP() << "needs root to hand the folder to someone else";
    ASSERT_EQ(installPrinter().exitCode, 0);
    fs::create_directories(user_->home() + "/.local/share");
    for (const std::string& dir : {user_->home() + "/.local", user_->home() + "/.local/share"})
        ASSERT_EQ(chown(dir.c_str(), user_->uid(), user_->gid()), 0);
    fs::create_directory(user_->spool());  // root's
    const std::string pdf = userFile("note.pdf", writePdf({PdfPage{612, 792, {{72, 72, 72, 72}}}}));

    const int job = print(pdf, "Note", "Letter");
    ASSERT_GT(job, 0);
    EXPECT_EQ(cupsd_->waitForJob(job, 60000), IPP_JSTATE_CANCELED) << cupsd_->errorLog();
    EXPECT_NE(
        cupsd_->errorLog().find("KORVA Fax: The spool folder " + user_->spool() + " is not owned by " + user_->name()),
        std::string::npos)
        << cupsd_->errorLog();
    EXPECT_TRUE(fs::is_empty(user_->spool()));
}

TEST_F(QueueTest, PrintedPdfWithPresetRecipientsReachesTheMailServer)
{
    ASSERT_EQ(installPrinter().exitCode, 0);
    ASSERT_NO_FATAL_FAILURE(startCourier());
    EnvList session = userEnv();
    session.emplace_back("KORVAFAX_SYSCONFDIR", cupsd_->sysconf());
    ProcessResult preset = runProcess(user_->runAs({korva::testing::binPath("faxpreset"), "-s", "Offer 2026-118", "-r",
                                                    "0301 555~Berta Blau~Blau KG"}),
                                      "", session);
    ASSERT_EQ(preset.exitCode, 0) << preset.out << preset.err;

    PdfPage page;
    page.black.push_back({72, 72, 300, 300});
    const int job = print(userFile("offer.pdf", writePdf({page, page})), "Offer", "A4");
    ASSERT_GT(job, 0);
    ASSERT_EQ(cupsd_->waitForJob(job, 60000), IPP_JSTATE_COMPLETED) << cupsd_->errorLog();
    EXPECT_EQ(cupsd_->lastJobMessage(job), "handed to KORVA Fax for " + user_->name());

    EXPECT_EQ(storedFaxFields(1),
              "subject=Offer 2026-118\nrecipient=0301 555|Berta Blau|Blau KG\nattachment=2 pages\n");
    EXPECT_EQ(courier_->stop(10s), 0) << readWholeFile(courierOut_);
}

// Numbers typed as job options, as a print dialog of a fax queue sends
// them: the fax goes without a dialog, and the job says it was handed over.
TEST_F(QueueTest, RecipientsGivenAsJobOptionsReachTheMailServer)
{
    struct Case {
        std::vector<std::string> options;
        std::string recipients;  // as korva-sim stored them
    };
    const Case cases[] = {
        {{"phone=0301234"}, "recipient=0301234||\n"},
        {{"faxPrefix=0", "korvafax-recipient='301 555~Berta Blau~Blau KG;409876~Carl~'"},
         "recipient=0301 555|Berta Blau|Blau KG\nrecipient=0409876|Carl|\n"},
    };
    ASSERT_EQ(installPrinter().exitCode, 0);
    ASSERT_NO_FATAL_FAILURE(startCourier());
    int faxes = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.options.back());
        PdfPage page;
        page.black.push_back({72, 72, 300, 300});
        const int job = print(userFile("letter.pdf", writePdf({page})), "Letter", "A4", c.options);
        ASSERT_GT(job, 0);
        ASSERT_EQ(cupsd_->waitForJob(job, 60000), IPP_JSTATE_COMPLETED) << cupsd_->errorLog();
        EXPECT_EQ(cupsd_->lastJobMessage(job), "handed to KORVA Fax for " + user_->name());

        EXPECT_EQ(storedFaxFields(++faxes), "subject=\n" + c.recipients + "attachment=1 pages\n");
    }
    EXPECT_EQ(courier_->stop(10s), 0) << readWholeFile(courierOut_);
}

TEST_F(QueueTest, ARecipientOptionThatIsNoRecipientCancelsTheJob)
{
    ASSERT_EQ(installPrinter().exitCode, 0);
    const std::string pdf = userFile("note.pdf", writePdf({PdfPage{612, 792, {{72, 72, 72, 72}}}}));
    const int job = print(pdf, "Note", "Letter", {"korvafax-recipient=0301234"});
    ASSERT_GT(job, 0);
    EXPECT_EQ(cupsd_->waitForJob(job, 60000), IPP_JSTATE_CANCELED) << cupsd_->errorLog();
    EXPECT_NE(cupsd_->errorLog().find(R"(KORVA Fax: the recipient \"0301234\" is not number~name~company)"),
              std::string::npos)
        << cupsd_->errorLog();
    EXPECT_FALSE(fs::exists(user_->spool() + "/korvafax.tif"));
}
