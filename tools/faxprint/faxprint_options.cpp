#include "tools/faxprint/faxprint_options.h"

#include <charconv>

namespace korva::faxprint {
namespace {

template <typename Number>
bool parseNumber(const std::string& text, Number& value, Number lowest, Number highest)
{
    Number n{};
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), n);
    if (ec != std::errc() || end != text.data() + text.size() || n < lowest || n > highest)
        return false;
    value = n;
    return true;
}

bool parseDpi(const std::string& text, Options& options)
{
    const auto x = text.find_first_of("xX");
    int32_t xDpi = 0, yDpi = 0;
    if (!parseNumber(text.substr(0, x), xDpi, 1, 2400))
        return false;
    yDpi = xDpi;
    if (x != std::string::npos && !parseNumber(text.substr(x + 1), yDpi, 1, 2400))
        return false;
    options.xDpi = xDpi;
    options.yDpi = yDpi;
    return true;
}

bool parseFormat(const std::string& text, Options& options)
{
    if (text == "mono")
        options.format = BandFormat::monochrome;
    else if (text == "grey")
        options.format = BandFormat::grey;
    else if (text == "colour")
        options.format = BandFormat::colour;
    else
        return false;
    return true;
}

// Applies one option with its value; an error text when it does not fit.
std::string applyOption(const std::string& option, const std::string& value, Options& options)
{
    if (option == "--name") {
        options.name = value;
    } else if (option == "--job-id") {
        uint32_t id = 0;
        if (!parseNumber<uint32_t>(value, id, 0, UINT32_MAX))
            return "--job-id wants a number from 0 to 4294967295, not \"" + value + "\"";
        options.jobId = id;
    } else if (option == "--format") {
        if (!parseFormat(value, options))
            return "--format wants mono, grey or colour, not \"" + value + "\"";
    } else if (option == "--dpi") {
        if (!parseDpi(value, options))
            return "--dpi wants X or XxY, each from 1 to 2400, not \"" + value + "\"";
    } else if (option == "--band-rows") {
        if (!parseNumber<int32_t>(value, options.bandRows, 1, 65536))
            return "--band-rows wants a number from 1 to 65536, not \"" + value + "\"";
    } else if (option == "--library") {
        options.library = value;
    } else {
        return "unknown option " + option;
    }
    return {};
}

}  // namespace

ParsedOptions parseOptions(const std::vector<std::string>& args)
{
    Options options;
    bool onlyFiles = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (onlyFiles || arg.size() < 2 || arg.rfind("-", 0) != 0) {
            options.files.push_back(arg);
            continue;
        }
        if (arg == "--") {
            onlyFiles = true;
            continue;
        }
        if (arg == "--help" || arg == "-h") {
            options.help = true;
            return {options, {}};
        }
        std::string option = arg, value;
        if (auto eq = arg.find('='); eq != std::string::npos) {
            option = arg.substr(0, eq);
            value = arg.substr(eq + 1);
        } else if (i + 1 < args.size()) {
            value = args[++i];
        } else {
            return {std::nullopt, arg + " wants a value"};
        }
        if (std::string error = applyOption(option, value, options); !error.empty())
            return {std::nullopt, error};
    }
    if (options.files.empty())
        return {std::nullopt, "no file to print"};
    return {options, {}};
}

std::string usageText()
{
    return "Usage: faxprint [--name DOCNAME] [--job-id N] [--format mono|grey|colour]\n"
           "                [--dpi X[xY]] [--band-rows N] [--library PATH] FILE...\n"
           "Prints the pages of the files, in order, as one document through the fax\n"
           "printer's exit library, the way the printer driver does.\n"
           "  FILE            PDF, PNG, JPEG, PNM or TIFF (every page of a TIFF)\n"
           "  --name          document name (default: the first file's name)\n"
           "  --job-id        print job number (default: the process id)\n"
           "  --format        bands in monochrome (default), grey or colour\n"
           "  --dpi           resolution, e.g. 200 or 200x100 (default 200); PDF pages\n"
           "                  are rendered at it, images printed pixel for pixel\n"
           "  --band-rows     rows per band (default 256)\n"
           "  --library       the exit library (default: ../lib/libbandsink64.so\n"
           "                  beside this program, else ../lib/korvafax/libbandsink64.so)\n";
}

}  // namespace korva::faxprint
