#pragma once
// The "Fax Address Book" dialog: addressEntries in a sorted three-column
// list that a 100 ms timer fills while the list search still delivers,
// filtered by letter, fax number and three search boxes; from here entries
// are added to the Send Fax dialog's recipients, viewed, edited, created
// and deleted.
//
// Rows name their entry by position in addressEntries, valid for the
// table's generation they were listed under. A search that empties the
// table starts a new generation: the next tick then drops every row and
// lists the table afresh, and a command never acts on a row of an older
// generation, so a Delete always removes the entry the user chose.

#include "faxcourier/addressbook/entry_list_model.h"
#include "faxcourier/foundation/korva_string.h"

#include <QDialog>

#include <array>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QTimer;
class QTreeView;
class QTreeWidget;

namespace korva::addressbook {

// Entries of addressEntries examined by the list so far (shown or
// filtered out); 0 rebuilds the list from the first entry.
extern unsigned listedCount;

class FaxAddressBookDialog : public QDialog {
    Q_OBJECT
public:
    // `recipientList`: the Send Fax dialog's list (control 1000), where
    // chosen entries go; null when no fax is being prepared. Opening starts
    // a list search.
    FaxAddressBookDialog(QWidget* owner, QTreeWidget* recipientList);

    QTreeView* entryList() const { return list_; }
    EntryListModel* rows() const { return model_; }
    QTreeWidget* recipientList() const { return recipients_; }

    // Rows added by the last tick.
    int lastTickRows() const { return lastTickRows_; }

    // After the entry dialog saved entry `position` (taken under
    // `generation`): its row, if listed, shows the new texts.
    void updateRow(long position, unsigned long generation, const String& name, const String& fax,
                   const String& company);

public slots:
    // One step of the list filling (the 100 ms timer's work).
    void tick();
    void accept() override;  // Enter: View/Edit
    void reject() override;  // Close, Escape: result 2

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void buildControls();
    void connectCommands();
    void letterClicked(int id);
    void reset();
    void dropRows();
    void viewEdit();
    void newEntry();
    void deleteEntry();
    // Removes the deleted entry: at `p` when it is still there, else by name.
    void removeEntry(size_t p, const String& dn);
    void addToRecipients();
    void refresh();
    void selectionChanged();
    void doubleClicked();
    void openEntry(const String& dn);
    // The listed rows that are selected, in list order.
    std::vector<int> selectedRows() const;
    // The first selected row's entry position, or -1 when nothing is
    // selected. Call under addressBookLock; -1 too when the rows belong to
    // an emptied table.
    long firstSelectedPositionLocked() const;
    char checkedLetter() const;

    QTreeWidget* recipients_;
    std::array<QPushButton*, 27> letters_{};  // A ... Z, All
    QLineEdit* searchName_ = nullptr;
    QLineEdit* searchNumber_ = nullptr;
    QLineEdit* searchCompany_ = nullptr;
    QTreeView* list_ = nullptr;
    EntryListModel* model_ = nullptr;
    QCheckBox* faxOnly_ = nullptr;
    QPushButton* refresh_ = nullptr;
    QPushButton* addToRecipients_ = nullptr;
    QPushButton* newEntry_ = nullptr;
    QPushButton* deleteEntry_ = nullptr;
    QPushButton* viewEdit_ = nullptr;
    QTimer* timer_ = nullptr;
    unsigned long listedGeneration_ = 0;
    int lastTickRows_ = 0;
};

}  // namespace korva::addressbook
