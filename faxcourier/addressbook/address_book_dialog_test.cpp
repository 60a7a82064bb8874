// The Fax Address Book against korva-sim, on the offscreen platform.
#include "faxcourier/addressbook/address_book_dialog.h"

#include "faxcourier/addressbook/address_book_install.h"
#include "faxcourier/addressbook/directory_search.h"
#include "faxcourier/addressbook/testing/dialog_fixture.h"
#include "faxcourier/net/directory_commands.h"
#include "faxcourier/widgets/address_book_hook.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QTest>

using namespace korva;
using namespace korva::addressbook;
using namespace korva::addressbook::testing;
using korva::testing::SeedEntry;

namespace {

using AddressBook = DialogFixture;

}  // namespace

TEST_F(AddressBook, OpensWithAllAndFaxOnlyCheckedAndListsOnlyEntriesWithFax)
{
    serve({person("Anna", "0301"), person("Bert", "")});
    auto book = openBook();
    EXPECT_EQ(book->windowTitle(), "Fax Address Book");
    EXPECT_TRUE(control(*book, IDC_FAX_ONLY)->isChecked());
    EXPECT_TRUE(control(*book, IDC_LETTER_ALL)->isChecked());
    EXPECT_FALSE(control(*book, IDC_ADD_TO_RECIPIENTS)->isEnabled());
    EXPECT_FALSE(control(*book, IDC_VIEW_EDIT)->isEnabled());
    EXPECT_FALSE(control(*book, IDC_DELETE_ENTRY)->isEnabled()) << "nothing selected";
    EXPECT_TRUE(control(*book, IDC_REFRESH)->isEnabled());  // after the first tick
    EXPECT_EQ(column(*book), QStringList{"Anna"});
    EXPECT_EQ(column(*book, 1), QStringList{"0301"});

    control(*book, IDC_FAX_ONLY)->click();
    EXPECT_EQ(book->rows()->rowCount(), 0);
    EXPECT_EQ(listedCount, 0u);
    fill(*book);
    EXPECT_EQ(column(*book), (QStringList{"Anna", "Bert"}));
}

TEST_F(AddressBook, SearchTextTurnsTheLetterOffUntilEveryBoxIsEmpty)
{
    serve({person("Anna", "1", "1", "Yarrow"), person("Bert", "2"), person("Berta", "3", "1", "yarrow ltd")});
    auto book = openBook();
    control(*book, IDC_LETTER_A + 1)->click();
    fill(*book);
    EXPECT_EQ(column(*book), (QStringList{"Bert", "Berta"}));

    control<QLineEdit>(*book, IDC_SEARCH_COMPANY)->setText("YARROW");
    EXPECT_EQ(book->rows()->rowCount(), 0);  // the edit reset the list
    fill(*book);
    EXPECT_EQ(column(*book), (QStringList{"Anna", "Berta"}));
    EXPECT_TRUE(control(*book, IDC_LETTER_A + 1)->isChecked());

    control<QLineEdit>(*book, IDC_SEARCH_COMPANY)->clear();
    control<QLineEdit>(*book, IDC_SEARCH_NUMBER)->setText("3");
    fill(*book);
    EXPECT_EQ(column(*book), QStringList{"Berta"});
    control<QLineEdit>(*book, IDC_SEARCH_NUMBER)->clear();
    fill(*book);
    EXPECT_EQ(column(*book), (QStringList{"Bert", "Berta"}));
}

