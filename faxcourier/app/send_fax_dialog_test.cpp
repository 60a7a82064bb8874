#include "faxcourier/app/send_fax_dialog.h"

#include "faxcourier/app/configure_dialog.h"
#include "faxcourier/app/control_ids.h"
#include "faxcourier/foundation/log.h"
#include "faxcourier/widgets/address_book_hook.h"
#include "faxcourier/widgets/recipient_list.h"
#include "faxcourier/widgets/testing/language_scope.h"
#include "faxcourier/widgets/testing/scripted_ui.h"
#include "platform/file_ops.h"
#include "platform/paths.h"
#include "platform/testing/scoped_seam.h"
#include "platform/testing/test_support.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>

using namespace korva;
using namespace korva::app;
using namespace korva::app::testing;
using korva::testing::TempHome;

namespace {

class SendFax : public ::testing::Test {
protected:
    void SetUp() override
    {
        testApplication();
        settings.Server = "mail.example.com";
        tif.tifOpenAvailable = true;
        services.submitFax = [this](QWidget* owner) {
            submitOwners.push_back(owner);
            submittedRecipients.clear();
            for (const String& line : job.recipients)
                submittedRecipients.emplace_back(line.Text());
            waitCursorAtSubmit = ui.waitCursorDepth;
            return submitResult;
        };
        services.configure = [this](QWidget* owner) {
            configureOwners.push_back(owner);
            return configureResult;
        };
        services.requestQuit = [this] { ++quitRequests; };
        services.quitRequested = [this] { return quitting; };
    }

    std::unique_ptr<SendFaxDialog> open()
    {
        auto dialog = std::make_unique<SendFaxDialog>(job, settings, tif, services);
        dialog->initDialog();
        QCoreApplication::processEvents();
        return dialog;
    }

    template <typename W>
    W* control(SendFaxDialog& dialog, int id)
    {
        W* widget = dialog.findChild<W*>(QString::number(id));
        EXPECT_NE(widget, nullptr) << id;
        return widget;
    }

    void addDocument(const char* name, uint32_t pages)
    {
        std::string file = home.path() + "/korvafax" + std::to_string(job.documents.size() + 1) + ".tif";
        korva::testing::writeWholeFile(file, "fax");
        FaxDocument document;
        document.name = name;
        document.file = file.c_str();
        document.pages = pages;
        job.documents.push_back(document);
    }

    void enterRecipient(SendFaxDialog& dialog, const QString& name, const QString& numbers, const QString& company)
    {
        control<QLineEdit>(dialog, IDC_RECIPIENT_NAME)->setText(name);
        control<QLineEdit>(dialog, IDC_RECIPIENT_FAX)->setText(numbers);
        control<QLineEdit>(dialog, IDC_RECIPIENT_COMPANY)->setText(company);
    }

    void click(SendFaxDialog& dialog, int id) { QTest::mouseClick(control<QPushButton>(dialog, id), Qt::LeftButton); }

    std::vector<QStringList> rows(SendFaxDialog& dialog)
    {
        std::vector<QStringList> out;
        RecipientList* list = dialog.recipientList();
        for (int row = 0; row < list->rowCount(); ++row)
            out.push_back({list->cell(row, 0), list->cell(row, 1), list->cell(row, 2),
                           list->topLevelItem(row)->isSelected() ? "selected" : ""});
        return out;
    }

    TempHome home;
    ScriptedUi ui;
    FaxJob job;
    Settings settings;
    TifViewer tif;
    SendFaxServices services;
    bool submitResult = true;
    int configureResult = 2;
    int quitRequests = 0;
    bool quitting = false;
    int waitCursorAtSubmit = -1;
    std::vector<QWidget*> submitOwners;
    std::vector<QWidget*> configureOwners;
    std::vector<std::string> submittedRecipients;
};

// The letters after "&" in the dialog's labels, buttons and group titles,
// lower case and sorted.
QStringList accessKeys(const QWidget& dialog)
{
    QStringList keys;
    auto add = [&keys](const QString& text) {
        if (qsizetype at = text.indexOf(QLatin1Char('&')); at >= 0 && at + 1 < text.size())
            keys << text.mid(at + 1, 1).toLower();
    };
    for (const QLabel* label : dialog.findChildren<QLabel*>())
        add(label->text());
    for (const QAbstractButton* button : dialog.findChildren<QAbstractButton*>())
        add(button->text());
    for (const QGroupBox* group : dialog.findChildren<QGroupBox*>())
        add(group->title());
    keys.sort();
    return keys;
}

// The keys that appear more than once, e.g. "ee".
std::string repeated(const QStringList& sortedKeys)
{
    QString twice;
    for (qsizetype i = 1; i < sortedKeys.size(); ++i)
        if (sortedKeys[i] == sortedKeys[i - 1])
            twice += sortedKeys[i];
    return twice.toStdString();
}

}  // namespace

