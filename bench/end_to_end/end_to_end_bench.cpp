// end_to_end_bench: from the end of printing to the fax accepted by the mail
// server, as a user feels it. faxcourier runs without a desktop and korva-sim
// is its mail server; each document is preset with faxpreset, printed with
// faxprint, and timed from faxprint's exit (and from its start) to the fax
// stored by korva-sim, five times. In the same run the peer's direct route
// sends the same PDF: Ghostscript straight to Group 3, then curl. Then the
// same documents go through a stock Postfix into its Maildir.

#include "colour_document.h"
#include "lp_route.h"
#include "postfix_route.h"
#include "quiet_run.h"
#include "route_timing.h"
#include "stored_fax_watch.h"

#include "faxcourier/settings/settings.h"
#include "platform/testing/child_process.h"
#include "platform/testing/test_support.h"
#include "tools/korva-sim/testing/korva_sim_process.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fcntl.h>
#include <functional>
#include <optional>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using bench::Clock;
using bench::devNull;
using bench::runQuietly;
using korva::testing::binPath;

constexpr int kRuns = 5;
constexpr int kColourPages = 10;
constexpr auto kArrivalWait = std::chrono::seconds(60);
const char* const kUser = "bench";
const char* const kPassword = "bench-secret";
const char* const kFrom = "bench@example.com";
const char* const kFaxAddress = "fax@korva.test";

class EndToEnd {
public:
    EndToEnd()
        : received_(home_.path() + "/received"),
          sim_(received_, kUser, kPassword, kFaxAddress),  // it makes the folder before it is ready
          watch_(received_)
    {
    }

    bool start();
    // One document printed by faxprint with `options`: the time after
    // faxprint's exit and the whole route, in milliseconds.
    std::optional<bench::Sample> printOnce(const std::string& file, const std::vector<std::string>& options);
    std::optional<bench::Sample> peerOnce(const std::string& pdf);
    // korva-sim's own share: our last fax, sent again as it came by curl;
    // from curl's start to the copy stored.
    std::optional<double> serverShare();
    const std::string& folder() const { return home_.path(); }

private:
    korva::testing::TempHome home_;
    std::string received_;
    korva::testing::KorvaSimProcess sim_;
    bench::StoredFaxWatch watch_;
    std::unique_ptr<korva::testing::ChildProcess> courier_;
    int lastOurs_ = 0;  // the number korva-sim gave our last fax
};

