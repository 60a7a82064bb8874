#include "tools/faxconvert/faxconvert_options.h"

#include "controlarea/control_record.h"
#include "platform/file_ops.h"
#include "platform/testing/test_support.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace korva;
using korva::testing::TempHome;

TEST(FaxConvertOptions, LastFileIsTheOutputMadeAbsolute)
{
    std::string error;
    auto o = parseFaxConvertOptions({"a.pdf", "--timeout", "5", "b.png", "out/fax.tif"}, error);
    ASSERT_TRUE(o) << error;
    EXPECT_EQ(o->inputs, (std::vector<std::string>{"a.pdf", "b.png"}));
    EXPECT_EQ(o->output, (std::filesystem::current_path() / "out/fax.tif").string());
    EXPECT_EQ(o->timeoutSeconds, 5);
}

TEST(FaxConvertOptions, RefusesWhatItCannotUse)
{
    std::string error;
    EXPECT_FALSE(parseFaxConvertOptions({"only.tif"}, error));
    EXPECT_NE(error.find("usage"), std::string::npos);
    EXPECT_FALSE(parseFaxConvertOptions({"a", "b", "--timeout", "0"}, error));
    EXPECT_FALSE(parseFaxConvertOptions({"a", "b", "--timeout"}, error));
    EXPECT_FALSE(parseFaxConvertOptions({"a", "b", "--colour"}, error));
    EXPECT_EQ(error, "unknown option --colour");
}

namespace {

class FaxConvertProcess : public ::testing::Test {
protected:
    korva::testing::ProcessResult run(std::vector<std::string> args)
    {
        args.insert(args.begin(), korva::testing::binPath("faxconvert"));
        return korva::testing::runProcess(args, {}, {}, 30000);
    }
    std::string control() const { return korva::testing::readWholeFile(home.spool() + "/control.dat"); }

    TempHome home;
};

}  // namespace

TEST_F(FaxConvertProcess, WithoutFaxcourierItTimesOutAndPutsThePresetBack)
{
    auto preset = korva::testing::runProcess({korva::testing::binPath("faxpreset"), "-s", "mine", "-r", "1~a~b"});
    ASSERT_EQ(preset.exitCode, 0);
    std::string before = control();
    std::string in = home.path() + "/in.pdf";
    korva::testing::writeWholeFile(in, "%PDF-1.4\n");

    // A driver that prints nothing: no conversion can finish.
    auto r = run({in, home.path() + "/out.tif", "--timeout", "1", "--faxprint", "/bin/true"});
    EXPECT_EQ(r.exitCode, 3);
    EXPECT_NE(r.err.find("is faxcourier running?"), std::string::npos) << r.err;
    EXPECT_EQ(control(), before);
}

TEST_F(FaxConvertProcess, AFailedPrintLeavesNoPresetBehind)
{
    std::string in = home.path() + "/in.pdf";
    korva::testing::writeWholeFile(in, "%PDF-1.4\n");
    auto r = run({in, home.path() + "/out.tif", "--faxprint", "/bin/false"});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_FALSE(fileExists(home.spool() + "/control.dat"));
}

TEST_F(FaxConvertProcess, UnreadableInputIsRefusedBeforeAnythingChanges)
{
    auto r = run({home.path() + "/missing.pdf", home.path() + "/out.tif"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("cannot read"), std::string::npos);
    EXPECT_FALSE(fileExists(home.spool() + "/control.dat"));
}

TEST_F(FaxConvertProcess, SpeaksTheLanguageOfTheEnvironmentWithTheSameExitStatuses)
{
    struct Row {
        const char* language;
        const char* locale;
        const char* usage;
        const char* printFailed;
    };
    const Row rows[] = {
        {"de", "de_DE.UTF-8", "faxconvert: Aufruf: faxconvert IN... OUT.tif [--timeout SECONDS] [--faxprint PATH]\n",
         "faxconvert: Drucken mit /bin/false fehlgeschlagen\n"},
        {"fr", "fr_FR.UTF-8",
         "faxconvert: utilisation\u00a0: faxconvert IN... OUT.tif [--timeout SECONDS] [--faxprint PATH]\n",
         "faxconvert: l'impression avec /bin/false a échoué\n"},
    };
    const std::string in = home.path() + "/in.pdf";
    korva::testing::writeWholeFile(in, "%PDF-1.4\n");
    for (const Row& row : rows) {
        SCOPED_TRACE(row.language);
        const std::vector<std::pair<std::string, std::string>> env = {{"LANGUAGE", row.language}, {"LANG", row.locale}};
        auto usage = korva::testing::runProcess({korva::testing::binPath("faxconvert"), in}, {}, env, 30000);
        EXPECT_EQ(usage.exitCode, 1);
        EXPECT_EQ(usage.err, row.usage);

        auto failed = korva::testing::runProcess(
            {korva::testing::binPath("faxconvert"), in, home.path() + "/out.tif", "--faxprint", "/bin/false"}, {}, env,
            30000);
        EXPECT_EQ(failed.exitCode, 2);
        EXPECT_EQ(failed.err, row.printFailed);
        EXPECT_FALSE(fileExists(home.spool() + "/control.dat"));
    }
}
