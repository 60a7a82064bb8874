// dialog_start_bench: from the end of printing to the Send Fax dialog on
// the screen, no recipients preset. faxcourier runs with its debug log on a
// private X server (Xvfb, no window manager); each document is printed with
// faxprint and timed from faxprint's exit to the dialog drawn on the screen
// (its window mapped, then no longer blank). The debug log and the progress
// window split that time: until the print file is opened ("Converting n
// pages"), the conversion (until the progress window goes), the dialog's
// start (until its window maps) and its first drawing. Each dialog is then
// closed as by a window manager's close button, which drops the document.

#include "log_follower.h"
#include "virtual_display.h"

#include "bench/end_to_end/colour_document.h"
#include "bench/end_to_end/route_timing.h"
#include "faxcourier/settings/settings.h"
#include "platform/testing/child_process.h"
#include "platform/testing/poll_until.h"
#include "platform/testing/test_support.h"

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <optional>
#include <poll.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using bench::Clock;
using korva::testing::binPath;

constexpr int kRuns = 7;
constexpr int kColourPages = 10;
constexpr double kLetterGoalMs = 300;
constexpr auto kWait = std::chrono::seconds(60);
const char* const kSendFaxTitle = "Send KORVA Fax";
const char* const kProgressTitle = "Fax Progress";

bool startsWith(const std::string& text, const char* prefix) { return text.rfind(prefix, 0) == 0; }

int devNull() { return open("/dev/null", O_RDWR | O_CLOEXEC); }

// What one print showed, by the moment it was seen.
struct Moments {
    Clock::time_point exited;
    std::optional<Clock::time_point> opened, converted, mapped, drawn;
    uint32_t dialog = 0;
};

// One print's figures in milliseconds: the whole from faxprint's exit, and
// its phases; a phase is missing when its sign was not seen.
struct Sample {
    double shown = 0;
    std::optional<double> opening, conversion, dialogStart, drawing;
};

class DialogStart {
public:
    DialogStart();
    ~DialogStart();

    bool start();
    std::optional<Sample> printOnce(const std::string& file, const std::vector<std::string>& options);
    const std::string& folder() const { return home_.path(); }

private:
    static std::string logPath(const korva::testing::TempHome& home);
    // Takes what the display and the log have told since the last look.
    void take(Moments* moments);
    // Takes events until `done` or the deadline; also wakes when `extraFd`
    // is readable.
    bool pump(Moments* moments, const std::function<bool()>& done, int extraFd = -1);
    bool waitUntilDrawn(Moments& moments);
    bool closeDialog(uint32_t window);

    korva::testing::TempHome home_;
    bench::VirtualDisplay display_;
    bench::LogFollower log_;
    std::unique_ptr<korva::testing::ChildProcess> courier_;
    bool watching_ = false;
    uint32_t dialogUp_ = 0;
};

std::string DialogStart::logPath(const korva::testing::TempHome& home)
{
    const std::string folder = home.stateHome() + "/KORVAFax";
    fs::create_directories(folder);
    return folder + "/korvafax.log";
}

DialogStart::DialogStart() : log_(logPath(home_)) {}

DialogStart::~DialogStart()
{
    if (courier_)
        (void)courier_->stop(std::chrono::seconds(5));
}

bool DialogStart::start()
{
    korva::Settings settings;
    settings.Server = "127.0.0.1";
    settings.SMTPServerPort = 25;
    settings.Username = "bench";
    settings.EmailAddress = "bench@example.com";
    settings.FaxAddress = "fax@korva.test";
    if (!korva::SaveSettings(settings))
        return false;
    korva::testing::ChildOptions options;
    options.setEnv = {{"DISPLAY", display_.name()}, {"QT_QPA_PLATFORM", "xcb"}};
    // Nothing of the desktop the benchmark runs in: no bus, no input method.
    options.unsetEnv = {"WAYLAND_DISPLAY", "QT_IM_MODULE", "XMODIFIERS", "DBUS_SESSION_BUS_ADDRESS"};
    options.out = options.err = devNull();
    options.dieWithParent = true;
    courier_ = std::make_unique<korva::testing::ChildProcess>(std::vector<std::string>{binPath("faxcourier"), "-debug"},
                                                              options);
    close(options.out);
    return pump(nullptr, [this] { return watching_; });
}

