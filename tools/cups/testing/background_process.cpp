#include "tools/cups/testing/background_process.h"

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <stdexcept>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace korva::cups::testing {

BackgroundProcess::BackgroundProcess(const std::vector<std::string>& argv, const EnvList& env,
                                     const std::vector<std::string>& unset, const std::string& outputFile)
{
    std::vector<char*> args;
    for (const std::string& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    pid_ = fork();
    if (pid_ < 0)
        throw std::runtime_error("fork failed");
    if (pid_ == 0) {
        prctl(PR_SET_PDEATHSIG, SIGTERM);  // gone with the test
        int fd = open(outputFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        if (fd >= 0) {
            dup2(fd, 1);
            dup2(fd, 2);
        }
        int null = open("/dev/null", O_RDONLY);
        dup2(null, 0);
        for (const std::string& name : unset)
            unsetenv(name.c_str());
        for (const auto& [name, value] : env)
            setenv(name.c_str(), value.c_str(), 1);
        execv(args[0], args.data());
        _exit(127);
    }
}

BackgroundProcess::~BackgroundProcess()
{
    if (running()) {
        kill(pid_, SIGKILL);
        reap(0);
    }
}

bool BackgroundProcess::reap(int options)
{
    int status = 0;
    if (waitpid(pid_, &status, options) != pid_)
        return false;
    status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    pid_ = -1;
    return true;
}

bool BackgroundProcess::running() { return pid_ > 0 && !reap(WNOHANG); }

int BackgroundProcess::stop(std::chrono::milliseconds timeout)
{
    if (!running())
        return status_;
    kill(pid_, SIGTERM);
    if (pollUntil([this] { return !running(); }, timeout))
        return status_;
    kill(pid_, SIGKILL);
    reap(0);
    return -1;
}

bool pollUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= deadline)
            return condition();
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

}  // namespace korva::cups::testing
