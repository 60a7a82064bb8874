#include "faxcourier/app/configure_dialog.h"

#include "faxcourier/app/control_ids.h"
#include "faxcourier/app/testing/session_bus.h"
#include "faxcourier/widgets/dialog_support.h"
#include "faxcourier/widgets/testing/scripted_ui.h"
#include "faxcourier/widgets/ui_sinks.h"
#include "platform/registry_store.h"
#include "platform/testing/test_support.h"

#include <QApplication>
#include <QComboBox>
#include <QEventLoop>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <optional>

using namespace korva;
using namespace korva::app;
using namespace korva::app::testing;
using korva::testing::TempHome;

namespace {

class Configure : public ::testing::Test {
protected:
    void SetUp() override { testApplication(); }

    Settings completeSettings()
    {
        Settings s;
        s.Server = "mail.example.com";
        s.Username = "anna";
        s.Password = "secret";
        s.EmailAddress = "anna@example.com";
        s.FaxAddress = "fax@example.com";
        return s;
    }

    // Shows the dialog as the user sees it, so that focus can be checked.
    void show(ConfigureDialog& dialog)
    {
        dialog.show();
        dialog.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    }

    QString focusedName(ConfigureDialog& dialog)
    {
        QWidget* focus = dialog.focusWidget();
        return focus ? focus->objectName() : QString();
    }

    void typeInto(ConfigureDialog& dialog, int id, const QString& text)
    {
        QLineEdit* edit = dialog.edit(id);
        edit->clear();
        QTest::keyClicks(edit, text);
    }

    // QTest::keyClicks knows only ASCII keys; these events carry the text.
    void typeUnicodeInto(ConfigureDialog& dialog, int id, const QString& text)
    {
        QLineEdit* edit = dialog.edit(id);
        edit->clear();
        for (QChar c : text) {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
            QApplication::sendEvent(edit, &press);
        }
    }

    TempHome home;
    // The widgets' own tests never reach a keyring: the password stays in
    // the settings file (password_keyring_test has a real keyring).
    NoSessionBus noBus;
    ScriptedUi ui;
    InstalledBoxSinks sinks;
};

}  // namespace

TEST_F(Configure, OpensWithTheSettingsAndTheTemplatesTexts)
{
    Settings s = completeSettings();
    s.SMTPServerPort = 2525;
    s.CoverPages = "Standard\r\nUrgent";
    ConfigureDialog dialog(s, nullptr);
    EXPECT_EQ(dialog.windowTitle(), "Configure KORVA Fax V0.16");
    EXPECT_FALSE(dialog.windowIcon().isNull());
    EXPECT_EQ(dialog.edit(IDC_SERVER)->text(), "mail.example.com");
    EXPECT_EQ(dialog.edit(IDC_SMTP_PORT)->text(), "2525");
    EXPECT_EQ(dialog.edit(IDC_POP3_PORT)->text(), "110");
    EXPECT_EQ(dialog.edit(IDC_LDAP_PORT)->text(), "389");
    EXPECT_EQ(dialog.edit(IDC_PASSWORD)->text(), "secret");
    EXPECT_EQ(dialog.edit(IDC_PASSWORD)->echoMode(), QLineEdit::Password);
    EXPECT_EQ(dialog.findChild<QPlainTextEdit*>("1067")->toPlainText(), "Standard\nUrgent");
    EXPECT_EQ(dialog.edit(IDC_SERVER)->maxLength(), 50);
    EXPECT_EQ(dialog.edit(IDC_REAL_NAME)->maxLength(), 100);
    EXPECT_EQ(dialog.edit(IDC_COMPANY)->maxLength(), 100);
    EXPECT_EQ(dialog.edit(IDC_LDAP_PORT)->maxLength(), 5);
    EXPECT_EQ(dialog.findChild<QLabel*>("label1010")->text(), "KORVA &Server Address:");
    EXPECT_EQ(dialog.findChild<QLabel*>("label1012")->text(), "KORVA Pass&word:");
    EXPECT_EQ(dialog.findChild<QLabel*>("label1067")->text(),
              "Cover Pa&ge(s):\n(Only supported with KORVA 2.1.12 and later)");
    EXPECT_EQ(dialog.findChild<QPushButton*>("1")->text(), "&OK");
    EXPECT_EQ(dialog.findChild<QPushButton*>("2")->text(), "&Cancel");
}

