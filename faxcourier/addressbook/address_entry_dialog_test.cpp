// The Address Book Entry dialog against korva-sim, and against a scripted
// server where the exact commands matter.
#include "faxcourier/addressbook/address_entry_dialog.h"

#include "faxcourier/addressbook/directory_search.h"
#include "faxcourier/addressbook/testing/dialog_fixture.h"
#include "faxcourier/net/testing/scripted_server.h"
#include "faxcourier/settings/settings.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

using namespace korva;
using namespace korva::addressbook;
using namespace korva::addressbook::testing;
using korva::testing::ScriptedServer;
using korva::testing::SeedEntry;

namespace {

const char* const kAnnaDn = "MAIL=anna@example.com,carl";

SeedEntry anna(const char* editable = "1")
{
    SeedEntry entry{{"cn", "Anna Berg"},
                    {"givenname", "Anna"},
                    {"initials", "B"},
                    {"sn", "Berg"},
                    {"title", "Buyer"},
                    {"o", "Yarrow"},
                    {"department", "Sales"},
                    {"postalAddress", "1 Road\r\nTown"},
                    {"l", "Turku"},
                    {"st", "VS"},
                    {"postalCode", "20100"},
                    {"c", "FI"},
                    {"telephoneNumber", "02 1"},
                    {"fax", "0301"},
                    {"mobile", "040 1"},
                    {"mail", "anna@example.com"},
                    {"_deletable", "1"}};
    if (*editable)
        entry.emplace_back("_editable", editable);
    return entry;
}

class EntryDialog : public DialogFixture {
protected:
    std::unique_ptr<AddressEntryDialog> openEntry(FaxAddressBookDialog& book, const char* dn)
    {
        auto entry = std::make_unique<AddressEntryDialog>(&book, dn);
        QCoreApplication::processEvents();  // a new entry's posted Edit Entry
        return entry;
    }

    static QLineEdit* field(QWidget& entry, int id) { return control<QLineEdit>(entry, id); }

    // The directory commands go to a scripted server that accepts them all.
    std::unique_ptr<ScriptedServer> scriptCommands(int sets)
    {
        std::vector<std::string> replies{"+OK KORVA", "+OK user", "+OK logged on"};
        for (int i = 0; i < sets; ++i)
            replies.push_back("+OK set");
        replies.push_back("+OK bye");
        auto server = std::make_unique<ScriptedServer>(replies);
        globalSettings().POP3ServerPort = uint32_t(server->port());
        return server;
    }

    static std::string row(FaxAddressBookDialog& book, const QString& name)
    {
        for (int r = 0; r < book.rows()->rowCount(); ++r)
            if (book.rows()->row(r).name == name)
                return (book.rows()->row(r).fax + "|" + book.rows()->row(r).company).toStdString();
        return "(none)";
    }

    static std::string tableDn(const char* name)
    {
        std::lock_guard lock(addressBookLock);
        for (const AddressEntry& entry : addressEntries)
            if (std::strcmp(entry.name.Text(), name) == 0)
                return entry.dn.Text();
        return "(none)";
    }
};

}  // namespace

