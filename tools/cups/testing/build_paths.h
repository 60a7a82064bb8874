#pragma once
// Where the tests find what the build made.

#include <string>

namespace korva::cups::testing {

// scripts/install-printer of this source tree.
std::string installPrinterScript();

}  // namespace korva::cups::testing
