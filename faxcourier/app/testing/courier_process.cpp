#include "faxcourier/app/testing/courier_process.h"

#include "platform/testing/test_support.h"

#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace korva::app::testing {

CourierProcess::CourierProcess(const std::vector<std::string>& arguments, const std::string& errorFile,
                               const std::string& program)
{
    std::vector<std::string> argv{program.empty() ? korva::testing::binPath("faxcourier") : program};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    korva::testing::ChildOptions options;
    options.unsetEnv = {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"};
    options.err = open(errorFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (options.err < 0)
        throw std::runtime_error("cannot create " + errorFile);
    options.in = open("/dev/null", O_RDWR | O_CLOEXEC);
    options.out = options.in;
    child_ = std::make_unique<korva::testing::ChildProcess>(argv, options);
    close(options.err);
    close(options.in);
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