TEST_F(AddressBook, LettersMAndZAndNamesBeginningWithDigits)
{
    serve({person("mike", "1"), person("Mia", "2"), person("Nora", "3"), person("Zoe", "4"), person("zz", "5"),
           person("42 Club", "6"), person("Lena", "7")});
    auto book = openBook();
    EXPECT_EQ(column(*book), (QStringList{"42 Club", "Lena", "Mia", "mike", "Nora", "Zoe", "zz"}));

    control(*book, IDC_LETTER_A + 12)->click();
    fill(*book);
    EXPECT_EQ(column(*book), (QStringList{"Mia", "mike"}));
    EXPECT_FALSE(control(*book, IDC_LETTER_ALL)->isChecked());

    // Ctrl+Z in the list acts as the Z button.
    QTest::keyClick(book->entryList(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(control(*book, IDC_LETTER_A + 25)->isChecked());
    EXPECT_FALSE(control(*book, IDC_LETTER_A + 12)->isChecked());
    fill(*book);
    EXPECT_EQ(column(*book), (QStringList{"Zoe", "zz"}));

    for (int id = IDC_LETTER_A; id <= IDC_LETTER_A + 25; ++id) {
        control(*book, id)->click();
        fill(*book);
        EXPECT_FALSE(column(*book).contains("42 Club")) << id;
    }
}

TEST_F(AddressBook, TwentyFiveHundredEntriesFillInThreeTicks)
{
    std::vector<SeedEntry> entries;
    for (int i = 0; i < 2500; ++i)
        entries.push_back(person(("Person " + std::to_string(10000 + i)).c_str(), "0301"));
    serve(entries);
    FaxAddressBookDialog book(nullptr, &recipients);
    ASSERT_TRUE(waitForDirectorySearches(20000));
    ASSERT_EQ(tableSize(), 2500u);
    int rows[4];
    for (int& added : rows) {
        book.tick();
        added = book.lastTickRows();
    }
    EXPECT_EQ(rows[0], 1000);
    EXPECT_EQ(rows[1], 1000);
    EXPECT_EQ(rows[2], 500);
    EXPECT_EQ(rows[3], 0);
    EXPECT_EQ(book.rows()->rowCount(), 2500);
    EXPECT_EQ(book.rows()->row(0).name, "Person 10000");
    EXPECT_EQ(book.rows()->row(2499).name, "Person 12499");
}

TEST_F(AddressBook, DeleteAsksThenDeletesTheChosenEntryAndRebuildsTheList)
{
    serve({person("Anna", "1"), person("Bert", "2"), person("Carl", "3")});
    auto book = openBook();
    select(*book, {"Bert"});
    EXPECT_TRUE(control(*book, IDC_DELETE_ENTRY)->isEnabled());
    ui.answer(app::Answer::Yes);
    control(*book, IDC_DELETE_ENTRY)->click();
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].caption, "KORVA Fax Printer Driver");
    EXPECT_EQ(ui.boxes[0].text, "Are you sure you wish to permanently delete this address book entry?");
    EXPECT_EQ(ui.boxes[0].buttons, app::Buttons::YesNo);
    EXPECT_EQ(ui.boxes[0].icon, app::BoxIcon::Question);
    EXPECT_GT(ui.waitCursorUses, 0);
    EXPECT_EQ(book->rows()->rowCount(), 0);
    EXPECT_EQ(tableNames(), (std::vector<std::string>{"Anna", "Carl"}));
    fill(*book);
    EXPECT_EQ(column(*book), (QStringList{"Anna", "Carl"}));

    // The server no longer has it: the next search agrees.
    control(*book, IDC_REFRESH)->click();
    EXPECT_FALSE(control(*book, IDC_REFRESH)->isEnabled());
    fill(*book);
    EXPECT_EQ(column(*book), (QStringList{"Anna", "Carl"}));
}

TEST_F(AddressBook, DeleteNeverTouchesAnEntryThatIsNotDeletableOrWhenAnsweredNo)
{
    serve({person("Anna", "1"), person("Fixed", "2", "1 "), person("Other", "3", "true")});
    auto book = openBook();
    for (const char* name : {"Fixed", "Other"}) {
        select(*book, {name});
        EXPECT_FALSE(control(*book, IDC_DELETE_ENTRY)->isEnabled()) << name;
    }

    auto fresh = openBook();
    select(*fresh, {"Anna"});
    ui.answer(app::Answer::No);
    control(*fresh, IDC_DELETE_ENTRY)->click();
    EXPECT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(fresh->rows()->rowCount(), 3);
    runDirectorySearch(currentLdapLogon());
    EXPECT_EQ(tableSize(), 3u);
}

