#pragma once
// Adding an address book entry to the Send Fax dialog's recipient list.

#include <QString>

class QTreeWidget;
class QWidget;

namespace korva::addressbook {

enum class AddOutcome {
    Added,
    NothingNew,  // no number, or every one already there: the caller beeps
    Refused,     // a character the fax cannot carry; `dialog` has said which
};

// One row per ';'-separated number that `list` does not already hold with
// this name, so adding an entry twice never faxes a number twice.
[[nodiscard]] AddOutcome AddRecipientNumbers(QWidget* dialog, QTreeWidget* list, const QString& name,
                                             const QString& company, const QString& numbers);

}  // namespace korva::addressbook
