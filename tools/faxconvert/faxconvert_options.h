#pragma once
// Command line of faxconvert: IN... OUT.tif [--timeout SECONDS] [--faxprint PATH]

#include <optional>
#include <string>
#include <vector>

namespace korva {

struct FaxConvertOptions {
    std::vector<std::string> inputs;
    std::string output;  // absolute
    int timeoutSeconds = 120;
    std::string faxprint;  // empty: the one beside faxconvert
};

// The options, or no value with `error` set to a message for the user.
std::optional<FaxConvertOptions> parseFaxConvertOptions(const std::vector<std::string>& args, std::string& error);

}  // namespace korva
