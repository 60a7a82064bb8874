#include "faxcourier/settings/password_codec.h"

#include <gtest/gtest.h>

#include <cctype>
#include <string>

namespace korva {
namespace {

TEST(PasswordCodec, StoredTextIsTwoUpperCaseHexDigitsPerCharacter)
{
    String stored = EncodePassword("secret");
    ASSERT_EQ(stored.Length(), 12u);
    for (uint32_t i = 0; i < stored.Length(); ++i) {
        char c = stored.GetAt(i);
        EXPECT_TRUE(std::isdigit(static_cast<unsigned char>(c)) || (c >= 'A' && c <= 'F')) << stored.Text();
    }
    EXPECT_STRNE(stored.Text(), "736563726574");  // not the plain bytes in hex
}

TEST(PasswordCodec, EachByteIsMixedWithItsOwnKey)
{
    // 'a' is 0x61: 0x61 ^ B, then 0x61 ^ (2 + B).
    char expected[5];
    std::snprintf(expected, sizeof expected, "%02X%02X", 0x61 ^ kPasswordBase, 0x61 ^ (2 + kPasswordBase));
    EXPECT_STREQ(EncodePassword("aa").Text(), expected);
}

TEST(PasswordCodec, RoundTripKeepsEveryByte)
{
    std::string all;
    for (int i = 1; i < 256; ++i)
        all.push_back(static_cast<char>(i));
    all += all;  // past 128 characters the key wraps around
    String password(all.c_str());
    String stored = EncodePassword(password);
    EXPECT_EQ(stored.Length(), 2 * password.Length());
    EXPECT_STREQ(DecodePassword(stored).Text(), all.c_str());
    EXPECT_STREQ(DecodePassword(EncodePassword("p4ss w\xF6rd")).Text(), "p4ss w\xF6rd");
    EXPECT_TRUE(EncodePassword("").IsEmpty());
    EXPECT_TRUE(DecodePassword("").IsEmpty());
}

TEST(PasswordCodec, OddLengthDecodesTheLastSingleDigit)
{
    String stored = EncodePassword("ab");
    String odd = stored.Left(3);  // two digits for 'a', one left over
    std::string expected = "a";
    expected.push_back(
        static_cast<char>(std::stoul(std::string(1, stored.GetAt(2)), nullptr, 16) ^ (2 + kPasswordBase)));
    EXPECT_EQ(std::string(DecodePassword(odd).Text()), expected);
}

TEST(PasswordCodec, DigitsAreReadAsFarAsTheyAreHexadecimal)
{
    auto decoded = [](const char* stored) { return std::string(DecodePassword(stored).Text()); };
    EXPECT_EQ(decoded("zz"), std::string(1, static_cast<char>(kPasswordBase)));      // no digit: 0
    EXPECT_EQ(decoded("2z"), std::string(1, static_cast<char>(2 ^ kPasswordBase)));  // one digit
    EXPECT_EQ(decoded("2a"), decoded("2A"));                                         // either case
}

}  // namespace
}  // namespace korva