TEST_F(SendFax, OpensWithTheTemplatesControlsAndTheJob)
{
    job.subject = "Invoice 42";
    job.recipients = {"0301~Anna~Acme", "broken", "0409~Carl~"};
    auto dialog = open();
    EXPECT_EQ(dialog->windowTitle(), "Send KORVA Fax (V0.16)");
    EXPECT_FALSE(dialog->windowIcon().isNull());
    EXPECT_EQ(SendFaxDialog::current(), dialog.get());
    EXPECT_EQ(control<QLineEdit>(*dialog, IDC_SUBJECT)->text(), "Invoice 42");
    EXPECT_TRUE(control<QPlainTextEdit>(*dialog, IDC_COMMENTS)->toPlainText().isEmpty());
    EXPECT_EQ(rows(*dialog), (std::vector<QStringList>{{"Anna", "0301", "Acme", ""}, {"Carl", "0409", "", ""}}));
    auto* header = dialog->recipientList()->headerItem();
    EXPECT_EQ(header->text(0), "Name");
    EXPECT_EQ(header->text(1), "Number");
    EXPECT_EQ(header->text(2), "Company");
    EXPECT_FALSE(dialog->recipientList()->header()->sectionsClickable());
    for (int id : {IDC_ADD_RECIPIENT, IDC_REPLACE_RECIPIENT, IDC_REMOVE_RECIPIENT})
        EXPECT_FALSE(control<QPushButton>(*dialog, id)->isEnabled()) << id;
    EXPECT_TRUE(control<QPushButton>(*dialog, IDC_ADD_RECIPIENT)->isDefault());
    EXPECT_TRUE(control<QPushButton>(*dialog, IDC_HIDDEN_EDIT_VIEW)->isHidden());
    EXPECT_EQ(control<QPushButton>(*dialog, IDC_HIDDEN_EDIT_VIEW)->text(), "Button1");
    EXPECT_EQ(control<QPushButton>(*dialog, IDOK)->text(), "S&end Fax");
    EXPECT_EQ(control<QPushButton>(*dialog, IDCANCEL)->text(), "Cancel");
    EXPECT_EQ(control<QPushButton>(*dialog, IDC_CONFIGURE)->text(), "Co&nfigure...");
    EXPECT_EQ(control<QPushButton>(*dialog, IDC_VIEW_ADDRESS_BOOK)->text(), "View Address &Book");
    EXPECT_EQ(control<QPushButton>(*dialog, IDC_PREVIEW)->text(), "Preview Fa&x");
    EXPECT_EQ(dialog->findChild<QLabel*>("label1003")->text(), "Recipient &Fax Number:");
    EXPECT_EQ(dialog->findChild<QLabel*>("label1007")->text(), "Total Pages: ");
    EXPECT_TRUE(configureOwners.empty());
}

TEST_F(SendFax, ColumnsShareTheListWidth)
{
    auto dialog = open();
    dialog->show();
    QCoreApplication::processEvents();
    RecipientList* list = dialog->recipientList();
    int w = list->columnWidth(0) + list->columnWidth(1) + list->columnWidth(2);
    EXPECT_EQ(list->columnWidth(0), w / 3);
    EXPECT_EQ(list->columnWidth(1), w / 3);
    EXPECT_GT(w, 100);
}

TEST_F(SendFax, TheNumberColumnShowsALongInternationalNumberUncut)
{
    auto dialog = open();
    RecipientList* list = dialog->recipientList();
    addRecipientRow(list, "Anna", kLongestFaxNumber, "Acme");
    ASSERT_TRUE(showActive(dialog.get()));
    int text = list->fontMetrics().horizontalAdvance(QString::fromLatin1(kLongestFaxNumber));
    EXPECT_GT(list->columnWidth(ColumnNumber), text);
    EXPECT_GE(list->columnWidth(ColumnNumber), static_cast<QAbstractItemView*>(list)->sizeHintForColumn(ColumnNumber));
    EXPECT_EQ(list->columnWidth(ColumnName), list->columnWidth(ColumnNumber));
}

TEST_F(SendFax, AddButtonFollowsTheFaxNumberAndRemoveTheSelection)
{
    auto dialog = open();
    auto* add = control<QPushButton>(*dialog, IDC_ADD_RECIPIENT);
    auto* replace = control<QPushButton>(*dialog, IDC_REPLACE_RECIPIENT);
    auto* remove = control<QPushButton>(*dialog, IDC_REMOVE_RECIPIENT);
    QTest::keyClicks(control<QLineEdit>(*dialog, IDC_RECIPIENT_FAX), "0301");
    EXPECT_TRUE(add->isEnabled());
    EXPECT_FALSE(replace->isEnabled());
    click(*dialog, IDC_ADD_RECIPIENT);
    EXPECT_TRUE(remove->isEnabled());
    EXPECT_TRUE(replace->isEnabled());
    control<QLineEdit>(*dialog, IDC_RECIPIENT_FAX)->clear();
    EXPECT_FALSE(add->isEnabled());
    EXPECT_FALSE(replace->isEnabled());
    dialog->recipientList()->clearSelection();
    EXPECT_FALSE(remove->isEnabled());
}

