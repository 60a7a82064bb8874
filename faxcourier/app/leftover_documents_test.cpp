#include "faxcourier/app/leftover_documents.h"

#include "platform/testing/test_support.h"

#include <gtest/gtest.h>

#include <filesystem>

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
