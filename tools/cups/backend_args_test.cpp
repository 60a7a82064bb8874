#include "tools/cups/backend_args.h"
#include "tools/cups/testing/value_or_why.h"

#include <gtest/gtest.h>

using namespace korva::cups;

namespace {

std::optional<BackendJob> parse(std::vector<const char*> args, std::string& why)
{
    args.insert(args.begin(), "korvafax");
    return korva::cups::testing::valueOrWhy(parseBackendArgs(int(args.size()), args.data()), why);
}

}  // namespace

TEST(BackendArgs, JobFromStandardInput)
{
    std::string why;
    auto job = parse({"17", "anna", "Invoice 42", "1", "media=A4"}, why);
    ASSERT_TRUE(job) << why;
    EXPECT_EQ(job->jobId, 17u);
    EXPECT_EQ(job->user, "anna");
    EXPECT_EQ(job->title, "Invoice 42");
    EXPECT_EQ(job->options, "media=A4");
    EXPECT_EQ(job->file, "");
}

TEST(BackendArgs, JobFromFile)
{
    std::string why;
    auto job = parse({"4294967295", "carl", "", "1", "", "/var/spool/cups/d00001-001"}, why);
    ASSERT_TRUE(job) << why;
    EXPECT_EQ(job->jobId, 4294967295u);
    EXPECT_EQ(job->title, "");
    EXPECT_EQ(job->file, "/var/spool/cups/d00001-001");
}

TEST(BackendArgs, WrongCountIsNoJob)
{
    std::string why;
    EXPECT_FALSE(parse({"1", "anna", "t", "1"}, why));
    EXPECT_NE(why.find("5 or 6"), std::string::npos);
    EXPECT_FALSE(parse({"1", "anna", "t", "1", "", "f", "extra"}, why));
}

TEST(BackendArgs, JobIdMustBeANumber)
{
    std::string why;
    EXPECT_FALSE(parse({"12a", "anna", "t", "1", ""}, why));
    EXPECT_NE(why.find("12a"), std::string::npos);
    EXPECT_FALSE(parse({"", "anna", "t", "1", ""}, why));
    EXPECT_FALSE(parse({"-3", "anna", "t", "1", ""}, why));
    EXPECT_FALSE(parse({"4294967296", "anna", "t", "1", ""}, why));
}

TEST(BackendArgs, JobNeedsAUser)
{
    std::string why;
    EXPECT_FALSE(parse({"1", "", "t", "1", ""}, why));
    EXPECT_NE(why.find("user"), std::string::npos);
}

TEST(BackendArgs, DiscoveryLineNamesTheDevice)
{
    EXPECT_EQ(std::string(discoveryLine).rfind("direct korvafax:/ \"KORVA Fax\" \"KORVA Fax\"", 0), 0u);
}