TEST_F(SendFax, TwoNumbersAddTwoSelectedRowsAndTheDuplicateRuleComparesTheWholeBox)
{
    auto dialog = open();
    enterRecipient(*dialog, "Anna", "111;222", "Acme");
    click(*dialog, IDC_ADD_RECIPIENT);
    EXPECT_EQ(rows(*dialog),
              (std::vector<QStringList>{{"Anna", "111", "Acme", "selected"}, {"Anna", "222", "Acme", "selected"}}));

    // The same two-number text again: no row holds "111;222", so two more rows.
    click(*dialog, IDC_ADD_RECIPIENT);
    EXPECT_EQ(dialog->recipientList()->rowCount(), 4);
    EXPECT_EQ(ui.beeps, 0);

    // One of the numbers alone with the name in another letter case beeps.
    enterRecipient(*dialog, "ANNA", "222", "Other");
    click(*dialog, IDC_ADD_RECIPIENT);
    EXPECT_EQ(ui.beeps, 1);
    EXPECT_EQ(dialog->recipientList()->rowCount(), 4);

    // A new row: only it is selected.
    enterRecipient(*dialog, "Bert", "333", "");
    click(*dialog, IDC_ADD_RECIPIENT);
    EXPECT_EQ(dialog->recipientList()->selectedCount(), 1);
    EXPECT_EQ(dialog->recipientList()->cell(dialog->recipientList()->firstSelectedRow(), 0), "Bert");
}

TEST_F(SendFax, RowsAreSortedByNameAndSendKeepsThatOrder)
{
    addDocument("Letter", 2);
    auto dialog = open();
    // As the address book sorts: the locale's collation files Ærø among the A
    // names (as "AE"), where byte order put it after every ASCII name.
    const QString aero = QString::fromUtf8("\xC3\x86r\xC3\xB8");
    for (auto [name, number] : {std::pair{QString("carl"), "3"}, {"Anna", "1"}, {aero, "4"}, {"bert", "2"}}) {
        enterRecipient(*dialog, name, number, "Co");
        click(*dialog, IDC_ADD_RECIPIENT);
    }
    QStringList names;
    for (int row = 0; row < dialog->recipientList()->rowCount(); ++row)
        names << dialog->recipientList()->cell(row, 0);
    EXPECT_EQ(names, (QStringList{aero, "Anna", "bert", "carl"}));
    click(*dialog, IDOK);
    EXPECT_EQ(submittedRecipients, (std::vector<std::string>{"4~\xC6r\xF8~Co", "1~Anna~Co", "2~bert~Co", "3~carl~Co"}));
    EXPECT_EQ(dialog->result(), 1);
    EXPECT_EQ(SendFaxDialog::current(), nullptr);
    EXPECT_EQ(submitOwners, (std::vector<QWidget*>{dialog.get()}));
    EXPECT_EQ(waitCursorAtSubmit, 1);
    EXPECT_EQ(ui.waitCursorDepth, 0);
}

TEST_F(SendFax, TildesAreSentAsUnderscoresAndAnEmptyCompanyAsASpace)
{
    addDocument("Letter", 1);
    auto dialog = open();
    enterRecipient(*dialog, "Anna~Berg", "030~1", "");
    click(*dialog, IDC_ADD_RECIPIENT);
    control<QLineEdit>(*dialog, IDC_SUBJECT)->setText("Subject line");
    control<QPlainTextEdit>(*dialog, IDC_COMMENTS)->setPlainText("one\ntwo");
    click(*dialog, IDOK);
    EXPECT_EQ(submittedRecipients, (std::vector<std::string>{"030_1~Anna_Berg~ "}));
    EXPECT_STREQ(job.subject.Text(), "Subject line");
    EXPECT_STREQ(job.comments.Text(), "one\r\ntwo");
}

TEST_F(SendFax, FailedSendKeepsTheDialogOpenWithEverything)
{
    addDocument("Letter", 1);
    submitResult = false;
    auto dialog = open();
    enterRecipient(*dialog, "Anna", "1", "");
    click(*dialog, IDC_ADD_RECIPIENT);
    dialog->accept();
    EXPECT_EQ(submitOwners.size(), 1u);
    EXPECT_EQ(SendFaxDialog::current(), dialog.get());
    EXPECT_EQ(dialog->recipientList()->rowCount(), 1);
    EXPECT_EQ(ui.waitCursorDepth, 0);
}

TEST_F(SendFax, DocumentLinesAndPageTotals)
{
    auto dialog = open();
    auto* total = control<QLineEdit>(*dialog, IDC_TOTAL_PAGES);
    auto* list = control<QListWidget>(*dialog, IDC_DOCUMENT_LIST);
    EXPECT_EQ(total->text(), "0 pages");
    EXPECT_TRUE(total->isReadOnly());
    addDocument("Letter", 1);
    dialog->refreshDocuments();
    EXPECT_EQ(total->text(), "1 page");
    addDocument("Offer", 3);
    QCoreApplication::postEvent(dialog.get(), new QEvent(QEvent::Type(0x8005)));
    QCoreApplication::processEvents();
    EXPECT_EQ(total->text(), "4 pages");
    ASSERT_EQ(list->count(), 2);
    EXPECT_EQ(list->item(0)->text(), "Letter (1)");
    EXPECT_EQ(list->item(1)->text(), "Offer (3)");
}