TEST_F(AddressBook, ARefilledTableNeverLetsDeleteRemoveAnotherEntry)
{
    serve({person("Anna", "1"), person("Bert", "2"), person("Carl", "3")});
    auto book = openBook();
    select(*book, {"Bert"});
    // While the question is open a search empties and refills the table in
    // another order.
    ui.onBox = [](const app::BoxRequest&) {
        std::lock_guard lock(addressBookLock);
        std::reverse(addressEntries.begin(), addressEntries.end());
        ++addressEntriesGeneration;
    };
    ui.answer(app::Answer::Yes);
    control(*book, IDC_DELETE_ENTRY)->click();
    EXPECT_EQ(tableNames(), (std::vector<std::string>{"Carl", "Anna"}));
    runDirectorySearch(currentLdapLogon());
    EXPECT_EQ(tableNames(), (std::vector<std::string>{"Anna", "Carl"}));

    // Rows listed before a refill name nothing until the next tick.
    ui.onBox = nullptr;
    fill(*book);
    select(*book, {"Anna"});
    {
        std::lock_guard lock(addressBookLock);
        std::reverse(addressEntries.begin(), addressEntries.end());
        ++addressEntriesGeneration;
    }
    control(*book, IDC_DELETE_ENTRY)->click();
    EXPECT_EQ(ui.boxes.size(), 1u);  // only the first question
    EXPECT_EQ(tableSize(), 2u);
}

TEST_F(AddressBook, AddToRecipientListAddsEachNumberOnceAndBeepsOtherwise)
{
    serve({person("Anna", "0301;0302", "1", "Yarrow"), person("Bert", "5"), person("Nofax", "")});
    auto book = openBook();
    select(*book, {"Anna", "Bert"});
    EXPECT_TRUE(control(*book, IDC_ADD_TO_RECIPIENTS)->isEnabled());
    control(*book, IDC_ADD_TO_RECIPIENTS)->click();
    ASSERT_EQ(recipients.rowCount(), 3);
    QStringList rows;
    for (int r = 0; r < recipients.rowCount(); ++r)
        rows << recipients.cell(r, 0) + "|" + recipients.cell(r, 1) + "|" + recipients.cell(r, 2);
    rows.sort();
    EXPECT_EQ(rows, (QStringList{"Anna|0301|Yarrow", "Anna|0302|Yarrow", "Bert|5|"}));
    EXPECT_EQ(ui.beeps, 0);

    control(*book, IDC_ADD_TO_RECIPIENTS)->click();
    EXPECT_EQ(ui.beeps, 2);
    EXPECT_EQ(recipients.rowCount(), 3);

    control(*book, IDC_FAX_ONLY)->click();
    fill(*book);
    select(*book, {"Nofax"});
    control(*book, IDC_ADD_TO_RECIPIENTS)->click();
    EXPECT_EQ(ui.beeps, 3);
    EXPECT_EQ(recipients.rowCount(), 3);
}

// Opened from the status icon or the command line: no fax is being
// prepared, so neither dialog offers to add to its recipients.
TEST_F(AddressBook, WithoutAFaxBeingPreparedNothingOffersToAddRecipients)
{
    serve({person("Anna", "0301")});
    FaxAddressBookDialog book(nullptr, nullptr);
    fill(book);
    ASSERT_TRUE(app::testing::showActive(&book));
    QTreeView* list = book.entryList();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(book.rows()->index(0, 0)).center());
    ASSERT_TRUE(control(book, IDC_VIEW_EDIT)->isEnabled());
    EXPECT_FALSE(control(book, IDC_ADD_TO_RECIPIENTS)->isEnabled());
    bool seen = false;
    app::testing::whenModal("AddressEntryDialog", [&](QWidget* entry) {
        seen = true;
        EXPECT_FALSE(control(*entry, IDC_ADD_TO_FAX_RECIPIENTS)->isEnabled());
        QTest::mouseClick(control(*entry, IDCANCEL), Qt::LeftButton);
    });
    QTest::mouseClick(control(book, IDC_VIEW_EDIT), Qt::LeftButton);
    EXPECT_TRUE(seen);
    EXPECT_EQ(app::testing::modalTimeouts(), 0);
}

