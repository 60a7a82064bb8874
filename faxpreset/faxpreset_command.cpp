#include "faxpreset/faxpreset_command.h"

#include "controlarea/control_area.h"
#include "platform/translation.h"
#include "platform/windows1252.h"

#include <cstring>
#include <optional>
#include <string>
#include <strings.h>

namespace korva {
namespace {

// The option lines are the command's syntax, as the manual page writes it:
// only the words around them are translated.
std::string usageText()
{
    return withArguments(translated("FaxPreset", "Usage: %1"), {"faxpreset options"}) + "\n\n" +
           translated("FaxPreset", "Options are:") +
           "\n"
           " -s \"subject\"\n"
           " -n \"sender name\"\n"
           " -e \"sender email\"\n"
           " -f \"sender fax\"\n"
           " -p \"sender phone\"\n"
           " -o \"sender company\"\n"
           " -c \"cover page\"\n"
           " -r \"recipient number~recipient name~recipient company\"\n"
           "   " +
           translated("FaxPreset", "(up to 4 recipients can be specified") + "\n -flush - " +
           translated("FaxPreset", "flush data transfer area") + "\n -list - " +
           translated("FaxPreset", "view data transfer area") + "\n\n";
}

void say(std::FILE* to, const std::string& line) { std::fputs((line + "\n").c_str(), to); }

bool is(const char* arg, const char* option) { return strcasecmp(arg, option) == 0; }

// Stores `value` in the field that a value option names; false when `option`
// is no value option. -r is handled by the caller (it counts).
bool storeValueOption(ControlRecord& record, const char* option, const char* value)
{
    if (is(option, "-s"))
        setField(record.subject, value);
    else if (is(option, "-n"))
        setField(record.senderName, value);
    else if (is(option, "-e"))
        setField(record.senderEmail, value);
    else if (is(option, "-f"))
        setField(record.senderFax, value);
    else if (is(option, "-p"))
        setField(record.senderPhone, value);
    else if (is(option, "-o"))
        setField(record.senderCompany, value);
    else if (is(option, "-c"))
        setField(record.coverPage, value);
    else if (is(option, "-u"))
        setField(record.userName, value);
    else
        return false;
    return true;
}

bool takesValue(const char* option)
{
    for (const char* o : {"-s", "-n", "-e", "-f", "-p", "-o", "-c", "-u", "-r"})
        if (is(option, o))
            return true;
    return false;
}

bool listControlArea(std::FILE* out, std::FILE* err)
{
    ControlRecord current;
    if (!readControlRecord(current)) {
        say(err, withArguments(translated("FaxPreset", "Cannot read the data transfer area %1"), {controlFilePath()}));
        return false;
    }
    std::fprintf(out, "%d - %s\n", 0, windows1252ToUtf8(fieldText(current.userName)).c_str());
    say(out, withArguments(translated("FaxPreset", "Job - %1"), {windows1252ToUtf8(fieldText(current.documentName))}));
    return true;
}

}  // namespace

int runFaxPreset(int argc, const char* const* argv, std::FILE* out, std::FILE* err)
{
    // "--help" alone is the usage a Linux user asks for; it touches nothing.
    const bool help = argc == 2 && std::strcmp(argv[1], "--help") == 0;
    if (argc < 2 || help) {
        std::fputs(usageText().c_str(), out);
        return help ? 0 : -1;
    }
    if (!openControlArea()) {
        say(out, translated("FaxPreset", "Can't Initialise Control data area"));
        return -1;
    }
    ControlRecord record;
    std::memset(&record, 0, sizeof record);
    int recipientCount = 0;
    bool writeRecord = true;
    int status = 0;

    for (int i = 1; i < argc && status == 0; ++i) {
        const char* arg = argv[i];
        if (takesValue(arg)) {
            // The value is the next argument whatever it looks like; a
            // missing value leaves the field empty.
            const char* typed = i + 1 < argc ? argv[++i] : "";
            // The command line is UTF-8; control.dat holds Windows-1252. A
            // value that is no UTF-8 comes from a script written for the
            // 8-bit form and is kept byte for byte.
            std::optional<std::string> ansi =
                isUtf8(typed) ? utf8ToWindows1252(typed) : std::optional<std::string>(typed);
            const char* value = ansi ? ansi->c_str() : "";
            if (!ansi) {
                say(out, withArguments(translated("FaxPreset",
                                                  "The value of %1 holds a character that KORVA Fax cannot send: %2"),
                                       {arg, typed}));
                status = -1;
            } else if (!is(arg, "-r")) {
                storeValueOption(record, arg, value);
            } else if (recipientCount == 4) {
                say(out, translated("FaxPreset", "Too many recipients defined - max 4"));
                status = -1;
            } else {
                setField(record.recipients[recipientCount++], value);
            }
        } else if (is(arg, "-flush")) {
            writeRecord = false;
            if (!clearControlRecord()) {
                say(err, withArguments(translated("FaxPreset", "Cannot clear the data transfer area %1"),
                                       {controlFilePath()}));
                status = -1;
            } else {
                say(out, translated("FaxPreset", "data transfer area cleared"));
            }
        } else if (is(arg, "-list")) {
            writeRecord = false;
            if (!listControlArea(out, err))
                status = -1;
        } else {
            say(out, withArguments(translated("FaxPreset", "Unrecognised command %1"), {arg}));
            status = -1;
        }
    }
    if (status == 0 && writeRecord) {
        if (writeControlRecord(record)) {
            say(out, translated("FaxPreset", "Print job data added OK"));
        } else {
            say(err,
                withArguments(translated("FaxPreset", "Cannot write the print job data to %1; the previous data stays"),
                              {controlFilePath()}));
            status = -1;
        }
    }
    closeControlArea();
    return status;
}

}  // namespace korva
