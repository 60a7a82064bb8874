#include "faxcourier/addressbook/entry_list_model.h"

#include "faxcourier/addressbook/directory_text.h"
#include "faxcourier/widgets/name_order.h"

#include <algorithm>

namespace korva::addressbook {

bool rowBefore(const EntryRow& a, const EntryRow& b)
{
    int order = app::compareNames(a.name, b.name);
    return order != 0 ? order < 0 : a.sortKey < b.sortKey;
}

namespace {

// Letters with no canonical decomposition, by the letter they are filed under.
char undecomposedLetter(char16_t c)
{
    static constexpr struct {
        char16_t upper, lower;
        char letter;
    } kLetters[] = {{u'Ł', u'ł', 'L'}, {u'Ø', u'ø', 'O'}, {u'Æ', u'æ', 'A'}, {u'Œ', u'œ', 'O'},
                    {u'Đ', u'đ', 'D'}, {u'Þ', u'þ', 'T'}, {u'ẞ', u'ß', 'S'}};
    for (const auto& l : kLetters)
        if (c == l.upper || c == l.lower)
            return l.letter;
    return 0;
}

}  // namespace

char listLetter(const QString& name)
{
    QString decomposed = name.left(1).normalized(QString::NormalizationForm_D);
    if (decomposed.isEmpty())
        return 0;
    char16_t base = decomposed.at(0).toUpper().unicode();
    return base >= u'A' && base <= u'Z' ? char(base) : undecomposedLetter(base);
}

char listLetter(const String& name) { return listLetter(fromDirectory(name)); }

int EntryListModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : int(rows_.size()); }

int EntryListModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : 3; }

QVariant EntryListModel::data(const QModelIndex& index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid() || size_t(index.row()) >= rows_.size())
        return {};
    const EntryRow& r = rows_[size_t(index.row())];
    switch (index.column()) {
        case 0:
            return r.name;
        case 1:
            return r.fax;
        case 2:
            return r.company;
    }
    return {};
}

QVariant EntryListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    static const char* const titles[] = {QT_TR_NOOP("Name"), QT_TR_NOOP("Number"), QT_TR_NOOP("Company")};
    if (orientation != Qt::Horizontal || section < 0 || section > 2)
        return {};
    if (role == Qt::DisplayRole)
        return tr(titles[section]);
    if (role == Qt::TextAlignmentRole)
        return int(Qt::AlignLeft | Qt::AlignVCenter);
    return {};
}

void EntryListModel::clear()
{
    beginResetModel();
    rows_.clear();
    endResetModel();
}

void EntryListModel::mergeRows(std::vector<EntryRow> rows)
{
    if (rows.empty())
        return;
    std::stable_sort(rows.begin(), rows.end(), rowBefore);
    emit layoutAboutToBeChanged();
    std::vector<EntryRow> merged;
    merged.reserve(rows_.size() + rows.size());
    std::vector<int> newRowOf(rows_.size());
    size_t o = 0, n = 0;
    while (o < rows_.size() || n < rows.size()) {
        // An equal name keeps the row that was there first in front.
        if (n == rows.size() || (o < rows_.size() && !rowBefore(rows[n], rows_[o]))) {
            newRowOf[o] = int(merged.size());
            merged.push_back(std::move(rows_[o++]));
        } else {
            merged.push_back(std::move(rows[n++]));
        }
    }
    QModelIndexList from = persistentIndexList();
    QModelIndexList to;
    for (const QModelIndex& index : from)
        to.append(index.isValid() ? createIndex(newRowOf[size_t(index.row())], index.column()) : index);
    rows_ = std::move(merged);
    changePersistentIndexList(from, to);
    emit layoutChanged();
}

int EntryListModel::rowOfPosition(long position) const
{
    for (size_t r = 0; r < rows_.size(); ++r)
        if (rows_[r].position == position)
            return int(r);
    return -1;
}

void EntryListModel::setRowTexts(int r, EntryRow texts)
{
    if (r < 0 || size_t(r) >= rows_.size())
        return;
    emit layoutAboutToBeChanged();
    rows_.erase(rows_.begin() + r);
    auto place = std::upper_bound(rows_.begin(), rows_.end(), texts, rowBefore);
    int target = int(place - rows_.begin());
    rows_.insert(place, std::move(texts));
    QModelIndexList from = persistentIndexList();
    QModelIndexList to;
    for (const QModelIndex& index : from) {
        int row = index.row();
        if (row == r)
            row = target;
        else if (row > r && row <= target)
            --row;
        else if (row < r && row >= target)
            ++row;
        to.append(index.isValid() ? createIndex(row, index.column()) : index);
    }
    changePersistentIndexList(from, to);
    emit layoutChanged();
}

}  // namespace korva::addressbook
