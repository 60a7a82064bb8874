#include "faxcourier/net/certificate_problem.h"

namespace korva {

std::string certificateReason(CertificateProblem problem, const std::string& detail)
{
    switch (problem) {
        case CertificateProblem::Expired:
            return "certificate has expired";
        case CertificateProblem::NotYetValid:
            return "certificate is not yet valid";
        case CertificateProblem::NotTrusted:
            return "not trusted";
        case CertificateProblem::OtherName:
            return "issued for another name";
        case CertificateProblem::None:
        case CertificateProblem::Other:
            break;
    }
    return detail.empty() ? std::string("certificate refused") : detail;
}

std::string certificateRefusal(const std::string& host, CertificateProblem problem, const std::string& detail)
{
    return "The certificate of " + host + " was refused: " + certificateReason(problem, detail) + ".";
}

}  // namespace korva