// Refused where it enters the list, not at Send where the row is lost among
// the others.
TEST_F(AddressBook, ARecipientWindows1252CannotHoldIsRefusedNamingItAndTheCharacter)
{
    const QString biuro = QString::fromUtf8("Biuro \xC5\x81\xC3\xB3\x64\xC5\xBA");
    serve({person(biuro.toUtf8().constData(), "0221")});
    for (bool fromEntry : {false, true}) {
        SCOPED_TRACE(fromEntry ? "entry dialog" : "address book");
        ui.boxes.clear();
        auto book = openBook();
        select(*book, {biuro});
        if (fromEntry) {
            app::testing::whenModal("AddressEntryDialog", [&](QWidget* entry) {
                QTest::mouseClick(control(*entry, IDC_ADD_TO_FAX_RECIPIENTS), Qt::LeftButton);
                QTest::mouseClick(control(*entry, IDCANCEL), Qt::LeftButton);
            });
            QTest::mouseClick(control(*book, IDC_VIEW_EDIT), Qt::LeftButton);
        } else {
            QTest::mouseClick(control(*book, IDC_ADD_TO_RECIPIENTS), Qt::LeftButton);
        }
        EXPECT_EQ(recipients.rowCount(), 0);
        ASSERT_EQ(ui.boxes.size(), 1u);
        EXPECT_TRUE(ui.boxes[0].text.contains(QStringLiteral("\"%1\"").arg(biuro))) << ui.boxes[0].text.toStdString();
        EXPECT_TRUE(ui.boxes[0].text.contains(QString::fromUtf8("\"\xC5\x81\""))) << ui.boxes[0].text.toStdString();
        EXPECT_EQ(ui.beeps, 0);
    }
}

TEST_F(AddressBook, ViewEditAndDoubleClickOpenTheEntryOfTheSelectedRow)
{
    serve({person("Anna", "1"), person("Bert", "2")});
    auto book = openBook();
    QString seen;
    auto look = [&](QWidget* entry) {
        seen = entry->windowTitle() + "|" + control<QLineEdit>(*entry, IDC_DISPLAY_NAME)->text();
        static_cast<QDialog*>(entry)->reject();
    };
    select(*book, {"Bert"});
    app::testing::whenModal("AddressEntryDialog", look);
    control(*book, IDC_VIEW_EDIT)->click();
    EXPECT_EQ(seen, "Address Book Entry|Bert");

    seen.clear();
    book->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(book.get()));
    select(*book, {"Anna"});
    QRect rect = book->entryList()->visualRect(book->rows()->index(0, 0));
    app::testing::whenModal("AddressEntryDialog", look);
    QTest::mouseClick(book->entryList()->viewport(), Qt::LeftButton, {}, rect.center());
    QTest::mouseDClick(book->entryList()->viewport(), Qt::LeftButton, {}, rect.center());
    ASSERT_TRUE(app::testing::processEventsUntil([&] { return !seen.isEmpty(); }));
    EXPECT_EQ(seen, "Address Book Entry|Anna");
    EXPECT_EQ(app::testing::modalTimeouts(), 0);
}

TEST_F(AddressBook, RefreshListsWhatTheServerHoldsNow)
{
    serve({person("Anna", "1"), person("Bert", "2")});
    auto book = openBook();
    ASSERT_TRUE(DeleteDirectoryEntry(nullptr, "MAIL=Anna@example.com,carl"));
    EXPECT_EQ(column(*book), (QStringList{"Anna", "Bert"}));
    control(*book, IDC_REFRESH)->click();
    EXPECT_FALSE(control(*book, IDC_REFRESH)->isEnabled());
    EXPECT_EQ(book->rows()->rowCount(), 0);
    fill(*book);
    EXPECT_TRUE(control(*book, IDC_REFRESH)->isEnabled());
    EXPECT_EQ(column(*book), QStringList{"Bert"});
}

