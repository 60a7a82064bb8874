#pragma once
// Which address book entries the list shows: the fax-only box, the letter
// bar and the three search boxes (each matched anywhere, letter case aside).

#include "faxcourier/addressbook/address_entries.h"

namespace korva {

// The letter button a name is listed under, 'A'...'Z', or 0 for none. This
// one knows only ASCII; the dialog passes one that knows Unicode.
char asciiLetter(const String& name);

// The text a search box is matched against, letter case folded: ASCII
// only here; the dialog passes a Unicode folding.
String asciiFolded(const String& text);

struct ListFilter {
    bool faxOnly = true;
    char letter = 0;  // 'A'...'Z', or 0 for none (All, or a search box in use)
    char (*letterOf)(const String& name) = asciiLetter;
    String (*fold)(const String& text) = asciiFolded;
    String name;  // the search boxes, as UTF-8 like the directory's values
    String number;
    String company;
};

// The letter that the letter bar gives when no search box holds text.
char effectiveLetter(char checkedLetter, const ListFilter& searchBoxes);

bool passesFilter(const AddressEntry& entry, const ListFilter& filter);

}  // namespace korva