TEST_F(Configure, OkChecksTheFiveRequiredBoxesInOrder)
{
    Settings s;
    s.configurationNeeded = true;
    ConfigureDialog dialog(s, nullptr);
    show(dialog);
    const std::pair<int, const char*> required[] = {{IDC_SERVER, "mail.example.com"},
                                                    {IDC_USERNAME, "anna"},
                                                    {IDC_PASSWORD, "pw"},
                                                    {IDC_EMAIL_ADDRESS, "anna@example.com"},
                                                    {IDC_FAX_ADDRESS, "fax@example.com"}};
    for (auto [id, value] : required) {
        size_t before = ui.boxes.size();
        dialog.accept();
        ASSERT_EQ(ui.boxes.size(), before + 1);
        EXPECT_EQ(ui.boxes.back().text, "Configuration Is Needed");
        EXPECT_EQ(ui.boxes.back().caption, "");
        EXPECT_EQ(ui.boxes.back().owner, &dialog);
        EXPECT_EQ(focusedName(dialog), QString::number(id));
        EXPECT_TRUE(dialog.isVisible());
        typeInto(dialog, id, value);
    }
    dialog.accept();
    EXPECT_EQ(dialog.result(), ConfigureDialog::ResultOk);
    EXPECT_FALSE(s.configurationNeeded);

    Settings stored;
    LoadSettings(stored);
    EXPECT_STREQ(stored.Server.Text(), "mail.example.com");
    EXPECT_STREQ(stored.Password.Text(), "pw");
    EXPECT_STREQ(stored.FaxAddress.Text(), "fax@example.com");
}

TEST_F(Configure, CancelIsRefusedWhileAStoredSettingIsEmpty)
{
    Settings s = completeSettings();
    s.EmailAddress.Clear();
    ConfigureDialog dialog(s, nullptr);
    show(dialog);
    typeInto(dialog, IDC_EMAIL_ADDRESS, "typed@example.com");
    dialog.reject();
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, "Configuration Is Needed");
    EXPECT_EQ(focusedName(dialog), "1017");
    EXPECT_TRUE(dialog.isVisible());
    // Esc and the close box are Cancel too.
    dialog.close();
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(ui.boxes.size(), 2u);
    EXPECT_TRUE(s.EmailAddress.IsEmpty()) << "what was typed is not taken";
}

TEST_F(Configure, CancelWithACompleteStoredConfigurationDropsWhatWasTyped)
{
    Settings s = completeSettings();
    ConfigureDialog dialog(s, nullptr);
    show(dialog);
    typeInto(dialog, IDC_SERVER, "");
    typeInto(dialog, IDC_REAL_NAME, "Someone");
    dialog.reject();
    EXPECT_TRUE(ui.boxes.empty());
    EXPECT_EQ(dialog.result(), ConfigureDialog::ResultCancel);
    EXPECT_STREQ(s.Server.Text(), "mail.example.com");
    EXPECT_TRUE(s.RealName.IsEmpty());
    RegistryKey key;
    EXPECT_NE(key.open(RegistryHive::CurrentUser, kSettingsKey), kRegOk) << "nothing stored";
}

TEST_F(Configure, PortsTakeFiveDigitsAtMostAndAreStoredAsTyped)
{
    Settings s = completeSettings();
    ConfigureDialog dialog(s, nullptr);
    show(dialog);
    typeInto(dialog, IDC_SMTP_PORT, "0");
    typeInto(dialog, IDC_POP3_PORT, "6x55y35");
    typeInto(dialog, IDC_LDAP_PORT, "9999912");
    EXPECT_EQ(dialog.edit(IDC_POP3_PORT)->text(), "65535");
    EXPECT_EQ(dialog.edit(IDC_LDAP_PORT)->text(), "99999");
    dialog.accept();
    EXPECT_EQ(s.SMTPServerPort, 0u);
    EXPECT_EQ(s.POP3ServerPort, 65535u);
    EXPECT_EQ(s.LDAPServerPort, 99999u);
    RegistryKey key;
    ASSERT_EQ(key.open(RegistryHive::CurrentUser, kSettingsKey), kRegOk);
    EXPECT_EQ(key.readDword("SMTPServerPort"), 0u);
    EXPECT_EQ(key.readDword("LDAPServerPort"), 99999u);
}

