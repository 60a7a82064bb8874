#include "tools/korva-sim/testing/korva_sim_process.h"

#include "platform/testing/test_support.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <sstream>
#include <stdexcept>
#include <unistd.h>

namespace korva::testing {

namespace {

constexpr int kReadyWaitMs = 30000;

std::string readLine(int fd, int timeoutMs)
{
    std::string line;
    char c = 0;
    while (line.empty() || line.back() != '\n') {
        pollfd waiting{fd, POLLIN, 0};
        if (poll(&waiting, 1, timeoutMs) <= 0 || read(fd, &c, 1) != 1)
            break;
        line.push_back(c);
    }
    if (!line.empty() && line.back() == '\n')
        line.pop_back();
    return line;
}

}  // namespace

KorvaSimProcess::KorvaSimProcess(const std::string& spool, const std::string& user, const std::string& password,
                                 const std::string& faxAddress, const std::vector<std::string>& extraArguments)
{
    std::vector<std::string> argv = {binPath("korva-sim"), "--spool", spool,           "--user",  user,
                                     "--password",         password,  "--fax-address", faxAddress};
    argv.insert(argv.end(), extraArguments.begin(), extraArguments.end());
    int pipeEnds[2];
    if (pipe2(pipeEnds, O_CLOEXEC) != 0)
        throw std::runtime_error("pipe failed");
    ChildOptions options;
    options.out = pipeEnds[1];
    child_ = std::make_unique<ChildProcess>(argv, options);
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
        if (equals != std::string::npos)
            ports_[word.substr(0, equals)] = std::stoi(word.substr(equals + 1));
    }
}

KorvaSimProcess::~KorvaSimProcess() { stop(); }

int KorvaSimProcess::port(const std::string& name) const
{
    auto it = ports_.find(name);
    return it == ports_.end() ? 0 : it->second;
}

int KorvaSimProcess::stop()
{
    if (!child_ || child_->pid() <= 0)
        return -1;
    int status = child_->stop(std::chrono::seconds(10));
    close(output_);
    output_ = -1;
    return status < 0 ? 128 + SIGKILL : status;
}

}  // namespace korva::testing
