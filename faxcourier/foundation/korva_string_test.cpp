#include "faxcourier/foundation/korva_string.h"

#include "faxcourier/foundation/log.h"
#include "faxcourier/foundation/string_allocator.h"
#include "platform/testing/scoped_seam.h"
#include "platform/testing/test_support.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <map>
#include <string>

using korva::String;
using korva::testing::TempHome;

namespace {

// Hands out blocks with a guard after the size asked for, remembers their
// sizes, and fails every allocation while `failing` is set.
struct GuardedHeap {
    static inline std::map<const void*, size_t> sizes;
    static inline bool failing = false;
    static constexpr size_t guard = 32;

    static void* allocate(size_t size)
    {
        if (failing)
            return nullptr;
        auto* p = static_cast<unsigned char*>(std::malloc(size + guard));
        std::memset(p + size, 0xA5, guard);
        sizes[p] = size;
        return p;
    }

    // The String's buffer is one of ours, its capacity is the size asked for
    // and nothing was written past it.
    static ::testing::AssertionResult intact(const String& s)
    {
        auto it = sizes.find(s.Text());
        if (it == sizes.end())
            return ::testing::AssertionFailure() << "buffer not from the guarded heap";
        if (it->second != s.Capacity())
            return ::testing::AssertionFailure() << "capacity " << s.Capacity() << " but block " << it->second;
        auto* end = reinterpret_cast<const unsigned char*>(s.Text()) + it->second;
        for (size_t i = 0; i < guard; ++i)
            if (end[i] != 0xA5)
                return ::testing::AssertionFailure() << "written " << i << " bytes past the buffer";
        return ::testing::AssertionSuccess();
    }
};

class GuardedString : public ::testing::Test {
protected:
    void SetUp() override { GuardedHeap::failing = false; }
    void TearDown() override { GuardedHeap::failing = false; }
    std::string log() { return korva::testing::readWholeFile(korva::logFilePath()); }

    TempHome home_;
    korva::testing::ScopedSeam<korva::StringAllocator> allocator_{korva::setStringAllocator, &GuardedHeap::allocate};
};

}  // namespace

TEST(StringBasics, WithoutBufferReadsAsEmpty)
{
    String s;
    EXPECT_STREQ(s.Text(), "");
    EXPECT_EQ(s.Length(), 0u);
    EXPECT_EQ(s.Capacity(), 0u);
    EXPECT_EQ(s.GetAt(0), '\0');
    EXPECT_TRUE(s == "");
    EXPECT_TRUE(s == static_cast<const char*>(nullptr));
    EXPECT_TRUE(s == String(""));
    EXPECT_FALSE(s != "");
    EXPECT_EQ(s.Find('a'), -1);
    EXPECT_EQ(s.ReverseFind('a'), -1);
    EXPECT_EQ(s.FindNoCase("a"), -1);
    EXPECT_EQ(s.ParseHex(), 0u);
    EXPECT_FALSE(s.IsNumeric());
    EXPECT_STREQ(s.ToUtf8().Text(), "");
    EXPECT_STREQ(s.Left(3).Text(), "");
    EXPECT_STREQ(s.Mid(0).Text(), "");
    s.TrimLeft();
    s.TrimRight();
    s.MakeUpper();
    s.Truncate(0);
    EXPECT_EQ(s.Capacity(), 0u);
}

TEST(StringBasics, AssignNullKeepsTheBufferAndResetsTheCursor)
{
    String s("a,b");
    uint32_t capacity = s.Capacity();
    EXPECT_STREQ(s.NextToken(",", false).Text(), "");  // created, never assigned
    s.Assign(static_cast<const char*>(nullptr));
    EXPECT_STREQ(s.Text(), "");
    EXPECT_EQ(s.Capacity(), capacity);
    s.Append("x,y");
    EXPECT_STREQ(s.NextToken(",", false).Text(), "x");  // cursor 0 after Assign
}

