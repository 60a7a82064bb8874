#include "platform/registry_store.h"
#include "platform/registry_store_text.h"

#include "platform/testing/test_support.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

using namespace korva;
using korva::testing::fileMode;
using korva::testing::readWholeFile;
using korva::testing::TempHome;
using korva::testing::writeWholeFile;

namespace {

const char* const kDriverKey = "SOFTWARE\\ZETH\\KORVAFaxDriver";

RegistryKey createdKey(const char* path = kDriverKey)
{
    RegistryKey key;
    EXPECT_EQ(key.create(RegistryHive::CurrentUser, path), kRegOk);
    return key;
}

std::string capturedStderr(const std::function<void()>& action)
{
    ::testing::internal::CaptureStderr();
    action();
    return ::testing::internal::GetCapturedStderr();
}

}  // namespace

TEST(RegistryStore, StringsWithQuotesAndBackslashesSurviveTheFile)
{
    TempHome home;
    const std::string tricky = "C:\\path\\\"quoted\" \\\\share\\ end\\";
    const std::string lines = "first\r\nsecond";
    {
        RegistryKey key = createdKey();
        EXPECT_EQ(key.writeString("Tricky", tricky), kRegOk);
        EXPECT_EQ(key.writeString("CoverPages", lines), kRegOk);
        EXPECT_EQ(key.writeString("Empty", ""), kRegOk);
    }
    RegistryKey key;
    ASSERT_EQ(key.open(RegistryHive::CurrentUser, kDriverKey), kRegOk);
    EXPECT_EQ(key.readString("Tricky"), tricky);
    EXPECT_EQ(key.readString("CoverPages"), lines);
    EXPECT_EQ(key.readString("Empty"), "");
    // Each value stays on one line of the file.
    std::string text = readWholeFile(registryHivePath(RegistryHive::CurrentUser));
    EXPECT_NE(text.find("\"CoverPages\"=\"first\\r\\nsecond\"\n"), std::string::npos) << text;
}

TEST(RegistryStore, DwordsRoundTripInDwordForm)
{
    TempHome home;
    RegistryKey key = createdKey();
    EXPECT_EQ(key.writeDword("SMTPServerPort", 25), kRegOk);
    EXPECT_EQ(key.writeDword("Big", 0xFFFFFFFEu), kRegOk);
    EXPECT_EQ(key.readDword("SMTPServerPort"), 25u);
    EXPECT_EQ(key.readDword("Big"), 0xFFFFFFFEu);
    std::string text = readWholeFile(registryHivePath(RegistryHive::CurrentUser));
    EXPECT_NE(text.find("\"SMTPServerPort\"=dword:00000019\n"), std::string::npos) << text;
    EXPECT_NE(text.find("[HKEY_CURRENT_USER\\SOFTWARE\\ZETH\\KORVAFaxDriver]\n"), std::string::npos) << text;
    EXPECT_EQ(text.rfind("REGEDIT4\n", 0), 0u);
}

TEST(RegistryStore, KeyAndValueNamesIgnoreLetterCase)
{
    TempHome home;
    createdKey().writeString("Server", "mail.example.com");
    RegistryKey key;
    ASSERT_EQ(key.open(RegistryHive::CurrentUser, "software\\zeth\\korvafaxdriver"), kRegOk);
    EXPECT_EQ(key.readString("SERVER"), "mail.example.com");
    // Writing under another spelling replaces the value instead of adding one.
    EXPECT_EQ(key.writeString("server", "other"), kRegOk);
    std::string text = readWholeFile(registryHivePath(RegistryHive::CurrentUser));
    EXPECT_EQ(text.find("mail.example.com"), std::string::npos);
    EXPECT_NE(text.find("\"Server\"=\"other\""), std::string::npos) << text;
    // Creating the key again in other letters finds the same key.
    RegistryKey again;
    ASSERT_EQ(again.create(RegistryHive::CurrentUser, "SOFTWARE\\Zeth\\KorvaFaxDriver"), kRegOk);
    text = readWholeFile(registryHivePath(RegistryHive::CurrentUser));
    EXPECT_EQ(text.find("[HKEY_CURRENT_USER\\SOFTWARE\\Zeth"), std::string::npos) << text;
}

