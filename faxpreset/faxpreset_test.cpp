// faxpreset run as a process, the way scripts use it.
#include "controlarea/control_record.h"

#include "platform/paths.h"
#include "platform/testing/test_support.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <functional>
#include <sys/stat.h>

using namespace korva;
using korva::testing::ProcessResult;
using korva::testing::TempHome;

namespace {

class FaxPresetTest : public ::testing::Test {
protected:
    // A hang would hold the control-area lock: it fails the test in seconds.
    ProcessResult run(std::vector<std::string> args, const std::vector<std::pair<std::string, std::string>>& env = {})
    {
        args.insert(args.begin(), korva::testing::binPath("faxpreset"));
        return korva::testing::runProcess(args, {}, env, 10000);
    }

    std::string controlBytes() const { return korva::testing::readWholeFile(home.spool() + "/control.dat"); }

    ControlRecord record() const
    {
        ControlRecord r;
        std::memset(&r, 0, sizeof r);
        std::string bytes = controlBytes();
        std::memcpy(&r, bytes.data(), std::min(bytes.size(), sizeof r));
        return r;
    }

    TempHome home;
};

const char* const expectedUsage =
    "Usage: faxpreset options\n\nOptions are:\n"
    " -s \"subject\"\n"
    " -n \"sender name\"\n"
    " -e \"sender email\"\n"
    " -f \"sender fax\"\n"
    " -p \"sender phone\"\n"
    " -o \"sender company\"\n"
    " -c \"cover page\"\n"
    " -r \"recipient number~recipient name~recipient company\"\n"
    "   (up to 4 recipients can be specified\n"
    " -flush - flush data transfer area\n"
    " -list - view data transfer area\n"
    "\n";

}  // namespace

TEST_F(FaxPresetTest, NoArgumentPrintsUsageAndFails)
{
    ProcessResult r = run({});
    EXPECT_EQ(r.out, expectedUsage);
    EXPECT_EQ(r.exitCode, 255);
    EXPECT_EQ(korva::testing::fileMode(home.spool() + "/control.dat"), ~0u);
}

TEST_F(FaxPresetTest, HelpPrintsUsageAndTouchesNothing)
{
    ProcessResult r = run({"--help"});
    EXPECT_EQ(r.out, expectedUsage);
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_FALSE(std::filesystem::exists(home.spool()));
}

TEST_F(FaxPresetTest, WritesAFreshWholeRecord)
{
    ProcessResult r = run({"-S", "Invoice 42", "-r", "0301234~Anna Berg~Acme", "-C", "Urgent", "-n", "Me", "-e", "me@x",
                           "-f", "1", "-p", "2", "-o", "Co", "-u", "someone"});
    EXPECT_EQ(r.out, "Print job data added OK\n");
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(controlBytes().size(), controlRecordSize);
    EXPECT_EQ(korva::testing::fileMode(home.spool() + "/control.dat"), 0600u);
    ControlRecord c = record();
    EXPECT_EQ(fieldText(c.subject), "Invoice 42");
    EXPECT_EQ(fieldText(c.recipients[0]), "0301234~Anna Berg~Acme");
    EXPECT_EQ(fieldText(c.recipients[1]), "");
    EXPECT_EQ(fieldText(c.coverPage), "Urgent");
    EXPECT_EQ(fieldText(c.senderName), "Me");
    EXPECT_EQ(fieldText(c.senderEmail), "me@x");
    EXPECT_EQ(fieldText(c.senderFax), "1");
    EXPECT_EQ(fieldText(c.senderPhone), "2");
    EXPECT_EQ(fieldText(c.senderCompany), "Co");
    EXPECT_EQ(fieldText(c.userName), "someone");
    EXPECT_EQ(fieldText(c.documentName), "");

    // A second run replaces every field it was not given.
    ASSERT_EQ(run({"-s", "second"}).exitCode, 0);
    EXPECT_EQ(fieldText(record().coverPage), "");
    EXPECT_EQ(fieldText(record().recipients[0]), "");
}

TEST_F(FaxPresetTest, FifthRecipientFailsAndLeavesTheFileByteIdentical)
{
    ASSERT_EQ(run({"-s", "keep me", "-r", "1~a~b"}).exitCode, 0);
    std::string before = controlBytes();
    ProcessResult r = run({"-s", "new", "-r", "1~a~", "-r", "2~b~", "-r", "3~c~", "-r", "4~d~", "-r", "5~e~"});
    EXPECT_EQ(r.out, "Too many recipients defined - max 4\n");
    EXPECT_EQ(r.exitCode, 255);
    EXPECT_EQ(controlBytes(), before);
}

TEST_F(FaxPresetTest, UnknownOptionFailsWithoutWriting)
{
    ProcessResult r = run({"-s", "x", "-bogus"});
    EXPECT_EQ(r.out, "Unrecognised command -bogus\n");
    EXPECT_EQ(r.exitCode, 255);
    EXPECT_EQ(korva::testing::fileMode(home.spool() + "/control.dat"), ~0u);
}

