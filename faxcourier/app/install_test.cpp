// cmake --install of faxcourier's part into a staging folder: the programs,
// the icon, the autostart and the menu entry land where the desktop looks
// for them,
// and the installed faxcourier starts and ends cleanly.

#include "faxcourier/app/program_info.h"
#include "faxcourier/app/testing/courier_process.h"
#include "platform/paths.h"
#include "platform/testing/test_support.h"

#include <gtest/gtest.h>

#include <csignal>
#include <iterator>
#include <optional>
#include <sstream>
#include <unistd.h>

using namespace korva;
using namespace korva::app::testing;
using korva::testing::fileMode;
using korva::testing::readWholeFile;
using korva::testing::runProcess;
using korva::testing::TempHome;

namespace {

// The entry's "key=value" lines below the header of `group`.
std::map<std::string, std::string> desktopEntry(const std::string& text, const std::string& group = "Desktop Entry")
{
    std::map<std::string, std::string> entry;
    std::istringstream lines(text);
    std::string line;
    bool inGroup = false;
    while (std::getline(lines, line)) {
        if (!line.empty() && line[0] == '[') {
            inGroup = line == "[" + group + "]";
            continue;
        }
        size_t equals = line.find('=');
        if (inGroup && equals != std::string::npos)
            entry[line.substr(0, equals)] = line.substr(equals + 1);
    }
    return entry;
}

TEST(Install, ProgramsIconAutostartAndMenuEntryForEveryUser)
{
    TempHome home;
    std::string stage = home.path() + "/stage";
    auto result = runProcess({KORVA_CMAKE_COMMAND, "--install", KORVA_BUILD_DIR, "--component", "faxcourier"}, "",
                             {{"DESTDIR", stage}});
    ASSERT_EQ(result.exitCode, 0) << result.out << result.err;

    std::string courier = stage + KORVA_INSTALLED_BINDIR "/faxcourier";
    EXPECT_EQ(fileMode(courier) & 0111, 0111u);
    EXPECT_EQ(fileMode(stage + KORVA_INSTALLED_BINDIR "/faxpreset") & 0111, 0111u);
    EXPECT_NE(readWholeFile(stage + KORVA_INSTALLED_ICON).find("<svg"), std::string::npos);

    auto entry = desktopEntry(readWholeFile(stage + KORVA_AUTOSTART_ENTRY));
    EXPECT_EQ(entry["Type"], "Application");
    EXPECT_EQ(entry["Exec"], KORVA_INSTALLED_BINDIR "/faxcourier");
    EXPECT_EQ(entry["Icon"], "korvafax");
    EXPECT_EQ(entry["Name"], "KORVA Fax");
    EXPECT_EQ(entry.count("Hidden"), 0u);
    EXPECT_EQ(entry.count("OnlyShowIn"), 0u) << "every desktop starts it";

    // The menu entry opens Configure; its name is the one the program gives
    // the desktop, so that its windows belong to the entry.
    std::string menuEntry = stage + KORVA_MENU_ENTRY;
    auto menu = desktopEntry(readWholeFile(menuEntry));
    EXPECT_EQ(menu["Type"], "Application");
    EXPECT_EQ(menu["Name"], "KORVA Fax");
    EXPECT_EQ(menu["Exec"], KORVA_INSTALLED_BINDIR "/faxcourier --configure");
    EXPECT_EQ(menu["Icon"], "korvafax");
    EXPECT_EQ(menu["Categories"], "Office;Utility;");
    EXPECT_EQ(menu.count("NoDisplay"), 0u) << "the menu shows it";
    EXPECT_EQ(menu.count("Hidden"), 0u);
    EXPECT_TRUE(std::string(KORVA_MENU_ENTRY).ends_with("/applications/korvafax.desktop"));
    // Its actions: the ways in without a status area, each an option the
    // program takes.
    EXPECT_EQ(menu["Actions"], "Configure;AddressBook;Outbox;Quit;");
    for (const char* action : {"Configure", "AddressBook", "Outbox", "Quit"}) {
        auto group = desktopEntry(readWholeFile(menuEntry), std::string("Desktop Action ") + action);
        EXPECT_FALSE(group["Name"].empty()) << action;
        std::istringstream words(group["Exec"]);
        std::vector<std::string> arguments{std::istream_iterator<std::string>(words), {}};
        ASSERT_GE(arguments.size(), 2u) << action;
        EXPECT_EQ(arguments[0], KORVA_INSTALLED_BINDIR "/faxcourier") << action;
        arguments.erase(arguments.begin());
        EXPECT_EQ(korva::app::commandLineError(arguments), std::nullopt) << action << ": " << group["Exec"];
    }
    if (access("/usr/bin/desktop-file-validate", X_OK) == 0) {
        for (const std::string& path : {menuEntry, stage + KORVA_AUTOSTART_ENTRY}) {
            auto checked = runProcess({"/usr/bin/desktop-file-validate", path});
            EXPECT_EQ(checked.exitCode, 0) << path << "\n" << checked.out << checked.err;
        }
    }

    // What the session would start: the installed program.
    std::string errors = home.path() + "/faxcourier.err";
    CourierProcess started({"-debug"}, errors, courier);
    ASSERT_TRUE(waitForFileText(stateHome() + "/KORVAFax/korvafax.log", "Watching ")) << readWholeFile(errors);
    started.signal(SIGTERM);
    EXPECT_EQ(started.waitForExit(std::chrono::milliseconds(10000)), 0);
}

}  // namespace
