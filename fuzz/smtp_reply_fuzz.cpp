// Server bytes through the whole SMTP submission: whatever the server
// sends, SubmitFax ends with the result and the one box that the reply
// lines call for (checked against the step table), never shows the
// credentials, and never waits beyond the replies it was given.
#include "fuzz/server_bytes.h"

#include "faxcourier/foundation/server_error.h"
#include "faxcourier/net/fax_submission.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

using namespace korva;
using namespace korva::fuzz;

namespace {

struct Step {
    char expected;
    const char* context;
    const char* socketMessage;
    const char* replyMessage;
};

const Step kSteps[] = {
    {'2', "", "Socket error logging on to KORVA", "Error logging on to KORVA"},
    {'2', "HELO", "Socket error logging on to KORVA", "Error logging on to KORVA"},
    {'3', "AUTH LOGIN", "Socket error logging on to KORVA", "Error logging on to KORVA"},
    {'3', "<USERNAME>", "Socket error logging on to KORVA", "Error logging on to KORVA"},
    {'2', "<PASSWORD>", "Socket error logging on to KORVA", "Error logging on to KORVA"},
    {'2', "MAIL FROM:<anna@example.com>\r\n", "Socket error sending fax", "Error sending fax"},
    {'2', "RCPT TO:<fax@example.com>\r\n", "Socket error sending fax", "Error sending fax"},
    {'3', "DATA", "Socket error sending fax", "Error sending fax"},
    {'2', "<fax>", "Error sending fax", "Error sending fax"},
};

const char* kPassword = "s3cret-pw";

std::vector<ServerErrorBox> boxes;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    const std::string& home = fuzzHome();
    FILE* document = std::fopen((home + "/doc.fmf").c_str(), "wb");
    std::fputs("a fax document of sixty bytes or so, encoded in base64 lines", document);
    std::fclose(document);
    setServerErrorSink([](const ServerErrorBox& box) { boxes.push_back(box); });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static Listener listener;
    if (size > ServerBytes::kMaxBytes)
        return 0;
    const std::string bytes(reinterpret_cast<const char*>(data), size);

    Settings settings;
    settings.Server = "127.0.0.1";
    settings.SMTPServerPort = uint32_t(listener.port);
    settings.Username = "anna";
    settings.Password = kPassword;
    settings.EmailAddress = "anna@example.com";
    settings.FaxAddress = "fax@example.com";
    settings.RealName = "Anna";
    FaxJob job;
    job.subject = "Figures";
    job.recipients = {"0301~Berta~Blau KG"};
    job.comments = "two\nlines  ";
    FaxDocument document;
    document.file = (fuzzHome() + "/doc.fmf").c_str();
    document.pages = 1;

    boxes.clear();
    bool sent;
    {
        ServerBytes server(listener, bytes);
        sent = SubmitFax(nullptr, {document}, job, settings);
    }

    for (const ServerErrorBox& box : boxes) {
        // The detail is the server's own line, which may say anything.
        FUZZ_CHECK((box.message + box.context).find(kPassword) == std::string::npos);
    }
    size_t at = 0;
    std::string line;
    for (const Step& step : kSteps) {
        if (ReplyRead read = readReplyLine(bytes, at, line); read != ReplyRead::Line) {
            FUZZ_CHECK(!sent && boxes.size() == 1);
            FUZZ_CHECK(unreadReplyBox(boxes[0], read, step.socketMessage, step.replyMessage, step.context));
            return 0;
        }
        if (line[0] != step.expected) {
            FUZZ_CHECK(!sent && boxes.size() == 1);
            FUZZ_CHECK(boxes[0].message == step.replyMessage && boxes[0].context == step.context);
            FUZZ_CHECK(boxes[0].detail == shownText(line));
            return 0;
        }
    }
    FUZZ_CHECK(sent && boxes.empty());
    return 0;
}
