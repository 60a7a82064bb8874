#include "tools/cups/testing/private_cupsd.h"

#include "bandsink64/exit_library_loader.h"
#include "platform/testing/loopback_ports.h"
#include "platform/testing/test_support.h"

#include <cups/cups.h>

#include <arpa/inet.h>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;

namespace korva::cups::testing {
namespace {

const char* const systemServerBin = "/usr/lib/cups";
const char* const cupsdPath = "/usr/sbin/cupsd";

}  // namespace

std::string PrivateCupsd::unavailable()
{
    for (const char* program : {cupsdPath, "/usr/sbin/lpadmin", "/usr/bin/lp"})
        if (access(program, X_OK) != 0)
            return std::string(program) + " is not installed (Debian package cups)";
    if (!fs::exists(std::string(systemServerBin) + "/filter/pdftopdf"))
        return "the CUPS filters are not installed (Debian package cups-filters)";
    return TestUser::unavailable();
}

std::string backendScript(const TestUser& user, const EnvList& extra)
{
    // The scheduler drops LD_PRELOAD from a backend's environment, so the
    // backend is started through a script that brings nss_wrapper back.
    std::string script = "#!/bin/sh\n";
    EnvList env = user.nssEnv();
    env.insert(env.end(), extra.begin(), extra.end());
    // A sanitizer build's backend keeps the options of the test run (the
    // preloaded nss_wrapper comes before the sanitizer's runtime).
    for (const char* name : {"ASAN_OPTIONS", "LSAN_OPTIONS", "UBSAN_OPTIONS", "TSAN_OPTIONS"})
        if (const char* value = std::getenv(name))
            env.emplace_back(name, value);
    for (const auto& [name, value] : env)
        script += "export " + name + "='" + value + "'\n";
    return script + "exec '" + korva::testing::binPath("korvafax") + "' \"$@\"\n";
}

PrivateCupsd::PrivateCupsd(const TestUser& user) : user_(user)
{
    root_ = user.root() + "/cups";
    conf_ = root_ + "/conf";
    serverBin_ = root_ + "/bin";
    spool_ = root_ + "/spool";
    logs_ = root_ + "/log";
    sysconf_ = root_ + "/etc";
    for (const std::string& dir : {conf_ + "/ppd", serverBin_ + "/backend", serverBin_ + "/filter", spool_ + "/tmp",
                                   logs_, root_ + "/cache", root_ + "/state", sysconf_})
        fs::create_directories(dir);
    for (const std::string& dir : {root_, serverBin_, serverBin_ + "/backend", serverBin_ + "/filter", sysconf_})
        chmod(dir.c_str(), 0755);
    linkServerBin();
}

PrivateCupsd::~PrivateCupsd() { stop(); }

void PrivateCupsd::linkServerBin()
{
    for (const char* kind : {"filter", "backend"}) {
        for (const auto& entry : fs::directory_iterator(std::string(systemServerBin) + "/" + kind)) {
            if (entry.path().filename() != "korvafax")
                fs::create_symlink(entry.path(), serverBin_ + "/" + kind + "/" + entry.path().filename().string());
        }
    }
    for (const char* dir : {"daemon", "monitor", "notifier"})
        if (fs::exists(std::string(systemServerBin) + "/" + dir))
            fs::create_directory_symlink(std::string(systemServerBin) + "/" + dir, serverBin_ + "/" + dir);
    // Not executable by others, so that a cupsd running as root runs it as root.
    const std::string backend = serverBin_ + "/backend/korvafax";
    const std::string script = backendScript(user_, {});
    korva::testing::writeWholeFile(backend, script);
    chmod(backend.c_str(), 0700);
}

void PrivateCupsd::writeConfig()
{
    const bool root = geteuid() == 0;
    std::string files = "ServerRoot " + conf_ + "\nServerBin " + serverBin_ + "\nRequestRoot " + spool_ + "\nTempDir " +
                        spool_ + "/tmp\nCacheDir " + root_ + "/cache\nStateDir " + root_ + "/state\nAccessLog " +
                        logs_ + "/access_log\nErrorLog " + logs_ + "/error_log\nPageLog " + logs_ +
                        "/page_log\nPrintcap " + root_ + "/printcap\n" + "SetEnv KORVAFAX_BANDSINK " +
                        korva::exitLibraryPath() + "\n" + "SetEnv KORVAFAX_SYSCONFDIR " + sysconf_ + "\n";
    if (root)
        files += "User lp\nGroup lp\nSystemGroup root\n";
    korva::testing::writeWholeFile(conf_ + "/cups-files.conf", files);
    korva::testing::writeWholeFile(conf_ + "/cupsd.conf",
                                   "LogLevel debug\nListen 127.0.0.1:" + std::to_string(port_) +
                                       "\nBrowsing No\nBrowseLocalProtocols none\nDefaultShared No\n"
                                       "WebInterface No\nDefaultAuthType None\n"
                                       "<Location />\nOrder allow,deny\nAllow 127.0.0.1\n</Location>\n"
                                       "<Location /admin>\nOrder allow,deny\nAllow 127.0.0.1\n</Location>\n"
                                       "<Policy default>\n<Limit All>\nOrder deny,allow\n</Limit>\n</Policy>\n");
}

std::string PrivateCupsd::start()
{
    port_ = korva::testing::unusedLoopbackPort();
    if (port_ == 0)
        return "no free port on 127.0.0.1";
    writeConfig();
    const std::string out = logs_ + "/cupsd.out";
    const EnvList env = user_.nssEnv();
    korva::testing::ChildOptions options;
    options.setEnv.assign(env.begin(), env.end());
    options.out = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    options.err = options.out;
    options.ownProcessGroup = true;
    options.dieWithParent = true;  // a test that dies takes its scheduler along
    child_ = std::make_unique<korva::testing::ChildProcess>(
        std::vector<std::string>{cupsdPath, "-f", "-c", conf_ + "/cupsd.conf", "-s", conf_ + "/cups-files.conf"},
        options);
    if (options.out >= 0)
        close(options.out);
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (std::chrono::steady_clock::now() < deadline) {
        if (!child_->running()) {
            child_.reset();
            return "cupsd exited at once: " + korva::testing::readWholeFile(out) + errorLog();
        }
        if (korva::testing::loopbackPortAnswers(port_))
            return {};
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return "cupsd did not answer on " + server() + ": " + errorLog();
}

void PrivateCupsd::stop()
{
    if (!child_)
        return;
    const pid_t group = child_->pid();
    child_->stop(std::chrono::seconds(10));
    // Anything of its own that it left behind.
    if (group > 0)
        kill(-group, SIGKILL);
    child_.reset();
}

EnvList PrivateCupsd::clientEnv() const
{
    EnvList env = user_.nssEnv();
    env.emplace_back("CUPS_SERVER", server());
    return env;
}

std::string PrivateCupsd::errorLog() const
{
    std::error_code ec;
    return fs::exists(logs_ + "/error_log", ec) ? korva::testing::readWholeFile(logs_ + "/error_log") : "";
}

int PrivateCupsd::jobState(int jobId, std::string* message) const
{
    http_t* http = httpConnect2("127.0.0.1", port_, nullptr, AF_INET, HTTP_ENCRYPTION_NEVER, 1, 5000, nullptr);
    if (!http)
        return 0;
    ipp_t* request = ippNewRequest(IPP_OP_GET_JOB_ATTRIBUTES);
    const std::string uri = "ipp://127.0.0.1:" + std::to_string(port_) + "/jobs/" + std::to_string(jobId);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "job-uri", nullptr, uri.c_str());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr, cupsUser());
    ipp_t* response = cupsDoRequest(http, request, "/");
    int state = 0;
    if (response) {
        if (ipp_attribute_t* a = ippFindAttribute(response, "job-state", IPP_TAG_ENUM))
            state = ippGetInteger(a, 0);
        if (ipp_attribute_t* a = ippFindAttribute(response, "job-printer-state-message", IPP_TAG_TEXT); a && message)
            *message = ippGetString(a, 0, nullptr);
        ippDelete(response);
    }
    httpClose(http);
    return state;
}