TEST_F(FaxPresetTest, ValueOptionsTakeTheNextArgumentWhateverItIs)
{
    ASSERT_EQ(run({"-s", "-list", "-c", "-r"}).exitCode, 0);
    EXPECT_EQ(fieldText(record().subject), "-list");
    EXPECT_EQ(fieldText(record().coverPage), "-r");
    EXPECT_EQ(fieldText(record().recipients[0]), "");
}

TEST_F(FaxPresetTest, ValueOptionAsLastArgumentLeavesItsFieldEmptyAndWrites)
{
    ProcessResult r = run({"-c", "Cover", "-s"});
    EXPECT_EQ(r.out, "Print job data added OK\n");
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(fieldText(record().coverPage), "Cover");
    EXPECT_EQ(fieldText(record().subject), "");
}

TEST_F(FaxPresetTest, LongValuesAreCut)
{
    ASSERT_EQ(run({"-s", std::string(400, 's'), "-r", std::string(150, 'r')}).exitCode, 0);
    EXPECT_EQ(fieldText(record().subject), std::string(299, 's'));
    EXPECT_EQ(fieldText(record().recipients[0]), std::string(99, 'r'));
}

TEST_F(FaxPresetTest, ValuesAreStoredAsWindows1252OrRefusedNamingTheOption)
{
    ASSERT_EQ(run({"-s", "\xE2\x82\xAC 12", "-r", "030~M\xC3\xBCller~\xE2\x80\x9EZ\xE2\x80\x9C"}).exitCode, 0);
    EXPECT_EQ(fieldText(record().subject), "\x80 12");
    EXPECT_EQ(fieldText(record().recipients[0]), "030~M\xFCller~\x84Z\x93");
    // A script that already writes the 8-bit form keeps working.
    ASSERT_EQ(run({"-s", "M\xFCller \x80"}).exitCode, 0);
    EXPECT_EQ(fieldText(record().subject), "M\xFCller \x80");

    std::string before = controlBytes();
    for (const char* option : {"-r", "-s", "-c"}) {
        ProcessResult r = run({option, "030~\xCE\xA9mega~Acme"});
        EXPECT_NE(r.exitCode, 0) << option;
        EXPECT_NE(r.out.find(std::string("The value of ") + option), std::string::npos) << r.out;
        EXPECT_EQ(controlBytes(), before) << option;
    }
}

TEST_F(FaxPresetTest, ListShowsWindows1252TextAsUtf8)
{
    ASSERT_EQ(run({"-u", "anna"}).exitCode, 0);
    ControlRecord printed = record();
    setField(printed.userName, "M\xFCller");
    setField(printed.documentName, "\x80 Offer");
    korva::testing::writeWholeFile(home.spool() + "/control.dat",
                                   std::string(reinterpret_cast<char*>(&printed), sizeof printed));
    EXPECT_EQ(run({"-list"}).out, "0 - M\xC3\xBCller\nJob - \xE2\x82\xAC Offer\n");
}

TEST_F(FaxPresetTest, ListPrintsTheAreaAndWritesNothing)
{
    ProcessResult empty = run({"-list"});
    EXPECT_EQ(empty.out, "0 - \nJob - \n");
    EXPECT_EQ(empty.exitCode, 0);
    EXPECT_EQ(korva::testing::fileMode(home.spool() + "/control.dat"), ~0u);

    ASSERT_EQ(run({"-u", "anna", "-s", "old"}).exitCode, 0);
    ControlRecord withDocument = record();
    setField(withDocument.documentName, "letter.pdf");
    korva::testing::writeWholeFile(home.spool() + "/control.dat",
                                   std::string(reinterpret_cast<char*>(&withDocument), sizeof withDocument));
    std::string before = controlBytes();
    ProcessResult listed = run({"-s", "x", "-LIST"});
    EXPECT_EQ(listed.out, "0 - anna\nJob - letter.pdf\n");
    EXPECT_EQ(listed.exitCode, 0);
    EXPECT_EQ(controlBytes(), before);
}

TEST_F(FaxPresetTest, FlushActsInPlaceAndALaterRecordIsWrittenAfresh)
{
    ASSERT_EQ(run({"-s", "old", "-r", "1~a~b"}).exitCode, 0);
    ProcessResult flushed = run({"-flush"});
    EXPECT_EQ(flushed.out, "data transfer area cleared\n");
    EXPECT_EQ(flushed.exitCode, 0);
    EXPECT_EQ(korva::testing::fileMode(home.spool() + "/control.dat"), ~0u);

    // -flush then -list on one line: both act, in order, and nothing is written.
    ASSERT_EQ(run({"-s", "x", "-u", "u"}).exitCode, 0);
    ProcessResult both = run({"-flush", "-list"});
    EXPECT_EQ(both.out, "data transfer area cleared\n0 - \nJob - \n");

    // A later partial record holds only what it was given.
    ASSERT_EQ(run({"-c", "Cover"}).exitCode, 0);
    ControlRecord c = record();
    EXPECT_EQ(fieldText(c.coverPage), "Cover");
    EXPECT_EQ(fieldText(c.subject), "");
    EXPECT_EQ(fieldText(c.recipients[0]), "");
}

