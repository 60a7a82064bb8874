#pragma once
// The order of names in every list the user sees: the locale's collation,
// letter case aside, so that the address book and the recipient list agree.

#include <QString>

namespace korva::app {

// Below, at or above 0 as `a` sorts before, with or after `b`.
int compareNames(const QString& a, const QString& b);

}  // namespace korva::app
