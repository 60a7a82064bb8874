#pragma once
// The command line of faxprint:
//   faxprint [--name DOCNAME] [--job-id N] [--format mono|grey|colour]
//            [--dpi X[xY]] [--band-rows N] [--library PATH] FILE...

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace korva::faxprint {

enum class BandFormat { monochrome, grey, colour };

struct Options {
    std::optional<std::string> name;  // default: the first file's name
    std::optional<uint32_t> jobId;    // default: the process id
    BandFormat format = BandFormat::monochrome;
    int32_t xDpi = 200;
    int32_t yDpi = 200;
    int32_t bandRows = 256;
    std::optional<std::string> library;  // default: ../lib beside the program
    std::vector<std::string> files;
    bool help = false;
};

struct ParsedOptions {
    std::optional<Options> options;
    std::string error;  // set when options is empty
};

ParsedOptions parseOptions(const std::vector<std::string>& args);

std::string usageText();

}  // namespace korva::faxprint