std::string PrivateCupsd::lastJobMessage(int jobId) const
{
    const std::string log = errorLog();
    const std::string mark = "[Job " + std::to_string(jobId) + "] Set job-printer-state-message to \"";
    const size_t at = log.rfind(mark);
    if (at == std::string::npos)
        return {};
    const size_t begin = at + mark.size();
    const size_t end = log.find("\", current level", begin);
    return log.substr(begin, end == std::string::npos ? std::string::npos : end - begin);
}

int PrivateCupsd::printerType(const std::string& queue) const
{
    http_t* http = httpConnect2("127.0.0.1", port_, nullptr, AF_INET, HTTP_ENCRYPTION_NEVER, 1, 5000, nullptr);
    if (!http)
        return -1;
    ipp_t* request = ippNewRequest(IPP_OP_GET_PRINTER_ATTRIBUTES);
    const std::string uri = "ipp://127.0.0.1:" + std::to_string(port_) + "/printers/" + queue;
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri.c_str());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", nullptr, "printer-type");
    ipp_t* response = cupsDoRequest(http, request, "/");
    int type = -1;
    if (response) {
        if (ipp_attribute_t* a = ippFindAttribute(response, "printer-type", IPP_TAG_ENUM))
            type = ippGetInteger(a, 0);
        ippDelete(response);
    }
    httpClose(http);
    return type;
}

int PrivateCupsd::waitForJob(int jobId, int timeoutMs) const
{
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    int state = 0;
    while (std::chrono::steady_clock::now() < deadline) {
        state = jobState(jobId);
        if (state >= IPP_JSTATE_CANCELED)
            return state;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return state;
}

}  // namespace korva::cups::testing
