#include "faxcourier/widgets/recipient_list.h"

#include "faxcourier/foundation/korva_string.h"
#include "faxcourier/widgets/dialog_support.h"
#include "faxcourier/widgets/name_order.h"
#include "faxcourier/widgets/text_convert.h"
#include "faxcourier/widgets/ui_seam.h"

#include <QHeaderView>
#include <QStyle>
#include <QStyleOptionViewItem>

#include <algorithm>

namespace korva::app {
namespace {

// Rows order by name as the address book orders its entries; names the
// collation holds equal keep a fixed order by their text.
class RecipientItem : public QTreeWidgetItem {
public:
    using QTreeWidgetItem::QTreeWidgetItem;
    bool operator<(const QTreeWidgetItem& other) const override
    {
        int column = treeWidget() ? treeWidget()->sortColumn() : 0;
        int order = compareNames(text(column), other.text(column));
        return order != 0 ? order < 0 : text(column) < other.text(column);
    }
};

QString upTo99(const QString& text) { return text.left(99); }

}  // namespace

RecipientList::RecipientList(QWidget* parent) : QTreeWidget(parent)
{
    setColumnCount(3);
    setHeaderLabels({tr("Name"), tr("Number"), tr("Company")});
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
    showFocusRing(this);
}

void RecipientList::sizeColumns() { splitColumnsInThirds(this); }

QSize RecipientList::minimumSizeHint() const
{
    // Wide enough that a third of the width shows the longest number uncut.
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    option.features |= QStyleOptionViewItem::HasDisplay;
    option.text = QString::fromLatin1(kLongestFaxNumber);
    int column = style()->sizeFromContents(QStyle::CT_ItemViewItem, &option, QSize(), this).width();
    int width = 3 * column + style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this) + 2 * frameWidth();
    QSize hint = QTreeWidget::minimumSizeHint();
    return {std::max(hint.width(), width), hint.height()};
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

bool refuseUnfitRecipient(QWidget* dialog, const QString& name, const QString& number, const QString& company)
{
    QString character;
    for (const QString& text : {name, number, company})
        if (character.isEmpty())
            character = firstUnfitCharacter(text);
    if (character.isEmpty())
        return false;
    showBox(dialog, QStringLiteral("KORVA Fax"),
            RecipientList::tr("The recipient \"%1\" holds the character \"%2\", which KORVA Fax cannot send or store.")
                .arg(name.isEmpty() ? number : name, character),
            Buttons::Ok, BoxIcon::Warning);
    return true;
}

std::vector<std::string> splitFaxNumbers(const std::string& text)
{
    String numbers(text.c_str());
    std::vector<std::string> tokens;
    for (String token = numbers.NextToken(";", true); !token.IsEmpty(); token = numbers.NextToken(";", false))
        tokens.emplace_back(token.Text());
    return tokens;
}

QTreeWidgetItem* addRecipientRow(QTreeWidget* list, const QString& name, const QString& number, const QString& company)
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