TEST(RegistryStore, QueryReportsSizeTypeAndShortBuffers)
{
    TempHome home;
    RegistryKey key = createdKey();
    key.writeString("Server", "abc");
    uint32_t type = 0, size = 0;
    ASSERT_EQ(key.queryValue("Server", &type, nullptr, &size), kRegOk);
    EXPECT_EQ(type, REG_SZ);
    EXPECT_EQ(size, 4u);  // with its NUL
    char small[2] = {'x', 'x'};
    size = sizeof small;
    EXPECT_EQ(key.queryValue("Server", &type, small, &size), kRegMoreData);
    EXPECT_EQ(size, 4u);
    EXPECT_EQ(small[0], 'x');
    char exact[4];
    size = sizeof exact;
    ASSERT_EQ(key.queryValue("Server", &type, exact, &size), kRegOk);
    EXPECT_STREQ(exact, "abc");
    EXPECT_EQ(key.queryValue("Missing", &type, nullptr, &size), kRegNotFound);
    // A DWORD read as a string is not taken.
    key.writeDword("Port", 7);
    EXPECT_EQ(key.readString("Port"), std::nullopt);
    EXPECT_EQ(key.readDword("Server"), std::nullopt);
}

TEST(RegistryStore, MissingFileAndKeys)
{
    TempHome home;
    RegistryKey key;
    EXPECT_EQ(key.open(RegistryHive::CurrentUser, kDriverKey), kRegNotFound);
    EXPECT_FALSE(key.isOpen());
    EXPECT_EQ(key.open(RegistryHive::CurrentUser, ""), kRegOk);  // the root always exists
    EXPECT_EQ(key.open(RegistryHive::CurrentUser, "a\\\\b"), kRegBadPath);
    EXPECT_FALSE(std::filesystem::exists(registryHivePath(RegistryHive::CurrentUser)));
}

TEST(RegistryStore, UserHiveIsPrivateAndWrittenWhole)
{
    TempHome home;
    createdKey().writeString("Password", "0A1B");
    std::string path = registryHivePath(RegistryHive::CurrentUser);
    EXPECT_EQ(path, home.configHome() + "/KORVAFax/HKEY_CURRENT_USER.reg");
    EXPECT_EQ(fileMode(path), 0600u);
    EXPECT_EQ(fileMode(home.configHome() + "/KORVAFax"), 0700u);
    // No temporary file is left beside it.
    int files = 0;
    for (auto& entry : std::filesystem::directory_iterator(home.configHome() + "/KORVAFax"))
        files += entry.is_regular_file();
    EXPECT_EQ(files, 1);
}

