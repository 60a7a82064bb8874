#pragma once
// The "Address Book Entry" dialog: one directory entry with all its
// details. It adds the entry's fax number to the Send Fax dialog's
// recipients, edits an editable entry and creates new ones; a save goes
// through the directory commands and then brings addressEntries and the
// address book's list up to date without a new search.

#include "faxcourier/foundation/korva_string.h"
#include "faxcourier/net/attribute_map.h"

#include <QDialog>
#include <QString>

#include <array>

class QPushButton;
class QWidget;

namespace korva::addressbook {

class FaxAddressBookDialog;

class AddressEntryDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr int kFieldCount = 16;

    // An empty `dn` opens a new entry, straight in edit mode (once the
    // posted Edit Entry command has run); otherwise the entry is read from
    // the directory first, which blocks.
    AddressEntryDialog(FaxAddressBookDialog* owner, const String& dn);

    bool editMode() const { return entryEditMode_; }
    // The entry as read (empty for a new entry).
    const AttributeMap& entryAttributes() const { return entryAttributes_; }

public slots:
    void editEntry();
    void addToFaxRecipients();
    void accept() override;  // Close, or Save in edit mode
    void reject() override;  // Cancel: result 2

private:
    void buildControls();
    void fillFields();
    // A fax is being prepared: there is a recipient list to add to.
    bool canAdd() const;
    QString fieldText(int field) const;
    void setFieldText(int field, const QString& text);
    // The map to save; false (after telling the user) when a changed field
    // holds text the directory commands cannot carry.
    bool buildNewMap(AttributeMap& newMap);
    // The value the directory holds for `key` once `newMap` is saved.
    String directoryValue(const AttributeMap& newMap, const char* key);
    void save(AttributeMap& newMap);

    FaxAddressBookDialog* owner_;
    AttributeMap entryAttributes_;
    bool entryEditMode_ = false;
    std::array<QWidget*, kFieldCount> fields_{};
    std::array<QString, kFieldCount> shown_{};  // the texts as filled in
    QPushButton* close_ = nullptr;
    QPushButton* addToFax_ = nullptr;
    QPushButton* edit_ = nullptr;
};

}  // namespace korva::addressbook
