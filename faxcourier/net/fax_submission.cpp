#include "faxcourier/net/fax_submission.h"

#include "faxcourier/foundation/server_error.h"
#include "faxcourier/net/fax_message.h"
#include "faxcourier/net/smtp_data_writer.h"
#include "faxcourier/net/socket_client.h"

#include <cstdio>

namespace korva {

namespace {

constexpr uint32_t kReplyTimeoutSeconds = 300;
constexpr const char* kLogonFailed = "Error logging on to KORVA";
constexpr const char* kLogonSocketFailed = "Socket error logging on to KORVA";
constexpr const char* kSendFailed = "Error sending fax";
constexpr const char* kSendSocketFailed = "Socket error sending fax";

String base64Line(const String& value) {
    String line;
    line.EncodeBase64(value.Text(), value.Length());
    line.Append("\r\n");
    return line;
}

String decimal(int number) {
    char text[16];
    std::snprintf(text, sizeof text, "%d", number);
    return String(text);
}

class Conversation {
public:
    explicit Conversation(void* owner) : owner_(owner) {}

    Socket& socket() { return socket_; }

    bool fail(const char* message, const char* context, const String& detail) {
        ShowServerError(owner_, message, context, detail);
        socket_.Close();
        return false;
    }

    bool socketFailure(const char* message, const char* context) {
        return fail(message, context, socket_.ErrorText());
    }

    // Sends `command` (none: only a reply is due) and checks the first
    // character of the one reply line.
    bool exchange(const char* command, char expected, const char* context, const char* socketMessage,
                  const char* replyMessage) {
        if (command != nullptr && !socket_.SendString(command)) return socketFailure(socketMessage, context);
        String reply;
        if (!socket_.ReadLine(reply)) return socketFailure(socketMessage, context);
        if (reply.GetAt(0) != expected) return fail(replyMessage, context, reply);
        return true;
    }

    bool logOn(const Settings& settings) {
        return exchange(nullptr, '2', "", kLogonSocketFailed, kLogonFailed) &&
               exchange("HELO korvafax\r\n", '2', "HELO", kLogonSocketFailed, kLogonFailed) &&
               exchange("AUTH LOGIN\r\n", '3', "AUTH LOGIN", kLogonSocketFailed, kLogonFailed) &&
               exchange(base64Line(settings.Username).Text(), '3', "<USERNAME>", kLogonSocketFailed, kLogonFailed) &&
               exchange(base64Line(settings.Password).Text(), '2', "<PASSWORD>", kLogonSocketFailed, kLogonFailed);
    }

    bool envelope(const Settings& settings) {
        char command[1000];
        std::snprintf(command, sizeof command, "MAIL FROM:<%.500s>\r\n", OneLine(settings.EmailAddress).Text());
        if (!exchange(command, '2', command, kSendSocketFailed, kSendFailed)) return false;
        std::snprintf(command, sizeof command, "RCPT TO:<%.500s>\r\n", OneLine(settings.FaxAddress).Text());
        if (!exchange(command, '2', command, kSendSocketFailed, kSendFailed)) return false;
        return exchange("DATA\r\n", '3', "DATA", kSendSocketFailed, kSendFailed);
    }

    // The message and its final ".". A send that fails part-way ends the
    // message there: the server never sees the final "." and so never
    // accepts a message with a hole in it.
    bool message(const std::vector<FaxDocument>& documents, FaxJob& job, const Settings& settings) {
        String sendError;
        SmtpDataWriter out([this, &sendError](const char* text) {
            if (socket_.SendString(text)) return true;
            sendError = socket_.ErrorText();
            return false;
        });
        WriteMessageHead(out, job, settings);
        for (size_t n = 0; n < documents.size() && !out.Failed(); ++n) {
            int readError = WriteAttachment(out, documents[n], static_cast<int>(2 * n + 1));
            if (readError != 0) return fail("Unable to read fax document", documents[n].file.Text(), decimal(readError));
        }
        WriteMessageEnd(out);
        if (!out.Finish()) return fail(kSendSocketFailed, "<fax>", sendError);
        return true;
    }

    void quit() {
        String ignored;
        if (socket_.SendString("QUIT\r\n")) socket_.ReadLine(ignored);
        socket_.Close();
    }

private:
    void* owner_;
    Socket socket_;
};

}  // namespace

bool SubmitFax(void* owner, const std::vector<FaxDocument>& documents, FaxJob& job, const Settings& settings) {
    Conversation conversation(owner);
    Socket& socket = conversation.socket();
    if (!socket.Create(kReplyTimeoutSeconds)) return conversation.socketFailure("Unable to create socket", "");
    if (!socket.Bind()) return conversation.socketFailure("Unable to bind socket", "");
    if (!socket.Connect(settings.Server.Text(), settings.SMTPServerPort))
        return conversation.socketFailure("Unable to connect to server", settings.Server.Text());
    if (!conversation.logOn(settings) || !conversation.envelope(settings) ||
        !conversation.message(documents, job, settings))
        return false;
    if (!conversation.exchange(nullptr, '2', "<fax>", kSendFailed, kSendFailed)) return false;
    conversation.quit();
    return true;
}

bool SubmitFax(void* owner, const std::vector<FaxDocument>& documents) {
    return SubmitFax(owner, documents, globalFaxJob(), globalSettings());
}

}  // namespace korva
