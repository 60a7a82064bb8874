#include "faxcourier/addressbook/list_filter.h"

#include <cstring>
#include <string>

namespace korva {

char asciiLetter(const String& name)
{
    char first = name.GetAt(0);
    if (first >= 'a' && first <= 'z')
        return char(first - 'a' + 'A');
    return first >= 'A' && first <= 'Z' ? first : 0;
}

String asciiFolded(const String& text)
{
    std::string folded = text.Text();
    for (char& c : folded)
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    return String(folded.c_str());
}

namespace {

// Both sides folded alike, so a search box matches whatever the case.
bool containsFolded(const ListFilter& filter, const String& value, const String& wanted)
{
    return std::strstr(filter.fold(value).Text(), filter.fold(wanted).Text()) != nullptr;
}

}  // namespace

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
    if (!filter.name.IsEmpty() && !containsFolded(filter, entry.name, filter.name))
        return false;
    if (!filter.number.IsEmpty() && !containsFolded(filter, entry.fax, filter.number))
        return false;
    if (!filter.company.IsEmpty() && !containsFolded(filter, entry.company, filter.company))
        return false;
    return true;
}

}  // namespace korva
