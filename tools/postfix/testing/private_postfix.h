#pragma once
// A Postfix of the test's own, with Dovecot for AUTH: `postfix -c DIR` with
// its configuration, queue, data and a virtual Maildir in a temporary
// folder, three smtpd ports on 127.0.0.1 (STARTTLS required with AUTH only
// after it, TLS on connect, plain with AUTH). Nothing is relayed: mail for
// kFaxAddress goes to the Maildir, every other recipient is refused.
// Behaves as a server on another host would: it adds no Date or Message-ID.

#include "faxcourier/net/test_certificates.h"
#include "platform/testing/child_process.h"

#include <memory>
#include <string>

namespace korva::testing {

constexpr const char* kPostfixUser = "anna";
constexpr const char* kPostfixPassword = "s3cret";
constexpr const char* kPostfixFaxAddress = "fax@korva.test";

enum class PostfixPort { StartTls, Tls, Plain };

class PrivatePostfix {
public:
    // Prepares the folders and certificates under `root`; runs nothing yet.
    explicit PrivatePostfix(const std::string& root);
    ~PrivatePostfix();  // stops Postfix and Dovecot
    PrivatePostfix(const PrivatePostfix&) = delete;
    PrivatePostfix& operator=(const PrivatePostfix&) = delete;

    // Empty when Postfix and Dovecot can run here, otherwise why not.
    static std::string unavailable();

    // Starts both and waits until every port answers. Empty on success,
    // otherwise why they did not start (with the mail log).
    [[nodiscard]] std::string start();
    void stop();

    int port(PostfixPort which) const;
    const std::string& caFile() const { return certificates_.caFile(); }
    // Where delivered messages appear, one file each.
    std::string maildirNew() const { return mail_ + "/fax/new"; }
    std::string mailLog() const;

private:
    void writeConfig();

    std::string root_, conf_, queue_, data_, mail_, dovecot_;
    TestCertificates certificates_;
    int ports_[3] = {};
    bool postfixStarted_ = false;
    std::unique_ptr<ChildProcess> dovecotProcess_;
};

}  // namespace korva::testing