TEST(RegistryStore, ReadsAnAdministratorsHandWrittenFile)
{
    TempHome home;
    std::filesystem::create_directories(home.sysconf());
    writeWholeFile(home.sysconf() + "/HKEY_CLASSES_ROOT.reg",
                   "Windows Registry Editor Version 5.00\r\n"
                   "; written by hand\r\n"
                   "\r\n"
                   "[HKEY_CLASSES_ROOT\\.tif]\r\n"
                   "@=\"TIFImage.Document\"\r\n"
                   "\r\n"
                   "[HKEY_CLASSES_ROOT\\TIFImage.Document\\shell\\open\\command]\r\n"
                   "@=\"xdg-open \\\"%1\\\"\"\r\n"
                   "[hkey_classes_root\\TIFImage.Document\\shell\\Edit2\\command]\r\n"
                   "@ = \"gimp %1\"\r\n"
                   "[HKEY_CLASSES_ROOT\\TIFImage.Document\\shell\\edit\\command]\r\n"
                   "@=\"C:\\Program Files\\editor.exe %1\"\r\n"
                   "\"Flags\"=dword:1F\r\n"
                   "\"Blob\"=hex:01,02,\\\r\n"
                   "  ff\r\n");
    RegistryKey tif;
    ASSERT_EQ(tif.open(RegistryHive::ClassesRoot, ".TIF"), kRegOk);
    EXPECT_EQ(tif.readString(nullptr), "TIFImage.Document");
    RegistryKey open;
    ASSERT_EQ(open.open(RegistryHive::ClassesRoot, "TIFImage.Document\\shell\\open\\command"), kRegOk);
    EXPECT_EQ(open.readString("@"), "xdg-open \"%1\"");

    // "shell" exists only through its sub-keys; they enumerate in name order.
    RegistryKey shell;
    ASSERT_EQ(shell.open(RegistryHive::ClassesRoot, "TIFImage.Document\\shell"), kRegOk);
    std::vector<std::string> verbs;
    std::string name;
    for (uint32_t i = 0; shell.enumSubKey(i, name) == kRegOk; ++i)
        verbs.push_back(name);
    EXPECT_EQ(verbs, (std::vector<std::string>{"edit", "Edit2", "open"}));
    EXPECT_EQ(shell.enumSubKey(3, name), kRegNoMoreItems);

    RegistryKey edit;
    ASSERT_EQ(edit.open(RegistryHive::ClassesRoot, "TIFImage.Document\\shell\\edit\\command"), kRegOk);
    // A backslash that escapes nothing is kept as written.
    EXPECT_EQ(edit.readString(""), "C:\\Program Files\\editor.exe %1");
    EXPECT_EQ(edit.readDword("flags"), 0x1Fu);
    uint32_t type = 0, size = 8;
    unsigned char blob[8];
    ASSERT_EQ(edit.queryValue("Blob", &type, blob, &size), kRegOk);
    EXPECT_EQ(type, REG_BINARY);
    ASSERT_EQ(size, 3u);
    EXPECT_EQ(blob[2], 0xff);
}

TEST(RegistryStore, SystemHivesAreReadOnly)
{
    TempHome home;
    std::filesystem::create_directories(home.sysconf());
    writeWholeFile(home.sysconf() + "/HKEY_LOCAL_MACHINE.reg",
                   "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Clients\\Mail]\n@=\"Eudora\"\n");
    RegistryKey key;
    ASSERT_EQ(key.open(RegistryHive::LocalMachine, "SOFTWARE\\Clients\\Mail"), kRegOk);
    EXPECT_EQ(key.readString(nullptr), "Eudora");
    EXPECT_EQ(key.writeString(nullptr, "Other"), kRegAccessDenied);
    RegistryKey created;
    EXPECT_EQ(created.create(RegistryHive::LocalMachine, "SOFTWARE\\New"), kRegAccessDenied);
    EXPECT_EQ(key.readString(nullptr), "Eudora");
}

TEST(RegistryStore, CorruptFileIsReadUpToTheBadLineAndReportedOnce)
{
    TempHome home;
    std::filesystem::create_directories(home.configHome() + "/KORVAFax");
    std::string path = registryHivePath(RegistryHive::CurrentUser);
    const std::string original =
        "REGEDIT4\n\n[HKEY_CURRENT_USER\\SOFTWARE\\ZETH\\KORVAFaxDriver]\n"
        "\"Server\"=\"mail.example.com\"\n"
        "\"Username\"=\"unterminated\n"
        "\"RealName\"=\"After The Fault\"\n";
    writeWholeFile(path, original);

    RegistryKey key;
    std::string err = capturedStderr([&] {
        ASSERT_EQ(key.open(RegistryHive::CurrentUser, kDriverKey), kRegOk);
        EXPECT_EQ(key.readString("Server"), "mail.example.com");
        EXPECT_EQ(key.readString("Username"), std::nullopt);
        EXPECT_EQ(key.readString("RealName"), std::nullopt);
    });
    EXPECT_NE(err.find(path), std::string::npos) << err;
    EXPECT_NE(err.find("line 5"), std::string::npos) << err;
    EXPECT_EQ(err.find(path), err.rfind(path)) << "reported more than once: " << err;

    // The next write keeps everything: the valid part plus the new value in
    // the hive, and the unreadable original in a copy beside it.
    err = capturedStderr([&] { EXPECT_EQ(key.writeString("Company", "ZETH"), kRegOk); });
    EXPECT_EQ(readWholeFile(path + ".unreadable"), original);
    EXPECT_NE(err.find(path + ".unreadable"), std::string::npos) << err;
    EXPECT_EQ(key.readString("Server"), "mail.example.com");
    EXPECT_EQ(key.readString("Company"), "ZETH");
    EXPECT_EQ(fileMode(path), 0600u);
}

