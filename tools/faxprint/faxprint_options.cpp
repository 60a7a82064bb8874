#include "tools/faxprint/faxprint_options.h"

#include "platform/translation.h"

#include <charconv>
#include <cstring>

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
            return withArguments(translated("FaxPrint", "%1 wants a number from 0 to 4294967295, not \"%2\""),
                                 {option, value});
        options.jobId = id;
    } else if (option == "--format") {
        if (!parseFormat(value, options))
            return withArguments(translated("FaxPrint", "%1 wants mono, grey or colour, not \"%2\""), {option, value});
    } else if (option == "--dpi") {
        if (!parseDpi(value, options))
            return withArguments(translated("FaxPrint", "%1 wants X or XxY, each from 1 to 2400, not \"%2\""),
                                 {option, value});
    } else if (option == "--band-rows") {
        if (!parseNumber<int32_t>(value, options.bandRows, 1, 65536))
            return withArguments(translated("FaxPrint", "%1 wants a number from 1 to 65536, not \"%2\""),
                                 {option, value});
    } else if (option == "--library") {
        options.library = value;
    } else {
        return withArguments(translated("FaxPrint", "unknown option %1"), {option});
    }
    return {};
}

// Characters, not bytes: a translated "Usage:" may hold accented letters.
size_t characters(const std::string& utf8)
{
    size_t count = 0;
    for (unsigned char c : utf8)
        count += (c & 0xC0) != 0x80;
    return count;
}

// Every line after the first starts at the description column.
std::string indented(const std::string& text, const std::string& column)
{
    std::string out;
    for (char c : text) {
        out += c;
        if (c == '\n')
            out += column;
    }
    return out;
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
            return {std::nullopt, withArguments(translated("FaxPrint", "%1 wants a value"), {arg})};
        }
        if (std::string error = applyOption(option, value, options); !error.empty())
            return {std::nullopt, error};
    }
    if (options.files.empty())
        return {std::nullopt, translated("FaxPrint", "no file to print")};
    return {options, {}};
}

std::string usageText()
{
    // The synopsis is the command's syntax, as the manual page writes it;
    // its second line lines up under the first whatever "Usage:" became.
    const std::string usage = translated("FaxPrint", "Usage: %1");
    const std::string indent(characters(usage.substr(0, usage.find("%1"))) + std::strlen("faxprint "), ' ');
    const std::string synopsis = "faxprint [--name DOCNAME] [--job-id N] [--format mono|grey|colour]\n" + indent +
                                 "[--dpi X[xY]] [--band-rows N] [--library PATH] FILE...";
    const std::string column(18, ' ');
    auto option = [&](const char* name, const std::string& text) {
        return "  " + std::string(name) + column.substr(2 + std::strlen(name)) + indented(text, column) + "\n";
    };
    return withArguments(usage, {synopsis}) + "\n" +
           translated("FaxPrint",
                      "Prints the pages of the files, in order, as one document through the fax\n"
                      "printer's exit library, the way the printer driver does.") +
           "\n" + option("FILE", translated("FaxPrint", "PDF, PNG, JPEG, PNM or TIFF (every page of a TIFF)")) +
           option("--name", translated("FaxPrint", "document name (default: the first file's name)")) +
           option("--job-id", translated("FaxPrint", "print job number (default: the process id)")) +
           option("--format", translated("FaxPrint", "bands in monochrome (default), grey or colour")) +
           option("--dpi", translated("FaxPrint",
                                      "resolution, e.g. 200 or 200x100 (default 200); PDF pages\n"
                                      "are rendered at it, images printed pixel for pixel")) +
           option("--band-rows", translated("FaxPrint", "rows per band (default 256)")) +
           option("--library", translated("FaxPrint",
                                          "the exit library (default: ../lib/libbandsink64.so\n"
                                          "beside this program, else ../lib/korvafax/libbandsink64.so)"));
}

}  // namespace korva::faxprint