TEST(StringBasics, ComparisonsAndOrder)
{
    String abc("abc");
    EXPECT_TRUE(abc == "abc");
    EXPECT_TRUE(abc != "abd");
    EXPECT_TRUE(abc < "abd");
    EXPECT_FALSE(abc < "abc");
    EXPECT_TRUE(String("ab") < abc);
    EXPECT_TRUE(abc == String("abc"));
    EXPECT_TRUE(String() < abc);
    EXPECT_FALSE(abc == String());
}

TEST(StringBasics, CompareNoCase)
{
    String s("Hello");
    EXPECT_EQ(s.CompareNoCase("hELLO"), 0);
    EXPECT_EQ(s.CompareNoCase("help"), -1);
    EXPECT_EQ(s.CompareNoCase("Hell"), 1);
    EXPECT_EQ(s.CompareNoCaseN("HELP", 3), 0);
    EXPECT_EQ(s.CompareNoCaseN("HELP", 4), -1);
    String none;
    EXPECT_EQ(none.CompareNoCase("a"), -1);
    EXPECT_EQ(none.CompareNoCase(""), 0);
    EXPECT_EQ(none.CompareNoCaseN("a", 1), -1);
    EXPECT_EQ(String("").CompareNoCase("a"), -1);
}

TEST(StringBasics, TrimsBlanksOnBothSides)
{
    String s(" \t\r\n value \r\n\t ");
    s.TrimRight();
    EXPECT_STREQ(s.Text(), " \t\r\n value");
    EXPECT_EQ(s.Length(), 10u);
    s.TrimLeft();
    EXPECT_STREQ(s.Text(), "value");
    EXPECT_EQ(s.Length(), 5u);
    String blank(" \t ");
    blank.TrimLeft();
    EXPECT_STREQ(blank.Text(), "");
    EXPECT_EQ(blank.Length(), 0u);
}

TEST(StringBasics, TruncateOnlyShortens)
{
    String s("abcdef");
    s.Truncate(10);
    EXPECT_STREQ(s.Text(), "abcdef");
    s.Truncate(3);
    EXPECT_STREQ(s.Text(), "abc");
    EXPECT_EQ(s.Length(), 3u);
}

TEST(StringBasics, FindFamily)
{
    String s("a-b-c");
    EXPECT_EQ(s.Find('-'), 1);
    EXPECT_EQ(s.Find('-', 2), 3);
    EXPECT_EQ(s.Find('-', 4), -1);
    EXPECT_EQ(s.Find('a', 5), -1);
    EXPECT_EQ(s.Find('a', 0xFFFFFFFFu), -1);
    EXPECT_EQ(s.ReverseFind('-'), 3);
    EXPECT_EQ(s.ReverseFind('a'), 0);
    EXPECT_EQ(s.ReverseFind('x'), -1);
    String subject("~~FileTarget~~/tmp/out.tif");
    EXPECT_EQ(subject.FindNoCase("~~filetarget~~"), 0);
    EXPECT_EQ(subject.FindNoCase(String("OUT.TIF")), 19);
    EXPECT_EQ(subject.FindNoCase("~~", 1), 12);
    EXPECT_EQ(subject.FindNoCase("tif", 24), -1);
    EXPECT_EQ(subject.FindNoCase("missing"), -1);
}

TEST(StringBasics, MakeUpper)
{
    String s("Fax to: mail@example.com 1");
    s.MakeUpper();
    EXPECT_STREQ(s.Text(), "FAX TO: MAIL@EXAMPLE.COM 1");
}