TEST_F(SendFax, DeletingTheOnlyDocumentThenSendSaysNoDocuments)
{
    addDocument("Letter", 2);
    std::string file = job.documents[0].file.Text();
    auto dialog = open();
    enterRecipient(*dialog, "Anna", "1", "");
    click(*dialog, IDC_ADD_RECIPIENT);
    click(*dialog, IDC_DELETE_DOCUMENT);
    EXPECT_EQ(ui.beeps, 1) << "no selection";
    auto* list = control<QListWidget>(*dialog, IDC_DOCUMENT_LIST);
    list->setCurrentRow(0);
    click(*dialog, IDC_DELETE_DOCUMENT);
    QCoreApplication::processEvents();
    EXPECT_TRUE(job.documents.empty());
    EXPECT_FALSE(fileExists(file)) << "the deleted document's converted file goes with it";
    EXPECT_EQ(control<QLineEdit>(*dialog, IDC_TOTAL_PAGES)->text(), "0 pages");
    click(*dialog, IDOK);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, "No Documents are ready to be sent");
    EXPECT_EQ(ui.boxes[0].caption, "KORVA Fax");
    EXPECT_EQ(ui.boxes[0].icon, BoxIcon::Information);
    EXPECT_EQ(ui.boxes[0].owner, nullptr);
    EXPECT_TRUE(submitOwners.empty());
    EXPECT_EQ(SendFaxDialog::current(), dialog.get());
}

TEST_F(SendFax, SendWithoutRecipientsSaysSo)
{
    addDocument("Letter", 2);
    auto dialog = open();
    click(*dialog, IDOK);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, "No Recipients Defined\nPress the ADD button to add recipients to the recipient list");
    EXPECT_TRUE(submitOwners.empty());
}

TEST_F(SendFax, EmptyCoverPagesSettingHidesTheListAndSendClearsTheCoverPage)
{
    addDocument("Letter", 1);
    job.coverPage = "Urgent";
    auto dialog = open();
    EXPECT_TRUE(control<QComboBox>(*dialog, IDC_COVER_PAGE_LIST)->isHidden());
    EXPECT_TRUE(control<QLabel>(*dialog, IDC_COVER_PAGE_LABEL)->isHidden());
    enterRecipient(*dialog, "Anna", "1", "");
    click(*dialog, IDC_ADD_RECIPIENT);
    click(*dialog, IDOK);
    EXPECT_TRUE(job.coverPage.IsEmpty());
}

TEST_F(SendFax, CoverPageListTrimsSortsAndPrefersTheJobsCoverPage)
{
    addDocument("Letter", 1);
    settings.CoverPages = "Standard\r\n\r\n  Urgent  \r\nConfidential";
    job.coverPage = "urgent";
    auto dialog = open();
    auto* box = control<QComboBox>(*dialog, IDC_COVER_PAGE_LIST);
    EXPECT_FALSE(box->isHidden());
    EXPECT_EQ(control<QLabel>(*dialog, IDC_COVER_PAGE_LABEL)->text(), "Cover Pa&ge:");
    ASSERT_EQ(box->count(), 3);
    EXPECT_EQ(box->itemText(0), "Confidential");
    EXPECT_EQ(box->itemText(1), "Standard");
    EXPECT_EQ(box->itemText(2), "Urgent");
    EXPECT_EQ(box->currentText(), "Urgent");

    enterRecipient(*dialog, "Anna", "1", "");
    click(*dialog, IDC_ADD_RECIPIENT);
    click(*dialog, IDOK);
    EXPECT_STREQ(job.coverPage.Text(), "Urgent");
}

TEST_F(SendFax, CoverPageFallsBackToTheFirstLineThenTheFirstEntry)
{
    settings.CoverPages = "Standard\r\nConfidential";
    job.coverPage = "Missing";
    auto first = open();
    EXPECT_EQ(control<QComboBox>(*first, IDC_COVER_PAGE_LIST)->currentText(), "Standard");
    first.reset();

    settings.CoverPages = " Standard\r\nConfidential";
    auto second = open();
    EXPECT_EQ(control<QComboBox>(*second, IDC_COVER_PAGE_LIST)->currentText(), "Confidential");
}

TEST_F(SendFax, ConfigureOkRefillsTheCoverPagesKeepingTheSelection)
{
    settings.CoverPages = "Alpha\r\nBeta";
    auto dialog = open();
    auto* box = control<QComboBox>(*dialog, IDC_COVER_PAGE_LIST);
    box->setCurrentIndex(1);
    configureResult = 1;
    settings.CoverPages = "Beta\r\nGamma";
    click(*dialog, IDC_CONFIGURE);
    EXPECT_EQ(configureOwners, (std::vector<QWidget*>{dialog.get()}));
    ASSERT_EQ(box->count(), 2);
    EXPECT_EQ(box->currentText(), "Beta");
}

