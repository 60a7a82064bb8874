#pragma once
// Why a fax was not sent, in the words the user reads on the desktop and in
// the outbox: no error numbers, ports or entry ids. The log keeps the
// technical line beside them. They are made in English, since the outbox
// stores them; shownReason() gives them in the reader's language.

#include "faxcourier/net/certificate_problem.h"

#include <string>

namespace korva {

// Where in the server conversation a submission stopped.
enum class SubmitStage { Connect, Greeting, Logon, Sender, FaxAddress, Message };

// A socket error (an errno value or a Socket code) met at `stage`.
std::string socketFailureWords(SubmitStage stage, int error);
// A reply `stage` did not expect, quoting the server's text without its codes.
std::string refusalWords(SubmitStage stage, const std::string& reply);
std::string certificateWords(CertificateProblem problem, const std::string& detail);
// A TLS handshake refused for another reason than the certificate.
std::string tlsFailureWords(const std::string& detail);
std::string noEncryptionWords();
std::string unreadableDocumentWords();
std::string unusableSettingWords(const std::string& why);

// A reason stored in English by the functions above (or the outbox), in the
// reader's language; a text none of them makes is shown as it is.
std::string shownReason(const std::string& stored);

// "535 5.7.8 Authentication failed" as "Authentication failed": the first
// line without its reply and status codes.
std::string serverReplyText(const std::string& reply);

}  // namespace korva