TEST(RegistryStore, UnreadableFileIsNeverReplaced)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "root reads any file";
    TempHome home;
    std::filesystem::create_directories(home.configHome() + "/KORVAFax");
    std::string path = registryHivePath(RegistryHive::CurrentUser);
    writeWholeFile(path, "REGEDIT4\n\n[HKEY_CURRENT_USER\\Keep]\n\"A\"=\"1\"\n");
    chmod(path.c_str(), 0);
    RegistryKey key;
    capturedStderr([&] { EXPECT_EQ(key.create(RegistryHive::CurrentUser, "New"), kRegReadFault); });
    chmod(path.c_str(), 0600);
    EXPECT_NE(readWholeFile(path).find("Keep"), std::string::npos);
}

TEST(RegistryStore, HiveThatIsAFolderCannotBeWritten)
{
    TempHome home;
    std::string path = registryHivePath(RegistryHive::CurrentUser);
    std::filesystem::create_directories(path);
    RegistryKey key;
    std::string err = capturedStderr([&] { EXPECT_EQ(key.create(RegistryHive::CurrentUser, "New"), kRegReadFault); });
    EXPECT_NE(err.find(path), std::string::npos);
    EXPECT_TRUE(std::filesystem::is_directory(path));
}

TEST(RegistryStore, SubKeysOfTheRootAndCreatedParents)
{
    TempHome home;
    createdKey("Software\\Microsoft\\Internet Account Manager\\Accounts\\00000001");
    createdKey("SOFTWARE\\ZETH\\KORVAFaxDriver");
    RegistryKey root;
    ASSERT_EQ(root.open(RegistryHive::CurrentUser, ""), kRegOk);
    std::string name;
    ASSERT_EQ(root.enumSubKey(0, name), kRegOk);
    EXPECT_EQ(name, "Software");  // the first spelling wins
    EXPECT_EQ(root.enumSubKey(1, name), kRegNoMoreItems);
    RegistryKey accounts;
    ASSERT_EQ(accounts.open(RegistryHive::CurrentUser, "\\software\\microsoft\\internet account manager\\accounts\\"),
              kRegOk);
    ASSERT_EQ(accounts.enumSubKey(0, name), kRegOk);
    EXPECT_EQ(name, "00000001");
    // A value written to an implied parent makes that key explicit.
    RegistryKey manager;
    ASSERT_EQ(manager.open(RegistryHive::CurrentUser, "Software\\Microsoft\\Internet Account Manager"), kRegOk);
    EXPECT_EQ(manager.writeString("Default Mail Account", "00000001"), kRegOk);
    EXPECT_EQ(manager.readString("default mail account"), "00000001");
}

TEST(RegistryStoreText, AStringValueEndsAtAnEmbeddedNul)
{
    std::string text = std::string("REGEDIT4\n\n[HKEY_CURRENT_USER\\A]\n\"Server\"=\"mail.") + '\0' + "junk\"\n";
    auto parsed = korva::registry::parseHive(text, "HKEY_CURRENT_USER");
    ASSERT_EQ(parsed.badLine, 0);
    ASSERT_EQ(parsed.hive.keys.size(), 1u);
    EXPECT_EQ(parsed.hive.keys[0].values.at(0).data, "mail.");
    auto again =
        korva::registry::parseHive(korva::registry::formatHive(parsed.hive, "HKEY_CURRENT_USER"), "HKEY_CURRENT_USER");
    EXPECT_EQ(again.hive.keys[0].values.at(0).data, "mail.");
}

