#include "faxcourier/addressbook/unicode_filter.h"

#include "faxcourier/addressbook/directory_text.h"
#include "faxcourier/addressbook/entry_list_model.h"

namespace korva::addressbook {

namespace {

// Qt folds one character to one; upper-casing first brings in the full
// foldings that grow (ß to SS), and folding again ends them lower case.
QString folded(const QString& text) { return text.toCaseFolded().toUpper().toCaseFolded(); }

}  // namespace

String foldedForSearch(const String& value) { return toDirectory(folded(fromDirectory(value))); }

ListFilter unicodeFilter(const QString& name, const QString& number, const QString& company)
{
    ListFilter filter;
    filter.name = toDirectory(name);
    filter.number = toDirectory(number);
    filter.company = toDirectory(company);
    filter.fold = foldedForSearch;
    filter.letterOf = listLetter;
    return filter;
}

}  // namespace korva::addressbook
