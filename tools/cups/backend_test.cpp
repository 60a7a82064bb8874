// The backend as CUPS runs it: a process fed a raster stream on standard
// input (or as a file), as root, for a user that exists only through
// nss_wrapper. A recording exit library shows each call the backend makes;
// the real one shows what lands in the user's spool folder.

#include "tools/cups/testing/job_user_fixture.h"
#include "tools/cups/testing/raster_writer.h"

#include "bandsink64/testing/sink_test_support.h"
#include "controlarea/control_record.h"
#include "platform/testing/test_support.h"
#include "platform/translation.h"

#include <cups/backend.h>

#include <cstring>
#include <filesystem>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace korva::cups::testing;
using korva::testing::ProcessResult;
using korva::testing::readWholeFile;
using korva::testing::runProcess;

namespace {

std::vector<std::string> lines(const std::string& text)
{
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        out.push_back(line);
    return out;
}

uid_t ownerOf(const std::string& path)
{
    struct stat st {};
    return lstat(path.c_str(), &st) == 0 ? st.st_uid : uid_t(-1);
}

// What the driver must deliver for raster rows [top, top + rows) of `page`.
std::string expectedBand(const RasterPage& page, unsigned top, unsigned rows)
{
    std::string hex;
    for (unsigned y = top; y < top + rows; ++y) {
        const uint8_t* in = page.row(y);
        std::vector<uint8_t> row;
        if (page.bitsPerPixel == 1) {
            for (unsigned i = 0; i < page.bytesPerLine(); ++i)
                row.push_back(uint8_t(~in[i]));
            if (page.width % 8)
                row.back() |= uint8_t(0xFF >> (page.width % 8));
        } else {
            row.assign(in, in + page.bytesPerLine());
            row.resize((row.size() + 3) & ~size_t(3), 0);
        }
        hex += toHex(row.data(), row.size());
    }
    return hex;
}

class BackendTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (std::string why = TestUser::unavailable(); !why.empty())
            GTEST_SKIP() << why;
        user_ = std::make_unique<TestUser>();
        record_ = user_->home() + "/record.txt";
        sysconf_ = user_->makeFolder("etc", 0, 0755);
    }

    EnvList env(const std::string& library) const
    {
        auto env = user_->nssEnv();
        env.emplace_back("KORVAFAX_BANDSINK", library);
        env.emplace_back("KORVAFAX_RECORD", record_);
        env.emplace_back("KORVAFAX_SYSCONFDIR", sysconf_);
        // Folders of whoever started the backend; they must not be used.
        env.emplace_back("XDG_DATA_HOME", user_->root() + "/not-the-users");
        env.emplace_back("HOME", user_->root() + "/not-the-users");
        return env;
    }

    ProcessResult runBackend(const std::string& raster, const std::string& title = "Quarterly report",
                             const std::string& library = KORVAFAX_RECORDING_SINK, EnvList extra = {},
                             const std::string& userName = {})
    {
        auto all = env(library);
        all.insert(all.end(), extra.begin(), extra.end());
        return runProcess({korva::testing::binPath("korvafax"), "42", userName.empty() ? user_->name() : userName,
                           title, "1", "media=Letter"},
                          raster, all);
    }

    std::vector<std::string> recorded() const
    {
        return fs::exists(record_) ? lines(readWholeFile(record_)) : std::vector<std::string>{};
    }

    std::unique_ptr<TestUser> user_;
    std::string record_, sysconf_;
};

}  // namespace

TEST(BackendDiscovery, NoArgumentsListsTheDevice)
{
    ProcessResult r = runProcess({korva::testing::binPath("korvafax")});
    EXPECT_EQ(r.exitCode, CUPS_BACKEND_OK);
    EXPECT_EQ(r.out, "direct korvafax:/ \"KORVA Fax\" \"KORVA Fax\" \"MFG:KORVA;MDL:Fax;CMD:CUPSRASTER;\" \"\"\n");
}

TEST(BackendDiscovery, WrongArgumentsFailWithUsage)
{
    ProcessResult r = runProcess({korva::testing::binPath("korvafax"), "1", "anna"});
    EXPECT_EQ(r.exitCode, CUPS_BACKEND_FAILED);
    EXPECT_NE(r.err.find("Usage: korvafax job-id user title copies options [file]"), std::string::npos);
    EXPECT_NE(r.err.find("ERROR: KORVA Fax: expected 5 or 6 arguments"), std::string::npos);
}

