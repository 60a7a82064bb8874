#include "faxcourier/addressbook/list_filter.h"

namespace korva {

char effectiveLetter(char checkedLetter, const ListFilter& searchBoxes)
{
    bool searching = !searchBoxes.name.IsEmpty() || !searchBoxes.number.IsEmpty() || !searchBoxes.company.IsEmpty();
    return searching ? 0 : checkedLetter;
}

bool passesFilter(const AddressEntry& entry, const ListFilter& filter)
{
    if (filter.faxOnly && entry.fax.IsEmpty())
        return false;
    if (filter.letter) {
        const char lower[2] = {filter.letter, 0};
        if (entry.name.CompareNoCase(lower) < 0)
            return false;
        const char upper[2] = {char(filter.letter + 1), 0};
        if (filter.letter != 'Z' && entry.name.CompareNoCase(upper) >= 0)
            return false;
    }
    if (!filter.name.IsEmpty() && entry.name.FindNoCase(filter.name) < 0)
        return false;
    if (!filter.number.IsEmpty() && entry.fax.FindNoCase(filter.number) < 0)
        return false;
    if (!filter.company.IsEmpty() && entry.company.FindNoCase(filter.company) < 0)
        return false;
    return true;
}

}  // namespace korva
