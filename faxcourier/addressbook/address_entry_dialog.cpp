#include "faxcourier/addressbook/address_entry_dialog.h"

#include "faxcourier/addressbook/add_recipients.h"
#include "faxcourier/addressbook/address_book_dialog.h"
#include "faxcourier/addressbook/address_book_ids.h"
#include "faxcourier/addressbook/directory_search.h"
#include "faxcourier/addressbook/directory_text.h"
#include "faxcourier/addressbook/saved_entry.h"
#include "faxcourier/net/directory_commands.h"
#include "faxcourier/widgets/dialog_support.h"
#include "faxcourier/widgets/text_convert.h"
#include "faxcourier/widgets/ui_seam.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include <cstring>

namespace korva::addressbook {
namespace {

struct FieldLayout {
    int id;
    const char* label;  // null: a further part of the row above
    const char* key;
};

// In the order the dialog shows them.
constexpr FieldLayout kFields[AddressEntryDialog::kFieldCount] = {
    {IDC_DISPLAY_NAME, QT_TRANSLATE_NOOP("korva::addressbook::AddressEntryDialog", "&Display Name :"), "CN"},
    {IDC_GIVEN_NAME, QT_TRANSLATE_NOOP("korva::addressbook::AddressEntryDialog", "&Name :"), "GIVENNAME"},
    {IDC_INITIALS, nullptr, "INITIALS"},
    {IDC_SURNAME, nullptr, "SN"},
    {IDC_TITLE, QT_TRANSLATE_NOOP("korva::addressbook::AddressEntryDialog", "&Title :"), "TITLE"},
    {IDC_COMPANY, QT_TRANSLATE_NOOP("korva::addressbook::AddressEntryDialog", "C&ompany :"), "O"},
    {IDC_DEPARTMENT, QT_TRANSLATE_NOOP("korva::addressbook::AddressEntryDialog", "De&partment :"), "DEPARTMENT"},
    {IDC_ADDRESS, QT_TRANSLATE_NOOP("korva::addressbook::AddressEntryDialog", "Add&ress :"), "POSTALADDRESS"},
    {IDC_CITY, QT_TRANSLATE_NOOP("korva::addressbook::AddressEntryDialog", "Cit&y :"), "L"},
    {IDC_STATE, QT_TRANSLATE_NOOP("korva::addressbook::AddressEntryDialog", "&State :"), "ST"},
    {IDC_POSTCODE, QT_TRANSLATE_NOOP("korva::addressbook::AddressEntryDialog", "Postcode/&ZIP :"), "POSTALCODE"},
    {IDC_COUNTRY, QT_TRANSLATE_NOOP("korva::addressbook::AddressEntryDialog", "Co&untry :"), "C"},
    {IDC_TELEPHONE, QT_TRANSLATE_NOOP("korva::addressbook::AddressEntryDialog", "Te&lephone :"), "TELEPHONENUMBER"},
    {IDC_FAX, QT_TRANSLATE_NOOP("korva::addressbook::AddressEntryDialog", "&Fax :"), "FAX"},
    {IDC_MOBILE, QT_TRANSLATE_NOOP("korva::addressbook::AddressEntryDialog", "&Mobile :"), "MOBILE"},
    {IDC_EMAIL, QT_TRANSLATE_NOOP("korva::addressbook::AddressEntryDialog", "Ema&il :"), "MAIL"},
};

constexpr int kNameField = 0;
constexpr int kCompanyField = 5;
constexpr int kAddressField = 7;
constexpr int kFaxField = 13;
constexpr int kMailField = 15;

// A mail value of digits and hyphens only is a number the server made up,
// not an address: it is not shown, and an empty field keeps it.
bool isHiddenMail(const String& mail) { return mail.Find('@') < 0 && mail.IsNumeric(); }

}  // namespace

AddressEntryDialog::AddressEntryDialog(FaxAddressBookDialog* owner, const String& dn) : QDialog(owner), owner_(owner)
{
    setObjectName(QStringLiteral("AddressEntryDialog"));
    setWindowTitle(tr("Address Book Entry"));
    app::setSmallIcon(this);
    buildControls();
    if (dn.IsEmpty()) {
        entryAttributes_.clear();
        QMetaObject::invokeMethod(this, &AddressEntryDialog::editEntry, Qt::QueuedConnection);
        app::bringToForeground(this);
        return;
    }
    entryAttributes_ = ReadDirectoryEntry(dn);
    fillFields();
    edit_->setEnabled(std::strcmp(entryAttributes_["_EDITABLE"].Text(), "1") == 0);
    addToFax_->setEnabled(canAdd() && !entryAttributes_["FAX"].IsEmpty());
    entryEditMode_ = false;
    app::bringToForeground(this);
}

void AddressEntryDialog::buildControls()
{
    auto* layout = new QVBoxLayout(this);
    auto* grid = new QGridLayout;
    int row = -1;
    QHBoxLayout* nameParts = nullptr;
    for (int i = 0; i < kFieldCount; ++i) {
        const FieldLayout& item = kFields[i];
        QWidget* field;
        if (i == kAddressField) {
            auto* edit = new QPlainTextEdit(this);
            edit->setTabChangesFocus(true);
            edit->setFixedHeight(4 * fontMetrics().height());
            app::showFocusRing(edit);
            field = edit;
        } else {
            field = new QLineEdit(this);
        }
        app::setFieldReadOnly(field, true);
        fields_[size_t(i)] = app::withId(field, item.id);
        if (item.label) {
            QLabel* label = app::labelFor(this, tr(item.label), field, item.id);
            grid->addWidget(label, ++row, 0, Qt::AlignLeft | Qt::AlignTop);
            nameParts = new QHBoxLayout;
            grid->addLayout(nameParts, row, 1);
        }
        nameParts->addWidget(field, item.id == IDC_INITIALS ? 1 : 4);
    }
    layout->addLayout(grid);

    addToFax_ = app::pushButton(this, tr("&Add to Fax Recipients"), IDC_ADD_TO_FAX_RECIPIENTS);
    addToFax_->setEnabled(false);
    layout->addWidget(addToFax_, 0, Qt::AlignLeft);
    auto* bottom = new QHBoxLayout;
    edit_ = app::pushButton(this, tr("&Edit Entry"), IDC_EDIT_ENTRY);
    edit_->setEnabled(false);
    QPushButton* cancel = app::pushButton(this, tr("Cancel"), IDCANCEL);
    close_ = app::pushButton(this, tr("Close"), IDOK);
    close_->setDefault(true);
    bottom->addWidget(edit_);
    bottom->addStretch(1);
    bottom->addWidget(cancel);
    bottom->addWidget(close_);
    layout->addLayout(bottom);

    connect(edit_, &QPushButton::clicked, this, &AddressEntryDialog::editEntry);
    connect(addToFax_, &QPushButton::clicked, this, &AddressEntryDialog::addToFaxRecipients);
    connect(close_, &QPushButton::clicked, this, &AddressEntryDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &AddressEntryDialog::reject);
    connect(static_cast<QLineEdit*>(fields_[kFaxField]), &QLineEdit::textChanged, this,
            [this](const QString& text) { addToFax_->setEnabled(canAdd() && !text.isEmpty()); });
    // 234 x 260 dialog units.
    resize(app::dluX(this, 234), app::dluY(this, 260));
}

bool AddressEntryDialog::canAdd() const { return owner_ && owner_->recipientList(); }

QString AddressEntryDialog::fieldText(int field) const
{
    if (auto* edit = qobject_cast<QPlainTextEdit*>(fields_[size_t(field)]))
        return edit->toPlainText();
    return static_cast<QLineEdit*>(fields_[size_t(field)])->text();
}

void AddressEntryDialog::setFieldText(int field, const QString& text)
{
    if (auto* edit = qobject_cast<QPlainTextEdit*>(fields_[size_t(field)]))
        edit->setPlainText(QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    else
        static_cast<QLineEdit*>(fields_[size_t(field)])->setText(text);
}

void AddressEntryDialog::fillFields()
{
    for (int i = 0; i < kFieldCount; ++i) {
        const String& value = entryAttributes_[kFields[i].key];
        if (i != kMailField || !isHiddenMail(value))
            setFieldText(i, fromDirectory(value));
        shown_[size_t(i)] = fieldText(i);
    }
}

void AddressEntryDialog::editEntry()
{
    entryEditMode_ = true;
    close_->setText(tr("Save"));
    edit_->setEnabled(false);
    for (QWidget* field : fields_)
        app::setFieldReadOnly(field, false);
}

void AddressEntryDialog::addToFaxRecipients()
{
    QTreeWidget* recipients = owner_->recipientList();
    if (!recipients)
        return;
    AddOutcome outcome =
        AddRecipientNumbers(this, recipients, fieldText(kNameField), fieldText(kCompanyField), fieldText(kFaxField));
    if (outcome == AddOutcome::NothingNew)
        app::ui().beep();
}

void AddressEntryDialog::accept()
{
    if (entryEditMode_) {
        AttributeMap newMap;
        if (!buildNewMap(newMap))
            return;  // the user's text stays for correcting
        save(newMap);
    }
    done(IDOK);
}

void AddressEntryDialog::reject() { done(IDCANCEL); }

bool AddressEntryDialog::buildNewMap(AttributeMap& newMap)
{
    for (int i = 0; i < kFieldCount; ++i) {
        const FieldLayout& item = kFields[i];
        QString text = fieldText(i);
        if (text == shown_[size_t(i)]) {
            // Unchanged: the value as it came. One that the program's 8-bit
            // text cannot hold is left alone rather than sent garbled.
            QString loaded = fromDirectory(entryAttributes_[item.key]);
            if (app::fitsAnsi(loaded))
                newMap[item.key] = toProgramText(loaded);
            continue;
        }
        if (!app::fitsAnsi(text)) {
            // The parts of the name row have no label of their own.
            QString label = app::fieldName(tr(item.label ? item.label : kFields[1].label).toUtf8().constData());
            app::showBox(this, QStringLiteral("KORVA Fax"),
                         tr("The %1 field holds characters that the address book cannot store.").arg(label),
                         app::Buttons::Ok, app::BoxIcon::Warning);
            fields_[size_t(i)]->setFocus();
            return false;
        }
        if (i == kAddressField)
            text.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
        newMap[item.key] = toProgramText(text);
    }
    const String& oldMail = entryAttributes_["MAIL"];
    if (isHiddenMail(oldMail) && newMap["MAIL"].IsEmpty())
        newMap["MAIL"] = oldMail;
    return true;
}

String AddressEntryDialog::directoryValue(const AttributeMap& newMap, const char* key)
{
    auto found = newMap.find(key);
    return found != newMap.end() ? found->second.ToUtf8() : entryAttributes_[key];
}

void AddressEntryDialog::save(AttributeMap& newMap)
{
    String oldId = entryAttributes_[kObjectIdKey];
    SaveDirectoryEntry(this, entryAttributes_, newMap);
    SavedEntry saved{newMap[kObjectIdKey], directoryValue(newMap, "CN"), directoryValue(newMap, "FAX"),
                     directoryValue(newMap, "O")};
    unsigned long generation = 0;
    long position = RecordSavedEntry(oldId, saved, &generation);
    if (position >= 0 && !oldId.IsEmpty())
        owner_->updateRow(position, generation, saved.name, saved.fax, saved.company);
}

}  // namespace korva::addressbook
