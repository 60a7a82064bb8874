#include "tools/cups/exit_library.h"

#include "platform/paths.h"

#ifndef KORVAFAX_DEFAULT_BANDSINK
#define KORVAFAX_DEFAULT_BANDSINK "/usr/local/lib/libbandsink64.so"
#endif

namespace korva::cups {

std::string exitLibraryPath() { return envOr("KORVAFAX_BANDSINK", KORVAFAX_DEFAULT_BANDSINK); }

}  // namespace korva::cups
