// faxconvert IN... OUT.tif: converts printable files into one fax-form TIFF
// through a running faxcourier, the way an outside program uses the system:
// preset a file-target subject, print, wait for the print-finished event,
// and put the preset data back as it was.
#include "controlarea/control_area.h"
#include "platform/file_ops.h"
#include "platform/translation.h"
#include "tools/faxconvert/faxconvert_options.h"
#include "tools/faxconvert/print_finished_event.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace korva;

namespace {

const char* const fileTargetPrefix = "~~filetarget~~*";

enum ExitCode { Converted = 0, BadCommandLine = 1, PrintFailed = 2, NoAnswer = 3, NoOutput = 4 };

void say(const std::string& message) { std::fprintf(stderr, "faxconvert: %s\n", message.c_str()); }

int fail(int code, const std::string& message)
{
    say(message);
    return code;
}

std::string faxprintBesideUs()
{
    std::error_code ec;
    auto self = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::string("faxprint") : (self.parent_path() / "faxprint").string();
}

int runFaxprint(const std::string& faxprint, const std::vector<std::string>& inputs)
{
    pid_t pid = fork();
    if (pid < 0)
        return -1;
    if (pid == 0) {
        std::vector<char*> argv{const_cast<char*>(faxprint.c_str())};
        for (auto& in : inputs)
            argv.push_back(const_cast<char*>(in.c_str()));
        argv.push_back(nullptr);
        execv(argv[0], argv.data());
        say(withArguments(translated("FaxConvert", "cannot run %1: %2"), {argv[0], std::strerror(errno)}));
        _exit(127);
    }
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The preset data that was in force before we changed it.
struct SavedPreset {
    bool existed = false;
    ControlRecord record{};

    [[nodiscard]] bool take()
    {
        existed = fileExists(controlFilePath());
        return readControlRecord(record);
    }
    // The conversion's outcome stands either way; a preset left in place is
    // only worth a warning.
    void restore() const
    {
        if (!(existed ? writeControlRecord(record) : clearControlRecord()))
            say(withArguments(translated("FaxConvert", "cannot put back the preset data in %1"), {controlFilePath()}));
    }
};

bool producedSince(const std::string& path, const timespec& start)
{
    struct stat st {};
    if (stat(path.c_str(), &st) != 0 || st.st_size == 0)
        return false;
    return st.st_mtim.tv_sec > start.tv_sec ||
           (st.st_mtim.tv_sec == start.tv_sec && st.st_mtim.tv_nsec >= start.tv_nsec);
}

int convert(const FaxConvertOptions& options)
{
    for (auto& in : options.inputs)
        if (access(in.c_str(), R_OK) != 0)
            return fail(BadCommandLine,
                        withArguments(translated("FaxConvert", "cannot read %1: %2"), {in, std::strerror(errno)}));
    ControlRecord preset{};
    std::string subject = fileTargetPrefix + options.output;
    if (subject.size() > sizeof preset.subject - 1)
        return fail(BadCommandLine,
                    withArguments(translated("FaxConvert", "the output path is too long (at most %1 characters)"),
                                  {std::to_string(sizeof preset.subject - 1 - std::strlen(fileTargetPrefix))}));
    if (!openControlArea())
        return fail(BadCommandLine, translated("FaxConvert", "cannot open the control data area in the spool folder"));

    PrintFinishedEvent finished;
    if (!finished.isOpen())
        return fail(NoAnswer, withArguments(translated("FaxConvert", "cannot create the event %1: %2"),
                                            {"KORVAFaxPrintFinished", std::strerror(finished.error())}));
    finished.drain();

    SavedPreset saved;
    if (!saved.take())
        return fail(BadCommandLine, withArguments(translated("FaxConvert", "cannot read %1"), {controlFilePath()}));
    setField(preset.subject, subject);
    if (!writeControlRecord(preset))
        return fail(BadCommandLine, withArguments(translated("FaxConvert", "cannot write %1"), {controlFilePath()}));

    timespec start{};
    clock_gettime(CLOCK_REALTIME, &start);
    start.tv_sec -= 1;  // file times may be coarser than the clock
    std::string faxprint = options.faxprint.empty() ? faxprintBesideUs() : options.faxprint;
    int printed = runFaxprint(faxprint, options.inputs);
    if (printed != 0) {
        saved.restore();
        return fail(PrintFailed, withArguments(translated("FaxConvert", "printing with %1 failed"), {faxprint}));
    }
    bool answered = finished.wait(options.timeoutSeconds);
    saved.restore();
    closeControlArea();
    if (!answered)
        return fail(
            NoAnswer,
            withArguments(translated("FaxConvert", "no conversion finished within %1 seconds; is faxcourier running?"),
                          {std::to_string(options.timeoutSeconds)}));
    if (!producedSince(options.output, start))
        return fail(NoOutput,
                    withArguments(translated("FaxConvert", "faxcourier finished, but %1 was not written (see its log)"),
                                  {options.output}));
    std::printf("%s\n", options.output.c_str());
    return Converted;
}

}  // namespace

int main(int argc, char** argv)
{
    std::string error;
    auto options = parseFaxConvertOptions(std::vector<std::string>(argv + 1, argv + argc), error);
    if (!options)
        return fail(BadCommandLine, error);
    return convert(*options);
}