TEST(StringBasics, LeftAndMidStayInBounds)
{
    String abc("abc");
    EXPECT_STREQ(abc.Mid(3).Text(), "");
    EXPECT_STREQ(abc.Mid(7).Text(), "");
    EXPECT_STREQ(abc.Mid(1).Text(), "bc");
    EXPECT_STREQ(abc.Mid(0).Text(), "abc");
    EXPECT_STREQ(abc.Left(0).Text(), "");
    EXPECT_STREQ(String().Left(0).Text(), "");
    EXPECT_STREQ(abc.Left(10).Text(), "abc");
    EXPECT_STREQ(abc.Left(2).Text(), "ab");
    EXPECT_STREQ(abc.Mid(1, 1).Text(), "b");
    EXPECT_STREQ(abc.Mid(1, 100).Text(), "bc");
    EXPECT_STREQ(abc.Mid(0, 3).Text(), "abc");
    EXPECT_STREQ(abc.Mid(0, 0).Text(), "");
    EXPECT_STREQ(abc.Mid(3, 1).Text(), "");
    EXPECT_STREQ(abc.Mid(0xFFFFFFFFu, 0xFFFFFFFFu).Text(), "");
    EXPECT_EQ(abc.Mid(1, 100).Length(), 2u);
}

TEST(StringTokens, SkipsRunsOfDelimiters)
{
    String s;
    s.Assign(",,a;;b");
    EXPECT_STREQ(s.NextToken(",;", false).Text(), "a");
    EXPECT_STREQ(s.NextToken(",;", false).Text(), "b");
    EXPECT_STREQ(s.NextToken(",;", false).Text(), "");
    EXPECT_STREQ(s.NextToken(",;", false).Text(), "");
    EXPECT_STREQ(s.NextToken(",;", true).Text(), "a");
}

TEST(StringTokens, CreatedButNeverAssignedYieldsNothingUntilRestarted)
{
    String s("one two");
    EXPECT_STREQ(s.NextToken(" ", false).Text(), "");
    EXPECT_STREQ(s.NextToken(" ", true).Text(), "one");
    EXPECT_STREQ(s.NextToken(" ", false).Text(), "two");
    String copy(s);
    EXPECT_STREQ(copy.NextToken(" ", false).Text(), "");
    EXPECT_STREQ(String().NextToken(" ", true).Text(), "");
}

TEST(StringTokens, CursorPastATruncatedEnd)
{
    String s;
    s.Assign("alpha beta gamma");
    EXPECT_STREQ(s.NextToken(" ", false).Text(), "alpha");
    EXPECT_STREQ(s.NextToken(" ", false).Text(), "beta");
    s.Truncate(3);
    EXPECT_STREQ(s.NextToken(" ", false).Text(), "");
    EXPECT_STREQ(s.NextToken(" ", true).Text(), "alp");
}

TEST(StringNumbers, IsNumericAndParseHex)
{
    EXPECT_TRUE(String("0123-45").IsNumeric());
    EXPECT_FALSE(String("12a").IsNumeric());
    EXPECT_FALSE(String("+1").IsNumeric());
    EXPECT_TRUE(String("").IsNumeric());
    EXPECT_EQ(String("1F").ParseHex(), 0x1Fu);
    EXPECT_EQ(String("0x7fzz").ParseHex(), 0x7Fu);
    EXPECT_EQ(String("zz").ParseHex(), 0u);
    EXPECT_EQ(String("FFFFFFFF").ParseHex(), 0xFFFFFFFFu);
    EXPECT_EQ(String("123456789").ParseHex(), 0xFFFFFFFFu);
    EXPECT_EQ(String("-1").ParseHex(), 0xFFFFFFFFu);
    EXPECT_EQ(String("-2").ParseHex(), 0xFFFFFFFEu);
}

TEST_F(GuardedString, ReserveGrowsToRequestPlus128AndKeepsTheValue)
{
    String s;
    s.Assign("abc");
    EXPECT_EQ(s.Capacity(), 4u);
    EXPECT_TRUE(s.Reserve(4));
    EXPECT_EQ(s.Capacity(), 4u);
    EXPECT_TRUE(s.Reserve(5));
    EXPECT_EQ(s.Capacity(), 133u);
    EXPECT_STREQ(s.Text(), "abc");
    EXPECT_TRUE(GuardedHeap::intact(s));
    String empty;
    EXPECT_TRUE(empty.Reserve(1));
    EXPECT_EQ(empty.Capacity(), 129u);
    EXPECT_STREQ(empty.Text(), "");
}

