// The password in a real GNOME Keyring: gnome-keyring-daemon, unlocked with
// a login password on its standard input, serves the Secret Service on a
// private session bus. The Configure dialog's OK puts the password there,
// secret-tool finds it, the settings file holds none, and a faxcourier
// started afterwards sends a fax with it.

#include "faxcourier/app/configure_dialog.h"
#include "faxcourier/app/control_ids.h"
#include "faxcourier/app/password_keyring.h"
#include "faxcourier/app/testing/courier_process.h"
#include "faxcourier/app/testing/session_bus.h"
#include "faxcourier/outbox/outbox.h"
#include "faxcourier/widgets/testing/scripted_ui.h"
#include "faxcourier/widgets/ui_sinks.h"
#include "platform/paths.h"
#include "platform/registry_store.h"
#include "platform/testing/test_support.h"
#include "tools/korva-sim/testing/korva_sim_process.h"

#include <QLineEdit>

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <unistd.h>

using namespace korva;
using namespace korva::app;
using namespace korva::app::testing;
using korva::testing::binPath;
using korva::testing::KorvaSimProcess;
using korva::testing::readWholeFile;
using korva::testing::runProcess;
using korva::testing::TempHome;

namespace {

constexpr const char* kKeyringDaemon = "/usr/bin/gnome-keyring-daemon";

// Keeps an environment variable at a value while the object lives.
class ScopedVariable {
public:
    ScopedVariable(const char* name, const std::string& value) : name_(name)
    {
        if (const char* old = std::getenv(name))
            saved_ = old;
        setenv(name, value.c_str(), 1);
    }
    ~ScopedVariable()
    {
        if (saved_)
            setenv(name_, saved_->c_str(), 1);
        else
            unsetenv(name_);
    }

private:
    const char* name_;
    std::optional<std::string> saved_;
};

// One bus and one keyring daemon for the whole program: the Secret Service
// client keeps its first connection, so a second bus within one process
// would never be seen.
struct KeyringSession {
    KeyringSession() : runtime(home.path() + "/run"), runtimeVariable("XDG_RUNTIME_DIR", runtime)
    {
        std::filesystem::create_directories(runtime);
        std::filesystem::permissions(runtime, std::filesystem::perms::owner_all);
        if (!bus.running())
            return;
        // --unlock reads the login password from standard input and makes the
        // login keyring with it on the first start; --daemonize returns once
        // the daemon owns org.freedesktop.secrets. It ends with the bus.
        started = runProcess({kKeyringDaemon, "--daemonize", "--unlock", "--components=secrets"},
                             "korva-login-password", {}, 20000);
    }

    TempHome home;  // the daemon keeps its keyrings below it
    std::string runtime;
    ScopedVariable runtimeVariable;
    SessionBus bus;
    korva::testing::ProcessResult started;
};

class Keyring : public ::testing::Test {
protected:
    Keyring() : received(home.path() + "/received"), sim(received, "anna", "s3cret", "fax@korva.example") {}

    // Before any test's own home, which then lies over the session's.
    static void SetUpTestSuite()
    {
        if (access(kKeyringDaemon, X_OK) == 0)
            session = std::make_unique<KeyringSession>();
    }
    static void TearDownTestSuite() { session.reset(); }

    void SetUp() override
    {
        if (access(kKeyringDaemon, X_OK) != 0)
            GTEST_SKIP() << "gnome-keyring-daemon is not installed (scripts/setup installs it)";
        ASSERT_TRUE(session->bus.running()) << "dbus-daemon for a private session bus";
        ASSERT_EQ(session->started.exitCode, 0) << session->started.out << session->started.err;
        testApplication();
    }

    Settings fileSettings()
    {
        Settings s;
        s.Server = "127.0.0.1";
        s.SMTPServerPort = uint32_t(sim.port("smtp"));
        s.Username = "anna";
        s.Password = "s3cret";
        s.EmailAddress = "anna@example.com";
        s.FaxAddress = "fax@korva.example";
        return s;
    }

    std::string storedPasswordValue()
    {
        RegistryKey key;
        String stored;
        if (key.open(RegistryHive::CurrentUser, kSettingsKey) == kRegOk)
            stored.ReadRegistryValue(key, "Password");
        return stored.Text();
    }

    // What secret-tool finds for QtKeychain's entry of `key`.
    std::string lookUp(const std::string& key)
    {
        auto found = runProcess({"/usr/bin/secret-tool", "lookup", "server", kKeyringService, "user", key});
        return found.exitCode == 0 ? found.out : "(exit " + std::to_string(found.exitCode) + ") " + found.err;
    }

