#pragma once
// Adding an address book entry to the Send Fax dialog's recipient list.

#include <QString>

class QTreeWidget;

namespace korva::addressbook {

// One row per ';'-separated number that `list` does not already hold with
// this name, so adding an entry twice never faxes a number twice. False
// when nothing was added (no number, or every one already there): the
// caller beeps.
bool AddRecipientNumbers(QTreeWidget* list, const QString& name, const QString& company, const QString& numbers);

}  // namespace korva::addressbook
