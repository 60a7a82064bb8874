#include "tools/faxprint/faxprint_options.h"

#include <gtest/gtest.h>

using namespace korva::faxprint;

namespace {

Options parsed(const std::vector<std::string>& args)
{
    ParsedOptions p = parseOptions(args);
    EXPECT_TRUE(p.options.has_value()) << p.error;
    return p.options.value_or(Options{});
}

std::string errorOf(const std::vector<std::string>& args)
{
    ParsedOptions p = parseOptions(args);
    EXPECT_FALSE(p.options.has_value());
    return p.error;
}

TEST(FaxprintOptions, DefaultsAreMonochrome200DpiIn256RowBands)
{
    Options o = parsed({"a.pdf"});
    EXPECT_EQ(o.format, BandFormat::monochrome);
    EXPECT_EQ(o.xDpi, 200);
    EXPECT_EQ(o.yDpi, 200);
    EXPECT_EQ(o.bandRows, 256);
    EXPECT_FALSE(o.name);
    EXPECT_FALSE(o.jobId);
    EXPECT_FALSE(o.library);
    EXPECT_EQ(o.files, std::vector<std::string>{"a.pdf"});
}

TEST(FaxprintOptions, EveryOptionWithSeparateOrJoinedValue)
{
    Options o = parsed({"--name", "Report 100%", "--job-id=4000000000", "--format", "colour", "--dpi=200x100",
                        "--band-rows", "64", "--library", "/x/lib.so", "a.pdf", "b.png"});
    EXPECT_EQ(o.name, "Report 100%");
    EXPECT_EQ(o.jobId, 4000000000u);
    EXPECT_EQ(o.format, BandFormat::colour);
    EXPECT_EQ(o.xDpi, 200);
    EXPECT_EQ(o.yDpi, 100);
    EXPECT_EQ(o.bandRows, 64);
    EXPECT_EQ(o.library, "/x/lib.so");
    EXPECT_EQ(o.files, (std::vector<std::string>{"a.pdf", "b.png"}));
    EXPECT_EQ(parsed({"--format", "grey", "x"}).format, BandFormat::grey);
    EXPECT_EQ(parsed({"--dpi", "300", "x"}).yDpi, 300);
}

TEST(FaxprintOptions, FilesAfterDoubleDashMayLookLikeOptions)
{
    Options o = parsed({"--", "--name", "-"});
    EXPECT_EQ(o.files, (std::vector<std::string>{"--name", "-"}));
}

TEST(FaxprintOptions, BadValuesAreRefusedWithAReason)
{
    EXPECT_NE(errorOf({"--format", "sepia", "a"}).find("--format"), std::string::npos);
    EXPECT_NE(errorOf({"--dpi", "0", "a"}).find("--dpi"), std::string::npos);
    EXPECT_NE(errorOf({"--dpi", "200x", "a"}).find("--dpi"), std::string::npos);
    EXPECT_NE(errorOf({"--dpi", "200y100", "a"}).find("--dpi"), std::string::npos);
    EXPECT_NE(errorOf({"--band-rows", "0", "a"}).find("--band-rows"), std::string::npos);
    EXPECT_NE(errorOf({"--job-id", "-1", "a"}).find("--job-id"), std::string::npos);
    EXPECT_NE(errorOf({"--job-id", "4294967296", "a"}).find("--job-id"), std::string::npos);
    EXPECT_NE(errorOf({"--colour", "a"}).find("unknown option --colour"), std::string::npos);
    EXPECT_NE(errorOf({"a", "--name"}).find("--name wants a value"), std::string::npos);
    EXPECT_EQ(errorOf({}), "no file to print");
    EXPECT_EQ(errorOf({"--name", "x"}), "no file to print");
}

TEST(FaxprintOptions, HelpNeedsNoFile)
{
    EXPECT_TRUE(parsed({"--help"}).help);
    EXPECT_NE(usageText().find("--band-rows"), std::string::npos);
}

}  // namespace