TEST_F(Configure, EmptyPortBoxIsStoredAsZero)
{
    Settings s = completeSettings();
    ConfigureDialog dialog(s, nullptr);
    dialog.edit(IDC_SMTP_PORT)->clear();
    dialog.accept();
    EXPECT_EQ(s.SMTPServerPort, 0u);
}

TEST_F(Configure, FailedSaveReportsAndStillEndsWithOkAndTheNewValues)
{
    Settings s = completeSettings();
    s.configurationNeeded = true;
    // The user's hive cannot be written: its folder is a plain file.
    korva::testing::writeWholeFile(home.configHome(), "not a folder");
    ConfigureDialog dialog(s, nullptr);
    dialog.edit(IDC_REAL_NAME)->setText("Anna Berg");
    dialog.accept();
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, "Error saving settings");
    EXPECT_EQ(ui.boxes[0].caption, "");
    EXPECT_EQ(ui.boxes[0].owner, nullptr);
    EXPECT_EQ(dialog.result(), ConfigureDialog::ResultOk);
    EXPECT_STREQ(s.RealName.Text(), "Anna Berg");
    EXPECT_TRUE(s.configurationNeeded);
}

TEST_F(Configure, CoverPagesAreStoredWithCrLfLineEnds)
{
    Settings s = completeSettings();
    ConfigureDialog dialog(s, nullptr);
    dialog.findChild<QPlainTextEdit*>("1067")->setPlainText("Standard\nUrgent");
    dialog.accept();
    EXPECT_STREQ(s.CoverPages.Text(), "Standard\r\nUrgent");
    Settings stored;
    LoadSettings(stored);
    EXPECT_STREQ(stored.CoverPages.Text(), "Standard\r\nUrgent");
}

