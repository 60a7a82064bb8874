#include "faxcourier/net/submit_words.h"

#include "faxcourier/net/socket_client.h"
#include "platform/translation.h"

#include <cctype>
#include <cerrno>
#include <string_view>

namespace korva {
namespace {

// A server's text quoted in a reason is kept to this many characters.
constexpr size_t kQuotedLength = 200;

std::string withDetail(std::string words, const std::string& detail)
{
    return detail.empty() ? words : words + ": " + detail;
}

bool digit(char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; }

// "5.7.8 " and the like (RFC 3463) at `at`; its length, or 0.
size_t statusCodeLength(const std::string& text, size_t at)
{
    size_t end = at, dots = 0;
    while (end < text.size() && (digit(text[end]) || text[end] == '.')) {
        dots += text[end] == '.';
        ++end;
    }
    if (dots != 2 || end == at || !digit(text[at]) || !digit(text[end - 1]))
        return 0;
    return end < text.size() && text[end] == ' ' ? end + 1 - at : (end == text.size() ? end - at : 0);
}

}  // namespace

std::string serverReplyText(const std::string& reply)
{
    std::string text = reply.substr(0, reply.find_first_of("\r\n"));
    size_t at = 0;
    if (text.size() >= 3 && digit(text[0]) && digit(text[1]) && digit(text[2]) &&
        (text.size() == 3 || text[3] == ' ' || text[3] == '-'))
        at = text.size() == 3 ? 3 : 4;
    at += statusCodeLength(text, at);
    while (at < text.size() && text[at] == ' ')
        ++at;
    text = text.substr(at, kQuotedLength);
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())))
        text.pop_back();
    return text;
}

std::string socketFailureWords(SubmitStage stage, int error)
{
    switch (error) {
        case kSocketAborted:
            return "faxcourier ended before the fax was sent";
        case kSocketHostNotFound:
        case kSocketUnusableHost:
        case kSocketLookupFailed:
            return "the server's name could not be looked up";
        case kSocketTimedOut:
            return "the server did not answer";
        case kSocketPeerClosed:
        case ECONNRESET:
        case EPIPE:
            return "the server broke off the connection";
        case kSocketLineTooLong:
            return "the server's answer could not be read";
        default:
            break;
    }
    return stage == SubmitStage::Connect ? "the server did not answer" : "the connection to the server failed";
}

std::string refusalWords(SubmitStage stage, const std::string& reply)
{
    const char* words = "the server refused the fax";
    switch (stage) {
        case SubmitStage::Connect:
        case SubmitStage::Greeting:
            words = "the server turned the connection away";
            break;
        case SubmitStage::Logon:
            words = "the log-on was refused";
            break;
        case SubmitStage::Sender:
            words = "the sender's e-mail address was refused";
            break;
        case SubmitStage::FaxAddress:
            words = "the fax address was refused";
            break;
        case SubmitStage::Message:
            break;
    }
    return withDetail(words, serverReplyText(reply));
}

std::string certificateWords(CertificateProblem problem, const std::string& detail)
{
    return withDetail("the certificate was refused", certificateReason(problem, detail));
}

std::string tlsFailureWords(const std::string& detail) { return withDetail("the encrypted connection failed", detail); }

std::string noEncryptionWords() { return "the server offers no encryption (STARTTLS)"; }

std::string unreadableDocumentWords() { return "a document of the fax cannot be read"; }

std::string unusableSettingWords(const std::string& why) { return withDetail("the settings cannot be used", why); }

// Each English text made above or by the outbox, as stored; "%1" stands
// for the server's text or other detail.
constexpr const char* kStoredWords[] = {
    QT_TRANSLATE_NOOP("SubmitWords", "faxcourier ended before the fax was sent"),
    QT_TRANSLATE_NOOP("SubmitWords", "the server's name could not be looked up"),
    QT_TRANSLATE_NOOP("SubmitWords", "the server did not answer"),
    QT_TRANSLATE_NOOP("SubmitWords", "the server broke off the connection"),
    QT_TRANSLATE_NOOP("SubmitWords", "the server's answer could not be read"),
    QT_TRANSLATE_NOOP("SubmitWords", "the connection to the server failed"),
    QT_TRANSLATE_NOOP("SubmitWords", "the server refused the fax"),
    QT_TRANSLATE_NOOP("SubmitWords", "the server refused the fax: %1"),
    QT_TRANSLATE_NOOP("SubmitWords", "the server turned the connection away"),
    QT_TRANSLATE_NOOP("SubmitWords", "the server turned the connection away: %1"),
    QT_TRANSLATE_NOOP("SubmitWords", "the log-on was refused"),
    QT_TRANSLATE_NOOP("SubmitWords", "the log-on was refused: %1"),
    QT_TRANSLATE_NOOP("SubmitWords", "the sender's e-mail address was refused"),
    QT_TRANSLATE_NOOP("SubmitWords", "the sender's e-mail address was refused: %1"),
    QT_TRANSLATE_NOOP("SubmitWords", "the fax address was refused"),
    QT_TRANSLATE_NOOP("SubmitWords", "the fax address was refused: %1"),
    QT_TRANSLATE_NOOP("SubmitWords", "the certificate was refused: certificate has expired"),
    QT_TRANSLATE_NOOP("SubmitWords", "the certificate was refused: certificate is not yet valid"),
    QT_TRANSLATE_NOOP("SubmitWords", "the certificate was refused: not trusted"),
    QT_TRANSLATE_NOOP("SubmitWords", "the certificate was refused: issued for another name"),
    QT_TRANSLATE_NOOP("SubmitWords", "the certificate was refused"),
    QT_TRANSLATE_NOOP("SubmitWords", "the certificate was refused: %1"),
    QT_TRANSLATE_NOOP("SubmitWords", "the encrypted connection failed"),
    QT_TRANSLATE_NOOP("SubmitWords", "the encrypted connection failed: %1"),
    QT_TRANSLATE_NOOP("SubmitWords", "the server offers no encryption (STARTTLS)"),
    QT_TRANSLATE_NOOP("SubmitWords", "a document of the fax cannot be read"),
    QT_TRANSLATE_NOOP("SubmitWords", "the settings cannot be used"),
    QT_TRANSLATE_NOOP("SubmitWords", "the settings cannot be used: %1"),
    QT_TRANSLATE_NOOP("SubmitWords", "a document of the fax is missing"),
    QT_TRANSLATE_NOOP("SubmitWords", "open in the Send Fax dialog"),
    QT_TRANSLATE_NOOP("SubmitWords", "not accepted"),
    QT_TRANSLATE_NOOP("SubmitWords", "no recipients: waits for the Send Fax dialog"),
    QT_TRANSLATE_NOOP("SubmitWords", "the Send Fax dialog was open when faxcourier ended: waits for it"),
};

std::string shownReason(const std::string& stored)
{
    for (const std::string_view english : kStoredWords) {
        const size_t hole = english.find("%1");
        if (hole == std::string_view::npos) {
            if (stored == english)
                return translated("SubmitWords", english.data());
        } else if (stored.size() > hole && stored.compare(0, hole, english.substr(0, hole)) == 0) {
            return withArguments(translated("SubmitWords", english.data()), {std::string_view(stored).substr(hole)});
        }
    }
    return stored;
}

}  // namespace korva
