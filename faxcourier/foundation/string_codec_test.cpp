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

TEST(Utf8, LatinOneBytesBecomeTwoBytes)
{
    EXPECT_EQ(std::string(String("\xe9").ToUtf8().Text()), "\xc3\xa9");
    EXPECT_EQ(std::string(String("\x80").ToUtf8().Text()), "\xc2\x80");
    EXPECT_EQ(std::string(String("\xff").ToUtf8().Text()), "\xc3\xbf");
    EXPECT_STREQ(String("plain ASCII ~").ToUtf8().Text(), "plain ASCII ~");
    String mixed("Jos\xe9 M\xfcller");
    String utf8 = mixed.ToUtf8();
    EXPECT_EQ(std::string(utf8.Text()), "Jos\xc3\xa9 M\xc3\xbcller");
    EXPECT_EQ(utf8.Length(), mixed.Length() + 2);
}

TEST(Utf8, EveryByteValueAgreesWithIconv)
{
    std::string latin1;
    for (int c = 1; c < 256; ++c)
        latin1 += char(c);
    auto result = korva::testing::runProcess({"/usr/bin/iconv", "-f", "ISO-8859-1", "-t", "UTF-8"}, latin1);
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(std::string(String(latin1.c_str()).ToUtf8().Text()), result.out);
}