TEST_F(EntryDialog, ShowsTheEntryInViewMode)
{
    serve({anna()});
    auto book = openBook();
    auto entry = openEntry(*book, kAnnaDn);
    EXPECT_EQ(entry->windowTitle(), "Address Book Entry");
    EXPECT_EQ(field(*entry, IDC_DISPLAY_NAME)->text(), "Anna Berg");
    EXPECT_EQ(field(*entry, IDC_GIVEN_NAME)->text(), "Anna");
    EXPECT_EQ(field(*entry, IDC_INITIALS)->text(), "B");
    EXPECT_EQ(field(*entry, IDC_SURNAME)->text(), "Berg");
    EXPECT_EQ(field(*entry, IDC_COMPANY)->text(), "Yarrow");
    EXPECT_EQ(field(*entry, IDC_CITY)->text(), "Turku");
    EXPECT_EQ(field(*entry, IDC_COUNTRY)->text(), "FI");
    EXPECT_EQ(field(*entry, IDC_FAX)->text(), "0301");
    EXPECT_EQ(field(*entry, IDC_EMAIL)->text(), "anna@example.com");
    EXPECT_EQ(control<QPlainTextEdit>(*entry, IDC_ADDRESS)->toPlainText(), "1 Road\nTown");
    EXPECT_TRUE(field(*entry, IDC_DISPLAY_NAME)->isReadOnly());
    EXPECT_TRUE(control<QPlainTextEdit>(*entry, IDC_ADDRESS)->isReadOnly());
    EXPECT_TRUE(control(*entry, IDC_EDIT_ENTRY)->isEnabled());
    EXPECT_TRUE(control(*entry, IDC_ADD_TO_FAX_RECIPIENTS)->isEnabled());
    EXPECT_EQ(control(*entry, IDOK)->text(), "Close");
    EXPECT_FALSE(entry->editMode());

    control(*entry, IDC_EDIT_ENTRY)->click();
    EXPECT_TRUE(entry->editMode());
    EXPECT_EQ(control(*entry, IDOK)->text(), "Save");
    EXPECT_FALSE(control(*entry, IDC_EDIT_ENTRY)->isEnabled());
    EXPECT_FALSE(field(*entry, IDC_MOBILE)->isReadOnly());
    EXPECT_FALSE(control<QPlainTextEdit>(*entry, IDC_ADDRESS)->isReadOnly());
    control(*entry, IDCANCEL)->click();
    EXPECT_EQ(entry->result(), 2);
}

TEST_F(EntryDialog, ViewModeFieldsLookReadOnlyAndTakeNoTyping)
{
    serve({anna()});
    auto book = openBook();
    auto entry = openEntry(*book, kAnnaDn);
    ASSERT_TRUE(app::testing::showActive(entry.get()));
    const QColor editable = QApplication::palette().color(QPalette::Base);
    auto fieldsLook = [&](bool readOnly) {
        for (int id : {IDC_DISPLAY_NAME, IDC_GIVEN_NAME, IDC_INITIALS, IDC_SURNAME, IDC_TITLE, IDC_COMPANY,
                       IDC_DEPARTMENT, IDC_ADDRESS, IDC_CITY, IDC_STATE, IDC_POSTCODE, IDC_COUNTRY, IDC_TELEPHONE,
                       IDC_FAX, IDC_MOBILE, IDC_EMAIL}) {
            QWidget* w = control<QWidget>(*entry, id);
            QColor base = w->palette().color(QPalette::Base);
            EXPECT_EQ(base != editable, readOnly) << id;
            EXPECT_EQ(base == w->palette().color(QPalette::Window), readOnly) << id;
        }
    };
    fieldsLook(true);
    QTest::mouseClick(field(*entry, IDC_MOBILE), Qt::LeftButton);
    QTest::keyClicks(field(*entry, IDC_MOBILE), "99");
    EXPECT_EQ(field(*entry, IDC_MOBILE)->text(), "040 1");
    QTest::keyClicks(control<QPlainTextEdit>(*entry, IDC_ADDRESS), "x");
    EXPECT_EQ(control<QPlainTextEdit>(*entry, IDC_ADDRESS)->toPlainText(), "1 Road\nTown");

    QTest::mouseClick(control(*entry, IDC_EDIT_ENTRY), Qt::LeftButton);
    fieldsLook(false);
    QTest::keyClick(field(*entry, IDC_MOBILE), Qt::Key_End);
    QTest::keyClicks(field(*entry, IDC_MOBILE), "99");
    EXPECT_EQ(field(*entry, IDC_MOBILE)->text(), "040 199");
}

