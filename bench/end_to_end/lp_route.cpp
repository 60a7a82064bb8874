#include "lp_route.h"

#include "stored_fax_watch.h"

#include "platform/testing/test_support.h"
#include "tools/cups/testing/background_process.h"
#include "tools/cups/testing/build_paths.h"
#include "tools/cups/testing/courier_settings.h"
#include "tools/cups/testing/job_user_fixture.h"
#include "tools/cups/testing/private_cupsd.h"
#include "tools/korva-sim/testing/korva_sim_process.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>

namespace bench {
namespace {

namespace fs = std::filesystem;
using namespace korva::cups::testing;
using korva::testing::binPath;
using korva::testing::runProcess;

class LpRoute {
public:
    LpRoute() : cupsd_(user_) {}
    std::string start();
    std::optional<double> printOnce(const std::string& pdf);

private:
    EnvList session() const;

    TestUser user_;
    PrivateCupsd cupsd_;
    std::unique_ptr<korva::testing::KorvaSimProcess> sim_;
    std::unique_ptr<StoredFaxWatch> watch_;
    std::unique_ptr<BackgroundProcess> courier_;
    std::string userPdf_;
};

EnvList LpRoute::session() const
{
    EnvList env = user_.sessionEnv();
    env.emplace_back("CUPS_SERVER", cupsd_.server());
    env.emplace_back("KORVAFAX_SYSCONFDIR", cupsd_.sysconf());
    return env;
}

std::string LpRoute::start()
{
    if (std::string why = cupsd_.start(); !why.empty())
        return why;
    EnvList admin = cupsd_.clientEnv();
    admin.emplace_back("KORVAFAX_PPD", KORVAFAX_PPD_SOURCE);
    admin.emplace_back("KORVAFAX_STATE_DIR", user_.root() + "/state");
    if (runProcess({installPrinterScript()}, "", admin).exitCode != 0)
        return "the fax queue could not be added";
    const std::string received = user_.root() + "/received";
    fs::create_directories(received);
    sim_ = std::make_unique<korva::testing::KorvaSimProcess>(received, kSimUser, kSimPassword, kSimFaxAddress);
    watch_ = std::make_unique<StoredFaxWatch>(received);
    if (!storeCourierSettings(user_, sim_->port("smtp")))
        return "the settings could not be written";
    EnvList env = session();
    env.emplace_back("XDG_RUNTIME_DIR", user_.makeFolder("runtime", user_.uid(), 0700));
    courier_ = std::make_unique<BackgroundProcess>(
        user_.runAs({binPath("faxcourier")}), env,
        std::vector<std::string>{"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}, user_.root() + "/faxcourier.out");
    return "";
}

std::optional<double> LpRoute::printOnce(const std::string& pdf)
{
    if (userPdf_.empty()) {
        userPdf_ = user_.home() + "/document.pdf";
        fs::copy_file(pdf, userPdf_, fs::copy_options::overwrite_existing);
        user_.giveToUser(userPdf_);
    }
    auto preset =
        runProcess(user_.runAs({binPath("faxpreset"), "-s", "Benchmark", "-r", "0301 555~Anna Berg~"}), "", session());
    if (preset.exitCode != 0)
        return std::nullopt;
    Clock::time_point start = Clock::now();
    auto printed =
        runProcess(user_.runAs({"/usr/bin/lp", "-d", "KORVA_Fax", "-o", "media=A4", userPdf_}), "", session());
    if (printed.exitCode != 0)
        return std::nullopt;
    std::optional<Clock::time_point> stored = watch_->next(std::chrono::seconds(60));
    if (!stored)
        return std::nullopt;
    return ms(*stored - start);
}

}  // namespace

LpRouteResult measureLpRoute(const std::string& pdf, int runs)
{
    LpRouteResult result;
    if (result.unavailable = PrivateCupsd::unavailable(); !result.unavailable.empty())
        return result;
    LpRoute route;
    if (result.unavailable = route.start(); !result.unavailable.empty())
        return result;
    if (!route.printOnce(pdf)) {  // the warm-up: the first job starts the filters cold
        result.unavailable = "the first job did not reach korva-sim";
        return result;
    }
    for (int n = 0; n < runs; ++n) {
        std::optional<double> whole = route.printOnce(pdf);
        if (!whole) {
            result.unavailable = "a job did not reach korva-sim";
            result.wholeMs.clear();
            return result;
        }
        result.wholeMs.push_back(*whole);
    }
    return result;
}

void printLpRow(const char* title, const LpRouteResult& lp)
{
    if (!lp.unavailable.empty()) {
        std::printf("CUPS route, %s: not measured (%s)\n\n", title, lp.unavailable.c_str());
        std::printf("result: CUPS route %s | not measured | - | - | - | - (figure)\n", title);
        return;
    }
    Spread s = spreadOf(lp.wholeMs);
    std::printf("CUPS route, %s, %zu runs (median, lowest to highest):\n", title, lp.wholeMs.size());
    std::printf("  lp's start to the fax stored       %6.0f ms  (%.0f to %.0f)\n\n", s.median, s.low, s.high);
    std::printf("result: CUPS route %s | %.0f ms (%.0f-%.0f) | - | - | - | - (figure)\n", title, s.median, s.low,
                s.high);
}

}  // namespace bench
