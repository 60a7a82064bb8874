#include "faxcourier/app/recipient_list.h"

#include "faxcourier/app/send_fax_rules.h"
#include "faxcourier/app/text_convert.h"

#include <QHeaderView>
#include <QScrollBar>
#include <QStyle>

namespace korva::app {
namespace {

// Rows order by name as the list view sorts: letter case aside.
class RecipientItem : public QTreeWidgetItem {
public:
    using QTreeWidgetItem::QTreeWidgetItem;
    bool operator<(const QTreeWidgetItem& other) const override
    {
        int column = treeWidget() ? treeWidget()->sortColumn() : 0;
        return sortsBefore(toAnsi(text(column)), toAnsi(other.text(column)));
    }
};

QString upTo99(const QString& text) { return text.left(99); }

}  // namespace

RecipientList::RecipientList(QWidget* parent) : QTreeWidget(parent)
{
    setColumnCount(3);
    setHeaderLabels({QStringLiteral("Name"), QStringLiteral("Number"), QStringLiteral("Company")});
    setRootIsDecorated(false);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setAllColumnsShowFocus(true);
    setSortingEnabled(true);
    sortByColumn(ColumnName, Qt::AscendingOrder);
    // After sorting is on, which would make the headers clickable again.
    header()->setSectionsClickable(false);
    header()->setSortIndicatorShown(false);
    header()->setStretchLastSection(false);
    header()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
}

void RecipientList::sizeColumns()
{
    int w = viewport()->width() - style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    if (verticalScrollBar()->isVisible())
        w += verticalScrollBar()->width();
    setColumnWidth(ColumnName, w / 3);
    setColumnWidth(ColumnNumber, w / 3);
    setColumnWidth(ColumnCompany, w - 2 * (w / 3));
}

QString RecipientList::cell(int row, int column) const
{
    QTreeWidgetItem* item = topLevelItem(row);
    return item ? item->text(column) : QString();
}

int RecipientList::firstSelectedRow() const
{
    for (int row = 0; row < topLevelItemCount(); ++row)
        if (topLevelItem(row)->isSelected())
            return row;
    return -1;
}

int RecipientList::selectedCount() const
{
    int count = 0;
    for (int row = 0; row < topLevelItemCount(); ++row)
        count += topLevelItem(row)->isSelected() ? 1 : 0;
    return count;
}

bool FindDuplicateRecipient(const QString& name, const QString& number, QTreeWidget* list, int skipRow)
{
    for (int row = 0; row < list->topLevelItemCount(); ++row) {
        if (row == skipRow)
            continue;
        QTreeWidgetItem* item = list->topLevelItem(row);
        if (item->text(ColumnName).compare(name, Qt::CaseInsensitive) != 0)
            continue;
        if (upTo99(item->text(ColumnNumber)).compare(number, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

QTreeWidgetItem* addRecipientRow(QTreeWidget* list, const QString& name, const QString& number,
                                 const QString& company)
{
    auto* item = new RecipientItem(QStringList{name, number, company});
    list->addTopLevelItem(item);
    return item;
}

void InsertRecipientRows(QTreeWidget* list, const QString& name, const QString& company, const QString& numbers)
{
    for (const std::string& token : splitFaxNumbers(toAnsi(numbers)))
        addRecipientRow(list, name, toQt(token), company)->setSelected(true);
}

}  // namespace korva::app
