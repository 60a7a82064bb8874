#pragma once
// The rows of the Fax Address Book list: name, number and company of an
// entry, and the entry's position in addressEntries. Rows stay sorted by
// name, as a sorted list view keeps them. A batch of
// rows goes in with one layout change, so a tick costs one merge however
// long the list already is.

#include "faxcourier/foundation/korva_string.h"

#include <QAbstractTableModel>

#include <string>
#include <vector>

namespace korva::addressbook {

struct EntryRow {
    std::string sortKey;  // the name as the directory gave it
    QString name;
    QString fax;
    QString company;
    long position = -1;  // in addressEntries
};

class EntryListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    void clear();
    // Merges `rows` into the sorted list; selection and current row follow
    // their rows.
    void mergeRows(std::vector<EntryRow> rows);
    const EntryRow& row(int r) const { return rows_[size_t(r)]; }
    // The row listing entry `position`, or -1.
    int rowOfPosition(long position) const;
    // New texts for row `r`; it moves to its new sorted place.
    void setRowTexts(int r, EntryRow texts);

private:
    std::vector<EntryRow> rows_;
};

// Rows order by name in the user's language, letter case and accents
// aside (Émile between Ella and Emma, not after Zoe), then byte for byte.
bool rowBefore(const EntryRow& a, const EntryRow& b);

// The letter button a directory name is listed under, 'A'...'Z' from the
// base letter of its first character (Émile is under E), or 0 when it
// begins with anything but a Latin letter.
char listLetter(const String& name);
char listLetter(const QString& name);

}  // namespace korva::addressbook