TEST_F(BackendTest, PagesBandsAndFormatsArriveInTheDriversOrder)
{
    // 300 rows: bands of 128, 128 and 44; a width that is no whole byte.
    const RasterPage mono = patternPage(CUPS_CSPACE_K, 1, 20, 300);
    const RasterPage grey = patternPage(CUPS_CSPACE_SW, 8, 10, 5);
    const RasterPage colour = patternPage(CUPS_CSPACE_SRGB, 24, 6, 128);
    ProcessResult r = runBackend(writeRaster({mono, grey, colour}));
    ASSERT_EQ(r.exitCode, CUPS_BACKEND_OK) << r.err;

    const std::string spool = user_->spool();
    const std::string band = "endPageExit job h=";
    std::vector<std::string> expected = {
        "getVersion",
        "startDocExit 42 uid=" + std::to_string(user_->uid()) + " euid=" + std::to_string(user_->uid()) +
            " gid=" + std::to_string(user_->gid()) + " home=" + user_->home() + " xdgdata=- user=" + user_->name() +
            " cwd=" + spool + " title=Quarterly report",
        "startPageExit job",
        band + "128 w=24 fmt=1 x=200 y=200 banding=1 bits=" + expectedBand(mono, 0, 128),
        band + "128 w=24 fmt=1 x=200 y=200 banding=1 bits=" + expectedBand(mono, 128, 128),
        band + "44 w=24 fmt=1 x=200 y=200 banding=0 bits=" + expectedBand(mono, 256, 44),
        "startPageExit job",
        band + "5 w=10 fmt=3 x=200 y=200 banding=0 bits=" + expectedBand(grey, 0, 5),
        "startPageExit job",
        band + "128 w=6 fmt=5 x=200 y=200 banding=0 bits=" + expectedBand(colour, 0, 128),
        "endDocExit job",
    };
    EXPECT_EQ(recorded(), expected);
    EXPECT_NE(r.err.find("INFO: Faxing 3 page(s) for " + user_->name()), std::string::npos) << r.err;
    EXPECT_EQ(ownerOf(spool), user_->uid());
    EXPECT_FALSE(fs::exists(user_->root() + "/not-the-users"));
}

TEST_F(BackendTest, RasterFileNamedOnTheCommandLineIsRead)
{
    // CUPS' own file, readable only by root: opened before the switch.
    const RasterPage page = patternPage(CUPS_CSPACE_K, 1, 16, 3);
    const std::string file = user_->makeFolder("cups-spool", 0, 0700) + "/d00042-001";
    korva::testing::writeWholeFile(file, writeRaster({page}));
    auto all = env(KORVAFAX_RECORDING_SINK);
    ProcessResult r =
        runProcess({korva::testing::binPath("korvafax"), "42", user_->name(), "From a file", "1", "", file}, "", all);
    ASSERT_EQ(r.exitCode, CUPS_BACKEND_OK) << r.err;
    auto calls = recorded();
    ASSERT_EQ(calls.size(), 5u);
    EXPECT_NE(calls[1].find("title=From a file"), std::string::npos);
    EXPECT_EQ(calls[3], "endPageExit job h=3 w=16 fmt=1 x=200 y=200 banding=0 bits=" + expectedBand(page, 0, 3));
}

TEST_F(BackendTest, UnknownUserFailsTheJobAndWritesNothing)
{
    ProcessResult r = runBackend(writeRaster({patternPage(CUPS_CSPACE_K, 1, 8, 8)}), "t", KORVAFAX_RECORDING_SINK, {},
                                 "korvafax-no-such-user");
    EXPECT_EQ(r.exitCode, CUPS_BACKEND_CANCEL);
    EXPECT_NE(r.err.find("ERROR: KORVA Fax: user \"korvafax-no-such-user\" is not known on this system"),
              std::string::npos)
        << r.err;
    EXPECT_TRUE(recorded().empty());
    EXPECT_TRUE(fs::is_empty(user_->home()));
}

