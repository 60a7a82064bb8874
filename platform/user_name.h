#pragma once
#include <string>

namespace korva {
// Login name of the effective user; its numeric id when it has no name.
std::string currentUserName();
}  // namespace korva
