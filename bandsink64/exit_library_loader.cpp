#include "bandsink64/exit_library_loader.h"

#include "platform/translation.h"

#include <cstdlib>
#include <dlfcn.h>
#include <filesystem>

#ifndef KORVAFAX_INSTALLED_BANDSINK
#define KORVAFAX_INSTALLED_BANDSINK "/usr/local/lib/korvafax/libbandsink64.so"
#endif

namespace korva {
namespace {

template <typename Fn>
bool resolve(void* handle, const char* name, Fn& fn, std::string& error)
{
    fn = reinterpret_cast<Fn>(dlsym(handle, name));
    if (!fn)
        error = withArguments(translated("ExitLibrary", "the library has no function %1"), {name});
    return fn != nullptr;
}

std::string besideThisProgram()
{
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path self = fs::read_symlink("/proc/self/exe", ec);
    if (ec)
        return {};
    const fs::path lib = self.parent_path().parent_path() / "lib";
    for (const fs::path& candidate : {lib / "libbandsink64.so", lib / "korvafax" / "libbandsink64.so"})
        if (fs::exists(candidate, ec))
            return candidate.string();
    return {};
}

}  // namespace

std::string exitLibraryPath()
{
    if (const char* chosen = std::getenv("KORVAFAX_BANDSINK"); chosen && *chosen)
        return chosen;
    if (std::string beside = besideThisProgram(); !beside.empty())
        return beside;
    return KORVAFAX_INSTALLED_BANDSINK;
}

ExitLibrary::~ExitLibrary()
{
    if (handle_)
        dlclose(handle_);
}

bool ExitLibrary::load(const std::string& path)
{
    handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle_) {
        const char* why = dlerror();
        error_ = why ? why : translated("ExitLibrary", "cannot be loaded");
        return false;
    }
    return resolve(handle_, "getVersion", getVersion, error_) &&
           resolve(handle_, "startDocExit", startDocExit, error_) &&
           resolve(handle_, "startPageExit", startPageExit, error_) &&
           resolve(handle_, "textOutExit", textOutExit, error_) &&
           resolve(handle_, "endPageExit", endPageExit, error_) && resolve(handle_, "endDocExit", endDocExit, error_);
}

}  // namespace korva