TEST_F(SendFax, NoConfigHidesTheButtonButANeededConfigurationStillOpensTheDialog)
{
    settings.NoConfig = true;
    settings.configurationNeeded = true;
    auto dialog = open();
    EXPECT_EQ(configureOwners, (std::vector<QWidget*>{nullptr}));
    EXPECT_TRUE(control<QPushButton>(*dialog, IDC_CONFIGURE)->isHidden());
}

TEST_F(SendFax, ShiftCtrlCancelAnsweredNoActsAsCancel)
{
    auto dialog = open();
    ui.heldKeys = Qt::ShiftModifier | Qt::ControlModifier;
    ui.answer(Answer::No);
    dialog->reject();
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].caption, "KORVA Fax Printer");
    EXPECT_EQ(ui.boxes[0].text,
              "Are you sure you wish to close the KORVA Fax Printer Helper program?\n"
              "You will not be able to send faxes until this program is restarted!");
    EXPECT_EQ(ui.boxes[0].buttons, Buttons::YesNoCancel);
    EXPECT_EQ(ui.boxes[0].icon, BoxIcon::Question);
    EXPECT_EQ(ui.boxes[0].owner, dialog.get());
    EXPECT_EQ(dialog->result(), 0);
    EXPECT_EQ(SendFaxDialog::current(), nullptr);
    EXPECT_EQ(quitRequests, 0);
}

TEST_F(SendFax, ShiftCtrlCancelAnsweredCancelStaysAndYesQuits)
{
    auto dialog = open();
    ui.heldKeys = Qt::ShiftModifier | Qt::ControlModifier;
    ui.answer(Answer::Cancel);
    dialog->reject();
    EXPECT_EQ(SendFaxDialog::current(), dialog.get());
    ui.answer(Answer::Yes);
    dialog->reject();
    EXPECT_EQ(quitRequests, 1);

    ui.heldKeys = Qt::ShiftModifier;
    dialog->reject();
    EXPECT_EQ(ui.boxes.size(), 2u) << "Shift alone is a plain Cancel";
    EXPECT_EQ(SendFaxDialog::current(), nullptr);
}

TEST_F(SendFax, DoubleClickCopiesTheSelectedRowAndReplaceSwapsIt)
{
    job.recipients = {"111~Anna~Acme", "222~Bert~Bolt"};
    auto dialog = open();
    RecipientList* list = dialog->recipientList();
    list->topLevelItem(1)->setSelected(true);
    emit list->itemDoubleClicked(list->topLevelItem(1), 0);
    EXPECT_EQ(control<QLineEdit>(*dialog, IDC_RECIPIENT_NAME)->text(), "Bert");
    EXPECT_EQ(control<QLineEdit>(*dialog, IDC_RECIPIENT_FAX)->text(), "222");
    EXPECT_EQ(control<QLineEdit>(*dialog, IDC_RECIPIENT_COMPANY)->text(), "Bolt");

    // Replacing a row with its own values is allowed: it is skipped in the check.
    click(*dialog, IDC_REPLACE_RECIPIENT);
    EXPECT_EQ(ui.beeps, 0);
    control<QLineEdit>(*dialog, IDC_RECIPIENT_NAME)->setText("anna");
    control<QLineEdit>(*dialog, IDC_RECIPIENT_FAX)->setText("111");
    click(*dialog, IDC_REPLACE_RECIPIENT);
    EXPECT_EQ(ui.beeps, 1) << "duplicate of the other row";
    control<QLineEdit>(*dialog, IDC_RECIPIENT_NAME)->setText("Carl");
    control<QLineEdit>(*dialog, IDC_RECIPIENT_FAX)->setText("333;444");
    click(*dialog, IDC_REPLACE_RECIPIENT);
    EXPECT_EQ(rows(*dialog), (std::vector<QStringList>{{"Anna", "111", "Acme", ""},
                                                       {"Carl", "333", "Bolt", "selected"},
                                                       {"Carl", "444", "Bolt", "selected"}}));
    click(*dialog, IDC_REMOVE_RECIPIENT);
    EXPECT_EQ(rows(*dialog), (std::vector<QStringList>{{"Anna", "111", "Acme", ""}}));
}

// Rows from the address book arrive selected: Remove takes all of them, and
// Replace, which has one recipient to put in, waits for a single row.
TEST_F(SendFax, RemoveAndReplaceActOnEverySelectedRow)
{
    job.recipients = {"111~Anna~Acme"};
    auto dialog = open();
    ASSERT_TRUE(showActive(dialog.get()));
    {
        korva::testing::ScopedSeam opener(setAddressBookOpener, [](QWidget*, QTreeWidget* list) {
            InsertRecipientRows(list, "Book", "Dir", "555;556;557");
        });
        click(*dialog, IDC_VIEW_ADDRESS_BOOK);
    }
    RecipientList* list = dialog->recipientList();
    ASSERT_EQ(list->selectedCount(), 3);
    QTest::keyClicks(control<QLineEdit>(*dialog, IDC_RECIPIENT_FAX), "999");
    EXPECT_FALSE(control<QPushButton>(*dialog, IDC_REPLACE_RECIPIENT)->isEnabled());
    click(*dialog, IDC_REMOVE_RECIPIENT);
    EXPECT_EQ(rows(*dialog), (std::vector<QStringList>{{"Anna", "111", "Acme", ""}}));

    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->topLevelItem(0)).center());
    ASSERT_EQ(list->selectedCount(), 1);
    click(*dialog, IDC_REPLACE_RECIPIENT);
    EXPECT_EQ(rows(*dialog), (std::vector<QStringList>{{"", "999", "", "selected"}}));
}

