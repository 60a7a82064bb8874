#include "faxcourier/net/certificate_problem.h"

#include "platform/translation.h"

#include <string_view>

namespace korva {
namespace {

// Our own words among a refusal's reasons; the TLS library's stay as they are.
constexpr const char* kReasons[] = {
    QT_TRANSLATE_NOOP("CertificateProblem", "certificate has expired"),
    QT_TRANSLATE_NOOP("CertificateProblem", "certificate is not yet valid"),
    QT_TRANSLATE_NOOP("CertificateProblem", "not trusted"),
    QT_TRANSLATE_NOOP("CertificateProblem", "issued for another name"),
    QT_TRANSLATE_NOOP("CertificateProblem", "certificate refused"),
    QT_TRANSLATE_NOOP("CertificateProblem", "the connection is not encrypted"),
};

std::string shownReason(const std::string& reason)
{
    for (const char* ours : kReasons)
        if (reason == ours)
            return translated("CertificateProblem", ours);
    return reason;
}

// `text` as head + first + middle + second + tail.
bool split(const std::string& text, std::string_view head, std::string_view middle, std::string_view tail,
           std::string& first, std::string& second)
{
    if (text.size() < head.size() + middle.size() + tail.size() || text.compare(0, head.size(), head) != 0 ||
        text.compare(text.size() - tail.size(), tail.size(), tail) != 0)
        return false;
    const std::string inner = text.substr(head.size(), text.size() - head.size() - tail.size());
    const std::size_t at = middle.empty() ? inner.size() : inner.find(middle);
    if (at == std::string::npos)
        return false;
    first = inner.substr(0, at);
    second = at < inner.size() ? inner.substr(at + middle.size()) : std::string();
    return true;
}

}  // namespace

std::string certificateReason(CertificateProblem problem, const std::string& detail)
{
    switch (problem) {
        case CertificateProblem::Expired:
            return kReasons[0];
        case CertificateProblem::NotYetValid:
            return kReasons[1];
        case CertificateProblem::NotTrusted:
            return kReasons[2];
        case CertificateProblem::OtherName:
            return kReasons[3];
        case CertificateProblem::None:
        case CertificateProblem::Other:
            break;
    }
    return detail.empty() ? std::string(kReasons[4]) : detail;
}

std::string certificateRefusal(const std::string& host, CertificateProblem problem, const std::string& detail)
{
    return "The certificate of " + host + " was refused: " + certificateReason(problem, detail) + ".";
}

std::string shownTlsRefusal(const std::string& refusal)
{
    std::string host, why;
    if (split(refusal, "The certificate of ", " was refused: ", ".", host, why))
        return withArguments(translated("CertificateProblem", "The certificate of %1 was refused: %2."),
                             {host, shownReason(why)});
    if (split(refusal, "TLS with ", " failed: ", ".", host, why))
        return withArguments(translated("CertificateProblem", "TLS with %1 failed: %2."), {host, shownReason(why)});
    if (split(refusal, "TLS could not be set up for ", "", "", host, why))
        return withArguments(translated("CertificateProblem", "TLS could not be set up for %1"), {host});
    if (split(refusal, "The CA file ", "", " cannot be read", host, why))
        return withArguments(translated("CertificateProblem", "The CA file %1 cannot be read"), {host});
    return refusal;
}

}  // namespace korva
