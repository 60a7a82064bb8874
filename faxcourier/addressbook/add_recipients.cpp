#include "faxcourier/addressbook/add_recipients.h"

#include "faxcourier/widgets/recipient_list.h"
#include "faxcourier/widgets/text_convert.h"

#include <QStringList>

namespace korva::addressbook {

AddOutcome AddRecipientNumbers(QWidget* dialog, QTreeWidget* list, const QString& name, const QString& company,
                               const QString& numbers)
{
    // Refused here rather than at Send, where the row no longer says which.
    if (app::refuseUnfitRecipient(dialog, name, numbers, company))
        return AddOutcome::Refused;
    QStringList fresh;
    for (const std::string& token : app::splitFaxNumbers(app::toAnsi(numbers))) {
        QString number = app::toQt(token);
        if (!fresh.contains(number) && !app::FindDuplicateRecipient(name, number, list, -1))
            fresh.append(number);
    }
    if (fresh.isEmpty())
        return AddOutcome::NothingNew;
    app::InsertRecipientRows(list, name, company, fresh.join(QLatin1Char(';')));
    return AddOutcome::Added;
}

}  // namespace korva::addressbook
