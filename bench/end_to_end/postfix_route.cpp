#include "postfix_route.h"

#include "maildir_watch.h"
#include "quiet_run.h"

#include "faxcourier/settings/settings.h"
#include "platform/registry_store.h"
#include "platform/testing/child_process.h"
#include "platform/testing/test_support.h"
#include "tools/postfix/testing/private_postfix.h"

#include <cstdio>
#include <memory>
#include <optional>
#include <unistd.h>

namespace bench {
namespace {

using korva::testing::binPath;
using korva::testing::PostfixPort;
using korva::testing::PrivatePostfix;

constexpr auto kArrivalWait = std::chrono::seconds(60);

class PostfixRoute {
public:
    PostfixRoute() : postfix_(home_.path() + "/postfix") {}
    std::string start();
    std::optional<Sample> printOnce(const std::string& file, const std::vector<std::string>& options);

private:
    korva::testing::TempHome home_;  // before the server: its folder lives inside
    PrivatePostfix postfix_;
    std::unique_ptr<MaildirWatch> watch_;
    std::unique_ptr<korva::testing::ChildProcess> courier_;
};

std::string PostfixRoute::start()
{
    if (std::string why = postfix_.start(); !why.empty())
        return why;
    korva::Settings settings;
    settings.Server = "127.0.0.1";
    settings.SMTPServerPort = uint32_t(postfix_.port(PostfixPort::StartTls));
    settings.Encryption = korva::kEncryptionStartTls;
    settings.Username = korva::testing::kPostfixUser;
    settings.Password = korva::testing::kPostfixPassword;
    settings.EmailAddress = "bench@example.com";
    settings.FaxAddress = korva::testing::kPostfixFaxAddress;
    korva::RegistryKey key;
    if (!korva::SaveSettings(settings) ||
        key.create(korva::RegistryHive::CurrentUser, korva::kSettingsKey) != korva::kRegOk ||
        korva::String(postfix_.caFile().c_str()).WriteRegistryValue(key, "TLSCAFile") != korva::kRegOk)
        return "the settings could not be saved";
    key.close();
    watch_ = std::make_unique<MaildirWatch>(postfix_.maildirNew());
    korva::testing::ChildOptions options;
    options.unsetEnv = {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"};
    options.out = options.err = devNull();
    options.dieWithParent = true;
    courier_ = std::make_unique<korva::testing::ChildProcess>(std::vector<std::string>{binPath("faxcourier")}, options);
    close(options.out);
    return {};
}

std::optional<Sample> PostfixRoute::printOnce(const std::string& file, const std::vector<std::string>& options)
{
    if (runQuietly({binPath("faxpreset"), "-s", "Benchmark", "-r", "0301 555~Anna Berg~Acme Ltd"}) != 0)
        return std::nullopt;
    std::vector<std::string> argv{binPath("faxprint")};
    argv.insert(argv.end(), options.begin(), options.end());
    argv.push_back(file);
    Clock::time_point start = Clock::now(), exited;
    if (runQuietly(argv, &exited) != 0)
        return std::nullopt;
    std::optional<Clock::time_point> delivered = watch_->next(kArrivalWait);
    if (!delivered)
        return std::nullopt;
    return Sample{ms(*delivered - exited), ms(*delivered - start)};
}

void printPostfixRows(const char* title, const std::vector<Sample>& samples)
{
    std::vector<double> after, whole;
    for (const Sample& s : samples)
        after.push_back(s.afterPrint), whole.push_back(s.whole);
    Spread a = spreadOf(after), w = spreadOf(whole);
    std::printf("%s through Postfix (STARTTLS, AUTH by Dovecot), %zu runs (median, lowest to highest):\n", title,
                samples.size());
    std::printf("  faxprint's exit to the Maildir file  %6.0f ms  (%.0f to %.0f)\n", a.median, a.low, a.high);
    std::printf("  faxprint's start to the Maildir file %6.0f ms  (%.0f to %.0f)\n\n", w.median, w.low, w.high);
    std::printf("result: end to end %s, Postfix | %.0f ms (%.0f-%.0f) | - | - | - | - (figure)\n\n", title, a.median,
                a.low, a.high);
}

}  // namespace

bool measurePostfixRoute(const std::vector<PostfixDocument>& documents, int runs)
{
    if (std::string why = PrivatePostfix::unavailable(); !why.empty()) {
        std::printf("Postfix route not measured: %s\n", why.c_str());
        return true;
    }
    PostfixRoute route;
    if (std::string why = route.start(); !why.empty()) {
        std::printf("Postfix route: %s\n", why.c_str());
        return false;
    }
    if (!route.printOnce(documents.front().file, documents.front().printOptions)) {  // also the warm-up
        std::printf("Postfix route: the first fax did not arrive\n");
        return false;
    }
    for (const PostfixDocument& document : documents) {
        std::vector<Sample> samples;
        for (int n = 0; n < runs; ++n) {
            std::optional<Sample> sample = route.printOnce(document.file, document.printOptions);
            if (!sample) {
                std::printf("%s: the Postfix route failed\n", document.title);
                return false;
            }
            samples.push_back(*sample);
        }
        printPostfixRows(document.title, samples);
    }
    return true;
}

}  // namespace bench