TEST_F(FaxPresetTest, UnusableSpoolFolderCannotInitialise)
{
    korva::testing::writeWholeFile(home.path() + "/.local", "in the way");
    ProcessResult r = run({"-s", "x"});
    EXPECT_EQ(r.out, "Can't Initialise Control data area\n");
    EXPECT_EQ(r.err, "CreateMutex Error: Error 20\n");
    EXPECT_EQ(r.exitCode, 255);
}

TEST_F(FaxPresetTest, ControlFileThatCannotBeUsedFailsWithTheReason)
{
    const std::string control = home.spool() + "/control.dat";
    auto folderInItsPlace = [&] {
        ASSERT_TRUE(korva::makeFolders(control, 0700).ok());
        korva::testing::writeWholeFile(control + "/keep", "");
    };
    auto fifoInItsPlace = [&] { ASSERT_EQ(mkfifo(control.c_str(), 0600), 0); };
    struct Case {
        std::function<void()> plant;
        std::vector<std::string> args;
        std::string err;
    };
    const Case cases[] = {
        {folderInItsPlace,
         {"-s", "new"},
         "Cannot write the print job data to " + control + "; the previous data stays\n"},
        {folderInItsPlace, {"-flush"}, "Cannot clear the data transfer area " + control + "\n"},
        {folderInItsPlace, {"-list"}, "Cannot read the data transfer area " + control + "\n"},
        {fifoInItsPlace, {"-list"}, "Cannot read the data transfer area " + control + "\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args[0]);
        std::filesystem::remove_all(home.spool());
        ASSERT_TRUE(korva::makeFolders(home.spool(), 0700).ok());
        c.plant();
        ProcessResult r = run(c.args);
        EXPECT_FALSE(r.timedOut);
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err, c.err);
        EXPECT_EQ(r.exitCode, 255);
    }
}

TEST_F(FaxPresetTest, SpoolFolderOthersCanWriteIsRefused)
{
    ASSERT_TRUE(korva::makeFolders(home.spool(), 0700).ok());
    ASSERT_EQ(chmod(home.spool().c_str(), 0777), 0);
    ProcessResult r = run({"-s", "x"});
    EXPECT_EQ(r.out, "Can't Initialise Control data area\n");
    EXPECT_EQ(r.err, "KORVA Fax Printer Driver: The spool folder " + home.spool() +
                         " is writable by other users (mode 0777); KORVA Fax will not use it.\n");
    EXPECT_EQ(r.exitCode, 255);
    EXPECT_EQ(korva::testing::fileMode(home.spool() + "/control.dat"), ~0u);
}

TEST_F(FaxPresetTest, SpeaksTheLanguageOfTheEnvironmentButWritesTheSameBytes)
{
    const std::vector<std::string> preset = {"-s", "Rechnung 42", "-r", "0301234~Anna Berg~Acme", "-c", "Eilig"};
    ASSERT_EQ(run(preset, {{"LANGUAGE", "en"}, {"LANG", "C"}}).exitCode, 0);
    const std::string english = controlBytes();
    ASSERT_EQ(english.size(), controlRecordSize);

    struct Row {
        const char* language;
        const char* locale;
        const char* usageHead;
        const char* flushLine;
        const char* unknown;
        const char* added;
    };
    const Row rows[] = {
        {"de", "de_DE.UTF-8", "Aufruf: faxpreset options\n\nOptionen:\n", " -flush - Datenübergabebereich leeren\n",
         "Unbekannter Befehl -bogus\n", "Druckauftragsdaten erfolgreich hinzugefügt\n"},
        {"fr", "fr_FR.UTF-8", "Utilisation\u00a0: faxpreset options\n\nOptions\u00a0:\n",
         " -flush - vider la zone de transfert de données\n", "Commande inconnue -bogus\n",
         "Données de la tâche d'impression ajoutées\n"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.language);
        const std::vector<std::pair<std::string, std::string>> env = {{"LANGUAGE", row.language}, {"LANG", row.locale}};
        ProcessResult help = run({"--help"}, env);
        EXPECT_EQ(help.exitCode, 0);
        EXPECT_EQ(help.out.rfind(row.usageHead, 0), 0u) << help.out;
        // The syntax is the manual page's, in every language.
        EXPECT_NE(help.out.find("\n -r \"recipient number~recipient name~recipient company\"\n"), std::string::npos);
        EXPECT_NE(help.out.find(row.flushLine), std::string::npos) << help.out;

        ProcessResult unknown = run({"-s", "x", "-bogus"}, env);
        EXPECT_EQ(unknown.out, row.unknown);
        EXPECT_EQ(unknown.exitCode, 255);

        ASSERT_EQ(run({"-flush"}, env).exitCode, 0);
        ProcessResult added = run(preset, env);
        EXPECT_EQ(added.out, row.added);
        EXPECT_EQ(added.exitCode, 0);
        EXPECT_EQ(controlBytes(), english);
    }
}
