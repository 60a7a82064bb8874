#pragma once
// Helpers shared by the test suites: an isolated home folder, running a
// built program as a process, and capturing message boxes.

#include "platform/message_box.h"

#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace korva::testing {

// A temporary home: HOME, the XDG folders and KORVAFAX_SYSCONFDIR point
// inside it while the object lives; the folder is removed afterwards.
class TempHome {
public:
    TempHome();
    ~TempHome();
    TempHome(const TempHome&) = delete;
    TempHome& operator=(const TempHome&) = delete;

    const std::string& path() const { return path_; }
    std::string spool() const;    // the spool folder (not created)
    std::string sysconf() const;  // KORVAFAX_SYSCONFDIR
    std::string configHome() const;
    std::string stateHome() const;

private:
    std::string path_;
    std::map<std::string, std::optional<std::string>> saved_;
};

struct ProcessResult {
    int exitCode = -1;  // exit status, or 128 + signal
    std::string out;
    std::string err;
    bool timedOut = false;
};

// Runs `argv` (argv[0] a path) with the current environment plus `extraEnv`,
// feeding `input` on standard input; kills it after `timeoutMs`.
ProcessResult runProcess(const std::vector<std::string>& argv, const std::string& input = {},
                         const std::vector<std::pair<std::string, std::string>>& extraEnv = {}, int timeoutMs = 60000);

// Paths of what the build made (from KORVA_BIN_DIR / KORVA_LIB_DIR).
std::string binPath(const std::string& program);
std::string libPath(const std::string& library);
std::string sourcePath(const std::string& relative);

std::string readWholeFile(const std::string& path);
void writeWholeFile(const std::string& path, const std::string& content);
unsigned fileMode(const std::string& path);  // permission bits, or ~0u when missing

// Runs `work` on a thread; true when it ends within `timeoutMs`. When it
// does not, `fifo` is opened at both ends and fed, which releases an open()
// or read() stuck on it, and the result is false once `work` has ended: a
// test fails instead of hanging.
bool endsWithoutWaitingOn(const std::string& fifo, const std::function<void()>& work, int timeoutMs = 10000);

// Records every message box while it lives instead of printing it.
class CapturedBoxes {
public:
    CapturedBoxes();
    ~CapturedBoxes();
    std::vector<std::pair<std::string, std::string>> boxes() const;
    size_t count() const;

private:
    mutable std::mutex mutex_;
    std::vector<std::pair<std::string, std::string>> boxes_;
    MessageBoxSink previous_;
};

// For its scope, translated() reads the catalogue of `language` ("de",
// "fr"; "en" for none) as LANGUAGE and LANG ask; both return afterwards.
class ReaderLanguage {
public:
    explicit ReaderLanguage(const std::string& language);
    ~ReaderLanguage();
    ReaderLanguage(const ReaderLanguage&) = delete;
    ReaderLanguage& operator=(const ReaderLanguage&) = delete;

private:
    std::map<std::string, std::optional<std::string>> saved_;
};

}  // namespace korva::testing
