#include "tools/cups/testing/build_paths.h"

namespace korva::cups::testing {

std::string installPrinterScript() { return std::string(KORVAFAX_SOURCE_ROOT) + "/scripts/install-printer"; }

}  // namespace korva::cups::testing