TEST_F(EntryDialog, OnlyAnEditableMarkOfExactlyOneAllowsEditing)
{
    serve({anna("0"),
           {{"cn", "Absent"}, {"fax", "5"}, {"mail", "absent@example.com"}},
           {{"cn", "Blank"}, {"mail", "blank@example.com"}, {"_editable", "1 "}}});
    auto book = openBook();
    for (const char* dn : {kAnnaDn, "MAIL=absent@example.com,carl", "MAIL=blank@example.com,carl"}) {
        auto entry = openEntry(*book, dn);
        EXPECT_FALSE(control(*entry, IDC_EDIT_ENTRY)->isEnabled()) << dn;
    }
    // Still viewed and added to the recipients.
    auto entry = openEntry(*book, "MAIL=absent@example.com,carl");
    EXPECT_EQ(field(*entry, IDC_DISPLAY_NAME)->text(), "Absent");
    control(*entry, IDC_ADD_TO_FAX_RECIPIENTS)->click();
    EXPECT_EQ(recipients.rowCount(), 1);
    auto blank = openEntry(*book, "MAIL=blank@example.com,carl");
    EXPECT_FALSE(control(*blank, IDC_ADD_TO_FAX_RECIPIENTS)->isEnabled());
}

TEST_F(EntryDialog, AnUnreadableEntryShowsEmptyFields)
{
    serve({anna()});
    auto book = openBook();
    auto entry = openEntry(*book, "MAIL=gone@example.com,carl");
    EXPECT_EQ(field(*entry, IDC_DISPLAY_NAME)->text(), "");
    EXPECT_FALSE(control(*entry, IDC_EDIT_ENTRY)->isEnabled());
    EXPECT_FALSE(control(*entry, IDC_ADD_TO_FAX_RECIPIENTS)->isEnabled());
}

TEST_F(EntryDialog, AddToFaxRecipientsUsesTheFieldsAsTheyStand)
{
    serve({anna()});
    auto book = openBook();
    auto entry = openEntry(*book, kAnnaDn);
    control(*entry, IDC_EDIT_ENTRY)->click();
    field(*entry, IDC_FAX)->setText("0999;0888");
    field(*entry, IDC_COMPANY)->setText("Unsaved Oy");
    control(*entry, IDC_ADD_TO_FAX_RECIPIENTS)->click();
    ASSERT_EQ(recipients.rowCount(), 2);
    EXPECT_EQ(recipients.cell(0, 0), "Anna Berg");
    EXPECT_EQ(recipients.cell(0, 2), "Unsaved Oy");
    control(*entry, IDC_ADD_TO_FAX_RECIPIENTS)->click();
    EXPECT_EQ(ui.beeps, 1);
    EXPECT_EQ(recipients.rowCount(), 2);
    field(*entry, IDC_FAX)->clear();
    EXPECT_FALSE(control(*entry, IDC_ADD_TO_FAX_RECIPIENTS)->isEnabled());
    EXPECT_EQ(entry->result(), 0);  // still open
}

