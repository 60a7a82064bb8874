// The desktop side of the .tif viewer: xdg-mime decides only when the
// registry store names no ".tif" file type, and "open" then goes to the
// desktop's handler. A stand-in xdg-mime on PATH answers for the desktop.

#include "faxcourier/app/tif_launch.h"

#include "faxcourier/widgets/testing/scripted_ui.h"
#include "platform/paths.h"
#include "platform/testing/test_support.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sys/stat.h>

using namespace korva;
using namespace korva::app;
using namespace korva::app::testing;
using korva::testing::readWholeFile;
using korva::testing::TempHome;
using korva::testing::writeWholeFile;

namespace {

class TifLaunch : public ::testing::Test {
protected:
    void SetUp() override
    {
        testApplication();
        const char* path = std::getenv("PATH");
        savedPath = path ? path : "";
        bin = home.path() + "/bin";
        ASSERT_TRUE(makeFolders(bin, 0755).ok());
        setenv("PATH", (bin + ":" + savedPath).c_str(), 1);
    }
    void TearDown() override { setenv("PATH", savedPath.c_str(), 1); }

    // xdg-mime that notes each call and prints `answer` (exit status 1 when
    // there is none).
    void desktopDefault(const std::string& answer)
    {
        std::string script = "#!/bin/sh\necho \"$*\" >> " + home.path() + "/xdg-mime.calls\n";
        script += answer.empty() ? "exit 1\n" : "echo " + answer + "\n";
        writeWholeFile(bin + "/xdg-mime", script);
        chmod((bin + "/xdg-mime").c_str(), 0755);
    }

    std::string calls() { return readWholeFile(home.path() + "/xdg-mime.calls"); }

    void registryOpenCommand(const std::string& command)
    {
        ASSERT_TRUE(makeFolders(home.sysconf(), 0755).ok());
        writeWholeFile(home.sysconf() + "/HKEY_CLASSES_ROOT.reg",
                       "REGEDIT4\n\n[HKEY_CLASSES_ROOT\\.tif]\n@=\"TIFImage.Document\"\n\n"
                       "[HKEY_CLASSES_ROOT\\TIFImage.Document\\shell\\open\\command]\n@=\"" +
                           command + "\"\n");
    }

    TempHome home;
    std::string savedPath;
    std::string bin;
    ScriptedUi ui;
};

TEST_F(TifLaunch, DesktopDefaultForImageTiffMakesOpenAvailable)
{
    desktopDefault("org.example.Viewer.desktop");
    TifViewer viewer = findTifViewerWithDesktop();
    EXPECT_TRUE(viewer.tifOpenAvailable);
    EXPECT_TRUE(viewer.tifEditVerb.IsEmpty());
    EXPECT_EQ(calls(), "query default image/tiff\n");

    openTifWithVerb(QStringLiteral("open"), QStringLiteral("/spool/korvafax1.tif"));
    ASSERT_EQ(ui.launches.size(), 1u);
    EXPECT_TRUE(ui.launches[0].program.isEmpty()) << "the desktop's handler";
    EXPECT_EQ(ui.launches[0].file, "/spool/korvafax1.tif");
}

TEST_F(TifLaunch, NoDesktopDefaultLeavesPreviewOff)
{
    desktopDefault("");
    TifViewer viewer = findTifViewerWithDesktop();
    EXPECT_FALSE(viewer.tifOpenAvailable);
    EXPECT_TRUE(viewer.tifEditVerb.IsEmpty());
}

TEST_F(TifLaunch, RegistryEntryIsUsedWithoutAskingTheDesktop)
{
    desktopDefault("org.example.Viewer.desktop");
    registryOpenCommand("/opt/viewer/bin/view --page 1 %1");
    TifViewer viewer = findTifViewerWithDesktop();
    EXPECT_TRUE(viewer.tifOpenAvailable);
    EXPECT_EQ(calls(), "");

    openTifWithVerb(QStringLiteral("open"), QStringLiteral("/spool/korva fax1.tif"));
    ASSERT_EQ(ui.launches.size(), 1u);
    EXPECT_EQ(ui.launches[0].program, "/opt/viewer/bin/view");
    EXPECT_EQ(ui.launches[0].arguments, (QStringList{"--page", "1", "/spool/korva fax1.tif"}));
}

TEST_F(TifLaunch, VerbWithoutACommandOpensNothing)
{
    registryOpenCommand("/opt/viewer/bin/view");
    openTifWithVerb(QStringLiteral("edit"), QStringLiteral("/spool/korvafax1.tif"));
    EXPECT_TRUE(ui.launches.empty());
    openTifWithVerb(QStringLiteral("open"), QStringLiteral("/spool/korvafax1.tif"));
    ASSERT_EQ(ui.launches.size(), 1u);
    EXPECT_EQ(ui.launches[0].arguments, QStringList{"/spool/korvafax1.tif"}) << "appended when no %1";
}

}  // namespace