TEST_F(GuardedString, AppendGrowsThroughReserve)
{
    String s;
    s.Assign("ab");
    s.Append("cd");
    EXPECT_EQ(s.Capacity(), 5u + 128u);
    s.AppendChar('e');
    EXPECT_EQ(s.Capacity(), 133u);
    EXPECT_STREQ(s.Text(), "abcde");
    EXPECT_TRUE(GuardedHeap::intact(s));
}

TEST_F(GuardedString, SelfAssignmentAndSelfAppend)
{
    String s;
    s.Assign("abc");
    s = s;
    EXPECT_STREQ(s.Text(), "abc");
    s.Assign(s.Text());
    EXPECT_STREQ(s.Text(), "abc");
    s.Append(s);  // grows while reading from itself
    EXPECT_STREQ(s.Text(), "abcabc");
    s.Append(s.Text() + 4);
    EXPECT_STREQ(s.Text(), "abcabcbc");
    s.Assign(s.Text() + 3);  // a tail of itself
    EXPECT_STREQ(s.Text(), "abcbc");
    EXPECT_EQ(s.Length(), 5u);
    EXPECT_TRUE(GuardedHeap::intact(s));
}

TEST_F(GuardedString, GrowingOneByteAtATimeStaysInsideTheBuffer)
{
    String s;
    std::string expected;
    for (int i = 0; i < 5000; ++i) {
        char c = char('a' + i % 26);
        ASSERT_TRUE(s.AppendChar(c));
        expected += c;
        if (i % 7 == 0) {
            s.Append("xy");
            expected += "xy";
        }
        ASSERT_TRUE(GuardedHeap::intact(s)) << "at " << i;
    }
    EXPECT_EQ(std::string(s.Text()), expected);
    EXPECT_EQ(s.Length(), expected.size());
}

TEST_F(GuardedString, FailedAssignLeavesNoBufferAndLogs)
{
    String s;
    s.Assign("short");
    GuardedHeap::failing = true;
    EXPECT_FALSE(s.Assign("a text longer than the buffer"));
    GuardedHeap::failing = false;
    EXPECT_EQ(s.Capacity(), 0u);
    EXPECT_EQ(s.Length(), 0u);
    EXPECT_STREQ(s.Text(), "");
    EXPECT_STREQ(s.NextToken(" ", false).Text(), "");
    EXPECT_NE(log().find("Out Of Memory in String Assignment"), std::string::npos);
}

TEST_F(GuardedString, FailedGrowthKeepsTheOldValue)
{
    String s;
    s.Assign("keep");
    GuardedHeap::failing = true;
    EXPECT_FALSE(s.Append(" more text"));
    EXPECT_FALSE(s.AppendChar('!'));
    EXPECT_FALSE(s.Append(s));
    EXPECT_FALSE(s.Reserve(100));
    GuardedHeap::failing = false;
    EXPECT_STREQ(s.Text(), "keep");
    EXPECT_EQ(s.Length(), 4u);
    EXPECT_EQ(s.Capacity(), 5u);
    EXPECT_TRUE(GuardedHeap::intact(s));
    EXPECT_NE(log().find("Out Of Memory on String Resize"), std::string::npos);
}

TEST_F(GuardedString, FailedAllocationInResultsGivesEmptyResults)
{
    String s;
    s.Assign("caf\xe9 au lait");
    GuardedHeap::failing = true;
    EXPECT_STREQ(s.ToUtf8().Text(), "");
    EXPECT_STREQ(s.Mid(2).Text(), "");
    EXPECT_STREQ(s.Left(3).Text(), "");
    EXPECT_STREQ(s.NextToken(" ", true).Text(), "");
    String copy(s);
    EXPECT_STREQ(copy.Text(), "");
    String encoded;
    EXPECT_FALSE(encoded.EncodeBase64("abc", 3));
    EXPECT_STREQ(encoded.Text(), "");
    GuardedHeap::failing = false;
    EXPECT_STREQ(s.Text(), "caf\xe9 au lait");
}
