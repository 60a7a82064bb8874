#include "tools/korva-sim/testing/korva_sim_process.h"

#include "platform/testing/test_support.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <thread>
#include <poll.h>
#include <sstream>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

namespace korva::testing {

namespace {

constexpr int kReadyWaitMs = 30000;

std::string readLine(int fd, int timeoutMs) {
    std::string line;
    char c = 0;
    while (line.empty() || line.back() != '\n') {
        pollfd waiting{fd, POLLIN, 0};
        if (poll(&waiting, 1, timeoutMs) <= 0 || read(fd, &c, 1) != 1) break;
        line.push_back(c);
    }
    if (!line.empty() && line.back() == '\n') line.pop_back();
    return line;
}

}  // namespace

KorvaSimProcess::KorvaSimProcess(const std::string& spool, const std::string& user, const std::string& password,
                                 const std::string& faxAddress, const std::vector<std::string>& extraArguments) {
    std::vector<std::string> argv = {binPath("korva-sim"), "--spool", spool, "--user", user,
                                     "--password", password, "--fax-address", faxAddress};
    argv.insert(argv.end(), extraArguments.begin(), extraArguments.end());
    int pipeEnds[2];
    if (pipe2(pipeEnds, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
    pid_ = fork();
    if (pid_ < 0) throw std::runtime_error("fork failed");
    if (pid_ == 0) {
        dup2(pipeEnds[1], 1);
        std::vector<char*> args;
        for (std::string& a : argv) args.push_back(a.data());
        args.push_back(nullptr);
        execv(args[0], args.data());
        _exit(127);
    }
    close(pipeEnds[1]);
    output_ = pipeEnds[0];
    readyLine_ = readLine(output_, kReadyWaitMs);
    std::istringstream words(readyLine_);
    std::string word;
    words >> word;
    if (word != "ready") {
        stop();
        throw std::runtime_error("korva-sim did not get ready: \"" + readyLine_ + "\"");
    }
    while (words >> word) {
        size_t equals = word.find('=');
        if (equals != std::string::npos) ports_[word.substr(0, equals)] = std::stoi(word.substr(equals + 1));
    }
}

KorvaSimProcess::~KorvaSimProcess() { stop(); }

int KorvaSimProcess::port(const std::string& name) const {
    auto it = ports_.find(name);
    return it == ports_.end() ? 0 : it->second;
}

int KorvaSimProcess::stop() {
    if (pid_ <= 0) return -1;
    kill(pid_, SIGTERM);
    int status = 0;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (waitpid(pid_, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            kill(pid_, SIGKILL);
            waitpid(pid_, &status, 0);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    pid_ = -1;
    close(output_);
    output_ = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

}  // namespace korva::testing