TEST_F(BackendTest, JobsOfRootAndSystemAccountsAreRefusedBeforeAnythingIsRead)
{
    struct Case {
        const char* name;
        uid_t uid;
        const char* file;  // nullptr: the raster on standard input
    };
    const Case cases[] = {{"root", 0, nullptr}, {"korvafaxsys", 999, nullptr}, {"root", 0, "/no/such/raster"}};
    const std::string raster = writeRaster({patternPage(CUPS_CSPACE_K, 1, 8, 8)});
    for (const Case& c : cases) {
        TestUser user;
        const std::string home = user.addUser(c.name, c.uid);
        auto all = user.nssEnv();
        all.emplace_back("KORVAFAX_BANDSINK", KORVAFAX_RECORDING_SINK);
        all.emplace_back("KORVAFAX_RECORD", record_);
        std::vector<std::string> argv{korva::testing::binPath("korvafax"), "42", c.name, "t", "1", "phone=1"};
        if (c.file)
            argv.push_back(c.file);
        ProcessResult r = runProcess(argv, raster, all);
        EXPECT_EQ(r.exitCode, CUPS_BACKEND_CANCEL) << c.name << " " << r.err;
        EXPECT_NE(r.err.find("ERROR: KORVA Fax: the job's user " + std::string(c.name) +
                             " is root or a system account (user id below 1000); KORVA Fax does not print for it"),
                  std::string::npos)
            << c.name << " " << r.err;
        EXPECT_TRUE(recorded().empty()) << c.name;
        EXPECT_TRUE(fs::is_empty(home)) << c.name;
    }
}

TEST_F(BackendTest, SpoolFolderOfAnotherUserFailsTheJob)
{
    if (!user_->separate())
        GTEST_SKIP() << "needs root to hand the folder to someone else";
    fs::create_directories(user_->home() + "/.local/share");
    chown((user_->home() + "/.local").c_str(), user_->uid(), user_->gid());
    chown((user_->home() + "/.local/share").c_str(), user_->uid(), user_->gid());
    fs::create_directory(user_->spool());
    chmod(user_->spool().c_str(), 0755);  // root's, readable by all
    ProcessResult r = runBackend(writeRaster({patternPage(CUPS_CSPACE_K, 1, 8, 8)}));
    EXPECT_EQ(r.exitCode, CUPS_BACKEND_CANCEL);
    EXPECT_NE(r.err.find("ERROR: KORVA Fax: The spool folder " + user_->spool() + " is not owned by " + user_->name() +
                         "; KORVA Fax will not use it."),
              std::string::npos)
        << r.err;
    EXPECT_TRUE(fs::is_empty(user_->spool()));
    EXPECT_TRUE(recorded().empty());
}

TEST_F(BackendTest, SpoolFolderLinkedElsewhereFailsTheJob)
{
    const std::string elsewhere = user_->makeFolder("elsewhere", user_->uid(), 0700);
    fs::create_directories(user_->home() + "/.local/share");
    fs::create_directory_symlink(elsewhere, user_->spool());
    ProcessResult r = runBackend(writeRaster({patternPage(CUPS_CSPACE_K, 1, 8, 8)}));
    EXPECT_EQ(r.exitCode, CUPS_BACKEND_CANCEL);
    EXPECT_NE(r.err.find("ERROR: KORVA Fax: The spool folder " + user_->spool() + " is not a folder"),
              std::string::npos)
        << r.err;
    EXPECT_TRUE(fs::is_empty(elsewhere));
}

TEST_F(BackendTest, RasterCutShortHandsNothingOver)
{
    const std::string stream = writeRaster({patternPage(CUPS_CSPACE_K, 1, 64, 200)}, CUPS_RASTER_WRITE);
    // 8 bytes a row, uncompressed: the last 50 rows are missing.
    ProcessResult r = runBackend(stream.substr(0, stream.size() - 50 * 8));
    EXPECT_EQ(r.exitCode, CUPS_BACKEND_CANCEL);
    EXPECT_NE(r.err.find("ERROR: KORVA Fax: page 1: the raster ends after 150 of 200 rows"), std::string::npos)
        << r.err;
    EXPECT_TRUE(recorded().empty());
}

TEST_F(BackendTest, EmptyJobHandsNothingOver)
{
    ProcessResult r = runBackend("");
    EXPECT_EQ(r.exitCode, CUPS_BACKEND_CANCEL);
    EXPECT_NE(r.err.find("ERROR: KORVA Fax: the job holds no raster data"), std::string::npos) << r.err;
    EXPECT_TRUE(recorded().empty());
}

