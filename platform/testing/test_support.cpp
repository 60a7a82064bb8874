#include "platform/testing/test_support.h"

#include "platform/testing/child_process.h"
#include "platform/translation.h"

#include <cctype>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <future>
#include <poll.h>
#include <sstream>
#include <stdexcept>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace korva::testing {
namespace {

// As in faxcourier: a peer that hangs up while libldap or OpenSSL writes
// fails that write with EPIPE instead of ending the test program.
[[maybe_unused]] const bool kBrokenPipesFailWrites = std::signal(SIGPIPE, SIG_IGN) != SIG_ERR;

const char* const homeVariables[] = {"HOME", "XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_STATE_HOME",
                                     "KORVAFAX_SYSCONFDIR"};

std::string dirFromEnv(const char* name, const char* fallback)
{
    const char* v = std::getenv(name);
    return v && *v ? v : fallback;
}

}  // namespace

TempHome::TempHome()
{
    std::string pattern = std::filesystem::temp_directory_path().string() + "/korva-home-XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (!mkdtemp(buffer.data()))
        throw std::runtime_error("mkdtemp failed");
    path_ = buffer.data();
    for (const char* name : homeVariables) {
        const char* old = std::getenv(name);
        saved_[name] = old ? std::optional<std::string>(old) : std::nullopt;
    }
    setenv("HOME", path_.c_str(), 1);
    setenv("XDG_DATA_HOME", (path_ + "/.local/share").c_str(), 1);
    setenv("XDG_CONFIG_HOME", configHome().c_str(), 1);
    setenv("XDG_STATE_HOME", stateHome().c_str(), 1);
    setenv("KORVAFAX_SYSCONFDIR", sysconf().c_str(), 1);
}

TempHome::~TempHome()
{
    for (auto& [name, value] : saved_) {
        if (value)
            setenv(name.c_str(), value->c_str(), 1);
        else
            unsetenv(name.c_str());
    }
    std::error_code ec;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all, ec);
    std::filesystem::remove_all(path_, ec);
}

std::string TempHome::spool() const { return path_ + "/.local/share/KORVAFax"; }
std::string TempHome::sysconf() const { return path_ + "/etc"; }
std::string TempHome::configHome() const { return path_ + "/.config"; }
std::string TempHome::stateHome() const { return path_ + "/.local/state"; }

ProcessResult runProcess(const std::vector<std::string>& argv, const std::string& input,
                         const std::vector<std::pair<std::string, std::string>>& extraEnv, int timeoutMs)
{
    int inPipe[2], outPipe[2], errPipe[2];
    if (pipe2(inPipe, O_CLOEXEC) || pipe2(outPipe, O_CLOEXEC) || pipe2(errPipe, O_CLOEXEC))
        throw std::runtime_error("pipe failed");
    ChildOptions options;
    options.setEnv = extraEnv;
    options.in = inPipe[0];
    options.out = outPipe[1];
    options.err = errPipe[1];
    ChildProcess child(argv, options);
    close(inPipe[0]);
    close(outPipe[1]);
    close(errPipe[1]);
    signal(SIGPIPE, SIG_IGN);
    size_t written = 0;
    int inFd = inPipe[1];
    if (input.empty()) {
        close(inFd);
        inFd = -1;
    }
    ProcessResult result;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    bool outOpen = true, errOpen = true;
    while (outOpen || errOpen) {
        pollfd fds[3];
        int n = 0;
        if (outOpen)
            fds[n++] = {outPipe[0], POLLIN, 0};
        if (errOpen)
            fds[n++] = {errPipe[0], POLLIN, 0};
        if (inFd >= 0)
            fds[n++] = {inFd, POLLOUT, 0};
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            result.timedOut = true;
            child.signal(SIGKILL);
            break;
        }
        if (poll(fds, nfds_t(n), int(left.count())) < 0 && errno != EINTR)
            break;
        for (int i = 0; i < n; ++i) {
            if (!fds[i].revents)
                continue;
            if (fds[i].fd == inFd) {
                ssize_t w = write(inFd, input.data() + written, input.size() - written);
                if (w > 0)
                    written += size_t(w);
                if (w < 0 || written == input.size()) {
                    close(inFd);
                    inFd = -1;
                }
                continue;
            }
            char buf[65536];
            ssize_t r = read(fds[i].fd, buf, sizeof buf);
            if (r <= 0) {
                (fds[i].fd == outPipe[0] ? outOpen : errOpen) = false;
                continue;
            }
            (fds[i].fd == outPipe[0] ? result.out : result.err).append(buf, size_t(r));
        }
    }
    if (inFd >= 0)
        close(inFd);
    close(outPipe[0]);
    close(errPipe[0]);
    result.exitCode = child.wait();
    return result;
}

// Outside CTest, relative to the top of the source tree.
std::string binPath(const std::string& program) { return dirFromEnv("KORVA_BIN_DIR", "build/bin") + "/" + program; }
std::string libPath(const std::string& library) { return dirFromEnv("KORVA_LIB_DIR", "build/lib") + "/" + library; }
std::string sourcePath(const std::string& relative) { return dirFromEnv("KORVA_SOURCE_DIR", ".") + "/" + relative; }

bool endsWithoutWaitingOn(const std::string& fifo, const std::function<void()>& work, int timeoutMs)
{
    auto done = std::async(std::launch::async, work);
    if (done.wait_for(std::chrono::milliseconds(timeoutMs)) == std::future_status::ready)
        return true;
    std::signal(SIGPIPE, SIG_IGN);  // the stuck writer may write on after we close
    int fd = ::open(fifo.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
    if (fd >= 0) {
        std::string filler(4096, '\0');
        if (::write(fd, filler.data(), filler.size()) < 0) {
            // nothing more to try: the wait below tells
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        ::close(fd);
    }
    done.wait();
    return false;
}

std::string readWholeFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

void writeWholeFile(const std::string& path, const std::string& content)
{
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(content.data(), std::streamsize(content.size()));
    if (!file)
        throw std::runtime_error("cannot write " + path);
}

unsigned fileMode(const std::string& path)
{
    struct stat st {};
    if (stat(path.c_str(), &st) != 0)
        return ~0u;
    return st.st_mode & 07777;
}

CapturedBoxes::CapturedBoxes()
{
    previous_ = setMessageBoxSink([this](const std::string& caption, const std::string& text) {
        std::lock_guard lock(mutex_);
        boxes_.emplace_back(caption, text);
    });
}

CapturedBoxes::~CapturedBoxes() { setMessageBoxSink(previous_); }

std::vector<std::pair<std::string, std::string>> CapturedBoxes::boxes() const
{
    std::lock_guard lock(mutex_);
    return boxes_;
}

size_t CapturedBoxes::count() const
{
    std::lock_guard lock(mutex_);
    return boxes_.size();
}

ReaderLanguage::ReaderLanguage(const std::string& language)
{
    for (const char* name : {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(name);
        saved_[name] = value ? std::optional<std::string>(value) : std::nullopt;
        ::unsetenv(name);
    }
    std::string country = language == "en" ? "US" : language;
    for (char& c : country)
        c = char(std::toupper(static_cast<unsigned char>(c)));
    ::setenv("LANGUAGE", language.c_str(), 1);
    ::setenv("LANG", (language + "_" + country + ".UTF-8").c_str(), 1);
    forgetTranslations();
}

ReaderLanguage::~ReaderLanguage()
{
    for (const auto& [name, value] : saved_) {
        if (value)
            ::setenv(name.c_str(), value->c_str(), 1);
        else
            ::unsetenv(name.c_str());
    }
    forgetTranslations();
}

}  // namespace korva::testing