TEST_F(EntryDialog, SavingWithoutChangesSendsOnlyTheLogonAndQuit)
{
    serve({anna()});
    auto book = openBook();
    auto server = scriptCommands(0);
    auto entry = openEntry(*book, kAnnaDn);
    control(*entry, IDC_EDIT_ENTRY)->click();
    control(*entry, IDOK)->click();
    EXPECT_EQ(entry->result(), 1);
    EXPECT_EQ(server->lines(), (std::vector<std::string>{"X-LDAPUSER carl", "PASS s3cret pw", "QUIT"}));
    EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(EntryDialog, AChangedFaxSendsOneCommandAndUpdatesTheTableAndTheRow)
{
    serve({anna()});
    auto book = openBook();
    auto server = scriptCommands(1);
    auto entry = openEntry(*book, kAnnaDn);
    control(*entry, IDC_EDIT_ENTRY)->click();
    field(*entry, IDC_FAX)->setText("0302;0303");
    control(*entry, IDOK)->click();
    EXPECT_EQ(server->lines(),
              (std::vector<std::string>{"X-LDAPUSER carl", "PASS s3cret pw",
                                        "X-LDAPSET MAIL=anna@example.com,carl FAX 0302;0303", "QUIT"}));
    EXPECT_EQ(row(*book, "Anna Berg"), "0302;0303|Yarrow");
    EXPECT_EQ(tableDn("Anna Berg"), kAnnaDn);
}

TEST_F(EntryDialog, MailIsRenamedBeforeMobileAndTheListEntryTakesTheNewName)
{
    serve({anna()});
    auto book = openBook();
    {
        auto server = scriptCommands(2);
        auto entry = openEntry(*book, kAnnaDn);
        control(*entry, IDC_EDIT_ENTRY)->click();
        field(*entry, IDC_MOBILE)->setText("050 2");
        field(*entry, IDC_EMAIL)->setText("berta@example.com");
        control(*entry, IDOK)->click();
        EXPECT_EQ(server->lines(),
                  (std::vector<std::string>{"X-LDAPUSER carl", "PASS s3cret pw",
                                            "X-LDAPSET MAIL=anna@example.com,carl MAIL berta@example.com",
                                            "X-LDAPSET MAIL=berta@example.com,carl MOBILE 050 2", "QUIT"}));
    }
    // The same save against korva-sim: the next read and search agree.
    runDirectorySearch(currentLdapLogon());
    fill(*book);
    sim->useInSettings();
    auto entry = openEntry(*book, kAnnaDn);
    control(*entry, IDC_EDIT_ENTRY)->click();
    field(*entry, IDC_MOBILE)->setText("050 2");
    field(*entry, IDC_EMAIL)->setText("berta@example.com");
    control(*entry, IDOK)->click();
    EXPECT_TRUE(ui.boxes.empty());
    EXPECT_EQ(tableDn("Anna Berg"), "MAIL=berta@example.com,carl");
    AttributeMap read = ReadDirectoryEntry("MAIL=berta@example.com,carl");
    EXPECT_STREQ(read["MOBILE"].Text(), "050 2");
    runDirectorySearch(currentLdapLogon());
    EXPECT_EQ(tableDn("Anna Berg"), "MAIL=berta@example.com,carl");
}

TEST_F(EntryDialog, ANumericMailIsHiddenKeptWhenLeftEmptyAndReplacedWhenTyped)
{
    serve({{{"cn", "Numbered"}, {"fax", "7"}, {"mail", "0301-77"}, {"_editable", "1"}, {"_deletable", "1"}}});
    auto book = openBook();
    const char* dn = "MAIL=0301-77,carl";
    {
        auto entry = openEntry(*book, dn);
        EXPECT_EQ(field(*entry, IDC_EMAIL)->text(), "");
        control(*entry, IDC_EDIT_ENTRY)->click();
        field(*entry, IDC_TITLE)->setText("Desk");
        control(*entry, IDOK)->click();
    }
    AttributeMap read = ReadDirectoryEntry(dn);
    EXPECT_STREQ(read["MAIL"].Text(), "0301-77");
    EXPECT_STREQ(read["TITLE"].Text(), "Desk");

    auto entry = openEntry(*book, dn);
    control(*entry, IDC_EDIT_ENTRY)->click();
    field(*entry, IDC_EMAIL)->setText("desk@example.com");
    control(*entry, IDOK)->click();
    EXPECT_TRUE(ui.boxes.empty());
    EXPECT_EQ(tableDn("Numbered"), "MAIL=desk@example.com,carl");
    EXPECT_STREQ(ReadDirectoryEntry("MAIL=desk@example.com,carl")["MAIL"].Text(), "desk@example.com");
}

TEST_F(EntryDialog, ANewEntryIsCreatedAndListedAfterTheNextTick)
{
    serve({anna()});
    auto book = openBook();
    control(*book, IDC_LETTER_A + 3)->click();  // D
    fill(*book);
    EXPECT_EQ(book->rows()->rowCount(), 0);
    auto entry = openEntry(*book, "");
    EXPECT_TRUE(entry->editMode());
    EXPECT_EQ(control(*entry, IDOK)->text(), "Save");
    EXPECT_FALSE(field(*entry, IDC_DISPLAY_NAME)->isReadOnly());
    field(*entry, IDC_DISPLAY_NAME)->setText("Dora");
    field(*entry, IDC_FAX)->setText("0555");
    control<QPlainTextEdit>(*entry, IDC_ADDRESS)->setPlainText("2 Lane\nVillage");
    control(*entry, IDOK)->click();
    EXPECT_TRUE(ui.boxes.empty());
    std::string dn = tableDn("Dora");
    EXPECT_EQ(dn.rfind("MAIL=", 0), 0u);
    book->tick();
    EXPECT_EQ(column(*book), QStringList{"Dora"});
    select(*book, {"Dora"});
    EXPECT_TRUE(control(*book, IDC_DELETE_ENTRY)->isEnabled());

    AttributeMap read = ReadDirectoryEntry(dn.c_str());
    EXPECT_STREQ(read["POSTALADDRESS"].Text(), "2 Lane\r\nVillage");
    control(*book, IDC_REFRESH)->click();
    fill(*book);
    EXPECT_EQ(column(*book), QStringList{"Dora"});
}

TEST_F(EntryDialog, AFailedSaveShowsItsBoxesClosesAndLeavesTheListAsItWas)
{
    serve({anna()});
    auto book = openBook();
    globalSettings().POP3ServerPort = uint32_t(korva::testing::closedPort());
    auto entry = openEntry(*book, kAnnaDn);
    control(*entry, IDC_EDIT_ENTRY)->click();
    field(*entry, IDC_FAX)->setText("0999");
    control(*entry, IDOK)->click();
    EXPECT_EQ(entry->result(), 1);
    ASSERT_EQ(ui.boxes.size(), 2u);
    EXPECT_TRUE(ui.boxes[0].text.startsWith("Error connecting to KORVA server"));
    EXPECT_TRUE(ui.boxes[1].text.startsWith("Error connecting to KORVA server"));
    EXPECT_EQ(row(*book, "Anna Berg"), "0301|Yarrow");
    EXPECT_EQ(tableDn("Anna Berg"), kAnnaDn);
}

TEST_F(EntryDialog, TextTheCommandsCannotCarryIsRefusedAndTheDialogStaysOpen)
{
    serve({anna()});
    auto book = openBook();
    // Any attempt to send would show the connection's boxes.
    globalSettings().POP3ServerPort = uint32_t(korva::testing::closedPort());
    auto entry = openEntry(*book, kAnnaDn);
    control(*entry, IDC_EDIT_ENTRY)->click();
    field(*entry, IDC_SURNAME)->setText(QString::fromUtf8("\xC5\x81uk"));  // Ł
    entry->show();
    control(*entry, IDOK)->click();
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].caption, "KORVA Fax");
    EXPECT_TRUE(ui.boxes[0].text.contains("Name"));
    EXPECT_TRUE(entry->isVisible());
    EXPECT_EQ(field(*entry, IDC_SURNAME)->text(), QString::fromUtf8("\xC5\x81uk"));
    control(*entry, IDCANCEL)->click();
    EXPECT_EQ(entry->result(), 2);
    EXPECT_EQ(ui.boxes.size(), 1u);
}

