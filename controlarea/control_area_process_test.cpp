// Several processes on one control area at once.
#include "controlarea/control_area.h"

#include "platform/testing/poll_until.h"
#include "platform/testing/test_support.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace korva;
using korva::testing::isBlocked;
using korva::testing::pollUntil;
using korva::testing::TempHome;

namespace {

std::string helper() { return std::string(std::getenv("KORVA_BIN_DIR")) + "/../tests/control_area_helper"; }

pid_t spawn(const std::vector<std::string>& args, int* stdoutFd = nullptr)
{
    int fds[2];
    if (stdoutFd && pipe(fds) != 0)
        return -1;
    pid_t pid = fork();
    if (pid == 0) {
        if (stdoutFd) {
            dup2(fds[1], 1);
            close(fds[0]);
        }
        std::vector<char*> argv;
        std::string path = helper();
        argv.push_back(path.data());
        for (auto& a : args)
            argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execv(argv[0], argv.data());
        _exit(127);
    }
    if (stdoutFd) {
        close(fds[1]);
        *stdoutFd = fds[0];
    }
    return pid;
}

int waitExit(pid_t pid)
{
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

}  // namespace

TEST(ControlAreaProcesses, ConcurrentWritersNeverProduceATornRecord)
{
    TempHome home;
    std::vector<pid_t> pids{spawn({"write", "300", "a"}), spawn({"write", "300", "b"}), spawn({"write", "300", "c"}),
                            spawn({"read", "600"})};
    std::vector<int> codes;
    for (pid_t p : pids)
        codes.push_back(waitExit(p));
    EXPECT_EQ(codes, (std::vector<int>{0, 0, 0, 0}));
}

TEST(ControlAreaProcesses, AKilledHolderDoesNotBlockTheOthers)
{
    TempHome home;
    int out = -1;
    pid_t holder = spawn({"hold"}, &out);
    char buf[8] = {};
    pollfd pfd{out, POLLIN, 0};
    ASSERT_EQ(poll(&pfd, 1, 10000), 1);
    ASSERT_GT(read(out, buf, sizeof buf - 1), 0);
    ASSERT_STREQ(buf, "held\n");

    // While it is held, a writer waits.
    pid_t writer = spawn({"write", "1", "w"});
    int status = 0;
    pid_t ended = 0;
    EXPECT_TRUE(pollUntil([&] { return (ended = waitpid(writer, &status, WNOHANG)) != 0 || isBlocked(writer); }));
    EXPECT_EQ(ended, 0) << "writer did not wait for the mutex";

    kill(holder, SIGKILL);
    waitExit(holder);
    close(out);
    EXPECT_EQ(waitExit(writer), 0);

    ASSERT_TRUE(openControlArea());
    ControlRecord r;
    EXPECT_TRUE(readControlRecord(r));
    closeControlArea();
    EXPECT_EQ(r.userName[0], 'w');
}
