#include "bandsink64/exit_library_loader.h"

#include "platform/translation.h"

#include <dlfcn.h>

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

}  // namespace

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
