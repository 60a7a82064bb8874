#include "controlarea/control_area.h"

#include "platform/paths.h"
#include "platform/testing/test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <thread>
#include <vector>

using namespace korva;
using korva::testing::TempHome;

namespace {

class ControlAreaTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(openControlArea()); }
    void TearDown() override { closeControlArea(); }

    std::string controlFile() const { return home.spool() + "/control.dat"; }

    TempHome home;
};

ControlRecord zeroRecord()
{
    ControlRecord r;
    std::memset(&r, 0, sizeof r);
    return r;
}

bool isAllZero(const ControlRecord& r)
{
    auto* bytes = reinterpret_cast<const unsigned char*>(&r);
    for (size_t i = 0; i < sizeof r; ++i)
        if (bytes[i] != 0)
            return false;
    return true;
}

}  // namespace

TEST_F(ControlAreaTest, OpenCreatesPrivateSpoolFolderAndKnowsPaths)
{
    EXPECT_EQ(controlAreaSpoolFolder(), home.spool());
    EXPECT_EQ(controlFilePath(), controlFile());
    EXPECT_EQ(korva::testing::fileMode(home.spool()), 0700u);
}

TEST_F(ControlAreaTest, MissingOrShortFileReadsAsZeros)
{
    ControlRecord r;
    std::memset(&r, 0x55, sizeof r);
    EXPECT_TRUE(readControlRecord(r));
    EXPECT_TRUE(isAllZero(r));

    korva::testing::writeWholeFile(controlFile(), std::string("bob\0", 4) + std::string(96, '\0') + "x");
    std::memset(&r, 0x55, sizeof r);
    EXPECT_TRUE(readControlRecord(r));
    EXPECT_EQ(fieldText(r.userName), "bob");
    EXPECT_EQ(r.senderName[0], 'x');
    EXPECT_EQ(r.senderName[1], '\0');
    EXPECT_EQ(r.recipients[3][99], '\0');
}

TEST_F(ControlAreaTest, WriteThenReadRoundTripsWholeRecordPrivately)
{
    ControlRecord written = zeroRecord();
    setField(written.userName, "anna");
    setField(written.subject, "Quarterly report");
    setField(written.recipients[2], "0123~Bert~Acme");
    ASSERT_TRUE(writeControlRecord(written));

    EXPECT_EQ(korva::testing::readWholeFile(controlFile()).size(), controlRecordSize);
    EXPECT_EQ(korva::testing::fileMode(controlFile()), 0600u);
    ControlRecord read;
    ASSERT_TRUE(readControlRecord(read));
    EXPECT_EQ(std::memcmp(&read, &written, sizeof read), 0);
}

TEST_F(ControlAreaTest, ClearDeletesTheFile)
{
    ControlRecord r = zeroRecord();
    setField(r.subject, "s");
    ASSERT_TRUE(writeControlRecord(r));
    EXPECT_TRUE(clearControlRecord());
    EXPECT_EQ(korva::testing::fileMode(controlFile()), ~0u);
    EXPECT_TRUE(readControlRecord(r));
    EXPECT_TRUE(isAllZero(r));
    EXPECT_TRUE(clearControlRecord());  // an absent file is already clear
}

TEST_F(ControlAreaTest, FolderInPlaceOfTheFileFailsEveryOperation)
{
    ASSERT_TRUE(makeFolders(controlFile(), 0700).ok());
    korva::testing::writeWholeFile(controlFile() + "/keep", "");
    ControlRecord r = zeroRecord();
    EXPECT_FALSE(writeControlRecord(r));
    EXPECT_FALSE(clearControlRecord());
    std::memset(&r, 0x55, sizeof r);
    EXPECT_FALSE(readControlRecord(r));
    EXPECT_TRUE(isAllZero(r));
}

TEST_F(ControlAreaTest, FifoInPlaceOfTheFileIsRefusedWithoutWaiting)
{
    ASSERT_EQ(mkfifo(controlFile().c_str(), 0600), 0);
    ControlRecord r;
    EXPECT_FALSE(readControlRecord(r));  // would wait for a writer forever
    // Replacing and clearing act on the name, not on what it is.
    EXPECT_TRUE(writeControlRecord(zeroRecord()));
    EXPECT_TRUE(readControlRecord(r));
    EXPECT_TRUE(clearControlRecord());
}

