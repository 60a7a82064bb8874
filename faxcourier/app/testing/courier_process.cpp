#include "faxcourier/app/testing/courier_process.h"

#include "platform/testing/test_support.h"

#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace korva::app::testing {
namespace {

constexpr auto pollStep = std::chrono::milliseconds(10);

bool isDisplayVariable(const char* entry)
{
    for (const char* name : {"DISPLAY=", "WAYLAND_DISPLAY=", "QT_QPA_PLATFORM="})
        if (std::strncmp(entry, name, std::strlen(name)) == 0)
            return true;
    return false;
}

}  // namespace

bool pollUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout)
{
    auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline)
            return condition();
        std::this_thread::sleep_for(pollStep);
    }
    return true;
}

CourierProcess::CourierProcess(const std::vector<std::string>& arguments, const std::string& errorFile,
                               const std::string& program)
{
    std::vector<std::string> argv{program.empty() ? korva::testing::binPath("faxcourier") : program};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    std::vector<char*> args;
    for (std::string& a : argv)
        args.push_back(a.data());
    args.push_back(nullptr);
    // Built before fork: the child only calls async-signal-safe functions.
    std::vector<char*> env;
    for (char** entry = environ; *entry; ++entry)
        if (!isDisplayVariable(*entry))
            env.push_back(*entry);
    env.push_back(nullptr);
    int errorFd = open(errorFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (errorFd < 0)
        throw std::runtime_error("cannot create " + errorFile);
    pid_ = fork();
    if (pid_ == 0) {
        dup2(errorFd, 2);
        int null = open("/dev/null", O_RDWR);
        dup2(null, 0);
        dup2(null, 1);
        execve(args[0], args.data(), env.data());
        _exit(127);
    }
    close(errorFd);
    if (pid_ < 0)
        throw std::runtime_error("fork failed");
}

CourierProcess::~CourierProcess()
{
    if (running()) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
}

bool CourierProcess::running()
{
    if (pid_ <= 0 || status_ >= 0)
        return false;
    int status = 0;
    pid_t ended = waitpid(pid_, &status, WNOHANG);
    if (ended == 0)
        return true;
    if (ended < 0) {
        status_ = 255;
        return false;
    }
    status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return false;
}

void CourierProcess::signal(int number)
{
    if (running())
        kill(pid_, number);
}

int CourierProcess::waitForExit(std::chrono::milliseconds timeout)
{
    pollUntil([this] { return !running(); }, timeout);
    return status_;
}

bool waitForFileText(const std::string& path, const std::string& text, std::chrono::milliseconds timeout)
{
    return pollUntil(
        [&] {
            std::ifstream in(path, std::ios::binary);
            std::stringstream content;
            content << in.rdbuf();
            return content.str().find(text) != std::string::npos;
        },
        timeout);
}

bool waitForFile(const std::string& path, bool exists, std::chrono::milliseconds timeout)
{
    return pollUntil(
        [&] {
            struct stat info {};
            return (stat(path.c_str(), &info) == 0) == exists;
        },
        timeout);
}

}  // namespace korva::app::testing
