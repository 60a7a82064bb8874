#pragma once
// The Send Fax dialog's recipient list (control 1000): three columns (name,
// number, company), sorted ascending by name, several rows selectable. The
// address book dialogs add rows to it through the two functions below.

#include <QString>
#include <QTreeWidget>

#include <string>
#include <vector>

namespace korva::app {

// The longest fax number that the Number column shows uncut: 20 digits,
// international.
inline constexpr char kLongestFaxNumber[] = "+49305550012345678901";

enum RecipientColumn { ColumnName = 0, ColumnNumber = 1, ColumnCompany = 2 };

class RecipientList : public QTreeWidget {
    Q_OBJECT
public:
    explicit RecipientList(QWidget* parent);

    // Name, Number and Company take a third of the width each.
    void sizeColumns();
    QSize minimumSizeHint() const override;

    int rowCount() const { return topLevelItemCount(); }
    QString cell(int row, int column) const;
    // The first selected row in list order, -1 when none.
    int firstSelectedRow() const;
    int selectedCount() const;
};

// True when a row other than `skipRow` (-1 skips none) has `name` and
// `number`, letter case aside. Column texts are read up to 99 characters.
bool FindDuplicateRecipient(const QString& name, const QString& number, QTreeWidget* list, int skipRow);

// When the recipient holds a character that the program's 8-bit text
// cannot hold, says so in a box naming the recipient (its name, or its
// number when it has none) and the character, and returns true.
[[nodiscard]] bool refuseUnfitRecipient(QWidget* dialog, const QString& name, const QString& number,
                                        const QString& company);

// The tokens of a fax number box split at ';', empty ones skipped.
std::vector<std::string> splitFaxNumbers(const std::string& text);

// Inserts one row, not selected; it takes its place in the sorted order.
QTreeWidgetItem* addRecipientRow(QTreeWidget* list, const QString& name, const QString& number, const QString& company);

// Inserts one selected row per ';'-separated token of `numbers` (empty
// tokens skipped), each with `name` and `company`.
void InsertRecipientRows(QTreeWidget* list, const QString& name, const QString& company, const QString& numbers);

}  // namespace korva::app
