#include "faxcourier/net/smtp_data_writer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace korva {
namespace {

struct Recorder {
    std::vector<std::string> sends;
    int failAt = -1;  // index of the send that fails
    SmtpDataWriter::SendFunction function()
    {
        return [this](const char* text) -> Result<void> {
            sends.emplace_back(text);
            if (static_cast<int>(sends.size()) - 1 == failAt)
                return Error::withText("refused");
            return {};
        };
    }
    std::string all() const
    {
        std::string joined;
        for (const std::string& s : sends)
            joined += s;
        return joined;
    }
};

TEST(SmtpDataWriter, DoublesThePeriodAtEveryLineStart)
{
    Recorder recorder;
    SmtpDataWriter out(recorder.function());
    out.Write(".first\r\nmid.dle\r\n.\r\n..two\r\n");
    out.Write("split ");
    out.Write("line\r\n");
    out.Write(".");
    out.Write("after a line end in an earlier write\r\n");
    ASSERT_TRUE(out.Finish());
    EXPECT_EQ(recorder.all(),
              "..first\r\nmid.dle\r\n..\r\n...two\r\nsplit line\r\n..after a line end in an earlier write\r\n.\r\n");
}

TEST(SmtpDataWriter, FinishEndsAnOpenLineFirst)
{
    Recorder recorder;
    SmtpDataWriter out(recorder.function());
    out.Write("no line end");
    ASSERT_TRUE(out.Finish());
    EXPECT_EQ(recorder.all(), "no line end\r\n.\r\n");
}

TEST(SmtpDataWriter, BuffersIntoLargeSends)
{
    Recorder recorder;
    SmtpDataWriter out(recorder.function());
    std::string line(76, 'A');
    line += "\r\n";
    size_t lines = 3 * SmtpDataWriter::kSendSize / line.size();
    for (size_t i = 0; i < lines; ++i)
        out.Write(line.c_str(), line.size());
    ASSERT_TRUE(out.Finish());
    EXPECT_GE(recorder.sends.size(), 3u);
    EXPECT_LE(recorder.sends.size(), 4u);
    EXPECT_EQ(recorder.all().size(), lines * line.size() + 3);
}

TEST(SmtpDataWriter, FormatCutsAtTenThousandCharacters)
{
    Recorder recorder;
    SmtpDataWriter out(recorder.function());
    std::string longText(20000, 'x');
    out.Format("%s", longText.c_str());
    ASSERT_TRUE(out.Flush());
    EXPECT_EQ(recorder.all(), std::string(9999, 'x'));
}

TEST(SmtpDataWriter, AfterAFailedSendNothingMoreIsSent)
{
    Recorder recorder;
    recorder.failAt = 0;
    SmtpDataWriter out(recorder.function());
    out.Write("a\r\n");
    EXPECT_FALSE(out.Flush());
    out.Write("b\r\n");
    EXPECT_FALSE(out.Finish());
    EXPECT_TRUE(out.Failed());
    EXPECT_EQ(recorder.sends, std::vector<std::string>{"a\r\n"});
}

}  // namespace
}  // namespace korva
