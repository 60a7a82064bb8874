#include "faxcourier/net/fax_submission.h"

#include "faxcourier/foundation/server_error.h"
#include "faxcourier/net/certificate_problem.h"
#include "faxcourier/net/fax_message.h"
#include "faxcourier/net/smtp_data_writer.h"
#include "faxcourier/net/socket_client.h"
#include "faxcourier/net/submit_words.h"
#include "faxcourier/net/tls_start.h"
#include "faxcourier/settings/server_target.h"
#include "platform/message_box.h"
#include "platform/translation.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

namespace korva {

namespace {

constexpr uint32_t kReplyTimeoutSeconds = 300;
constexpr const char* kLogonFailed = QT_TRANSLATE_NOOP("ServerError", "Error logging on to KORVA");
constexpr const char* kLogonSocketFailed = QT_TRANSLATE_NOOP("ServerError", "Socket error logging on to KORVA");
constexpr const char* kSendFailed = QT_TRANSLATE_NOOP("ServerError", "Error sending fax");
constexpr const char* kSendSocketFailed = QT_TRANSLATE_NOOP("ServerError", "Socket error sending fax");
// A reason quotes at most this much of a server's reply.
constexpr int kReasonReplyLength = 200;
// The most lines of an EHLO reply that are read; a longer one is refused.
constexpr size_t kMaxEhloLines = 100;

bool isStartTlsLine(const String& line)
{
    String keyword(line.Length() > 4 ? line.Text() + 4 : "");
    keyword.TrimLeft();
    keyword.TrimRight();
    return strcasecmp(keyword.Text(), "STARTTLS") == 0;
}

String base64Line(const String& value)
{
    String line;
    line.EncodeBase64(value.Text(), value.Length());
    line.Append("\r\n");
    return line;
}

String decimal(int number)
{
    char text[16];
    std::snprintf(text, sizeof text, "%d", number);
    return String(text);
}

std::string formatted(const char* format, const char* text, int number)
{
    char line[1200];
    std::snprintf(line, sizeof line, format, text, number);
    return line;
}

// 0 when the document is a non-empty regular file that opens, else why
// not. O_NONBLOCK: a FIFO put in its place must not hold the call.
int unreadableReason(const FaxDocument& document)
{
    int fd = open(document.file.Text(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return errno;
    struct stat status {};
    int error = 0;
    if (fstat(fd, &status) != 0) {
        error = errno;
    } else if (S_ISDIR(status.st_mode)) {
        error = EISDIR;
    } else if (!S_ISREG(status.st_mode)) {
        error = EINVAL;
    } else if (status.st_size == 0) {
        error = ENODATA;
    }
    close(fd);
    return error;
}

// One exchange of the conversation.
struct Step {
    const char* command = nullptr;  // null: only a reply is due
    char expected;                  // the first character of a good reply
    const char* context;            // the step as the box shows it
    const char* name;               // the step as a report's reason names it
    SubmitStage stage;
    const char* socketMessage;
    const char* replyMessage;
    bool refusalIsPermanent = false;  // a 5xx reply here will not change by trying again
    bool awaitedThroughShutdown = false;
};

// The greeting and HELO: a server that turns us away now may not later.
Step greetingStep(const char* command, const char* context, const char* name)
{
    return {.command = command,
            .expected = '2',
            .context = context,
            .name = name,
            .stage = SubmitStage::Greeting,
            .socketMessage = kLogonSocketFailed,
            .replyMessage = kLogonFailed};
}

// A step of the logon: a refusal there stays a refusal on the next try.
Step logonStep(const char* command, char expected, const char* context, const char* name)
{
    return {.command = command,
            .expected = expected,
            .context = context,
            .name = name,
            .stage = SubmitStage::Logon,
            .socketMessage = kLogonSocketFailed,
            .replyMessage = kLogonFailed,
            .refusalIsPermanent = true};
}

// The server may hold the whole fax when the program is told to quit: its
// answer is still awaited this long, or the fax would be kept and sent again.
constexpr std::chrono::milliseconds kFinalReplyGrace{5000};

class Conversation {
public:
    Conversation(void* owner, const Settings& settings) : owner_(owner), settings_(settings) {}

    // Read once before connecting; every later step goes by it.
    void setEncryption(uint32_t mode) { encryption_ = mode; }
    uint32_t encryption() const { return encryption_; }

    Socket& socket() { return socket_; }
    SubmitReport& report() { return report_; }

    // `shownDetail`: the detail as the user reads it, when it differs.
    Result<void> fail(const char* message, const char* context, const String& detail, SubmitFailure kind,
                      std::string reason, std::string words, const std::string& shownDetail = {})
    {
        report_ = {kind, std::move(reason), std::move(words)};
        ShowServerError(owner_, message, context, detail, shownDetail.empty() ? detail.Text() : shownDetail);
        socket_.Close();
        return Error::withText(report_.reason);
    }

    // A socket failure: always worth another try later.
    Result<void> socketFailure(const char* message, const char* context, const char* what)
    {
        char reason[600];
        std::snprintf(reason, sizeof reason, "%s %.300s:%u failed (error %s)", what, OneLine(settings_.Server).Text(),
                      unsigned(settings_.SMTPServerPort), socket_.ErrorText().Text());
        return fail(message, context, socket_.ErrorText(), SubmitFailure::Transient, reason,
                    socketFailureWords(stage_, socket_.LastError()));
    }

    // A reply that could not be read; see ReadFailureMessage.
    Result<void> readFailure(const char* socketMessage, const char* replyMessage, const char* context, const char* what)
    {
        return socketFailure(ReadFailureMessage(socket_, socketMessage, replyMessage), context, what);
    }

    // Sends the step's command and checks the first character of the one
    // reply line.
    Result<void> exchange(const Step& step)
    {
        stage_ = step.stage;
        if (step.command != nullptr && !socket_.SendString(step.command))
            return socketFailure(step.socketMessage, step.context, step.name);
        String reply;
        Result<void> read = step.awaitedThroughShutdown ? socket_.ReadLineThroughAbort(reply, kFinalReplyGrace)
                                                        : socket_.ReadLine(reply);
        if (!read)
            return readFailure(step.socketMessage, step.replyMessage, step.context, step.name);
        if (reply.GetAt(0) == step.expected)
            return {};
        return wrongReply(step.replyMessage, step.context, reply, step.refusalIsPermanent && reply.GetAt(0) == '5');
    }

    Result<void> wrongReply(const char* message, const char* context, const String& reply, bool permanent)
    {
        char reason[300];
        std::snprintf(reason, sizeof reason, "%.*s", kReasonReplyLength, OneLine(reply).Text());
        return fail(message, context, reply, permanent ? SubmitFailure::Permanent : SubmitFailure::Transient, reason,
                    refusalWords(stage_, reply.Text()));
    }

    // EHLO and its reply of continued lines; `offersStartTls` tells whether
    // any line names STARTTLS.
    Result<void> ehlo(bool& offersStartTls)
    {
        offersStartTls = false;
        stage_ = SubmitStage::Greeting;
        if (!socket_.SendString("EHLO korvafax\r\n"))
            return socketFailure(kLogonSocketFailed, "EHLO", "EHLO at");
        String reply, whole;
        for (size_t lines = 1;; ++lines) {
            if (!socket_.ReadLine(reply))
                return readFailure(kLogonSocketFailed, kLogonFailed, "EHLO", "EHLO at");
            offersStartTls = offersStartTls || isStartTlsLine(reply);
            whole.Append(lines == 1 ? "" : "\n");
            whole.Append(reply);
            if (reply.Length() < 4 || reply.GetAt(3) != '-')
                break;
            if (lines == kMaxEhloLines)
                return wrongReply(kLogonFailed, "EHLO", whole, false);
        }
        lastEhloReply_ = whole;
        if (reply.GetAt(0) == '2')
            return {};
        return wrongReply(kLogonFailed, "EHLO", reply, false);
    }

    // RFC 3207. A server that does not offer the upgrade, or refuses it,
    // never sees the credentials: there is no falling back to plain text.
    Result<void> upgradeWithStartTls()
    {
        bool offered = false;
        if (Result<void> greeted = ehlo(offered); !greeted)
            return greeted;
        if (!offered)
            return notOffered(lastEhloReply_);
        if (!socket_.SendString("STARTTLS\r\n"))
            return socketFailure(kLogonSocketFailed, "STARTTLS", "STARTTLS at");
        String reply;
        if (!socket_.ReadLine(reply))
            return readFailure(kLogonSocketFailed, kLogonFailed, "STARTTLS", "STARTTLS at");
        if (std::strncmp(reply.Text(), "220", 3) != 0)
            return notOffered(reply);
        if (Result<void> secured = secure("STARTTLS"); !secured)
            return secured;
        return ehlo(offered);
    }

    // A server without STARTTLS will not grow it by trying again.
    Result<void> notOffered(const String& reply)
    {
        std::string reason = "STARTTLS not offered by " + std::string(OneLine(settings_.Server).Text()) + ": " +
                             std::string(OneLine(reply).Text()).substr(0, kReasonReplyLength);
        return fail(kLogonFailed, "STARTTLS", reply, SubmitFailure::Permanent, reason, noEncryptionWords());
    }

    // A refused certificate or handshake will not change by trying again
    // either: the server's administrator or the settings must change.
    Result<void> secure(const char* context)
    {
        Result<void> started = startTls(socket_, settings_);
        if (started)
            return started;
        TlsStartFailure failure = DescribeTlsFailure(started.error());
        if (!failure.permanent)
            return socketFailure(failure.message, context, "TLS with");
        std::string words = socket_.TlsProblem() != CertificateProblem::None
                                ? certificateWords(socket_.TlsProblem(), socket_.TlsDetail())
                                : tlsFailureWords(socket_.TlsDetail());
        return fail(failure.message, context, failure.detail, SubmitFailure::Permanent, failure.detail.Text(), words,
                    shownTlsRefusal(failure.detail.Text()));
    }

    Result<void> logOn()
    {
        String user = base64Line(settings_.Username);
        String password = base64Line(settings_.Password);
        if (Result<void> greeting = exchange(greetingStep(nullptr, "", "greeting from")); !greeting)
            return greeting;
        Result<void> helo = encryption_ == kEncryptionStartTls
                                ? upgradeWithStartTls()
                                : exchange(greetingStep("HELO korvafax\r\n", "HELO", "HELO at"));
        if (!helo)
            return helo;
        const Step steps[] = {
            logonStep("AUTH LOGIN\r\n", '3', "AUTH LOGIN", "AUTH LOGIN at"),
            logonStep(user.Text(), '3', "<USERNAME>", "user name at"),
            logonStep(password.Text(), '2', "<PASSWORD>", "password at"),
        };
        return exchangeAll(steps);
    }

    template <size_t N>
    Result<void> exchangeAll(const Step (&steps)[N])
    {
        for (const Step& step : steps)
            if (Result<void> exchanged = exchange(step); !exchanged)
                return exchanged;
        return {};
    }

    Result<void> envelope()
    {
        char from[1000];
        std::snprintf(from, sizeof from, "MAIL FROM:<%.500s>\r\n", OneLine(settings_.EmailAddress).Text());
        char to[1000];
        std::snprintf(to, sizeof to, "RCPT TO:<%.500s>\r\n", OneLine(settings_.FaxAddress).Text());
        const Step steps[] = {
            {.command = from,
             .expected = '2',
             .context = from,
             .name = "MAIL FROM at",
             .stage = SubmitStage::Sender,
             .socketMessage = kSendSocketFailed,
             .replyMessage = kSendFailed,
             .refusalIsPermanent = true},
            {.command = to,
             .expected = '2',
             .context = to,
             .name = "RCPT TO at",
             .stage = SubmitStage::FaxAddress,
             .socketMessage = kSendSocketFailed,
             .replyMessage = kSendFailed,
             .refusalIsPermanent = true},
            {.command = "DATA\r\n",
             .expected = '3',
             .context = "DATA",
             .name = "DATA at",
             .stage = SubmitStage::Message,
             .socketMessage = kSendSocketFailed,
             .replyMessage = kSendFailed},
        };
        return exchangeAll(steps);
    }

    // The message and its final ".". A send that fails part-way ends the
    // message there: the server never sees the final "." and so never
    // accepts a message with a hole in it.
    Result<void> message(const std::vector<FaxDocument>& documents, FaxJob& job)
    {
        stage_ = SubmitStage::Message;
        SmtpDataWriter out([this](const char* text) { return socket_.SendString(text); });
        WriteMessageHead(out, job, settings_);
        for (size_t n = 0; n < documents.size() && !out.Failed(); ++n) {
            Result<void> attached = WriteAttachment(out, documents[n], static_cast<int>(2 * n + 1));
            const int readError = attached.code();
            if (!attached)
                return fail(
                    QT_TRANSLATE_NOOP("ServerError", "Unable to read fax document"), documents[n].file.Text(),
                    decimal(readError), SubmitFailure::Permanent,
                    formatted("fax document %.1000s cannot be read (error %d)", documents[n].file.Text(), readError),
                    unreadableDocumentWords());
        }
        WriteMessageEnd(out);
        if (!out.Finish())
            return socketFailure(kSendSocketFailed, "<fax>", "message data to");
        return {};
    }

    Result<void> finalReply()
    {
        return exchange({.expected = '2',
                         .context = "<fax>",
                         .name = "reply to the message from",
                         .stage = SubmitStage::Message,
                         .socketMessage = kSendFailed,
                         .replyMessage = kSendFailed,
                         .refusalIsPermanent = true,
                         .awaitedThroughShutdown = true});
    }

    void quit()
    {
        Quit(socket_);
        socket_.Close();
    }

private:
    void* owner_;
    const Settings& settings_;
    Socket socket_;
    SubmitReport report_;
    String lastEhloReply_;
    uint32_t encryption_ = kEncryptionNone;
    SubmitStage stage_ = SubmitStage::Connect;
};

// Checked before the server is called, so that a document that has gone
// or become unreadable since it was made never leaves as an empty
// attachment.
Result<void> documentsReadable(const std::vector<FaxDocument>& documents, SubmitReport& report)
{
    for (const FaxDocument& document : documents) {
        int error = unreadableReason(document);
        if (error == 0)
            continue;
        const char* path = document.file.Text();
        showMessageBox("KORVA Fax",
                       withArguments(translated("FaxSubmission",
                                                "The fax document %1 cannot be read (error %2). The fax was not sent."),
                                     {std::string(path).substr(0, 1000), std::to_string(error)}));
        report = {SubmitFailure::Permanent, formatted("fax document %.1000s cannot be read (error %d)", path, error),
                  unreadableDocumentWords()};
        return Error::withText(report.reason, error);
    }
    return {};
}

// A Server or Encryption value that cannot be used will not change by
// trying again: the fax waits as refused until the settings are mended.
Result<void> settingsUsable(void* owner, const Settings& settings, Conversation& conversation)
{
    CheckedTarget checked = serverTarget(settings);
    if (const SettingRefusal* refusal = std::get_if<SettingRefusal>(&checked)) {
        reportSettingRefusal(owner, *refusal);
        conversation.report() = {SubmitFailure::Permanent, "setting " + refusal->setting + " refused: " + refusal->why,
                                 unusableSettingWords(refusal->why)};
        return Error::withText(conversation.report().reason);
    }
    conversation.setEncryption(std::get<ServerTarget>(checked).encryption);
    return {};
}

// Every failure has filled in the conversation's report.
Result<void> submit(void* owner, Conversation& conversation, const std::vector<FaxDocument>& documents, FaxJob& job,
                    const Settings& settings)
{
    if (Result<void> usable = settingsUsable(owner, settings, conversation); !usable)
        return usable;
    if (Result<void> readable = documentsReadable(documents, conversation.report()); !readable)
        return readable;
    Socket& socket = conversation.socket();
    if (!socket.Create(kReplyTimeoutSeconds))
        return conversation.socketFailure(QT_TRANSLATE_NOOP("ServerError", "Unable to create socket"), "",
                                          "socket for");
    if (!socket.Bind())
        return conversation.socketFailure(QT_TRANSLATE_NOOP("ServerError", "Unable to bind socket"), "", "bind for");
    if (!socket.Connect(settings.Server.Text(), settings.SMTPServerPort))
        return conversation.socketFailure(QT_TRANSLATE_NOOP("ServerError", "Unable to connect to server"),
                                          settings.Server.Text(), "connect to");
    if (conversation.encryption() == kEncryptionTls)
        if (Result<void> secured = conversation.secure("TLS"); !secured)
            return secured;
    if (Result<void> loggedOn = conversation.logOn(); !loggedOn)
        return loggedOn;
    if (Result<void> addressed = conversation.envelope(); !addressed)
        return addressed;
    if (Result<void> sent = conversation.message(documents, job); !sent)
        return sent;
    if (Result<void> accepted = conversation.finalReply(); !accepted)
        return accepted;
    conversation.quit();
    return {};
}

}  // namespace

bool SubmitFax(void* owner, const std::vector<FaxDocument>& documents, FaxJob& job, const Settings& settings,
               SubmitReport* report)
{
    Conversation conversation(owner, settings);
    // The report is the contract's answer; the result only says whether.
    bool sent = submit(owner, conversation, documents, job, settings).ok();
    if (report != nullptr)
        *report = conversation.report();
    return sent;
}

bool SubmitFax(void* owner, const std::vector<FaxDocument>& documents, FaxJob& job, const Settings& settings)
{
    return SubmitFax(owner, documents, job, settings, nullptr);
}

bool SubmitFax(void* owner, const std::vector<FaxDocument>& documents)
{
    return SubmitFax(owner, documents, globalFaxJob(), globalSettings());
}

}  // namespace korva