TEST_F(BackendTest, RefusedBandEndsTheJobWithoutFinishingTheDocument)
{
    ProcessResult r = runBackend(writeRaster({patternPage(CUPS_CSPACE_K, 1, 8, 300)}), "t", KORVAFAX_RECORDING_SINK,
                                 {{"KORVAFAX_RECORD_FAIL_BAND", "2"}});
    EXPECT_EQ(r.exitCode, CUPS_BACKEND_CANCEL);
    EXPECT_NE(r.err.find("ERROR: KORVA Fax: the print file could not be created in the spool folder"),
              std::string::npos)
        << r.err;
    auto calls = recorded();
    ASSERT_EQ(calls.size(), 5u);
    EXPECT_EQ(calls[2], "startPageExit job");
    EXPECT_EQ(calls[4].rfind("endPageExit job h=128 ", 0), 0u);
}

TEST_F(BackendTest, MissingExitLibraryStopsTheQueue)
{
    ProcessResult r =
        runBackend(writeRaster({patternPage(CUPS_CSPACE_K, 1, 8, 8)}), "t", user_->root() + "/no-such-library.so");
    EXPECT_EQ(r.exitCode, CUPS_BACKEND_STOP);
    EXPECT_NE(r.err.find("ERROR: KORVA Fax: cannot load the exit library " + user_->root() + "/no-such-library.so"),
              std::string::npos)
        << r.err;
}

TEST_F(BackendTest, BackendNotRunAsRootRefusesAnotherUsersJob)
{
    if (!user_->separate())
        GTEST_SKIP() << "needs root to run the backend as someone else";
    auto all = env(KORVAFAX_RECORDING_SINK);
    ProcessResult r = runProcess({"/usr/bin/setpriv", "--reuid=65534", "--regid=65534", "--clear-groups",
                                  korva::testing::binPath("korvafax"), "42", user_->name(), "t", "1", ""},
                                 writeRaster({patternPage(CUPS_CSPACE_K, 1, 8, 8)}), all);
    EXPECT_EQ(r.exitCode, CUPS_BACKEND_STOP);
    EXPECT_NE(r.err.find("ERROR: KORVA Fax: the backend runs as user id 65534 and cannot act for " + user_->name()),
              std::string::npos)
        << r.err;
    EXPECT_TRUE(recorded().empty());
}

TEST_F(BackendTest, RealExitLibraryWritesTiffAndControlData)
{
    // Level 3 with a relative log file: the log lands in the spool folder too.
    korva::testing::writeExitLogging(sysconf_, "3", "Bandsink64.log");
    RasterPage first = patternPage(CUPS_CSPACE_K, 1, 1653, 300);
    std::fill(first.data.begin(), first.data.end(), 0);
    for (unsigned y = 100; y < 200; ++y)  // a black bar, columns 800 to 815
        first.row(y)[100] = first.row(y)[101] = 0xFF;
    const RasterPage second = patternPage(CUPS_CSPACE_K, 1, 1653, 130);
    ProcessResult r = runBackend(writeRaster({first, second}), "Invoice 42 M\xC3\xBCller", korva::exitLibraryPath());
    ASSERT_EQ(r.exitCode, CUPS_BACKEND_OK) << r.err;

    const std::string spool = user_->spool();
    const std::string tiff = spool + "/korvafax.tif";
    EXPECT_EQ(ownerOf(tiff), user_->uid());
    auto pages = korva::testing::readTiffPages(tiff);
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_EQ(pages[0].width, 1656u);
    EXPECT_EQ(pages[0].length, 300u);
    EXPECT_EQ(pages[0].compression, 3);  // CCITT Group 3
    EXPECT_EQ(pages[0].photometric, 0);  // min-is-white
    EXPECT_FLOAT_EQ(pages[0].xResolution, 200);
    EXPECT_FLOAT_EQ(pages[0].yResolution, 200);
    EXPECT_TRUE(pages[0].black(800, 100));
    EXPECT_TRUE(pages[0].black(815, 199));
    EXPECT_FALSE(pages[0].black(799, 150));
    EXPECT_FALSE(pages[0].black(816, 150));
    EXPECT_FALSE(pages[0].black(800, 99));
    EXPECT_FALSE(pages[0].black(1655, 150));  // pad pixels are white
    EXPECT_EQ(pages[1].length, 130u);
    for (unsigned x = 0; x < 1653; x += 97)
        EXPECT_EQ(pages[1].black(x, 7), bool((second.row(7)[x / 8] >> (7 - x % 8)) & 1)) << x;

    const std::string control = readWholeFile(spool + "/control.dat");
    ASSERT_EQ(control.size(), korva::controlRecordSize);
    korva::ControlRecord record;
    std::memcpy(&record, control.data(), sizeof record);
    EXPECT_EQ(korva::fieldText(record.userName), user_->name());
    EXPECT_EQ(korva::fieldText(record.documentName), "Invoice 42 M\xFCller");  // Windows-1252
    EXPECT_EQ(ownerOf(spool + "/control.dat"), user_->uid());
    EXPECT_EQ(ownerOf(spool + "/Bandsink64.log"), user_->uid());
    EXPECT_FALSE(fs::exists(user_->root() + "/not-the-users"));
}