    static inline std::unique_ptr<KeyringSession> session;
    TempHome home;
    std::string received;
    KorvaSimProcess sim;
    ScriptedUi ui;
    InstalledBoxSinks sinks;
};

}  // namespace

TEST_F(Keyring, OkMovesTheFilesPasswordToTheKeyringAndFaxcourierSendsWithIt)
{
    ASSERT_TRUE(SaveSettings(*std::make_unique<Settings>(fileSettings())));
    ASSERT_FALSE(storedPasswordValue().empty()) << "encoded in the file before the OK";

    Settings settings;
    LoadSettings(settings);
    takePasswordFromKeyring(settings);
    EXPECT_FALSE(settings.passwordInKeyring) << "the file's own password is used as it is";
    ConfigureDialog dialog(settings, nullptr);
    ASSERT_TRUE(showActive(&dialog));
    pressKey(Qt::Key_Return);  // OK
    ASSERT_EQ(dialog.result(), ConfigureDialog::ResultOk);
    EXPECT_TRUE(ui.boxes.empty());
    EXPECT_TRUE(settings.passwordInKeyring);
    EXPECT_EQ(storedPasswordValue(), "") << "the settings file holds no password";
    EXPECT_EQ(lookUp("anna@127.0.0.1"), "s3cret");

    Settings started;
    LoadSettings(started);
    takePasswordFromKeyring(started);
    EXPECT_STREQ(started.Password.Text(), "s3cret");
    EXPECT_TRUE(started.passwordInKeyring);

    // The whole program, with nothing but the keyring to give the password.
    std::string log = home.stateHome() + "/KORVAFax/korvafax.log";
    std::string errors = home.path() + "/faxcourier.err";
    CourierProcess courier({"-debug"}, errors);
    ASSERT_TRUE(waitForFileText(log, "Watching ")) << readWholeFile(errors);
    auto preset = runProcess({binPath("faxpreset"), "-s", "Keyring", "-r", "0301 555~Berta Blau~Blau KG"});
    ASSERT_EQ(preset.exitCode, 0) << preset.err;
    auto printed = runProcess({binPath("faxprint"), "--name", "letter", KORVA_SAMPLE_LETTER});
    ASSERT_EQ(printed.exitCode, 0) << printed.err;
    EXPECT_TRUE(waitForFile(received + "/0001.json")) << readWholeFile(errors) << readWholeFile(log);
    courier.signal(SIGTERM);
    EXPECT_EQ(courier.waitForExit(std::chrono::milliseconds(10000)), 0) << readWholeFile(errors);
}

TEST_F(Keyring, ANewUserNameMovesTheEntryAndARetryByHandReadsIt)
{
    Settings settings = fileSettings();
    settings.Username = "old";
    ASSERT_TRUE(SaveSettings(settings));
    ConfigureDialog first(settings, nullptr);
    first.accept();
    ASSERT_EQ(lookUp("old@127.0.0.1"), "s3cret");

    ConfigureDialog second(settings, nullptr);
    second.edit(IDC_USERNAME)->setText("anna");
    second.accept();
    EXPECT_EQ(lookUp("anna@127.0.0.1"), "s3cret");
    EXPECT_NE(lookUp("old@127.0.0.1"), "s3cret") << "the old user's entry is gone";
    EXPECT_EQ(storedPasswordValue(), "");

    // --outbox-retry runs before any window and reads the keyring too; the
    // file's empty password would be refused.
    std::string spool = *spoolFolder();
    std::filesystem::create_directories(spool);
    FaxJob job;
    job.subject = "Retried";
    job.recipients = {"0301 555~Berta Blau~Blau KG"};
    FaxDocument document;
    document.file = (spool + "/korvafax1.tif").c_str();
    document.pages = 1;
    korva::testing::writeWholeFile(document.file.Text(), "II*\0");
    job.documents = {document};
    Outbox outbox(spool);
    ASSERT_TRUE(outbox.add(job, OutboxState::Refused, "535 refused", 1000));
    auto retried = runProcess({binPath("faxcourier"), "--outbox-retry"});
    EXPECT_EQ(retried.exitCode, 0) << retried.out << retried.err;
    EXPECT_TRUE(std::filesystem::exists(received + "/0001.json")) << retried.out << retried.err;
}
