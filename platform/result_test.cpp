#include "platform/result.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <memory>

namespace korva {
namespace {

Result<int> half(int n)
{
    if (n % 2 != 0)
        return Error::withText("odd: " + std::to_string(n));
    return n / 2;
}

TEST(ResultTest, CarriesTheValueOrTheError)
{
    auto good = half(8);
    ASSERT_TRUE(good.ok());
    EXPECT_EQ(*good, 4);
    EXPECT_EQ(good.code(), 0);

    auto bad = half(7);
    ASSERT_FALSE(bad);
    EXPECT_EQ(bad.error().text, "odd: 7");
    EXPECT_EQ(bad.valueOr(-1), -1);
}

TEST(ResultTest, ErrnoKeepsItsNumberAndReadsAsText)
{
    Result<void> none = resultOfErrno(0, "rename a to b");
    EXPECT_TRUE(none.ok());

    Result<void> gone = resultOfErrno(ENOENT, "rename a to b");
    ASSERT_FALSE(gone.ok());
    EXPECT_EQ(gone.code(), ENOENT);
    EXPECT_EQ(gone.error().text, "rename a to b: No such file or directory");
}

TEST(ResultTest, MovesValuesThatCannotBeCopied)
{
    Result<std::unique_ptr<int>> held(std::make_unique<int>(5));
    std::unique_ptr<int> taken = std::move(held).value();
    ASSERT_TRUE(taken);
    EXPECT_EQ(*taken, 5);
}

}  // namespace
}  // namespace korva
