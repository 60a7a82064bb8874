#include "quiet_run.h"

#include "platform/testing/child_process.h"

#include <fcntl.h>
#include <unistd.h>

namespace bench {

int devNull() { return open("/dev/null", O_RDWR | O_CLOEXEC); }

int runQuietly(const std::vector<std::string>& argv, Clock::time_point* ended)
{
    korva::testing::ChildOptions options;
    options.out = options.err = devNull();
    korva::testing::ChildProcess child(argv, options);
    int code = child.wait();
    if (ended)
        *ended = Clock::now();
    close(options.out);
    return code;
}

}  // namespace bench