TEST_F(EntryDialog, AccentedValuesShowDecodedAndAreNotResentUnchanged)
{
    serve({{{"cn",
             "Ren\xC3\xA9"
             "e"},
            {"o",
             "\xC5\x81\xC3\xB3"
             "d\xC5\xBA"},
            {"fax", "8"},
            {"mail", "r@example.com"},
            {"_editable", "1"}}});
    auto book = openBook();
    EXPECT_EQ(column(*book), QStringList{QString::fromUtf8("Ren\xC3\xA9"
                                                           "e")});
    auto server = scriptCommands(1);
    auto entry = openEntry(*book, "MAIL=r@example.com,carl");
    EXPECT_EQ(field(*entry, IDC_COMPANY)->text(), QString::fromUtf8("\xC5\x81\xC3\xB3"
                                                                    "d\xC5\xBA"));
    control(*entry, IDC_EDIT_ENTRY)->click();
    field(*entry, IDC_TITLE)->setText(QString::fromUtf8("Caf\xC3\xA9"));
    control(*entry, IDOK)->click();
    // Only the title, as UTF-8; the name and the company stay as they are.
    EXPECT_EQ(server->lines(),
              (std::vector<std::string>{"X-LDAPUSER carl", "PASS s3cret pw",
                                        "X-LDAPSET MAIL=r@example.com,carl TITLE Caf\xC3\xA9", "QUIT"}));
    EXPECT_EQ(row(*book, QString::fromUtf8("Ren\xC3\xA9"
                                           "e")),
              "8|\xC5\x81\xC3\xB3"
              "d\xC5\xBA");
}