TEST_F(SendFax, PreviewWithoutAnyViewerIsDisabled)
{
    tif.tifOpenAvailable = false;
    auto dialog = open();
    EXPECT_FALSE(control<QPushButton>(*dialog, IDC_PREVIEW)->isEnabled());
    EXPECT_FALSE(control<QPushButton>(*dialog, IDC_HIDDEN_EDIT_VIEW)->isEnabled());
}

TEST_F(SendFax, PreviewRunsTheRegistryCommandWithTheFile)
{
    ASSERT_TRUE(makeFolders(home.sysconf(), 0755).ok());
    korva::testing::writeWholeFile(
        home.sysconf() + "/HKEY_CLASSES_ROOT.reg",
        "REGEDIT4\n\n[HKEY_CLASSES_ROOT\\.tif]\n@=\"T\"\n\n"
        "[HKEY_CLASSES_ROOT\\T\\shell\\open\\command]\n@=\"/usr/bin/viewer -v \\\"%1\\\"\"\n\n"
        "[HKEY_CLASSES_ROOT\\T\\shell\\edit\\command]\n@=\"/usr/bin/editor\"\n");
    tif = FindTifViewer();
    addDocument("Letter", 1);
    std::string file = job.documents[0].file.Text();
    auto dialog = open();
    click(*dialog, IDC_PREVIEW);
    EXPECT_EQ(ui.beeps, 1);
    EXPECT_TRUE(ui.launches.empty());
    control<QListWidget>(*dialog, IDC_DOCUMENT_LIST)->setCurrentRow(0);
    click(*dialog, IDC_PREVIEW);
    ASSERT_EQ(ui.launches.size(), 1u);
    EXPECT_EQ(ui.launches[0].program, "/usr/bin/viewer");
    EXPECT_EQ(ui.launches[0].arguments, (QStringList{"-v", QString::fromStdString(file)}));
    // The hidden button prefers the edit verb; a command without %1 gets the file at its end.
    control<QPushButton>(*dialog, IDC_HIDDEN_EDIT_VIEW)->click();
    ASSERT_EQ(ui.launches.size(), 2u);
    EXPECT_EQ(ui.launches[1].program, "/usr/bin/editor");
    EXPECT_EQ(ui.launches[1].arguments, (QStringList{QString::fromStdString(file)}));
}

// A viewer reading a long fax takes seconds to show: the wait cursor stays
// until it takes the focus, or the dialog goes.
TEST_F(SendFax, PreviewShowsTheWaitCursorUntilTheViewerTakesTheFocus)
{
    ASSERT_TRUE(makeFolders(home.sysconf(), 0755).ok());
    korva::testing::writeWholeFile(home.sysconf() + "/HKEY_CLASSES_ROOT.reg",
                                   "REGEDIT4\n\n[HKEY_CLASSES_ROOT\\.tif]\n@=\"T\"\n\n"
                                   "[HKEY_CLASSES_ROOT\\T\\shell\\open\\command]\n@=\"/usr/bin/viewer\"\n");
    tif = FindTifViewer();
    addDocument("Letter", 120);
    auto dialog = open();
    ASSERT_TRUE(showActive(dialog.get()));
    auto* documents = control<QListWidget>(*dialog, IDC_DOCUMENT_LIST);
    QTest::mouseClick(documents->viewport(), Qt::LeftButton, {},
                      documents->visualItemRect(documents->item(0)).center());
    click(*dialog, IDC_PREVIEW);
    ASSERT_EQ(ui.launches.size(), 1u);
    EXPECT_EQ(ui.waitCursorDepth, 1);
    QWidget viewer;
    ASSERT_TRUE(showActive(&viewer));
    EXPECT_TRUE(processEventsUntil([&] { return ui.waitCursorDepth == 0; }));

    ASSERT_TRUE(showActive(dialog.get()));
    click(*dialog, IDC_PREVIEW);
    EXPECT_EQ(ui.waitCursorDepth, 1);
    dialog.reset();
    EXPECT_EQ(ui.waitCursorDepth, 0);
}

TEST_F(SendFax, ViewAddressBookWithoutAnAddressBookOnlyLogs)
{
    korva::testing::ScopedSeam debugLogging(korva::setDebugLogging, true);
    auto dialog = open();
    click(*dialog, IDC_VIEW_ADDRESS_BOOK);
    std::string log = korva::testing::readWholeFile(logFilePath());
    EXPECT_NE(log.find("Launch Address Book\n"), std::string::npos);
    EXPECT_NE(log.find("Address book not available"), std::string::npos);
    EXPECT_NE(log.find("Return from Address Book\n"), std::string::npos);
}

