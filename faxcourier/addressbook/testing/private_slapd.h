#pragma once
// A stock OpenLDAP slapd of the test's own: the core, cosine and
// inetorgperson schemas, an mdb database and its configuration in a
// temporary folder, plain LDAP (with StartTLS) and ldaps on loopback ports,
// with the project's test certificates. Nothing of korva-sim's making.

#include "platform/testing/child_process.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace korva::testing {

inline constexpr const char* kSlapdSuffix = "dc=korva,dc=test";
inline constexpr const char* kSlapdPeople = "ou=people,dc=korva,dc=test";
inline constexpr const char* kSlapdReader = "cn=reader,dc=korva,dc=test";
inline constexpr const char* kSlapdReaderPassword = "reader pw";

// One entry as ldapsearch gives it: the DN and each attribute's values,
// under the names the server answered with.
struct LdifEntry {
    std::string dn;
    std::map<std::string, std::vector<std::string>> values;
};

class PrivateSlapd {
public:
    // Writes the configuration and certificates under `folder`.
    explicit PrivateSlapd(const std::string& folder);
    ~PrivateSlapd();
    PrivateSlapd(const PrivateSlapd&) = delete;
    PrivateSlapd& operator=(const PrivateSlapd&) = delete;

    // Empty when slapd, slapadd and ldapsearch are installed, else what is missing.
    static std::string unavailable();

    // Loads `ldif` (below the suffix, which is there already, as is the
    // reader) and starts the server; empty on success, else why not.
    [[nodiscard]] std::string start(const std::string& ldif);

    int ldapPort() const { return ldapPort_; }
    int ldapsPort() const { return ldapsPort_; }
    const std::string& caFile() const { return caFile_; }

    // ldapsearch as the reader over the plain port: one level below `base`.
    std::vector<LdifEntry> search(const std::string& base, const std::vector<std::string>& attributes) const;

private:
    std::string folder_, conf_, caFile_;
    int ldapPort_ = 0;
    int ldapsPort_ = 0;
    std::unique_ptr<ChildProcess> child_;
};

// `count` inetOrgPerson entries below kSlapdPeople with names from many
// languages; two in three have a fax number, some two of them.
std::string generatedPeople(int count);

}  // namespace korva::testing
