#include "faxcourier/addressbook/address_book_dialog.h"

#include "faxcourier/addressbook/add_recipients.h"
#include "faxcourier/addressbook/address_book_ids.h"
#include "faxcourier/addressbook/address_entries.h"
#include "faxcourier/addressbook/address_entry_dialog.h"
#include "faxcourier/addressbook/directory_search.h"
#include "faxcourier/addressbook/directory_text.h"
#include "faxcourier/addressbook/list_filter.h"
#include "faxcourier/addressbook/unicode_filter.h"
#include "faxcourier/foundation/log.h"
#include "faxcourier/net/directory_commands.h"
#include "faxcourier/widgets/dialog_support.h"
#include "faxcourier/widgets/ui_seam.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QTreeView>
#include <QVBoxLayout>

#include <cstring>

namespace korva::addressbook {

unsigned listedCount = 0;

namespace {

constexpr int kTickMs = 100;
constexpr size_t kRowsPerTick = 1000;
constexpr int kLetterCount = 27;  // A ... Z, then All
constexpr int kMaxCellText = 999;

QLineEdit* searchBox(QWidget* parent, int id) { return app::withId(new QLineEdit(parent), id); }

bool sameText(const String& a, const String& b) { return std::strcmp(a.Text(), b.Text()) == 0; }

EntryRow rowFor(const AddressEntry& entry, long position)
{
    return EntryRow{entry.name.Text(), fromDirectory(entry.name), fromDirectory(entry.fax),
                    fromDirectory(entry.company), position};
}

}  // namespace

FaxAddressBookDialog::FaxAddressBookDialog(QWidget* owner, QTreeWidget* recipientList)
    : QDialog(owner), recipients_(recipientList)
{
    LogDebug("Entered InitDialog\n");
    setObjectName(QStringLiteral("FaxAddressBookDialog"));
    setWindowTitle(tr("Fax Address Book"));
    app::setSmallIcon(this);
    buildControls();
    connectCommands();

    {
        std::lock_guard lock(addressBookLock);
        listedGeneration_ = addressEntriesGeneration;
    }
    startDirectorySearch();
    listedCount = 0;
    faxOnly_->setChecked(true);
    letters_[kLetterCount - 1]->setChecked(true);
    app::bringToForeground(this);
    timer_ = new QTimer(this);
    connect(timer_, &QTimer::timeout, this, &FaxAddressBookDialog::tick);
    timer_->start(kTickMs);
}

void FaxAddressBookDialog::buildControls()
{
    auto* layout = new QVBoxLayout(this);
    auto* letterBar = new QHBoxLayout;
    letterBar->setSpacing(0);
    letters_[kLetterCount - 1] = app::pushButton(this, tr("A&ll"), IDC_LETTER_ALL);
    letterBar->addWidget(letters_[kLetterCount - 1]);
    for (int i = 0; i < 26; ++i) {
        const char text[2] = {char('A' + i), 0};
        letters_[size_t(i)] = app::pushButton(this, text, IDC_LETTER_A + i);
        letterBar->addWidget(letters_[size_t(i)]);
    }
    for (QPushButton* letter : letters_) {
        letter->setCheckable(true);
        letter->setMinimumWidth(letter->fontMetrics().horizontalAdvance(QStringLiteral("MM")));
        letter->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    }
    letters_[kLetterCount - 1]->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    layout->addLayout(letterBar);

    auto* searchRow = new QHBoxLayout;
    auto* searchLabel = new QLabel(tr("&Search :"), this);
    searchRow->addWidget(searchLabel);
    searchName_ = searchBox(this, IDC_SEARCH_NAME);
    searchLabel->setBuddy(searchName_);
    searchNumber_ = searchBox(this, IDC_SEARCH_NUMBER);
    searchCompany_ = searchBox(this, IDC_SEARCH_COMPANY);
    for (QLineEdit* box : {searchName_, searchNumber_, searchCompany_})
        searchRow->addWidget(box, 1);
    layout->addLayout(searchRow);

    list_ = app::withId(new QTreeView(this), IDC_ENTRY_LIST);
    model_ = new EntryListModel(list_);
    list_->setModel(model_);
    list_->setRootIsDecorated(false);
    list_->setUniformRowHeights(true);
    list_->setItemsExpandable(false);
    list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setAllColumnsShowFocus(true);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list_->header()->setSectionsClickable(false);
    list_->header()->setStretchLastSection(false);
    list_->installEventFilter(this);
    app::showFocusRing(list_);
    layout->addWidget(list_, 1);

    auto* firstRow = new QHBoxLayout;
    faxOnly_ = app::withId(new QCheckBox(tr("&Only show entries with fax numbers"), this), IDC_FAX_ONLY);
    refresh_ = app::pushButton(this, tr("&Refresh"), IDC_REFRESH);
    refresh_->setEnabled(false);
    addToRecipients_ = app::pushButton(this, tr("&Add to Recipient List"), IDC_ADD_TO_RECIPIENTS);
    addToRecipients_->setEnabled(false);
    firstRow->addWidget(faxOnly_);
    firstRow->addStretch(1);
    firstRow->addWidget(refresh_);
    firstRow->addWidget(addToRecipients_);
    layout->addLayout(firstRow);

    auto* bottomRow = new QHBoxLayout;
    newEntry_ = app::pushButton(this, tr("&New Entry"), IDC_NEW_ENTRY);
    deleteEntry_ = app::pushButton(this, tr("&Delete Entry"), IDC_DELETE_ENTRY);
    deleteEntry_->setEnabled(false);
    viewEdit_ = app::pushButton(this, tr("&View/Edit Entry"), IDC_VIEW_EDIT);
    viewEdit_->setDefault(true);
    viewEdit_->setEnabled(false);
    QPushButton* close = app::pushButton(this, tr("&Close"), IDCANCEL);
    for (QPushButton* button : {newEntry_, deleteEntry_, viewEdit_, close})
        bottomRow->addWidget(button);
    layout->addLayout(bottomRow);
    connect(close, &QPushButton::clicked, this, &FaxAddressBookDialog::reject);

    // 286 x 218 dialog units.
    resize(app::dluX(this, 286), app::dluY(this, 218));
}

void FaxAddressBookDialog::connectCommands()
{
    for (int i = 0; i < kLetterCount; ++i) {
        int id = i < 26 ? IDC_LETTER_A + i : IDC_LETTER_ALL;
        connect(letters_[size_t(i)], &QPushButton::clicked, this, [this, id] { letterClicked(id); });
    }
    connect(faxOnly_, &QCheckBox::clicked, this, [this] {
        reset();
        list_->setFocus();
    });
    for (QLineEdit* box : {searchName_, searchNumber_, searchCompany_})
        connect(box, &QLineEdit::textChanged, this, &FaxAddressBookDialog::reset);
    connect(viewEdit_, &QPushButton::clicked, this, &FaxAddressBookDialog::viewEdit);
    connect(newEntry_, &QPushButton::clicked, this, &FaxAddressBookDialog::newEntry);
    connect(deleteEntry_, &QPushButton::clicked, this, &FaxAddressBookDialog::deleteEntry);
    connect(addToRecipients_, &QPushButton::clicked, this, &FaxAddressBookDialog::addToRecipients);
    connect(refresh_, &QPushButton::clicked, this, &FaxAddressBookDialog::refresh);
    connect(list_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &FaxAddressBookDialog::selectionChanged);
    connect(list_, &QTreeView::doubleClicked, this, &FaxAddressBookDialog::doubleClicked);
}

char FaxAddressBookDialog::checkedLetter() const
{
    for (int i = 0; i < 26; ++i)
        if (letters_[size_t(i)]->isChecked())
            return char('A' + i);
    return 0;
}

void FaxAddressBookDialog::tick()
{
    ListFilter filter = unicodeFilter(searchName_->text(), searchNumber_->text(), searchCompany_->text());
    filter.faxOnly = faxOnly_->isChecked();
    filter.letter = effectiveLetter(checkedLetter(), filter);
    std::vector<EntryRow> batch;
    bool stale = false;
    {
        std::lock_guard lock(addressBookLock);
        if (listedGeneration_ != addressEntriesGeneration) {
            // A search emptied the table since these rows were listed.
            stale = true;
            listedCount = 0;
            listedGeneration_ = addressEntriesGeneration;
        }
        size_t count = addressEntries.size();
        for (size_t p = listedCount; p < count && batch.size() < kRowsPerTick; ++p) {
            ++listedCount;
            if (passesFilter(addressEntries[p], filter))
                batch.push_back(rowFor(addressEntries[p], long(p)));
        }
    }
    // The rows are copies: the search thread need not wait for the list.
    if (stale)
        dropRows();
    lastTickRows_ = int(batch.size());
    model_->mergeRows(std::move(batch));
    refresh_->setEnabled(true);
}

// Never called holding addressBookLock: the button states may look at the
// table.
void FaxAddressBookDialog::reset()
{
    listedCount = 0;
    dropRows();
}

void FaxAddressBookDialog::dropRows()
{
    bool hadSelection = list_->selectionModel()->hasSelection();
    model_->clear();
    if (hadSelection)
        selectionChanged();
}

void FaxAddressBookDialog::letterClicked(int id)
{
    for (int i = 0; i < kLetterCount; ++i) {
        int letterId = i < 26 ? IDC_LETTER_A + i : IDC_LETTER_ALL;
        letters_[size_t(i)]->setChecked(letterId == id);
    }
    reset();
    list_->setFocus();
}

std::vector<int> FaxAddressBookDialog::selectedRows() const
{
    std::vector<int> rows;
    for (const QModelIndex& index : list_->selectionModel()->selectedRows())
        rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

long FaxAddressBookDialog::firstSelectedPositionLocked() const
{
    std::vector<int> rows = selectedRows();
    if (rows.empty() || listedGeneration_ != addressEntriesGeneration)
        return -1;
    return model_->row(rows.front()).position;
}

void FaxAddressBookDialog::selectionChanged()
{
    bool selected = list_->selectionModel()->hasSelection();
    addToRecipients_->setEnabled(selected && recipients_);
    viewEdit_->setEnabled(selected);
    bool deletable = false;
    if (selected) {
        std::lock_guard lock(addressBookLock);
        long p = firstSelectedPositionLocked();
        deletable = p >= 0 && size_t(p) < addressEntries.size() && addressEntries[size_t(p)].deletable;
    }
    deleteEntry_->setEnabled(deletable);
}

void FaxAddressBookDialog::accept() { viewEdit(); }

void FaxAddressBookDialog::reject() { done(IDCANCEL); }

void FaxAddressBookDialog::viewEdit()
{
    String dn;
    {
        std::lock_guard lock(addressBookLock);
        long p = firstSelectedPositionLocked();
        if (p >= 0 && size_t(p) < addressEntries.size())
            dn = addressEntries[size_t(p)].dn;
    }
    if (!dn.IsEmpty())
        openEntry(dn);
}

void FaxAddressBookDialog::newEntry() { openEntry(String()); }

void FaxAddressBookDialog::openEntry(const String& dn)
{
    AddressEntryDialog entry(this, dn);
    entry.exec();
}

void FaxAddressBookDialog::deleteEntry()
{
    String dn;
    long p = -1;
    {
        std::lock_guard lock(addressBookLock);
        p = firstSelectedPositionLocked();
        if (p >= 0 && size_t(p) < addressEntries.size() && addressEntries[size_t(p)].deletable)
            dn = addressEntries[size_t(p)].dn;
    }
    if (dn.IsEmpty())
        return;
    app::Answer answer = app::showBox(this, QStringLiteral("KORVA Fax Printer Driver"),
                                      tr("Are you sure you wish to permanently delete this address book entry?"),
                                      app::Buttons::YesNo, app::BoxIcon::Question);
    if (answer != app::Answer::Yes || !DeleteDirectoryEntry(this, dn))
        return;
    removeEntry(size_t(p), dn);
    reset();
}

void FaxAddressBookDialog::removeEntry(size_t p, const String& dn)
{
    std::lock_guard lock(addressBookLock);
    // While the box was open a search may have refilled the table: remove
    // the entry by its name, preferring the position the user chose.
    size_t victim = addressEntries.size();
    if (p < addressEntries.size() && sameText(addressEntries[size_t(p)].dn, dn))
        victim = p;
    for (size_t i = 0; victim == addressEntries.size() && i < addressEntries.size(); ++i)
        if (sameText(addressEntries[i].dn, dn))
            victim = i;
    if (victim < addressEntries.size())
        addressEntries.erase(addressEntries.begin() + long(victim));
}

void FaxAddressBookDialog::addToRecipients()
{
    if (!recipients_)
        return;
    for (int r : selectedRows()) {
        const EntryRow& row = model_->row(r);
        QString name = row.name.left(kMaxCellText);
        QString number = row.fax.left(kMaxCellText);
        QString company = row.company.left(kMaxCellText);
        AddOutcome outcome = AddRecipientNumbers(this, recipients_, name, company, number);
        if (outcome == AddOutcome::NothingNew)
            app::ui().beep();
    }
}

void FaxAddressBookDialog::refresh()
{
    reset();
    {
        std::lock_guard lock(addressBookLock);
        addressEntries.clear();
        listedGeneration_ = ++addressEntriesGeneration;
    }
    startDirectorySearch();
    refresh_->setEnabled(false);
    listedCount = 0;
}

void FaxAddressBookDialog::doubleClicked()
{
    if (list_->selectionModel()->hasSelection())
        QMetaObject::invokeMethod(this, &FaxAddressBookDialog::viewEdit, Qt::QueuedConnection);
}

// The split needs the list's real width, known once the dialog is laid out.
void FaxAddressBookDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    app::splitColumnsInThirds(list_);
}

void FaxAddressBookDialog::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    if (isVisible())
        app::splitColumnsInThirds(list_);
}

bool FaxAddressBookDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == list_ && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if ((key->modifiers() & Qt::ControlModifier) && key->key() >= Qt::Key_A && key->key() <= Qt::Key_Z) {
            letterClicked(IDC_LETTER_A + (key->key() - Qt::Key_A));
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void FaxAddressBookDialog::updateRow(long position, unsigned long generation, const String& name, const String& fax,
                                     const String& company)
{
    if (generation != listedGeneration_)
        return;
    int r = model_->rowOfPosition(position);
    if (r >= 0)
        model_->setRowTexts(
            r, EntryRow{name.Text(), fromDirectory(name), fromDirectory(fax), fromDirectory(company), position});
}

}  // namespace korva::addressbook