TEST_F(AddressBook, EnterRunsTheFocusedButtonOrViewEditAndEscapeCloses)
{
    serve({person("Anna", "1")});
    struct Case {
        const char* name;
        int focus;
        Qt::Key key;
        bool closes;  // else the selected entry opens
    };
    const Case cases[] = {
        {"Tab to Close, Enter", IDCANCEL, Qt::Key_Return, true},
        {"Enter in a search box", IDC_SEARCH_NAME, Qt::Key_Return, false},
        {"Escape in a search box", IDC_SEARCH_NAME, Qt::Key_Escape, true},
    };
    for (const Case& c : cases) {
        auto book = openBook();
        ASSERT_TRUE(app::testing::showActive(book.get())) << c.name;
        ASSERT_TRUE(app::testing::tabTo(control<QWidget>(*book, c.focus))) << c.name;
        QString opened;
        if (!c.closes) {
            select(*book, {"Anna"});
            app::testing::whenModal("AddressEntryDialog", [&](QWidget* entry) {
                opened = control<QLineEdit>(*entry, IDC_DISPLAY_NAME)->text();
                QTest::keyClick(entry, Qt::Key_Escape);
            });
        }
        app::testing::pressKey(c.key);
        EXPECT_EQ(book->isVisible(), !c.closes) << c.name;
        EXPECT_EQ(opened, c.closes ? "" : "Anna") << c.name;
        if (c.closes) {
            EXPECT_EQ(book->result(), IDCANCEL) << c.name;
        }
    }
    EXPECT_EQ(app::testing::modalTimeouts(), 0);
}

TEST_F(AddressBook, ColumnsSplitTheShownListInThirdsAndFollowItsWidth)
{
    serve({person("Anna Berg", "+49 30 5550 0123", "1", "Yarrow Oy")});
    auto book = openBook();
    ASSERT_TRUE(app::testing::showActive(book.get()));
    QTreeView* list = book->entryList();
    auto expectSplit = [&](const char* when) {
        int w = list->viewport()->width() - list->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
        EXPECT_EQ(list->columnWidth(0), w / 3) << when;
        EXPECT_EQ(list->columnWidth(1), w / 3) << when;
        EXPECT_EQ(list->columnWidth(2), w - 2 * (w / 3)) << when;
        for (int c = 0; c < 3; ++c) {
            QString text = book->rows()->index(0, c).data().toString();
            EXPECT_GT(list->columnWidth(c), list->fontMetrics().horizontalAdvance(text)) << when << c;
            EXPECT_GE(list->columnWidth(c), static_cast<QAbstractItemView*>(list)->sizeHintForColumn(c)) << when << c;
        }
    };
    expectSplit("at the default size");
    book->resize(book->width() + 150, book->height());
    QCoreApplication::processEvents();
    expectSplit("wider");
}

TEST_F(AddressBook, AccentedNamesListUnderTheirBaseLetterAndPunctuationUnderNone)
{
    serve({person("Zoe", "1"), person("\xC3\x89mile Zola", "2"), person("Emma", "3"), person("~tilde", "4")});
    auto book = openBook();
    EXPECT_EQ(column(*book), (QStringList{"~tilde", QString::fromUtf8("\xC3\x89mile Zola"), "Emma", "Zoe"}));
    const struct {
        int letter;
        QStringList shown;
    } cases[] = {
        {'E', {QString::fromUtf8("\xC3\x89mile Zola"), "Emma"}},
        {'Z', {"Zoe"}},
        {'T', {}},
    };
    for (const auto& c : cases) {
        control(*book, IDC_LETTER_A + (c.letter - 'A'))->click();
        fill(*book);
        EXPECT_EQ(column(*book), c.shown) << char(c.letter);
    }
}
