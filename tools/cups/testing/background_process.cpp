#include "tools/cups/testing/background_process.h"

#include <fcntl.h>
#include <unistd.h>

namespace korva::cups::testing {

BackgroundProcess::BackgroundProcess(const std::vector<std::string>& argv, const EnvList& env,
                                     const std::vector<std::string>& unset, const std::string& outputFile)
{
    korva::testing::ChildOptions options;
    options.setEnv.assign(env.begin(), env.end());
    options.unsetEnv = unset;
    options.in = open("/dev/null", O_RDONLY | O_CLOEXEC);
    options.out = open(outputFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    options.err = options.out;
    options.dieWithParent = true;  // gone with the test
    child_ = std::make_unique<korva::testing::ChildProcess>(argv, options);
    for (int fd : {options.in, options.out})
        if (fd >= 0)
            close(fd);
}

}  // namespace korva::cups::testing