TEST_F(Configure, EnterRunsTheFocusedButtonOrOkAndEscapeCancels)
{
    struct Case {
        const char* typed;  // into Real Name, then the keys
        int focus;
        Qt::Key key;
        int result;
    };
    const Case cases[] = {
        {"Tab to Cancel, Enter", IDCANCEL, Qt::Key_Return, ConfigureDialog::ResultCancel},
        {"Tab to OK, Enter", IDOK, Qt::Key_Enter, ConfigureDialog::ResultOk},
        {"Enter in a field", IDC_FAX_NUMBER, Qt::Key_Return, ConfigureDialog::ResultOk},
        {"Escape in a field", IDC_FAX_NUMBER, Qt::Key_Escape, ConfigureDialog::ResultCancel},
    };
    for (const Case& c : cases) {
        Settings s = completeSettings();
        ConfigureDialog dialog(s, nullptr);
        ASSERT_TRUE(showActive(&dialog)) << c.typed;
        typeInto(dialog, IDC_REAL_NAME, c.typed);
        ASSERT_TRUE(tabTo(dialog.findChild<QWidget*>(controlName(c.focus)))) << c.typed;
        pressKey(c.key);
        EXPECT_FALSE(dialog.isVisible()) << c.typed;
        EXPECT_EQ(dialog.result(), c.result) << c.typed;
        bool saves = c.result == ConfigureDialog::ResultOk;
        Settings stored;
        LoadSettings(stored);
        EXPECT_EQ(std::string(s.RealName.Text()) == c.typed, saves) << c.typed;
        EXPECT_EQ(std::string(stored.RealName.Text()) == c.typed, saves) << c.typed;
    }
    EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(Configure, TypedTextIsStoredAsWindows1252)
{
    Settings s = completeSettings();
    ConfigureDialog dialog(s, nullptr);
    show(dialog);
    typeUnicodeInto(dialog, IDC_PASSWORD,
                    QString::fromUtf8("\xE2\x82\xAC"
                                      "uro"));
    typeUnicodeInto(dialog, IDC_REAL_NAME, QString::fromUtf8("\xC3\x89mile M\xC3\xBCller"));
    dialog.accept();
    EXPECT_TRUE(ui.boxes.empty());
    EXPECT_STREQ(s.Password.Text(), "\x80uro");
    EXPECT_STREQ(s.RealName.Text(), "\xC9mile M\xFCller");
    Settings stored;
    LoadSettings(stored);
    EXPECT_STREQ(stored.Password.Text(), "\x80uro");
    ConfigureDialog reopened(stored, nullptr);
    EXPECT_EQ(reopened.edit(IDC_PASSWORD)->text(), QString::fromUtf8("\xE2\x82\xAC"
                                                                     "uro"));
}

TEST_F(Configure, ACharacterWindows1252LacksIsRefusedNamingTheField)
{
    const struct {
        int id;
        const char* text;
        const char* field;
    } cases[] = {
        {IDC_REAL_NAME, "\xCE\xA9mega", "Real Name"},
        {IDC_COMPANY, "\xC5\x81\xC3\xB3\x64\xC5\xBA Ltd", "Company Name"},
        {IDC_PASSWORD, "p\xE2\x84\xA6", "KORVA Password"},
    };
    for (const auto& c : cases) {
        Settings s = completeSettings();
        ConfigureDialog dialog(s, nullptr);
        show(dialog);
        typeUnicodeInto(dialog, c.id, QString::fromUtf8(c.text));
        size_t before = ui.boxes.size();
        dialog.accept();
        ASSERT_EQ(ui.boxes.size(), before + 1) << c.field;
        EXPECT_TRUE(ui.boxes.back().text.contains(QString::fromUtf8(c.field))) << ui.boxes.back().text.toStdString();
        EXPECT_EQ(ui.boxes.back().owner, &dialog);
        EXPECT_EQ(focusedName(dialog), controlName(c.id));
        EXPECT_STREQ(s.Password.Text(), "secret");
        EXPECT_NE(dialog.result(), ConfigureDialog::ResultOk);
    }
}

TEST_F(Configure, OkRefusesAServerOrEncryptionNoConversationCanUse)
{
    const struct {
        const char* server;
        uint32_t storedEncryption;
        const char* setting;  // named by the box
        QString focused;
    } cases[] = {
        {"a b", kEncryptionNone, "Server", QString::number(IDC_SERVER)},
        {"a,b", kEncryptionNone, "Server", QString::number(IDC_SERVER)},
        {"ldap://x", kEncryptionNone, "Server", QString::number(IDC_SERVER)},
        {"x/y", kEncryptionNone, "Server", QString::number(IDC_SERVER)},
        {"mail.example.com", 3, "Encryption", QString::number(IDC_ENCRYPTION)},
        {"mail.example.com", 0x80000000u, "Encryption", QString::number(IDC_ENCRYPTION)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.server + std::string(" ") + std::to_string(c.storedEncryption));
        Settings s = completeSettings();
        s.Encryption = c.storedEncryption;
        ConfigureDialog dialog(s, nullptr);
        show(dialog);
        typeInto(dialog, IDC_SERVER, c.server);
        size_t before = ui.boxes.size();
        QTest::keyClick(dialog.edit(IDC_SERVER), Qt::Key_Return);  // OK
        ASSERT_EQ(ui.boxes.size(), before + 1);
        EXPECT_TRUE(ui.boxes.back().text.contains(c.setting)) << ui.boxes.back().text.toStdString();
        EXPECT_EQ(ui.boxes.back().owner, &dialog);
        EXPECT_EQ(focusedName(dialog), c.focused);
        EXPECT_NE(dialog.result(), ConfigureDialog::ResultOk);
        EXPECT_STREQ(s.Server.Text(), "mail.example.com");
        EXPECT_EQ(s.Encryption, c.storedEncryption);
    }
}

TEST_F(Configure, EncryptionChosenByKeyboardMovesDefaultPortsAndLeavesATypedOne)
{
    Settings s = completeSettings();
    ConfigureDialog dialog(s, nullptr);
    ASSERT_TRUE(showActive(&dialog));
    EXPECT_EQ(dialog.encryption()->currentText(), "None");
    typeInto(dialog, IDC_LDAP_PORT, "3389");
    ASSERT_TRUE(tabTo(dialog.encryption()));
    const struct {
        Qt::Key key;
        const char* choice;
        const char* smtp;
        const char* pop3;
    } steps[] = {
        {Qt::Key_Down, "STARTTLS", "587", "110"}, {Qt::Key_Down, "TLS", "465", "995"},
        {Qt::Key_Up, "STARTTLS", "587", "110"},   {Qt::Key_Up, "None", "25", "110"},
        {Qt::Key_End, "TLS", "465", "995"},
    };
    for (const auto& step : steps) {
        pressKey(step.key);
        EXPECT_EQ(dialog.encryption()->currentText(), step.choice);
        EXPECT_EQ(dialog.edit(IDC_SMTP_PORT)->text(), step.smtp) << step.choice;
        EXPECT_EQ(dialog.edit(IDC_POP3_PORT)->text(), step.pop3) << step.choice;
        EXPECT_EQ(dialog.edit(IDC_LDAP_PORT)->text(), "3389") << "typed by the user";
    }
    typeInto(dialog, IDC_SMTP_PORT, "2465");
    ASSERT_TRUE(tabTo(dialog.encryption()));
    pressKey(Qt::Key_Home);
    EXPECT_EQ(dialog.edit(IDC_SMTP_PORT)->text(), "2465");
    EXPECT_EQ(dialog.edit(IDC_POP3_PORT)->text(), "110");
    pressKey(Qt::Key_Down);
    pressKey(Qt::Key_Return);  // OK
    EXPECT_EQ(dialog.result(), ConfigureDialog::ResultOk);
    EXPECT_EQ(s.Encryption, kEncryptionStartTls);
    RegistryKey key;
    ASSERT_EQ(key.open(RegistryHive::CurrentUser, kSettingsKey), kRegOk);
    EXPECT_EQ(key.readDword("Encryption"), uint32_t(kEncryptionStartTls));
    EXPECT_EQ(key.readDword("SMTPServerPort"), 2465u);
    EXPECT_EQ(key.readDword("LDAPServerPort"), 3389u);
}

TEST_F(Configure, OpensWithTheStoredEncryptionAndLeavesItsPortsAsStored)
{
    Settings s = completeSettings();
    s.Encryption = kEncryptionTls;
    s.SMTPServerPort = 25;
    ConfigureDialog dialog(s, nullptr);
    EXPECT_EQ(dialog.encryption()->currentText(), "TLS");
    EXPECT_EQ(dialog.edit(IDC_SMTP_PORT)->text(), "25") << "only a choice moves the ports";
    EXPECT_EQ(dialog.findChild<QLabel*>("label1078")->text(), "&Encryption:");
}

TEST_F(Configure, WarningShowsWhileNoneIsChosenForAServerElsewhere)
{
    const struct {
        const char* server;
        int encryption;
        bool warned;
    } cases[] = {
        {"mail.example.com", kEncryptionNone, true},
        {"10.1.2.3", kEncryptionNone, true},
        {"127.0.0.1", kEncryptionNone, false},
        {"localhost", kEncryptionNone, false},
        {"::1", kEncryptionNone, false},
        {"mail.example.com", kEncryptionStartTls, false},
        {"mail.example.com", kEncryptionTls, false},
    };
    Settings s = completeSettings();
    ConfigureDialog dialog(s, nullptr);
    ASSERT_TRUE(showActive(&dialog));
    QLabel* warning = dialog.encryptionWarning();
    EXPECT_TRUE(warning->isVisible()) << "mail.example.com without encryption";
    for (const auto& c : cases) {
        ASSERT_TRUE(tabTo(dialog.encryption()));
        pressKey(Qt::Key_Home);
        for (int i = 0; i < c.encryption; ++i)
            pressKey(Qt::Key_Down);
        typeInto(dialog, IDC_SERVER, c.server);
        EXPECT_EQ(warning->isVisible(), c.warned) << c.server << " " << c.encryption;
    }
    EXPECT_FALSE(warning->text().isEmpty());
}

TEST_F(Configure, WithoutAKeyringOkKeepsTheEncodedPasswordInTheSettingsFile)
{
    Settings s = completeSettings();
    ConfigureDialog dialog(s, nullptr);
    dialog.accept();
    EXPECT_EQ(dialog.result(), ConfigureDialog::ResultOk);
    EXPECT_FALSE(s.passwordInKeyring);
    RegistryKey key;
    ASSERT_EQ(key.open(RegistryHive::CurrentUser, kSettingsKey), kRegOk);
    String stored;
    stored.ReadRegistryValue(key, "Password");
    EXPECT_EQ(stored.Length(), 12u) << "six characters, encoded";
    Settings loaded;
    LoadSettings(loaded);
    EXPECT_STREQ(loaded.Password.Text(), "secret");
}

// A keyring made on the first OK asks for its own password first: the
// dialog says what it waits for, takes no second click, and goes on after.
TEST_F(Configure, OkSaysItWaitsForTheKeyringUntilTheKeyringAnswers)
{
    Settings s = completeSettings();
    bool waitShown = false;
    bool okEnabled = true;
    int saves = 0;
    auto keyring = [&](Settings& settings, const QString&) {
        QEventLoop answer;  // as the keyring job waits, painting meanwhile
        QTimer::singleShot(20, &answer, &QEventLoop::quit);
        answer.exec(QEventLoop::ExcludeUserInputEvents);
        auto* wait = QApplication::activeWindow()->findChild<QLabel*>("keyringWait");
        waitShown = wait && wait->isVisible() && wait->text() == QString::fromUtf8("Waiting for the keyring\u2026");
        okEnabled = QApplication::activeWindow()->findChild<QPushButton*>(controlName(IDOK))->isEnabled();
        settings.passwordInKeyring = true;
    };
    ConfigureDialog dialog(
        s, nullptr, [&](Settings&) { return ++saves > 0; }, keyring);
    ASSERT_TRUE(showActive(&dialog));
    QTest::mouseClick(dialog.findChild<QPushButton*>(controlName(IDOK)), Qt::LeftButton);
    EXPECT_TRUE(waitShown);
    EXPECT_FALSE(okEnabled);
    EXPECT_EQ(saves, 1);
    EXPECT_EQ(dialog.result(), ConfigureDialog::ResultOk);
    EXPECT_TRUE(dialog.findChild<QLabel*>("keyringWait")->isHidden());
}

TEST_F(Configure, AdvancedShowsTheDirectoryNamesAndOkStoresThem)
{
    Settings s = completeSettings();
    s.LDAPBaseDN = "ou=people,dc=example,dc=com";
    ConfigureDialog dialog(s, nullptr);
    show(dialog);
    auto* base = dialog.findChild<QLineEdit*>(controlName(IDC_LDAP_BASE_DN));
    auto* bind = dialog.findChild<QLineEdit*>(controlName(IDC_LDAP_BIND_DN));
    auto* advanced = dialog.findChild<QPushButton*>(controlName(IDC_ADVANCED));
    ASSERT_TRUE(base && bind && advanced);
    EXPECT_FALSE(base->isVisible());  // the layout of old stays as it was
    QTest::keyClick(dialog.focusWidget(), Qt::Key_A, Qt::AltModifier);
    EXPECT_TRUE(QTest::qWaitFor([base] { return base->isVisible(); }));  // a mnemonic clicks animated
    EXPECT_EQ(base->text(), "ou=people,dc=example,dc=com");
    EXPECT_EQ(bind->text(), "");
    QTest::keyClicks(bind, "uid=anna,ou=people,dc=example,dc=com");
    QTest::keyClick(bind, Qt::Key_Return);  // OK
    Settings stored;
    LoadSettings(stored);
    EXPECT_STREQ(stored.LDAPBaseDN.Text(), "ou=people,dc=example,dc=com");
    EXPECT_STREQ(stored.LDAPBindDN.Text(), "uid=anna,ou=people,dc=example,dc=com");
}

namespace {

// Run for the first fax (no owner) Configure blocks nothing else; from the
// Send Fax dialog it blocks that dialog alone. Escape answers Cancel.
TEST_F(Configure, RunBlocksAtMostItsOwner)
{
    Settings settings = completeSettings();
    QDialog owner;
    owner.show();
    for (QWidget* runOwner : {static_cast<QWidget*>(nullptr), static_cast<QWidget*>(&owner)}) {
        std::optional<Qt::WindowModality> modality;
        QTimer::singleShot(0, [&] {
            QWidget* modal = QApplication::activeModalWidget();
            modality = modal ? modal->windowModality() : Qt::NonModal;
            ConfigureDialog* dialog = nullptr;
            for (QWidget* window : QApplication::topLevelWidgets())
                if (auto* configure = qobject_cast<ConfigureDialog*>(window); configure && configure->isVisible())
                    dialog = configure;
            ASSERT_NE(dialog, nullptr);
            QTest::keyClick(dialog, Qt::Key_Escape);
        });
        EXPECT_EQ(runConfigureDialog(settings, runOwner), ConfigureDialog::ResultCancel);
        ASSERT_TRUE(modality.has_value());
        EXPECT_EQ(*modality, runOwner ? Qt::WindowModal : Qt::NonModal);
    }
}

}  // namespace