TEST_F(SendFax, ViewAddressBookCallsTheInstalledOpenerWithTheRecipientList)
{
    auto dialog = open();
    QWidget* ownerSeen = nullptr;
    QTreeWidget* listSeen = nullptr;
    korva::testing::ScopedSeam opener(setAddressBookOpener, [&](QWidget* owner, QTreeWidget* list) {
        ownerSeen = owner;
        listSeen = list;
        InsertRecipientRows(list, "From Book", "Dir", "555;556");
    });
    click(*dialog, IDC_VIEW_ADDRESS_BOOK);
    EXPECT_EQ(ownerSeen, dialog.get());
    EXPECT_EQ(listSeen, dialog->findChild<QTreeWidget*>("1000"));
    EXPECT_EQ(dialog->recipientList()->rowCount(), 2);
}

TEST_F(SendFax, EnterRunsTheFocusedButtonOrAddRecipientAndEscapeCancels)
{
    struct Case {
        const char* name;
        int focus;
        Qt::Key key;
        bool closes;  // else the typed recipient is added
    };
    const Case cases[] = {
        {"Tab to Cancel, Enter", IDCANCEL, Qt::Key_Return, true},
        {"Enter in the fax number box", IDC_RECIPIENT_FAX, Qt::Key_Return, false},
        {"Enter in the subject box", IDC_SUBJECT, Qt::Key_Enter, false},
        {"Escape in the fax number box", IDC_RECIPIENT_FAX, Qt::Key_Escape, true},
    };
    for (const Case& c : cases) {
        auto dialog = open();
        ASSERT_TRUE(showActive(dialog.get())) << c.name;
        enterRecipient(*dialog, "Anna", "0301", "Acme");
        ASSERT_TRUE(tabTo(control<QWidget>(*dialog, c.focus))) << c.name;
        pressKey(c.key);
        EXPECT_EQ(dialog->isVisible(), !c.closes) << c.name;
        EXPECT_EQ(SendFaxDialog::current() == nullptr, c.closes) << c.name;
        EXPECT_EQ(dialog->recipientList()->rowCount(), c.closes ? 0 : 1) << c.name;
        if (c.closes) {
            EXPECT_EQ(dialog->result(), 0) << c.name;
        }
    }
    EXPECT_TRUE(submitOwners.empty());
}

TEST_F(SendFax, RecipientsAndSubjectGoOutAsWindows1252)
{
    addDocument("Letter", 1);
    auto dialog = open();
    enterRecipient(*dialog, "\xC3\x89mile M\xC3\xBCller", "030", "\xE2\x80\x9EZola\xE2\x80\x9C \xE2\x82\xAC");
    click(*dialog, IDC_ADD_RECIPIENT);
    control<QLineEdit>(*dialog, IDC_SUBJECT)->setText(QString::fromUtf8("\xE2\x82\xAC 12"));
    click(*dialog, IDOK);
    EXPECT_TRUE(ui.boxes.empty());
    EXPECT_EQ(submittedRecipients, (std::vector<std::string>{"030~\xC9mile M\xFCller~\x84Zola\x93 \x80"}));
    EXPECT_STREQ(job.subject.Text(), "\x80 12");
}

// A recipient is named with the character, since the row leaves the boxes;
// another field by its label.
TEST_F(SendFax, ACharacterWindows1252LacksIsRefusedNamingWhereItIs)
{
    const struct {
        const char* name;
        const char* company;
        const char* subject;
        std::vector<const char*> named;
        int rowsAdded;
    } cases[] = {
        {"\xCE\xA9mega", "Acme", "", {"\"\xCE\xA9mega\"", "\"\xCE\xA9\""}, 0},
        {"Anna", "\xC5\x81\xC3\xB3\x64\xC5\xBA", "", {"\"Anna\"", "\"\xC5\x81\""}, 0},
        {"Anna", "Acme", "\xCE\xA9", {"Subject"}, 1},
    };
    for (const auto& c : cases) {
        addDocument("Letter", 1);
        auto dialog = open();
        enterRecipient(*dialog, c.name, "030", c.company);
        click(*dialog, IDC_ADD_RECIPIENT);
        control<QLineEdit>(*dialog, IDC_SUBJECT)->setText(QString::fromUtf8(c.subject));
        click(*dialog, IDOK);
        EXPECT_EQ(dialog->recipientList()->rowCount(), c.rowsAdded) << c.named[0];
        ASSERT_FALSE(ui.boxes.empty()) << c.named[0];
        for (const char* text : c.named)
            EXPECT_TRUE(ui.boxes.front().text.contains(QString::fromUtf8(text))) << ui.boxes.front().text.toStdString();
        EXPECT_TRUE(submittedRecipients.empty()) << c.named[0];
        ui.boxes.clear();
        dialog->reject();
    }
}