TEST_F(BackendTest, DocumentTheExitLibraryCannotHandOverFailsTheJob)
{
    // A folder in place of korvafax.tif cannot be deleted, so the exit
    // library keeps the print file under its per-job name.
    fs::create_directories(user_->spool() + "/korvafax.tif/kept");
    user_->giveToUser(user_->home() + "/.local");
    ProcessResult r =
        runBackend(writeRaster({patternPage(CUPS_CSPACE_K, 1, 64, 20)}), "Not handed over", korva::exitLibraryPath());
    EXPECT_EQ(r.exitCode, CUPS_BACKEND_CANCEL);
    EXPECT_NE(r.err.find("ERROR: KORVA Fax: the document was not handed over; its print file korvafax_" +
                         user_->name() + "_"),
              std::string::npos)
        << r.err;
    EXPECT_NE(r.err.find(" stays in " + user_->spool()), std::string::npos) << r.err;
    // The control record names no document that never arrived.
    const std::string control = readWholeFile(user_->spool() + "/control.dat");
    if (control.size() == korva::controlRecordSize) {
        korva::ControlRecord record;
        std::memcpy(&record, control.data(), sizeof record);
        EXPECT_EQ(korva::fieldText(record.documentName), "");
    }
}

// CUPS starts a backend with LANG from the job's language: the job's
// messages follow it, their keywords and the pages handed over do not.
TEST_F(BackendTest, JobMessagesFollowTheJobsLanguage)
{
    struct Row {
        const char* language;
        const char* faxing;
        const char* unknownUser;
    };
    const Row rows[] = {
        {"de_DE.UTF-8", "INFO: 1 Seite(n) für %1 werden gefaxt\n",
         "ERROR: KORVA Fax: Benutzer „korvafax-no-such-user“ ist auf diesem System unbekannt\n"},
        {"fr_FR.UTF-8", "INFO: Envoi par fax de 1 page(s) pour %1\n",
         "ERROR: KORVA Fax: l'utilisateur «\u00a0korvafax-no-such-user\u00a0» est inconnu sur ce système\n"},
    };
    const std::string raster = writeRaster({patternPage(CUPS_CSPACE_K, 1, 8, 8)});
    for (const Row& row : rows) {
        SCOPED_TRACE(row.language);
        fs::remove(record_);
        ProcessResult r = runBackend(raster, "t", KORVAFAX_RECORDING_SINK, {{"LANGUAGE", ""}, {"LANG", row.language}});
        EXPECT_EQ(r.exitCode, CUPS_BACKEND_OK) << r.err;
        EXPECT_NE(r.err.find(korva::withArguments(row.faxing, {user_->name()})), std::string::npos) << r.err;
        ASSERT_FALSE(recorded().empty());
        EXPECT_EQ(recorded().back(), "endDocExit job");

        r = runBackend(raster, "t", KORVAFAX_RECORDING_SINK, {{"LANGUAGE", ""}, {"LANG", row.language}},
                       "korvafax-no-such-user");
        EXPECT_EQ(r.exitCode, CUPS_BACKEND_CANCEL);
        EXPECT_NE(r.err.find(row.unknownUser), std::string::npos) << r.err;
    }
}
