// A fax printed with faxprint and sent by a running faxcourier reaches a
// stock Postfix (AUTH through Dovecot) in each encryption mode and lands in
// its Maildir whole: a real MIME parser reads it, libtiff reads the pages,
// and the Date and Message-ID are the ones faxcourier wrote.

#include "tools/postfix/testing/private_postfix.h"

#include "faxcourier/settings/settings.h"
#include "platform/registry_store.h"
#include "platform/testing/child_process.h"
#include "platform/testing/poll_until.h"
#include "platform/testing/test_support.h"
#include "platform/testing/tiff_pages.h"

#include <gtest/gtest.h>
#include <tiffio.h>

#include <fcntl.h>
#include <filesystem>
#include <regex>
#include <unistd.h>

namespace korva::testing {
namespace {

namespace fs = std::filesystem;

struct Row {
    const char* name;
    uint32_t encryption;
    PostfixPort port;
    const char* password;
};

void PrintTo(const Row& row, std::ostream* out) { *out << row.name; }

std::vector<std::string> filesIn(const std::string& folder)
{
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(folder, ec))
        names.push_back(entry.path());
    return names;
}

bool fileHolds(const std::string& path, const std::string& text)
{
    std::error_code ec;
    return fs::exists(path, ec) && readWholeFile(path).find(text) != std::string::npos;
}

// Every page as faxcourier converts them: "1728x1 G3 200x192" each.
std::vector<std::string> faxPages(const std::string& file)
{
    std::vector<std::string> pages;
    for (const TiffPage& page : readTiffPages(file))
        pages.push_back(std::to_string(page.width) + "x" + std::to_string(page.bitsPerSample) +
                        (page.compression == COMPRESSION_CCITTFAX3 ? " G3 " : " other ") +
                        std::to_string(int(page.xResolution)) + "x" + std::to_string(int(page.yResolution)));
    return pages;
}

class PostfixDelivery : public ::testing::TestWithParam<Row> {
protected:
    void SetUp() override
    {
        if (std::string why = PrivatePostfix::unavailable(); !why.empty())
            GTEST_SKIP() << why;
        postfix = std::make_unique<PrivatePostfix>(home.path() + "/postfix");
        std::string why = postfix->start();
        ASSERT_EQ(why, "");
        Settings settings;
        settings.Server = "127.0.0.1";
        settings.SMTPServerPort = uint32_t(postfix->port(GetParam().port));
        settings.Encryption = GetParam().encryption;
        settings.Username = kPostfixUser;
        settings.Password = GetParam().password;
        settings.EmailAddress = "anna@example.com";
        settings.FaxAddress = kPostfixFaxAddress;
        ASSERT_TRUE(SaveSettings(settings));
        // The test CA is an administrator's addition; the Configure dialog does not write it.
        RegistryKey key;
        ASSERT_EQ(key.create(RegistryHive::CurrentUser, kSettingsKey), kRegOk);
        ASSERT_EQ(String(postfix->caFile().c_str()).WriteRegistryValue(key, "TLSCAFile"), kRegOk);
        log = home.stateHome() + "/KORVAFax/korvafax.log";
        errors = home.path() + "/faxcourier.err";
        ChildOptions options;
        options.unsetEnv = {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"};
        options.out = options.err = open(errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        options.dieWithParent = true;
        courier = std::make_unique<ChildProcess>(std::vector<std::string>{binPath("faxcourier"), "-debug"}, options);
        close(options.out);
        ASSERT_TRUE(pollUntil([&] { return fileHolds(log, "Watching "); })) << readWholeFile(errors);
    }

    void TearDown() override
    {
        if (courier) {
            EXPECT_EQ(courier->stop(std::chrono::seconds(10)), 0) << readWholeFile(errors);
        }
    }

    void printLetter()
    {
        ProcessResult preset =
            runProcess({binPath("faxpreset"), "-s", "Quarterly report", "-r", "0301 555~Berta Blau~Blau KG"});
        ASSERT_EQ(preset.exitCode, 0) << preset.err;
        ProcessResult printed = runProcess({binPath("faxprint"), "--name", "letter", KORVA_SAMPLE_LETTER});
        ASSERT_EQ(printed.exitCode, 0) << printed.err;
    }

    TempHome home;
    std::unique_ptr<PrivatePostfix> postfix;  // stopped however the test ends
    std::unique_ptr<ChildProcess> courier;
    std::string log, errors;
};

TEST_P(PostfixDelivery, LetterArrivesWholeInTheMaildirOrWaitsAsRefused)
{
    printLetter();
    if (std::string(GetParam().password) != kPostfixPassword) {
        ASSERT_TRUE(pollUntil([&] { return fileHolds(log, "waits in the outbox (refused)"); }))
            << readWholeFile(log) << postfix->mailLog();
        // Read in English whatever the run's language: the words are checked.
        ProcessResult listed = runProcess({binPath("faxcourier"), "--outbox"}, {}, {{"LANGUAGE", "en"}});
        EXPECT_NE(listed.out.find("refused"), std::string::npos) << listed.out;
        EXPECT_NE(listed.out.find("Quarterly report"), std::string::npos) << listed.out;
        EXPECT_TRUE(filesIn(postfix->maildirNew()).empty());
        return;
    }
    ASSERT_TRUE(pollUntil([&] { return !filesIn(postfix->maildirNew()).empty(); }))
        << readWholeFile(log) << postfix->mailLog();
    const std::vector<std::string> delivered = filesIn(postfix->maildirNew());
    ASSERT_EQ(delivered.size(), 1u);
    const std::string parts = home.path() + "/parts";
    fs::create_directories(parts);
    ProcessResult read = runProcess({"/usr/bin/python3", "-I", KORVA_MAILDIR_FAX, delivered[0], parts});
    ASSERT_EQ(read.exitCode, 0) << read.err;

    // Ours, not Postfix's: one each, our form, the sender's domain.
    const std::regex fields(
        "date=[A-Z][a-z]{2}, [0-9]{2} [A-Z][a-z]{2} [0-9]{4} [0-9]{2}:[0-9]{2}:[0-9]{2} "
        "[+-][0-9]{4}\n"
        "message-id=<[0-9a-f.]+@example\\.com>\n"
        "subject=Quarterly report\n"
        "type=multipart/mixed\n"
        "line=~0301 555~Berta Blau~Blau KG\n"
        "attachment=korvafax_1.fmf x-application/korvafax\n"
        "defects=0\n");
    EXPECT_TRUE(std::regex_match(read.out, fields)) << read.out;
    EXPECT_EQ(faxPages(parts + "/korvafax_1.fmf"),
              (std::vector<std::string>{"1728x1 G3 200x192", "1728x1 G3 200x192"}));
}

INSTANTIATE_TEST_SUITE_P(Encryption, PostfixDelivery,
                         ::testing::Values(Row{"None", kEncryptionNone, PostfixPort::Plain, kPostfixPassword},
                                           Row{"StartTls", kEncryptionStartTls, PostfixPort::StartTls,
                                               kPostfixPassword},
                                           Row{"Tls", kEncryptionTls, PostfixPort::Tls, kPostfixPassword},
                                           Row{"WrongPassword", kEncryptionStartTls, PostfixPort::StartTls, "wrong"}),
                         [](const ::testing::TestParamInfo<Row>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace korva::testing
