#include "faxcourier/addressbook/list_filter.h"

namespace korva {

char asciiLetter(const String& name)
{
    char first = name.GetAt(0);
    if (first >= 'a' && first <= 'z')
        return char(first - 'a' + 'A');
    return first >= 'A' && first <= 'Z' ? first : 0;
}

char effectiveLetter(char checkedLetter, const ListFilter& searchBoxes)
{
    bool searching = !searchBoxes.name.IsEmpty() || !searchBoxes.number.IsEmpty() || !searchBoxes.company.IsEmpty();
    return searching ? 0 : checkedLetter;
}

bool passesFilter(const AddressEntry& entry, const ListFilter& filter)
{
    if (filter.faxOnly && entry.fax.IsEmpty())
        return false;
    if (filter.letter && filter.letterOf(entry.name) != filter.letter)
        return false;
    if (!filter.name.IsEmpty() && entry.name.FindNoCase(filter.name) < 0)
        return false;
    if (!filter.number.IsEmpty() && entry.fax.FindNoCase(filter.number) < 0)
        return false;
    if (!filter.company.IsEmpty() && entry.company.FindNoCase(filter.company) < 0)
        return false;
    return true;
}

}  // namespace korva
