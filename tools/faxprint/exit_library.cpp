#include "tools/faxprint/exit_library.h"

#include <filesystem>

namespace korva::faxprint {

std::string defaultLibraryPath()
{
    std::error_code ec;
    std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec)
        return "libbandsink64.so";
    return (self.parent_path().parent_path() / "lib" / "libbandsink64.so").string();
}

}  // namespace korva::faxprint
