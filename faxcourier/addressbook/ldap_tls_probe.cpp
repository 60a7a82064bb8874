#include "faxcourier/addressbook/ldap_tls_probe.h"

#include "faxcourier/net/certificate_problem.h"
#include "faxcourier/net/socket_client.h"
#include "faxcourier/settings/settings.h"

#include <cstdint>
#include <optional>

namespace korva {
namespace {

constexpr const char* kStartTlsOid = "1.3.6.1.4.1.1466.20037";
constexpr unsigned char kSequence = 0x30;
constexpr unsigned char kInteger = 0x02;
constexpr unsigned char kEnumerated = 0x0A;
constexpr unsigned char kExtendedRequest = 0x77;   // [APPLICATION 23], constructed
constexpr unsigned char kExtendedResponse = 0x78;  // [APPLICATION 24], constructed
constexpr unsigned char kRequestName = 0x80;       // [0], primitive
// A StartTLS response is a few dozen bytes; a longer one is not read.
constexpr size_t kLongestResponse = 4096;
// The program's socket time-out is at least this.
constexpr uint32_t kProbeTimeoutSeconds = 10;

// Short-form TLV: every part of the request is below 128 bytes.
std::string tlv(unsigned char tag, const std::string& content)
{
    return std::string(1, char(tag)) + char(content.size()) + content;
}

// One BER element read from `text` at `at`: its tag and content.
struct Element {
    unsigned char tag = 0;
    std::string content;
};

std::optional<size_t> lengthAt(const std::string& text, size_t& at)
{
    if (at >= text.size())
        return std::nullopt;
    auto first = static_cast<unsigned char>(text[at++]);
    if (first < 0x80)
        return first;
    size_t count = first & 0x7F;
    if (count == 0 || count > 3 || at + count > text.size())
        return std::nullopt;
    size_t length = 0;
    for (size_t i = 0; i < count; ++i)
        length = (length << 8) | static_cast<unsigned char>(text[at++]);
    return length;
}

std::optional<Element> elementAt(const std::string& text, size_t& at)
{
    if (at >= text.size())
        return std::nullopt;
    Element element{static_cast<unsigned char>(text[at++]), {}};
    std::optional<size_t> length = lengthAt(text, at);
    if (!length || at + *length > text.size())
        return std::nullopt;
    element.content = text.substr(at, *length);
    at += *length;
    return element;
}

// One whole LDAPMessage from the socket, by its outer length.
std::optional<std::string> readMessage(Socket& socket)
{
    unsigned char byte = 0;
    std::string header;
    if (!socket.GetByte(byte) || byte != kSequence)
        return std::nullopt;
    header += char(byte);
    if (!socket.GetByte(byte))
        return std::nullopt;
    header += char(byte);
    for (size_t extra = byte >= 0x80 ? byte & 0x7F : 0; extra > 0; --extra) {
        if (!socket.GetByte(byte))
            return std::nullopt;
        header += char(byte);
    }
    size_t at = 1;
    std::optional<size_t> length = lengthAt(header, at);
    if (!length || *length > kLongestResponse)
        return std::nullopt;
    std::string message = header;
    for (size_t i = 0; i < *length; ++i) {
        if (!socket.GetByte(byte))
            return std::nullopt;
        message += char(byte);
    }
    return message;
}

bool askForStartTls(Socket& socket)
{
    if (!socket.SendString(startTlsRequest().c_str()))
        return false;
    std::optional<std::string> response = readMessage(socket);
    return response && extendedResultCode(*response) == 0;
}

LdapTlsRefusal unexplained(const std::string& host, const std::string& words)
{
    return LdapTlsRefusal{false, "TLS with " + host + " failed: " + words + "."};
}

}  // namespace

std::string startTlsRequest()
{
    std::string messageId = tlv(kInteger, std::string(1, '\x01'));
    return tlv(kSequence, messageId + tlv(kExtendedRequest, tlv(kRequestName, kStartTlsOid)));
}

int extendedResultCode(const std::string& message)
{
    size_t at = 0;
    std::optional<Element> outer = elementAt(message, at);
    if (!outer || outer->tag != kSequence)
        return -1;
    at = 0;
    std::optional<Element> id = elementAt(outer->content, at);
    std::optional<Element> response = elementAt(outer->content, at);
    if (!id || id->tag != kInteger || !response || response->tag != kExtendedResponse)
        return -1;
    at = 0;
    std::optional<Element> code = elementAt(response->content, at);
    if (!code || code->tag != kEnumerated || code->content.empty() || code->content.size() > 2)
        return -1;
    int value = 0;
    for (char c : code->content)
        value = (value << 8) | static_cast<unsigned char>(c);
    return value;
}

LdapTlsRefusal probeTlsRefusal(uint32_t encryption, const std::string& host, unsigned port, const std::string& caFile,
                               const std::string& libldapWords)
{
    Socket socket;
    if (!socket.Create(kProbeTimeoutSeconds) || !socket.Bind() || !socket.Connect(host.c_str(), port))
        return LdapTlsRefusal{true, libldapWords};
    if (encryption == kEncryptionStartTls && !askForStartTls(socket))
        return unexplained(host, libldapWords);
    // Secured here while libldap refused: its words are all there is.
    if (socket.StartTls(host.c_str(), caFile.c_str()) || socket.TlsProblem() == CertificateProblem::None)
        return unexplained(host, libldapWords);
    return LdapTlsRefusal{false, certificateRefusal(host, socket.TlsProblem(), socket.TlsDetail())};
}

}  // namespace korva