void DialogStart::take(Moments* moments)
{
    const Clock::time_point now = Clock::now();
    for (const std::string& line : log_.newLines()) {
        if (startsWith(line, "Watching "))
            watching_ = true;
        if (moments && startsWith(line, "Converting ") && !moments->opened)
            moments->opened = now;
    }
    while (std::optional<bench::VirtualDisplay::Change> change = display_.nextChange()) {
        if (change->mapped && startsWith(change->title, kSendFaxTitle)) {
            dialogUp_ = change->window;
            if (moments && !moments->mapped)
                moments->mapped = now, moments->dialog = change->window;
        } else if (!change->mapped && change->window == dialogUp_) {
            dialogUp_ = 0;
        } else if (!change->mapped && startsWith(change->title, kProgressTitle) && moments && !moments->converted) {
            moments->converted = now;
        }
    }
}

bool DialogStart::pump(Moments* moments, const std::function<bool()>& done, int extraFd)
{
    const Clock::time_point deadline = Clock::now() + kWait;
    for (;;) {
        take(moments);
        if (done())
            return true;
        if (!courier_->running())
            return false;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0)
            return false;
        pollfd handles[3] = {{display_.fd(), POLLIN, 0}, {log_.fd(), POLLIN, 0}, {extraFd, POLLIN, 0}};
        poll(handles, extraFd >= 0 ? 3 : 2, int(left));
    }
}

std::optional<Sample> DialogStart::printOnce(const std::string& file, const std::vector<std::string>& options)
{
    std::vector<std::string> argv{binPath("faxprint")};
    argv.insert(argv.end(), options.begin(), options.end());
    argv.push_back(file);
    korva::testing::ChildOptions quiet;
    quiet.out = quiet.err = devNull();
    korva::testing::ChildProcess printer(argv, quiet);
    close(quiet.out);
    // Readable once faxprint has ended, so its exit is seen at once.
    const int exitFd = int(syscall(SYS_pidfd_open, printer.pid(), 0));
    Moments moments;
    bool exited = pump(
        &moments, [&] { return !printer.running(); }, exitFd);
    moments.exited = Clock::now();
    if (exitFd >= 0)
        close(exitFd);
    if (!exited || printer.wait() != 0)
        return std::nullopt;
    if (!pump(&moments, [&] { return moments.mapped.has_value(); }) || !waitUntilDrawn(moments) ||
        !closeDialog(moments.dialog))
        return std::nullopt;
    auto between = [](const std::optional<Clock::time_point>& from, const std::optional<Clock::time_point>& to) {
        return from && to ? std::optional<double>(bench::ms(*to - *from)) : std::nullopt;
    };
    return Sample{bench::ms(*moments.drawn - moments.exited), between(moments.exited, moments.opened),
                  between(moments.opened, moments.converted), between(moments.converted, moments.mapped),
                  between(moments.mapped, moments.drawn)};
}

// Looks at the window every millisecond or so; each look copies its image.
bool DialogStart::waitUntilDrawn(Moments& moments)
{
    const Clock::time_point deadline = Clock::now() + kWait;
    while (!display_.drawn(moments.dialog)) {
        if (Clock::now() > deadline)
            return false;
        poll(nullptr, 0, 1);
    }
    moments.drawn = Clock::now();
    return true;
}

// Closing drops the document; the next print waits until faxcourier has let
// go of it, so that it never meets a busy pipeline.
bool DialogStart::closeDialog(uint32_t window)
{
    display_.closeWindow(window);
    if (!pump(nullptr, [this] { return dialogUp_ == 0; }))
        return false;
    const fs::path taken = fs::path(home_.spool()) / "taken";
    return korva::testing::pollUntil([&] {
        std::error_code error;
        return !fs::exists(taken, error) || fs::is_empty(taken, error);
    });
}

struct Document {
    const char* title;
    std::string pdf;
    std::vector<std::string> printOptions;
    std::optional<double> goalMs;
};

