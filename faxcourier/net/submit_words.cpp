#include "faxcourier/net/submit_words.h"

#include "faxcourier/net/socket_client.h"
#include "platform/translation.h"

#include <cctype>
#include <cerrno>

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

std::string shownReason(const std::string& stored)
{
    // Each English text made above or by the outbox, beside its
    // translation; "%1" stands for the server's text or other detail.
    struct Words {
        const char* english;
        std::string shown;
    };
    const Words words[] = {
        {"faxcourier ended before the fax was sent",
         translated("SubmitWords", "faxcourier ended before the fax was sent")},
        {"the server's name could not be looked up",
         translated("SubmitWords", "the server's name could not be looked up")},
        {"the server did not answer", translated("SubmitWords", "the server did not answer")},
        {"the server broke off the connection", translated("SubmitWords", "the server broke off the connection")},
        {"the server's answer could not be read", translated("SubmitWords", "the server's answer could not be read")},
        {"the connection to the server failed", translated("SubmitWords", "the connection to the server failed")},
        {"the server refused the fax", translated("SubmitWords", "the server refused the fax")},
        {"the server refused the fax: %1", translated("SubmitWords", "the server refused the fax: %1")},
        {"the server turned the connection away", translated("SubmitWords", "the server turned the connection away")},
        {"the server turned the connection away: %1",
         translated("SubmitWords", "the server turned the connection away: %1")},
        {"the log-on was refused", translated("SubmitWords", "the log-on was refused")},
        {"the log-on was refused: %1", translated("SubmitWords", "the log-on was refused: %1")},
        {"the sender's e-mail address was refused",
         translated("SubmitWords", "the sender's e-mail address was refused")},
        {"the sender's e-mail address was refused: %1",
         translated("SubmitWords", "the sender's e-mail address was refused: %1")},
        {"the fax address was refused", translated("SubmitWords", "the fax address was refused")},
        {"the fax address was refused: %1", translated("SubmitWords", "the fax address was refused: %1")},
        {"the certificate was refused: certificate has expired",
         translated("SubmitWords", "the certificate was refused: certificate has expired")},
        {"the certificate was refused: certificate is not yet valid",
         translated("SubmitWords", "the certificate was refused: certificate is not yet valid")},
        {"the certificate was refused: not trusted",
         translated("SubmitWords", "the certificate was refused: not trusted")},
        {"the certificate was refused: issued for another name",
         translated("SubmitWords", "the certificate was refused: issued for another name")},
        {"the certificate was refused", translated("SubmitWords", "the certificate was refused")},
        {"the certificate was refused: %1", translated("SubmitWords", "the certificate was refused: %1")},
        {"the encrypted connection failed", translated("SubmitWords", "the encrypted connection failed")},
        {"the encrypted connection failed: %1", translated("SubmitWords", "the encrypted connection failed: %1")},
        {"the server offers no encryption (STARTTLS)",
         translated("SubmitWords", "the server offers no encryption (STARTTLS)")},
        {"a document of the fax cannot be read", translated("SubmitWords", "a document of the fax cannot be read")},
        {"the settings cannot be used", translated("SubmitWords", "the settings cannot be used")},
        {"the settings cannot be used: %1", translated("SubmitWords", "the settings cannot be used: %1")},
        {"a document of the fax is missing", translated("SubmitWords", "a document of the fax is missing")},
        {"open in the Send Fax dialog", translated("SubmitWords", "open in the Send Fax dialog")},
        {"not accepted", translated("SubmitWords", "not accepted")},
        {"no recipients: waits for the Send Fax dialog",
         translated("SubmitWords", "no recipients: waits for the Send Fax dialog")},
        {"the Send Fax dialog was open when faxcourier ended: waits for it",
         translated("SubmitWords", "the Send Fax dialog was open when faxcourier ended: waits for it")},
    };
    for (const Words& each : words) {
        const std::string_view english = each.english;
        const size_t hole = english.find("%1");
        if (hole == std::string_view::npos) {
            if (stored == english)
                return each.shown;
        } else if (stored.size() > hole && stored.compare(0, hole, english.substr(0, hole)) == 0) {
            return withArguments(each.shown, {std::string_view(stored).substr(hole)});
        }
    }
    return stored;
}

}  // namespace korva
