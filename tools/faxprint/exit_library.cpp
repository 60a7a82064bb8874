#include "tools/faxprint/exit_library.h"

#include <filesystem>

namespace korva::faxprint {

std::string defaultLibraryPath()
{
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::path self = fs::read_symlink("/proc/self/exe", ec);
    if (ec)
        return "libbandsink64.so";
    const fs::path lib = self.parent_path().parent_path() / "lib";
    // The build tree has it in lib/, an installed system in lib/korvafax/.
    if (fs::exists(lib / "libbandsink64.so", ec))
        return (lib / "libbandsink64.so").string();
    return (lib / "korvafax" / "libbandsink64.so").string();
}

}  // namespace korva::faxprint
