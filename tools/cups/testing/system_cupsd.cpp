#include "tools/cups/testing/system_cupsd.h"

#include "tools/cups/testing/private_cupsd.h"

#include "bandsink64/exit_library_loader.h"
#include "platform/testing/test_support.h"

#include <chrono>
#include <cstdio>
#include <csignal>
#include <filesystem>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;
using korva::testing::readWholeFile;
using korva::testing::runProcess;
using korva::testing::writeWholeFile;

namespace korva::cups::testing {
namespace {

const char* const runDir = "/run/cups";
const char* const rootSpoolParent = "/root/.local";

std::map<std::string, std::string> filesOf(const std::string& folder)
{
    std::map<std::string, std::string> files;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(folder, ec))
        if (entry.is_regular_file() && !entry.is_symlink())
            files[entry.path().string()] = readWholeFile(entry.path().string());
    return files;
}

std::map<std::string, std::string> configFiles()
{
    auto files = filesOf(SystemCupsd::confDir);
    files.merge(filesOf(std::string(SystemCupsd::confDir) + "/ppd"));
    return files;
}

// Owner and mode of /etc/cups, its folders and the files in `files`.
template <typename Owner>
std::map<std::string, Owner> ownersOf(const std::map<std::string, std::string>& files)
{
    std::map<std::string, Owner> owners;
    std::vector<std::string> paths{SystemCupsd::confDir};
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(SystemCupsd::confDir, ec))
        if (entry.is_directory() && !entry.is_symlink())
            paths.push_back(entry.path().string());
    for (const auto& [path, bytes] : files)
        paths.push_back(path);
    for (const std::string& path : paths) {
        struct stat st {};
        if (lstat(path.c_str(), &st) == 0)
            owners[path] = Owner{unsigned(st.st_mode & 07777), st.st_uid, st.st_gid};
    }
    return owners;
}

bool schedulerRunning() { return runProcess({"/usr/bin/lpstat", "-r"}).out.find("scheduler is running") == 0; }

}  // namespace

std::string SystemCupsd::unavailable()
{
    if (geteuid() != 0)
        return "needs root: it runs the machine's cupsd with its own configuration and changes it";
    if (std::string why = PrivateCupsd::unavailable(); !why.empty())
        return why;
    if (schedulerRunning())
        return "the machine's cupsd runs already; the test starts it itself, so that it knows the test users";
    if (readWholeFile(std::string(confDir) + "/printers.conf").find("KORVA_Fax") != std::string::npos)
        return "the machine has a KORVA_Fax queue, which the test leaves alone";
    return {};
}

SystemCupsd::SystemCupsd(const TestUser& user) : user_(user)
{
    saved_ = configFiles();
    owners_ = ownersOf<Owner>(saved_);
    if (!fs::exists(runDir))
        createdRunDir_ = runDir;
    if (!fs::exists(rootSpoolParent))
        createdRootFolder_ = rootSpoolParent;
    installBackend();
}

SystemCupsd::~SystemCupsd() { restore(); }

// The built backend, with the installed one (if any) kept aside.
void SystemCupsd::installBackend()
{
    backend_ = "/usr/lib/cups/backend/korvafax";
    if (fs::exists(fs::symlink_status(backend_))) {
        savedBackend_ = backend_ + ".korvafax-test";
        fs::rename(backend_, savedBackend_);
    }
    const std::string script = backendScript(user_, {{"KORVAFAX_BANDSINK", korva::exitLibraryPath()}});
    writeWholeFile(backend_, script);
    chmod(backend_.c_str(), 0700);
}

std::string SystemCupsd::start()
{
    fs::create_directories(runDir);
    korva::testing::ChildOptions options;
    const EnvList env = user_.nssEnv();
    options.setEnv.assign(env.begin(), env.end());
    options.ownProcessGroup = true;
    options.dieWithParent = true;
    child_ = std::make_unique<korva::testing::ChildProcess>(std::vector<std::string>{"/usr/sbin/cupsd", "-f"}, options);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (std::chrono::steady_clock::now() < deadline) {
        if (!child_->running())
            return "cupsd exited at once; see /var/log/cups/error_log";
        if (schedulerRunning())
            return {};
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return "cupsd did not answer on " + std::string(runDir) + "/cups.sock";
}

std::string SystemCupsd::cupsdConf() { return readWholeFile(std::string(confDir) + "/cupsd.conf"); }

bool SystemCupsd::waitForJob(int jobId, int timeoutMs) const
{
    const std::string id = "KORVA_Fax-" + std::to_string(jobId) + " ";
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (std::chrono::steady_clock::now() < deadline) {
        if (runProcess({"/usr/bin/lpstat", "-o", "KORVA_Fax"}).out.find(id) == std::string::npos)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return false;
}

void SystemCupsd::restore()
{
    if (child_) {
        // The test's jobs and queue go with the scheduler's own tools first.
        (void)runProcess({"/usr/bin/cancel", "-a", "-x", "KORVA_Fax"});
        (void)runProcess({"/usr/sbin/lpadmin", "-x", "KORVA_Fax"});
        const pid_t group = child_->pid();
        (void)child_->stop(std::chrono::seconds(10));
        if (group > 0)
            kill(-group, SIGKILL);
        child_.reset();
    }
    for (const auto& [path, bytes] : configFiles())
        if (!saved_.count(path))
            fs::remove(path);
    for (const auto& [path, bytes] : saved_)
        if (!fs::exists(path) || readWholeFile(path) != bytes)
            writeWholeFile(path, bytes);
    for (const auto& [path, owner] : owners_) {
        if (lchown(path.c_str(), owner.uid, owner.gid) != 0 || chmod(path.c_str(), owner.mode) != 0)
            std::fprintf(stderr, "cannot put back the owner and mode of %s\n", path.c_str());
    }
    std::error_code ec;
    fs::remove(backend_, ec);
    if (!savedBackend_.empty())
        fs::rename(savedBackend_, backend_, ec);
    if (!createdRunDir_.empty())
        fs::remove_all(createdRunDir_, ec);
    if (!createdRootFolder_.empty())
        fs::remove_all(createdRootFolder_, ec);
}

}  // namespace korva::cups::testing
