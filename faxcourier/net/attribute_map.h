#pragma once
// One directory entry: upper-case attribute name to value, ordered by the
// String order (the locale's comparison). "OBJECTID" holds the entry's
// distinguished name. Looking up a missing name adds it with an empty value
// (operator[]).

#include "faxcourier/foundation/korva_string.h"

#include <map>

namespace korva {

struct StringOrder {
    bool operator()(const String& a, const String& b) const { return a < b; }
};

using AttributeMap = std::map<String, String, StringOrder>;

inline constexpr const char* kObjectIdKey = "OBJECTID";

}  // namespace korva
