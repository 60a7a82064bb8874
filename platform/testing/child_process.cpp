#include "platform/testing/child_process.h"

#include "platform/testing/poll_until.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <stdexcept>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace korva::testing {
namespace {

bool named(const char* entry, const std::string& name)
{
    return std::strncmp(entry, name.c_str(), name.size()) == 0 && entry[name.size()] == '=';
}

// Built before fork: the child of a threaded test may only call
// async-signal-safe functions.
std::vector<std::string> childEnvironment(const ChildOptions& options)
{
    std::vector<std::string> env;
    for (char** entry = environ; *entry; ++entry) {
        auto replaced = [&](const std::string& name) { return named(*entry, name); };
        bool dropped = std::any_of(options.unsetEnv.begin(), options.unsetEnv.end(), replaced) ||
                       std::any_of(options.setEnv.begin(), options.setEnv.end(),
                                   [&](const auto& variable) { return replaced(variable.first); });
        if (!dropped)
            env.emplace_back(*entry);
    }
    for (const auto& [name, value] : options.setEnv)
        env.push_back(name + "=" + value);
    return env;
}

std::vector<char*> pointers(std::vector<std::string>& strings)
{
    std::vector<char*> result;
    for (std::string& s : strings)
        result.push_back(s.data());
    result.push_back(nullptr);
    return result;
}

[[noreturn]] void runChild(const ChildOptions& options, char* const* args, char* const* env, const std::string& failure)
{
    if (options.in >= 0)
        dup2(options.in, 0);
    if (options.out >= 0)
        dup2(options.out, 1);
    if (options.err >= 0)
        dup2(options.err, 2);
    if (options.ownProcessGroup)
        setpgid(0, 0);
    if (options.dieWithParent)
        prctl(PR_SET_PDEATHSIG, SIGTERM);
    execve(args[0], args, env);
    const char* reason = strerror(errno);
    if (write(2, failure.data(), failure.size()) < 0 || write(2, reason, std::strlen(reason)) < 0 ||
        write(2, "\n", 1) < 0) {
        // nowhere left to say it
    }
    _exit(127);
}

}  // namespace

ChildProcess::ChildProcess(const std::vector<std::string>& argv, const ChildOptions& options)
{
    std::vector<std::string> argStrings = argv;
    std::vector<std::string> envStrings = childEnvironment(options);
    std::vector<char*> args = pointers(argStrings);
    std::vector<char*> env = pointers(envStrings);
    const std::string failure = "exec " + argv.at(0) + ": ";
    pid_ = fork();
    if (pid_ < 0)
        throw std::runtime_error("fork failed");
    if (pid_ == 0)
        runChild(options, args.data(), env.data(), failure);
}

ChildProcess::~ChildProcess()
{
    if (running()) {
        kill(pid_, SIGKILL);
        reap(0);
    }
}

bool ChildProcess::reap(int options)
{
    int status = 0;
    pid_t ended = waitpid(pid_, &status, options);
    if (ended == 0)
        return false;
    status_ = ended < 0 ? 255 : WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    pid_ = -1;
    return true;
}

bool ChildProcess::running() { return pid_ > 0 && !reap(WNOHANG); }

void ChildProcess::signal(int number)
{
    if (running())
        kill(pid_, number);
}

int ChildProcess::waitForExit(std::chrono::milliseconds timeout)
{
    pollUntil([this] { return !running(); }, timeout);
    return status_;
}

int ChildProcess::wait()
{
    if (pid_ > 0)
        reap(0);
    return status_;
}

int ChildProcess::stop(std::chrono::milliseconds timeout)
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

}  // namespace korva::testing
