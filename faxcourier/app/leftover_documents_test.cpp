#include "faxcourier/app/leftover_documents.h"

#include "platform/testing/test_support.h"
#include "platform/translation.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>

using namespace korva::app;
using korva::testing::fileMode;
using korva::testing::readWholeFile;
using korva::testing::TempHome;
using korva::testing::writeWholeFile;

namespace fs = std::filesystem;

TEST(LeftoverDocuments, NumberedFilesAreSetAsideAndEverythingElseStays)
{
    TempHome home;
    std::string spool = home.spool();
    fs::create_directories(spool);
    for (const char* name : {"korvafax1.tif", "korvafax12.tif"})
        writeWholeFile(spool + "/" + name, std::string("pages of ") + name);
    // The waiting print file, a print file still being written, the record.
    for (const char* name : {"korvafax.tif", "korvafax_anna_0000002a.tif", "control.dat", "korvafax1.tif.bak"})
        writeWholeFile(spool + "/" + name, name);

    SetAsideDocuments kept = setAsideLeftoverDocuments(spool);
    EXPECT_EQ(kept.folder, spool + "/unsent");
    EXPECT_EQ(fileMode(kept.folder), 0700u);
    ASSERT_EQ(kept.files.size(), 2u);
    EXPECT_TRUE(kept.failed.empty());
    EXPECT_NE(kept.files[0].find("-korvafax1.tif"), std::string::npos);
    EXPECT_EQ(readWholeFile(kept.files[0]), "pages of korvafax1.tif");
    EXPECT_EQ(readWholeFile(kept.files[1]), "pages of korvafax12.tif");
    EXPECT_FALSE(fs::exists(spool + "/korvafax1.tif"));
    for (const char* name : {"korvafax.tif", "korvafax_anna_0000002a.tif", "control.dat", "korvafax1.tif.bak"})
        EXPECT_EQ(readWholeFile(spool + "/" + name), name);

    std::string notice = leftoverNotice(kept);
    EXPECT_NE(notice.find("2 file(s)"), std::string::npos) << notice;
    EXPECT_NE(notice.find(kept.folder), std::string::npos) << notice;
}

TEST(LeftoverDocuments, ASecondRunInTheSameSecondReplacesNothing)
{
    TempHome home;
    std::string spool = home.spool();
    fs::create_directories(spool);
    writeWholeFile(spool + "/korvafax1.tif", "first");
    SetAsideDocuments first = setAsideLeftoverDocuments(spool);
    writeWholeFile(spool + "/korvafax1.tif", "second");
    SetAsideDocuments second = setAsideLeftoverDocuments(spool);
    ASSERT_EQ(first.files.size(), 1u);
    ASSERT_EQ(second.files.size(), 1u);
    EXPECT_NE(first.files[0], second.files[0]);
    EXPECT_EQ(readWholeFile(first.files[0]), "first");
    EXPECT_EQ(readWholeFile(second.files[0]), "second");
}

TEST(LeftoverDocuments, NothingLeftMeansNoFolderAndNoNotice)
{
    TempHome home;
    fs::create_directories(home.spool());
    SetAsideDocuments kept = setAsideLeftoverDocuments(home.spool());
    EXPECT_TRUE(kept.files.empty());
    EXPECT_FALSE(fs::exists(home.spool() + "/unsent"));
    EXPECT_EQ(leftoverNotice(kept), "");
}

TEST(LeftoverDocuments, AFileThatCannotBeMovedIsNamedInTheNotice)
{
    TempHome home;
    std::string spool = home.spool();
    fs::create_directories(spool);
    writeWholeFile(spool + "/korvafax3.tif", "x");
    writeWholeFile(spool + "/unsent", "a file where the folder should be");
    SetAsideDocuments kept = setAsideLeftoverDocuments(spool);
    ASSERT_EQ(kept.failed.size(), 1u);
    EXPECT_NE(leftoverNotice(kept).find(spool + "/korvafax3.tif could not be set aside"), std::string::npos);
    EXPECT_TRUE(fs::exists(spool + "/korvafax3.tif"));
}

// A run that keeps its print files in taken/ leaves only converted copies
// under the numbered names: they are made again from taken/, so they go,
// and nobody is asked to print anything again.
TEST(LeftoverDocuments, ConvertedCopiesOfTakenDocumentsAreDeletedWithoutANotice)
{
    TempHome home;
    std::string spool = home.spool();
    fs::create_directories(spool + "/taken");
    writeWholeFile(spool + "/taken/1.tif", "print file");
    writeWholeFile(spool + "/korvafax1.tif", "converted");
    SetAsideDocuments kept = setAsideLeftoverDocuments(spool);
    EXPECT_EQ(leftoverNotice(kept), "");
    EXPECT_FALSE(fs::exists(spool + "/korvafax1.tif"));
    EXPECT_FALSE(fs::exists(spool + "/unsent"));
    EXPECT_EQ(readWholeFile(spool + "/taken/1.tif"), "print file");
}

namespace {

// The locale variables of one test, restored at its end.
class LanguageEnvironment {
public:
    LanguageEnvironment(const char* language, const char* lang)
    {
        for (const char* name : kNames) {
            const char* value = std::getenv(name);
            saved_.emplace_back(value ? std::optional<std::string>(value) : std::nullopt);
            ::unsetenv(name);
        }
        ::setenv("LANGUAGE", language, 1);
        ::setenv("LANG", lang, 1);
        korva::forgetTranslations();
    }
    ~LanguageEnvironment()
    {
        for (size_t i = 0; i < saved_.size(); ++i)
            saved_[i] ? ::setenv(kNames[i], saved_[i]->c_str(), 1) : ::unsetenv(kNames[i]);
        korva::forgetTranslations();
    }

private:
    static constexpr const char* kNames[] = {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"};
    std::vector<std::optional<std::string>> saved_;
};

}  // namespace

// The box speaks the user's language; the log keeps English.
TEST(LeftoverDocuments, TheUserReadsTheNoticeInTheirLanguageAndTheLogInEnglish)
{
    TempHome home;
    std::string spool = home.spool();
    fs::create_directories(spool);
    writeWholeFile(spool + "/korvafax1.tif", "pages");
    SetAsideDocuments kept = setAsideLeftoverDocuments(spool);
    ASSERT_EQ(kept.files.size(), 1u);
    const struct {
        const char* language;
        const char* lang;
        std::string before;  // the folder
        std::string after;
    } table[] = {
        {"de", "de_DE.UTF-8",
         "KORVA Fax wurde beendet, bevor alle gedruckten Dokumente gefaxt waren. 1 Datei(en) dieses Laufs liegen in ",
         "; drucken Sie sie erneut, um sie zu faxen."},
        {"fr", "fr_FR.UTF-8",
         "KORVA Fax s'est arr\u00eat\u00e9 avant d'avoir fax\u00e9 tous les documents imprim\u00e9s. 1 fichier(s) de "
         "cette session sont conserv\u00e9s dans ",
         "\u00a0; imprimez-les \u00e0 nouveau pour les faxer."},
    };
    for (const auto& row : table) {
        LanguageEnvironment environment(row.language, row.lang);
        EXPECT_EQ(leftoverNotice(kept, korva::translated), row.before + kept.folder + row.after) << row.language;
        EXPECT_EQ(leftoverNotice(kept),
                  "KORVA Fax stopped before it had faxed every printed document. 1 file(s) of "
                  "that run are kept in " +
                      kept.folder + "; print them again to fax them.")
            << row.language;
    }
}
