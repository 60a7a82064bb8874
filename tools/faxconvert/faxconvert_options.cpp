#include "tools/faxconvert/faxconvert_options.h"

#include "platform/translation.h"

#include <climits>
#include <cstdlib>
#include <filesystem>

namespace korva {

std::optional<FaxConvertOptions> parseFaxConvertOptions(const std::vector<std::string>& args, std::string& error)
{
    FaxConvertOptions options;
    std::vector<std::string> files;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--timeout" || arg == "--faxprint") {
            if (i + 1 == args.size()) {
                error = withArguments(translated("FaxConvert", "%1 needs a value"), {arg});
                return std::nullopt;
            }
            const std::string& value = args[++i];
            if (arg == "--faxprint") {
                options.faxprint = value;
                continue;
            }
            char* end = nullptr;
            long seconds = std::strtol(value.c_str(), &end, 10);
            if (value.empty() || *end || seconds < 1 || seconds > 86400) {
                error = withArguments(translated("FaxConvert", "%1 takes a number of seconds from 1 to 86400"), {arg});
                return std::nullopt;
            }
            options.timeoutSeconds = int(seconds);
        } else if (arg.size() > 1 && arg[0] == '-' && arg.rfind("--", 0) == 0) {
            error = withArguments(translated("FaxConvert", "unknown option %1"), {arg});
            return std::nullopt;
        } else {
            files.push_back(arg);
        }
    }
    if (files.size() < 2) {
        // The synopsis is the command's syntax, as the manual page writes it.
        error = withArguments(translated("FaxConvert", "usage: %1"),
                              {"faxconvert IN... OUT.tif [--timeout SECONDS] [--faxprint PATH]"});
        return std::nullopt;
    }
    options.output = std::filesystem::absolute(files.back()).lexically_normal().string();
    files.pop_back();
    options.inputs = std::move(files);
    return options;
}

}  // namespace korva