TEST_F(ControlAreaTest, WriteLeavesNoTemporaryFilesBehind)
{
    ControlRecord r = zeroRecord();
    for (int i = 0; i < 5; ++i)
        ASSERT_TRUE(writeControlRecord(r));
    std::vector<std::string> names;
    for (auto& entry : std::filesystem::directory_iterator(home.spool()))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"control.dat", "control.lock"}));
}

TEST(ControlRecordFields, CopiesAreCutToFieldSizeMinusOne)
{
    ControlRecord r = zeroRecord();
    setField(r.subject, std::string(300, 's'));
    setField(r.recipients[0], std::string(100, 'r'));
    EXPECT_EQ(fieldText(r.subject), std::string(299, 's'));
    EXPECT_EQ(fieldText(r.recipients[0]), std::string(99, 'r'));
    EXPECT_EQ(r.recipients[1][0], '\0');  // the neighbour is untouched
}

TEST(ControlRecordFields, FieldWithoutTerminatorIsReadAsAtMostSizeMinusOne)
{
    ControlRecord r;
    std::memset(&r, 'z', sizeof r);  // as a foreign writer might leave it
    EXPECT_EQ(fieldText(r.userName), std::string(99, 'z'));
    EXPECT_EQ(fieldText(r.subject), std::string(299, 'z'));
    EXPECT_EQ(fieldText(r.recipients[3]), std::string(99, 'z'));
}

TEST(ControlAreaFailure, UnusableSpoolFolderReportsTheRealErrorAndReturnsFalse)
{
    struct Case {
        std::string inTheWay;  // a plain file where a folder should be
        std::string text;
    };
    for (const Case& c : {Case{"/.local", "Error 20"}, Case{"/.local/share/KORVAFax", "Error 20"}}) {
        SCOPED_TRACE(c.inTheWay);
        TempHome home;
        ASSERT_TRUE(makeFolders(home.path() + "/.local/share", 0700).ok());
        std::filesystem::remove_all(home.path() + c.inTheWay);
        korva::testing::writeWholeFile(home.path() + c.inTheWay, "not a folder");
        korva::testing::CapturedBoxes boxes;
        errno = 0;  // the number shown must not be whatever errno held
        EXPECT_FALSE(openControlArea());
        ASSERT_EQ(boxes.count(), 1u);
        EXPECT_EQ(boxes.boxes()[0].first, "CreateMutex Error");
        EXPECT_EQ(boxes.boxes()[0].second, c.text);
        closeControlArea();
    }
}

TEST(ControlAreaFailure, SpoolFolderOthersCanWriteOrOwnIsRefused)
{
    TempHome home;
    ASSERT_TRUE(makeFolders(home.spool(), 0700).ok());
    const std::string refused = "; KORVA Fax will not use it.";
    struct Case {
        std::function<bool()> spoil;  // false: cannot be set up here
        std::string text;
    };
    const Case cases[] = {
        {[&] { return chmod(home.spool().c_str(), 0777) == 0; },
         "The spool folder " + home.spool() + " is writable by other users (mode 0777)" + refused},
        {[&] { return chmod(home.spool().c_str(), 0700) == 0 && chown(home.spool().c_str(), 65534, 65534) == 0; },
         "The spool folder " + home.spool() + " is not owned by you" + refused},
    };
    for (const Case& c : cases) {
        if (!c.spoil())
            continue;  // giving the folder away needs root
        korva::testing::CapturedBoxes boxes;
        EXPECT_FALSE(openControlArea());
        ASSERT_EQ(boxes.count(), 1u);
        EXPECT_EQ(boxes.boxes()[0].first, "KORVA Fax Printer Driver");
        EXPECT_EQ(boxes.boxes()[0].second, c.text);
        EXPECT_FALSE(std::filesystem::exists(home.spool() + "/control.lock"));
        closeControlArea();
    }
}
