#include "faxcourier/net/fax_message.h"

#include "faxcourier/net/message_stamp.h"

#include "platform/testing/test_support.h"

#include <gtest/gtest.h>

#include <cerrno>

#include <cstdio>
#include <filesystem>
#include <regex>
#include <string>

namespace korva {
namespace {

std::string written(const std::function<void(SmtpDataWriter&)>& write)
{
    std::string all;
    SmtpDataWriter out([&all](const char* text) {
        all += text;
        return Result<void>();
    });
    write(out);
    EXPECT_TRUE(out.Flush());
    return all;
}

TEST(FaxMessage, OneLineTurnsLineBreaksIntoBlanks)
{
    EXPECT_STREQ(OneLine("a\r\nb\rc\nd").Text(), "a  b c d");
    EXPECT_STREQ(OneLine("").Text(), "");
}

TEST(FaxMessage, CommentLinesUseCrLfAndEndWithOne)
{
    EXPECT_STREQ(CommentLines("one\r\ntwo").Text(), "one\r\ntwo\r\n");
    EXPECT_STREQ(CommentLines("one\ntwo\rthree").Text(), "one\r\ntwothree\r\n");
    EXPECT_STREQ(CommentLines("").Text(), "");
}

TEST(FaxMessage, HeadWithoutRealNameHasTheBareAddress)
{
    Settings settings;
    settings.EmailAddress = "anna@example.com";
    settings.FaxAddress = "fax@example.com";
    FaxJob job;
    job.subject = "Hi";
    job.comments = "  \r\n\t ";
    FixedMessageStamp stamp({"Thu, 01 Jan 1970 00:00:00 +0000", "<1@example.com>"});
    std::string head = written([&](SmtpDataWriter& out) { WriteMessageHead(out, job, settings); });
    EXPECT_EQ(head,
              "Subject: Hi\r\nFrom: anna@example.com\r\nTo: fax@example.com\r\n"
              "Date: Thu, 01 Jan 1970 00:00:00 +0000\r\nMessage-ID: <1@example.com>\r\nMIME-Version: 1.0\r\n"
              "Content-Type: multipart/mixed; boundary=\"----=_KORVAFaxBoundary\"\r\n\r\n"
              "------=_KORVAFaxBoundary\r\nContent-Type: text/plain\r\n\r\n");
    EXPECT_TRUE(job.comments.IsEmpty());
}

// A server that takes mail from another host adds no Date (which RFC 5322
// requires) and no Message-ID: each message brings its own.
TEST(FaxMessage, HeadBringsItsOwnDateAndMessageId)
{
    Settings settings;
    settings.EmailAddress = "anna@example.com";
    settings.FaxAddress = "fax@example.com";
    FaxJob job;
    auto head = [&] { return written([&](SmtpDataWriter& out) { WriteMessageHead(out, job, settings); }); };
    const std::regex form(
        "Subject: \r\nFrom: anna@example.com\r\nTo: fax@example.com\r\n"
        "Date: (Mon|Tue|Wed|Thu|Fri|Sat|Sun), [0-9]{2} "
        "(Jan|Feb|Mar|Apr|May|Jun|Jul|Aug|Sep|Oct|Nov|Dec) [0-9]{4} [0-9]{2}:[0-9]{2}:[0-9]{2} "
        "[+-][0-9]{4}\r\n"
        "Message-ID: (<[^@>]+@example\\.com>)\r\nMIME-Version: 1\\.0\r\n[\\s\\S]*");
    std::smatch first, second;
    const std::string one = head(), two = head();
    ASSERT_TRUE(std::regex_match(one, first, form)) << one;
    ASSERT_TRUE(std::regex_match(two, second, form)) << two;
    EXPECT_NE(first[3].str(), second[3].str());
}

TEST(FaxMessage, AttachmentLinesFollowTheFileSize)
{
    testing::TempHome home;
    auto attachment = [&](size_t size) {
        FaxDocument document;
        std::string path = home.path() + "/doc" + std::to_string(size);
        testing::writeWholeFile(path, std::string(size, '\x5a'));
        document.file = path.c_str();
        return written([&](SmtpDataWriter& out) { EXPECT_TRUE(WriteAttachment(out, document, 5)); });
    };
    const std::string headers =
        "------=_KORVAFaxBoundary\r\nContent-Type: x-application/korvafax\r\nContent-Transfer-Encoding: base64\r\n"
        "Content-Disposition: attachment; filename=\"korvafax_5.fmf\"\r\n\r\n";
    std::string line76;  // 57 bytes of 0x5A
    for (int i = 0; i < 19; ++i)
        line76 += "Wlpa";
    EXPECT_EQ(attachment(114), headers + line76 + "\r\n" + line76 + "\r\n\r\n");
    EXPECT_EQ(attachment(58), headers + line76 + "\r\n" + "Wg==\r\n");
    EXPECT_EQ(attachment(0), headers + "\r\n");

    FaxDocument missing;
    missing.file = (home.path() + "/nothing-here").c_str();
    EXPECT_EQ(written([&](SmtpDataWriter& out) { EXPECT_EQ(WriteAttachment(out, missing, 1).code(), ENOENT); }),
              std::string(headers).replace(headers.find("_5."), 3, "_1."));
}

TEST(FaxMessage, FilesAreStreamedInExactPiecesWhateverTheirSize)
{
    // Sizes around the 57-byte line and the 1024-line read, where the last
    // read comes back short, empty, or with a whole number of lines.
    for (size_t size : {size_t(1), size_t(2), size_t(3), size_t(56), size_t(57), size_t(58), size_t(57 * 5),
                        size_t(57 * 1024), size_t(57 * 1024 * 2), size_t(57 * 1024 * 3 + 10)}) {
        testing::TempHome home;
        std::string data;
        for (size_t i = 0; i < size; ++i)
            data.push_back(static_cast<char>(i * 7 + i / 251));
        std::string path = home.path() + "/big";
        testing::writeWholeFile(path, data);
        FaxDocument document;
        document.file = path.c_str();
        std::string out = written([&](SmtpDataWriter& w) { EXPECT_TRUE(WriteAttachment(w, document, 1)); });
        size_t body = out.find("\r\n\r\n") + 4;
        std::string expected;
        for (size_t at = 0; at <= data.size(); at += 57) {
            String line;
            size_t n = std::min<size_t>(57, data.size() - at);
            line.EncodeBase64(data.data() + at, static_cast<uint32_t>(n));
            expected += std::string(line.Text()) + "\r\n";
            if (n < 57)
                break;
        }
        EXPECT_EQ(out.substr(body), expected) << size << " bytes";
    }
}

TEST(FaxMessage, ReadErrorPartWayIsReported)
{
    // A folder opens for reading but every read fails.
    testing::TempHome home;
    FaxDocument document;
    document.file = home.path().c_str();
    std::string out = written([&](SmtpDataWriter& w) { EXPECT_FALSE(WriteAttachment(w, document, 1)); });
    EXPECT_EQ(out.find("\r\n\r\n") + 4, out.size());
}

}  // namespace
}  // namespace korva
