// The rename of the finished document, retried while the file is in use.
#include "bandsink64/exit_log.h"
#include "bandsink64/job_handover.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <climits>

using namespace korva;

namespace {

struct FakeMoves {
    std::vector<int> results;  // one per attempt; the last repeats
    int attempts = 0;
    int pauses = 0;
    MoveFunction move()
    {
        return [this](const std::string&, const std::string&) {
            int r = results[std::min(size_t(attempts), results.size() - 1)];
            ++attempts;
            return resultOfErrno(r, "move");
        };
    }
    std::function<void()> pause()
    {
        return [this] { ++pauses; };
    }
};

TEST(MoveWithRetries, SucceedsAtOnce)
{
    FakeMoves fake{{0}};
    EXPECT_EQ(moveWithRetries("a", "b", fake.move(), fake.pause()).code(), 0);
    EXPECT_EQ(fake.attempts, 1);
    EXPECT_EQ(fake.pauses, 0);
}

TEST(MoveWithRetries, WaitsWhileTheFileIsInUse)
{
    FakeMoves fake{{EBUSY, EBUSY, EBUSY, 0}};
    EXPECT_EQ(moveWithRetries("a", "b", fake.move(), fake.pause()).code(), 0);
    EXPECT_EQ(fake.attempts, 4);
    EXPECT_EQ(fake.pauses, 3);
}

TEST(MoveWithRetries, GivesUpAfterAHundredAttempts)
{
    FakeMoves fake{{EBUSY}};
    EXPECT_EQ(moveWithRetries("a", "b", fake.move(), fake.pause()).code(), EBUSY);
    EXPECT_EQ(fake.attempts, 100);
    EXPECT_EQ(fake.pauses, 99);
}

TEST(MoveWithRetries, OtherErrorsEndAtOnce)
{
    FakeMoves fake{{EBUSY, ENOENT, 0}};
    EXPECT_EQ(moveWithRetries("a", "b", fake.move(), fake.pause()).code(), ENOENT);
    EXPECT_EQ(fake.attempts, 2);
}

TEST(ParseLogLevel, ReadsADecimalNumberLikeAtoi)
{
    EXPECT_EQ(parseLogLevel(""), 0);
    EXPECT_EQ(parseLogLevel("3"), 3);
    EXPECT_EQ(parseLogLevel(" 4"), 4);
    EXPECT_EQ(parseLogLevel("12abc"), 12);
    EXPECT_EQ(parseLogLevel("abc"), 0);
    EXPECT_EQ(parseLogLevel("-1"), -1);
    EXPECT_EQ(parseLogLevel("99999999999"), INT_MAX);
}

TEST(ExitLogText, IsCutTo511Characters)
{
    std::string long_(600, 'x');
    EXPECT_EQ(exitLogText("%s", long_.c_str()), std::string(511, 'x'));
    EXPECT_EQ(exitLogText("Move File Error - %d", 2), "Move File Error - 2");
}

}  // namespace
