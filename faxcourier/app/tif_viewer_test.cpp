#include "faxcourier/app/tif_viewer.h"

#include "platform/paths.h"
#include "platform/testing/test_support.h"

#include <gtest/gtest.h>

using namespace korva;
using namespace korva::app;
using korva::testing::TempHome;

namespace {

void writeClassesRoot(const TempHome& home, const std::string& body)
{
    ASSERT_TRUE(makeFolders(home.sysconf(), 0755).ok());
    korva::testing::writeWholeFile(home.sysconf() + "/HKEY_CLASSES_ROOT.reg", "REGEDIT4\n\n" + body);
}

}  // namespace

TEST(FindTifViewer, NoTifEntryLeavesEverythingOff)
{
    TempHome home;
    TifViewer viewer = FindTifViewer();
    EXPECT_FALSE(viewer.registryKnowsTif);
    EXPECT_FALSE(viewer.tifOpenAvailable);
    EXPECT_TRUE(viewer.tifEditVerb.IsEmpty());
}

TEST(FindTifViewer, OpenCommandMakesOpenAvailable)
{
    TempHome home;
    writeClassesRoot(
        home,
        "[HKEY_CLASSES_ROOT\\.tif]\n@=\"TIFImage.Document\"\n\n"
        "[HKEY_CLASSES_ROOT\\TIFImage.Document\\shell\\open\\command]\n@=\"/usr/bin/viewer \\\"%1\\\"\"\n");
    TifViewer viewer = FindTifViewer();
    EXPECT_TRUE(viewer.registryKnowsTif);
    EXPECT_TRUE(viewer.tifOpenAvailable);
    EXPECT_TRUE(viewer.tifEditVerb.IsEmpty());
    EXPECT_EQ(tifVerbCommand("open"), "/usr/bin/viewer \"%1\"");
    EXPECT_FALSE(tifVerbCommand("print"));
}

TEST(FindTifViewer, EditVerbWinsOverOtherEditVerbs)
{
    TempHome home;
    writeClassesRoot(home,
                     "[HKEY_CLASSES_ROOT\\.tif]\n@=\"TIFImage.Document\"\n\n"
                     "[HKEY_CLASSES_ROOT\\TIFImage.Document\\shell\\editfax\\command]\n@=\"/usr/bin/editfax %1\"\n\n"
                     "[HKEY_CLASSES_ROOT\\TIFImage.Document\\shell\\Edit\\command]\n@=\"/usr/bin/edit %1\"\n\n"
                     "[HKEY_CLASSES_ROOT\\TIFImage.Document\\shell\\editzzz\\command]\n@=\"/usr/bin/zzz %1\"\n");
    TifViewer viewer = FindTifViewer();
    EXPECT_FALSE(viewer.tifOpenAvailable);
    EXPECT_STREQ(viewer.tifEditVerb.Text(), "Edit");
}

TEST(FindTifViewer, WithoutEditTheLastEditVerbWithACommandIsTaken)
{
    TempHome home;
    writeClassesRoot(home,
                     "[HKEY_CLASSES_ROOT\\.tif]\n@=\"T\"\n\n"
                     "[HKEY_CLASSES_ROOT\\T\\shell\\editA\\command]\n@=\"/a %1\"\n\n"
                     "[HKEY_CLASSES_ROOT\\T\\shell\\editB\\command]\n@=\"/b %1\"\n\n"
                     "[HKEY_CLASSES_ROOT\\T\\shell\\editC\\command]\n@=\"\"\n\n"
                     "[HKEY_CLASSES_ROOT\\T\\shell\\open]\n");
    TifViewer viewer = FindTifViewer();
    EXPECT_FALSE(viewer.tifOpenAvailable) << "an open verb without a command does not count";
    EXPECT_STREQ(viewer.tifEditVerb.Text(), "editB");
}