namespace {

std::string classesRootPath() { return registryHivePath(RegistryHive::ClassesRoot); }

// A classes-root hive of `keys` keys ".ext0", ".ext1", ... each with a
// default value "Type<n>".
void writeClassesRoot(int keys, const std::string& suffix = "")
{
    std::string text = "REGEDIT4\n";
    for (int i = 0; i < keys; ++i)
        text += "\n[HKEY_CLASSES_ROOT\\.ext" + std::to_string(i) + "]\n@=\"Type" + std::to_string(i) + suffix + "\"\n";
    std::filesystem::create_directories(std::filesystem::path(classesRootPath()).parent_path());
    writeWholeFile(classesRootPath(), text);
}

std::optional<std::string> classesRootDefault(int key)
{
    RegistryKey opened;
    if (opened.open(RegistryHive::ClassesRoot, ".EXT" + std::to_string(key)) != kRegOk)
        return std::nullopt;
    return opened.readString(nullptr);
}

size_t parsesDuring(const std::function<void()>& action)
{
    size_t before = korva::registry::hiveParseCount();
    action();
    return korva::registry::hiveParseCount() - before;
}

}  // namespace

TEST(RegistryStore, AHiveIsParsedOnceForManyReads)
{
    TempHome home;
    writeClassesRoot(100);
    size_t parses = parsesDuring([] {
        for (int i = 0; i < 100; ++i)
            EXPECT_EQ(classesRootDefault(i), "Type" + std::to_string(i));
        RegistryKey root;
        ASSERT_EQ(root.open(RegistryHive::ClassesRoot, ""), kRegOk);
        std::string name;
        for (uint32_t i = 0; root.enumSubKey(i, name) == kRegOk; ++i)
            EXPECT_EQ(name.rfind(".ext", 0), 0u) << name;
    });
    EXPECT_EQ(parses, 1u);
}

TEST(RegistryStore, OwnWritesAreSeenAfterOneParseAtMost)
{
    TempHome home;
    RegistryKey key = createdKey();
    for (int round = 0; round < 3; ++round) {
        std::string server = "mail" + std::to_string(round) + ".example.com";
        ASSERT_EQ(key.writeString("Server", server), kRegOk);
        size_t parses = parsesDuring([&] {
            for (int i = 0; i < 50; ++i)
                EXPECT_EQ(key.readString("Server"), server);
        });
        EXPECT_LE(parses, 1u) << "round " << round;
    }
}

TEST(RegistryStore, AHiveChangedOnDiskIsReadAgainOnce)
{
    struct Change {
        const char* what;
        std::function<void()> apply;
        std::optional<std::string> expected;  // of key 1 afterwards
    };
    const std::vector<Change> changes = {
        {"rewritten in place, same size", [] { writeClassesRoot(3, "b"); }, "Type1b"},
        {"rewritten in place, longer", [] { writeClassesRoot(3, "long"); }, "Type1long"},
        {"replaced by rename",
         [] {
             writeWholeFile(classesRootPath() + ".new", "REGEDIT4\n\n[HKEY_CLASSES_ROOT\\.ext1]\n@=\"Renamed\"\n");
             std::filesystem::rename(classesRootPath() + ".new", classesRootPath());
         },
         "Renamed"},
        {"removed", [] { std::filesystem::remove(classesRootPath()); }, std::nullopt},
    };
    for (const Change& change : changes) {
        TempHome home;
        writeClassesRoot(3, "a");
        ASSERT_EQ(classesRootDefault(1), "Type1a");
        change.apply();
        size_t parses = parsesDuring([&] {
            for (int i = 0; i < 20; ++i)
                EXPECT_EQ(classesRootDefault(1), change.expected) << change.what;
        });
        EXPECT_LE(parses, 1u) << change.what;
    }
}