std::string figure(const std::vector<double>& values)
{
    bench::Spread s = bench::spreadOf(values);
    char text[64];
    std::snprintf(text, sizeof text, "%.0f ms (%.0f to %.0f)", s.median, s.low, s.high);
    return text;
}

void printPhase(const char* what, const std::vector<Sample>& samples, std::optional<double> Sample::*phase)
{
    std::vector<double> values;
    for (const Sample& s : samples)
        if (s.*phase)
            values.push_back(*(s.*phase));
    if (values.size() == samples.size())
        std::printf("    %-48s %s\n", what, figure(values).c_str());
    else
        std::printf("    %-48s not seen in every run\n", what);
}

bool measure(DialogStart& run, const Document& document)
{
    std::vector<Sample> samples;
    std::vector<double> shown;
    for (int n = 0; n < kRuns; ++n) {
        std::optional<Sample> sample = run.printOnce(document.pdf, document.printOptions);
        if (!sample) {
            std::printf("%s: no Send Fax dialog came\n", document.title);
            return false;
        }
        samples.push_back(*sample);
        shown.push_back(sample->shown);
    }
    const bench::Spread s = bench::spreadOf(shown);
    std::string goal = "figure";
    if (document.goalMs) {
        char text[64];
        std::snprintf(text, sizeof text, "at most %.0f ms: %s", *document.goalMs,
                      s.median <= *document.goalMs ? "met" : "not met");
        goal = text;
    }
    std::printf("%s, %d runs (median, lowest to highest):\n", document.title, kRuns);
    std::printf("  faxprint's exit to the Send Fax dialog drawn   %s   goal: %s\n", figure(shown).c_str(),
                goal.c_str());
    std::printf("  of which, each median on its own:\n");
    printPhase("until the print file is open (\"Converting\")", samples, &Sample::opening);
    printPhase("the conversion (until the progress window goes)", samples, &Sample::conversion);
    printPhase("the dialog's start (until its window maps)", samples, &Sample::dialogStart);
    printPhase("its first drawing (until it is not blank)", samples, &Sample::drawing);
    std::printf("\nresult: dialog_start %s | %.0f ms (%.0f-%.0f) | - | - | - | %s\n\n", document.title, s.median, s.low,
                s.high, goal.c_str());
    return true;
}

// The machine's one-minute load: the figures are only as quiet as it is.
std::string loadAverage()
{
    std::string text = korva::testing::readWholeFile("/proc/loadavg");
    return text.substr(0, text.find(' '));
}

}  // namespace

int main()
{
    // The programs beside this one: build/bench -> build/bin.
    const fs::path build = fs::canonical("/proc/self/exe").parent_path().parent_path();
    setenv("KORVA_BIN_DIR", (build / "bin").c_str(), 1);
    bool ok = true;
    const std::string loadBefore = loadAverage();
    try {
        DialogStart run;
        const std::string colour = run.folder() + "/colour.pdf";
        korva::testing::writeWholeFile(colour, bench::colourDocumentPdf(kColourPages));
        if (!run.start()) {
            std::printf("faxcourier did not start on the virtual display\n");
            return 1;
        }
        // The first print after the start loads what the later ones find ready.
        std::optional<Sample> first = run.printOnce(KORVA_SAMPLE_LETTER, {});
        if (!first) {
            std::printf("no Send Fax dialog came for the first print\n");
            return 1;
        }
        std::printf("letter, the first print after faxcourier's start: %.0f ms to the Send Fax dialog drawn\n\n",
                    first->shown);
        const Document documents[] = {
            {"letter", KORVA_SAMPLE_LETTER, {}, kLetterGoalMs},
            {"colour, 10 pages", colour, {"--format", "colour"}, std::nullopt},
        };
        for (const Document& document : documents)
            ok = measure(run, document) && ok;
    } catch (const std::exception& error) {
        std::printf("dialog_start_bench: %s\n", error.what());
        return 1;
    }
    std::printf("load average (1 min) %s at the start, %s at the end, on %ld cores\n", loadBefore.c_str(),
                loadAverage().c_str(), sysconf(_SC_NPROCESSORS_ONLN));
    return ok ? 0 : 1;
}