// The program ends with the dialog open: the job keeps what the user left in
// it, never the recipients they removed; a cancel leaves the job as it was.
TEST_F(SendFax, AnEndByQuitKeepsTheDialogsRecipientsAndSubject)
{
    for (bool quit : {true, false}) {
        SCOPED_TRACE(quit ? "quit" : "cancel");
        job = FaxJob{};
        job.subject = "Preset";
        job.recipients = {"0301~Anna~Acme", "0302~Bob~Bob KG"};
        addDocument("letter", 1);
        quitting = false;
        SendFaxDialog dialog(job, settings, tif, services);
        QTimer::singleShot(0, &dialog, [&] {
            control<QLineEdit>(dialog, IDC_SUBJECT)->setText("Edited");
            RecipientList* list = dialog.recipientList();
            list->clearSelection();
            for (int row = 0; row < list->rowCount(); ++row)
                list->topLevelItem(row)->setSelected(list->cell(row, 0) == "Bob");
            click(dialog, IDC_REMOVE_RECIPIENT);
            quitting = quit;
            dialog.done(0);
        });
        EXPECT_EQ(dialog.run(), 0);
        std::vector<std::string> recipients;
        for (const String& line : job.recipients)
            recipients.emplace_back(line.Text());
        if (quit) {
            EXPECT_EQ(recipients, std::vector<std::string>{"0301~Anna~Acme"});
            EXPECT_STREQ(job.subject.Text(), "Edited");
        } else {
            EXPECT_EQ(recipients.size(), 2u);
            EXPECT_STREQ(job.subject.Text(), "Preset");
        }
    }
}

// The dialog waits for its answer without holding up the rest of the
// program: the status icon's menu and the windows opened from outside stay
// usable while it is open.
TEST_F(SendFax, WhileOpenNoWindowOfTheProgramIsBlocked)
{
    addDocument("letter", 1);
    SendFaxDialog dialog(job, settings, tif, services);
    QWidget* blocking = &dialog;
    bool shown = false;
    QTimer::singleShot(0, &dialog, [&] {
        blocking = QApplication::activeModalWidget();
        shown = dialog.isVisible();
        click(dialog, IDCANCEL);
    });
    EXPECT_EQ(dialog.run(), 0);
    EXPECT_TRUE(shown);
    EXPECT_EQ(blocking, nullptr);
    EXPECT_FALSE(dialog.isVisible());
}

// Send Fax and Configure in the user's language; Cancel as Qt's own dialogs
// word it, from Qt's catalogue; within each dialog every access key once.
TEST_F(SendFax, SendFaxAndConfigureSpeakTheUsersLanguage)
{
    struct Case {
        const char* language;
        const char* title;
        const char* send;
        const char* cancel;
        const char* name;
        const char* pages;
        const char* configureTitle;
        const char* server;
        const char* configureCancel;
    };
    const Case cases[] = {
        {"en", "Send KORVA Fax (V0.16)", "S&end Fax", "Cancel", "Name", "1 page", "Configure KORVA Fax V0.16",
         "KORVA &Server Address:", "&Cancel"},
        {"de", "KORVA Fax senden (V0.16)", "Fax &senden", "Abbrechen", "Name", "1 Seite",
         "KORVA Fax V0.16 konfigurieren", "KORVA-&Serveradresse:", "Abb&rechen"},
        {"fr", "Envoyer un fax KORVA (V0.16)", "En&voyer le fax", "Annuler", "Nom", "1 page",
         "Configurer KORVA Fax V0.16", "Adresse du &serveur KORVA\u00a0:", "A&nnuler"},
        // No catalogue of ours: all English, Qt's own buttons too.
        {"it", "Send KORVA Fax (V0.16)", "S&end Fax", "Cancel", "Name", "1 page", "Configure KORVA Fax V0.16",
         "KORVA &Server Address:", "&Cancel"},
    };
    addDocument("letter", 1);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.language);
        korva::testing::LanguageScope scope(QString::fromLatin1(c.language));
        auto dialog = open();
        EXPECT_EQ(dialog->windowTitle().toStdString(), c.title);
        EXPECT_EQ(control<QPushButton>(*dialog, IDOK)->text().toStdString(), c.send);
        EXPECT_EQ(control<QPushButton>(*dialog, IDCANCEL)->text().toStdString(), c.cancel);
        EXPECT_EQ(dialog->recipientList()->headerItem()->text(0).toStdString(), c.name);
        EXPECT_EQ(control<QLineEdit>(*dialog, IDC_TOTAL_PAGES)->text().toStdString(), c.pages);
        EXPECT_EQ(repeated(accessKeys(*dialog)), "");

        ConfigureDialog configure(settings, nullptr);
        EXPECT_EQ(configure.windowTitle().toStdString(), c.configureTitle);
        EXPECT_EQ(configure.findChild<QLabel*>("label1010")->text().toStdString(), c.server);
        EXPECT_EQ(configure.findChild<QPushButton*>("2")->text().toStdString(), c.configureCancel);
        EXPECT_EQ(repeated(accessKeys(configure)), "");
    }
}