TEST_F(EntryDialog, EnterRunsTheFocusedButtonOrSaveAndEscapeCancels)
{
    serve({anna()});
    struct Case {
        const char* fax;  // typed in edit mode, then the keys
        int focus;
        Qt::Key key;
        int result;  // 1 saves
    };
    const Case cases[] = {
        {"0302", IDCANCEL, Qt::Key_Return, IDCANCEL},  // Tab to Cancel, Enter
        {"0303", IDC_MOBILE, Qt::Key_Escape, IDCANCEL},
        {"0304", IDC_MOBILE, Qt::Key_Return, IDOK},  // Enter in a field: Save
    };
    auto book = openBook();
    for (const Case& c : cases) {
        auto entry = openEntry(*book, kAnnaDn);
        ASSERT_TRUE(app::testing::showActive(entry.get())) << c.fax;
        QTest::mouseClick(control(*entry, IDC_EDIT_ENTRY), Qt::LeftButton);
        field(*entry, IDC_FAX)->setText(c.fax);
        ASSERT_TRUE(app::testing::tabTo(control<QWidget>(*entry, c.focus))) << c.fax;
        app::testing::pressKey(c.key);
        EXPECT_FALSE(entry->isVisible()) << c.fax;
        EXPECT_EQ(entry->result(), c.result) << c.fax;
        EXPECT_EQ(row(*book, "Anna Berg") == std::string(c.fax) + "|Yarrow", c.result == IDOK) << c.fax;
        EXPECT_EQ(ReadDirectoryEntry(kAnnaDn)["FAX"] == c.fax, c.result == IDOK) << c.fax;
    }
    EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(EntryDialog, Windows1252CharactersReachTheDirectoryAsUtf8)
{
    const struct {
        const char* typed;
        const char* sent;
    } cases[] = {
        {"\xE2\x82\xAC desk", "X-LDAPSET MAIL=anna@example.com,carl TITLE \xE2\x82\xAC desk"},
        {"\xE2\x80\x9EHead\xE2\x80\x9C", "X-LDAPSET MAIL=anna@example.com,carl TITLE \xE2\x80\x9EHead\xE2\x80\x9C"},
        {"\xC5\x92uvre", "X-LDAPSET MAIL=anna@example.com,carl TITLE \xC5\x92uvre"},
    };
    for (const auto& c : cases) {
        serve({anna()});
        auto book = openBook();
        auto server = scriptCommands(1);
        auto entry = openEntry(*book, kAnnaDn);
        control(*entry, IDC_EDIT_ENTRY)->click();
        field(*entry, IDC_TITLE)->setText(QString::fromUtf8(c.typed));
        control(*entry, IDOK)->click();
        EXPECT_TRUE(ui.boxes.empty()) << c.typed;
        EXPECT_EQ(server->lines(), (std::vector<std::string>{"X-LDAPUSER carl", "PASS s3cret pw", c.sent, "QUIT"}));
    }
}
