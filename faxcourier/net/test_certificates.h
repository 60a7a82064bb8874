#pragma once
// A test CA and server certificates made in memory for the TLS tests: one
// valid for 127.0.0.1 and localhost, one expired, one for another name.
// The files are written into `folder`.

#include <string>

namespace korva::testing {

enum class TestCertificate { Good, Expired, OtherHost };

class TestCertificates {
public:
    explicit TestCertificates(const std::string& folder);

    const std::string& caFile() const { return caFile_; }
    std::string certificateFile(TestCertificate which) const;
    std::string keyFile(TestCertificate which) const;

private:
    std::string folder_;
    std::string caFile_;
};

}  // namespace korva::testing
