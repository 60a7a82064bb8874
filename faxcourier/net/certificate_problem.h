#pragma once
// Why a server's certificate was refused, in the words the user reads. The
// SMTP, directory and LDAP conversations all report it this way, so one
// broken certificate reads the same wherever it is met.

#include <string>

namespace korva {

enum class CertificateProblem { None, Expired, NotYetValid, NotTrusted, OtherName, Other };

// "certificate has expired", "certificate is not yet valid", "not trusted",
// "issued for another name"; for Other, `detail` (the TLS library's words).
std::string certificateReason(CertificateProblem problem, const std::string& detail = {});

// "The certificate of HOST was refused: REASON." No way round it is offered.
std::string certificateRefusal(const std::string& host, CertificateProblem problem, const std::string& detail = {});

// A refusal above, "TLS with HOST failed: WORDS." or the directory's "TLS
// could not be set up for HOST" and "The CA file FILE cannot be read", as
// the user reads it in a box; the English goes to the logs. Any other text
// (a server's reply, an error number) is returned as it is.
std::string shownTlsRefusal(const std::string& refusal);

}  // namespace korva
