#include "faxcourier/foundation/korva_string.h"

#include "platform/testing/test_support.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>

using korva::String;

namespace {

std::string base64(const std::string& bytes)
{
    String s;
    EXPECT_TRUE(s.EncodeBase64(bytes.data(), uint32_t(bytes.size())));
    EXPECT_EQ(s.Length(), std::strlen(s.Text()));
    return s.Text();
}

}  // namespace

TEST(Base64, GroupsAndPadding)
{
    EXPECT_EQ(base64("abc"), "YWJj");
    EXPECT_EQ(base64(std::string(1, '\0')), "AA==");
    EXPECT_EQ(base64(std::string(2, '\0')), "AAA=");
    EXPECT_EQ(base64("f"), "Zg==");
    EXPECT_EQ(base64("fo"), "Zm8=");
    EXPECT_EQ(base64("foobar"), "Zm9vYmFy");
    EXPECT_EQ(base64("\xff\xfe\xfd"), "//79");
}

TEST(Base64, FiftySevenBytesMakeOneLineOfSeventySix)
{
    std::string bytes(57, '\x5a');
    std::string encoded = base64(bytes);
    EXPECT_EQ(encoded.size(), 76u);
    EXPECT_EQ(encoded.find_first_of("=\r\n"), std::string::npos);
}

TEST(Base64, CountZeroLeavesTheValueEmpty)
{
    String s("previous");
    EXPECT_TRUE(s.EncodeBase64("abc", 0));
    EXPECT_STREQ(s.Text(), "");
    EXPECT_EQ(s.Length(), 0u);
}

TEST(Base64, AgreesWithTheSystemTool)
{
    std::mt19937 random(7);
    std::string bytes;
    for (int i = 0; i < 4001; ++i)
        bytes += char(random());
    auto result = korva::testing::runProcess({"/usr/bin/base64", "-w0"}, bytes);
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(base64(bytes), result.out);
}

TEST(Utf8, Windows1252BytesBecomeTheirCharacters)
{
    const struct {
        const char* ansi;
        const char* utf8;
    } cases[] = {
        {"\xe9", "\xc3\xa9"}, {"\x80", "\xe2\x82\xac"},           {"\x84quotes\x93", "\xe2\x80\x9equotes\xe2\x80\x9c"},
        {"\xff", "\xc3\xbf"}, {"plain ASCII ~", "plain ASCII ~"}, {"Jos\xe9 M\xfcller", "Jos\xc3\xa9 M\xc3\xbcller"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(std::string(String(c.ansi).ToUtf8().Text()), c.utf8) << c.ansi;
}

TEST(Utf8, EveryAssignedByteAgreesWithIconv)
{
    std::string ansi;
    for (int c = 1; c < 256; ++c)
        if (c != 0x81 && c != 0x8d && c != 0x8f && c != 0x90 && c != 0x9d)  // unassigned
            ansi += char(c);
    auto result = korva::testing::runProcess({"/usr/bin/iconv", "-f", "WINDOWS-1252", "-t", "UTF-8"}, ansi);
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(std::string(String(ansi.c_str()).ToUtf8().Text()), result.out);
}