bool EndToEnd::start()
{
    korva::Settings settings;
    settings.Server = "127.0.0.1";
    settings.SMTPServerPort = uint32_t(sim_.port("smtp"));
    settings.Username = kUser;
    settings.Password = kPassword;
    settings.EmailAddress = kFrom;
    settings.FaxAddress = kFaxAddress;
    if (!korva::SaveSettings(settings))
        return false;
    korva::testing::ChildOptions options;
    options.unsetEnv = {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"};
    options.out = options.err = devNull();
    options.dieWithParent = true;
    courier_ = std::make_unique<korva::testing::ChildProcess>(std::vector<std::string>{binPath("faxcourier")}, options);
    close(options.out);
    return true;
}

std::optional<bench::Sample> EndToEnd::printOnce(const std::string& file, const std::vector<std::string>& options)
{
    if (runQuietly({binPath("faxpreset"), "-s", "Benchmark", "-r", "0301 555~Anna Berg~Acme Ltd"}) != 0)
        return std::nullopt;
    std::vector<std::string> argv{binPath("faxprint")};
    argv.insert(argv.end(), options.begin(), options.end());
    argv.push_back(file);
    Clock::time_point start = Clock::now(), exited;
    if (runQuietly(argv, &exited) != 0)
        return std::nullopt;
    std::optional<Clock::time_point> stored = watch_.next(kArrivalWait);
    if (!stored)
        return std::nullopt;
    lastOurs_ = watch_.count();
    return bench::Sample{bench::ms(*stored - exited), bench::ms(*stored - start)};
}

std::optional<bench::Sample> EndToEnd::peerOnce(const std::string& pdf)
{
    const std::string work = home_.path() + "/peer";
    fs::create_directories(work);
    Clock::time_point start = Clock::now();
    if (runQuietly({"/bin/sh", KORVA_PEER_ROUTE, pdf, std::to_string(sim_.port("smtp")), kUser, kPassword, kFrom,
                    kFaxAddress, work}) != 0)
        return std::nullopt;
    std::optional<Clock::time_point> stored = watch_.next(kArrivalWait);
    if (!stored)
        return std::nullopt;
    double whole = bench::ms(*stored - start);
    return bench::Sample{whole, whole};
}

std::optional<double> EndToEnd::serverShare()
{
    char number[32];
    std::snprintf(number, sizeof number, "/%04d.eml", lastOurs_);
    Clock::time_point start = Clock::now();
    if (runQuietly({"/usr/bin/curl", "-sS", "--url", "smtp://127.0.0.1:" + std::to_string(sim_.port("smtp")), "--user",
                    std::string(kUser) + ":" + kPassword, "--mail-from", kFrom, "--mail-rcpt", kFaxAddress,
                    "--upload-file", received_ + number}) != 0)
        return std::nullopt;
    std::optional<Clock::time_point> stored = watch_.next(kArrivalWait);
    return stored ? std::optional<double>(bench::ms(*stored - start)) : std::nullopt;
}

struct Document {
    const char* title;
    std::string pdf;
    std::vector<std::string> printOptions;
    double goalMs;
};

bool measure(EndToEnd& run, const Document& document)
{
    std::vector<bench::Sample> ours, peer;
    for (int n = 0; n < kRuns; ++n) {
        std::optional<bench::Sample> mine = run.printOnce(document.pdf, document.printOptions);
        std::optional<bench::Sample> theirs = run.peerOnce(document.pdf);
        if (!mine || !theirs) {
            std::printf("%s: %s route failed\n", document.title, mine ? "the peer's" : "our");
            return false;
        }
        ours.push_back(*mine);
        peer.push_back(*theirs);
    }
    std::optional<double> server = run.serverShare();
    bench::printRows(document.title, ours, peer, document.goalMs);
    if (server)
        std::printf("  of which korva-sim takes about %.0f ms to take the message (curl sending it again)\n\n",
                    *server);
    return true;
}

}  // namespace

int main()
{
    // The programs beside this one: build/bench -> build/bin.
    const fs::path build = fs::canonical("/proc/self/exe").parent_path().parent_path();
    setenv("KORVA_BIN_DIR", (build / "bin").c_str(), 1);
    bool ok = true;
    try {
        EndToEnd run;
        const std::string colour = run.folder() + "/colour.pdf";
        korva::testing::writeWholeFile(colour, bench::colourDocumentPdf(kColourPages));
        const Document documents[] = {
            {"letter", KORVA_SAMPLE_LETTER, {}, 150},
            {"colour, 10 pages", colour, {"--format", "colour"}, 250},
        };
        if (!run.start() || !run.printOnce(KORVA_SAMPLE_LETTER, {})) {  // also the warm-up
            std::printf("faxcourier did not send the first fax\n");
            return 1;
        }
        for (const Document& document : documents)
            ok = measure(run, document) && ok;
    } catch (const std::exception& error) {
        std::printf("end_to_end_bench: %s\n", error.what());
        return 1;
    }
    // The same documents through a stock Postfix, with a faxcourier of its own.
    char folder[] = "/tmp/korva-bench-XXXXXX";
    if (!mkdtemp(folder))
        return 1;
    const std::string colour = std::string(folder) + "/colour.pdf";
    korva::testing::writeWholeFile(colour, bench::colourDocumentPdf(kColourPages));
    ok = bench::measurePostfixRoute(
             {{"letter", KORVA_SAMPLE_LETTER, {}}, {"colour, 10 pages", colour, {"--format", "colour"}}}, kRuns) &&
         ok;
    fs::remove_all(folder);
    // After the first faxcourier has gone: the scheduler's backend hands over to the printing user's own.
    bench::LpRouteResult lp = bench::measureLpRoute(KORVA_SAMPLE_LETTER, kRuns);
    bench::printLpRow("letter", lp);
    return ok ? 0 : 1;
}
