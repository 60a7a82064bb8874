#include "faxcourier/addressbook/testing/private_slapd.h"

#include "faxcourier/net/test_certificates.h"
#include "platform/testing/loopback_ports.h"
#include "platform/testing/poll_until.h"
#include "platform/testing/test_support.h"

#include <openssl/evp.h>

#include <arpa/inet.h>
#include <fcntl.h>
#include <filesystem>
#include <netinet/in.h>
#include <sstream>
#include <sys/socket.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace korva::testing {
namespace {

const char* const kSlapd = "/usr/sbin/slapd";
const char* const kSlapadd = "/usr/sbin/slapadd";
const char* const kLdapsearch = "/usr/bin/ldapsearch";
const char* const kSchemaFolder = "/etc/ldap/schema";

std::string base64Decoded(const std::string& text)
{
    std::string out(text.size() / 4 * 3 + 3, '\0');
    int n = EVP_DecodeBlock(reinterpret_cast<unsigned char*>(out.data()),
                            reinterpret_cast<const unsigned char*>(text.data()), int(text.size()));
    if (n < 0)
        return {};
    size_t padding = text.size() - text.find_last_not_of('=') - 1;
    out.resize(size_t(n) - padding);
    return out;
}

// "name: value" or "name:: base64", unwrapped (ldapsearch -o ldif-wrap=no).
std::vector<LdifEntry> parseLdif(const std::string& text)
{
    std::vector<LdifEntry> entries;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        size_t colon = line.find(':');
        if (line.empty() || line[0] == '#' || colon == std::string::npos)
            continue;
        std::string name = line.substr(0, colon);
        bool encoded = line.compare(colon, 2, "::") == 0;
        std::string value = line.substr(colon + (encoded ? 3 : 2));
        if (encoded)
            value = base64Decoded(value);
        if (name == "dn")
            entries.push_back(LdifEntry{value, {}});
        else if (!entries.empty())
            entries.back().values[name].push_back(value);
    }
    return entries;
}

}  // namespace

std::string PrivateSlapd::unavailable()
{
    for (const char* program : {kSlapd, kSlapadd})
        if (access(program, X_OK) != 0)
            return std::string(program) + " is not installed (Debian package slapd)";
    if (access(kLdapsearch, X_OK) != 0)
        return std::string(kLdapsearch) + " is not installed (Debian package ldap-utils)";
    return {};
}

PrivateSlapd::PrivateSlapd(const std::string& folder) : folder_(folder + "/slapd"), conf_(folder_ + "/slapd.conf")
{
    fs::create_directories(folder_ + "/db");
    TestCertificates certificates(folder_);
    caFile_ = certificates.caFile();
    writeWholeFile(
        conf_, "include " + std::string(kSchemaFolder) + "/core.schema\ninclude " + kSchemaFolder +
                   "/cosine.schema\ninclude " + kSchemaFolder + "/inetorgperson.schema\n" + "pidfile " + folder_ +
                   "/slapd.pid\nmodulepath /usr/lib/ldap\nmoduleload back_mdb\n" + "TLSCACertificateFile " + caFile_ +
                   "\nTLSCertificateFile " + certificates.certificateFile(TestCertificate::Good) +
                   "\nTLSCertificateKeyFile " + certificates.keyFile(TestCertificate::Good) + "\n" +
                   "database mdb\nmaxsize 104857600\nsuffix \"" + kSlapdSuffix + "\"\n" + "rootdn \"cn=admin," +
                   kSlapdSuffix + "\"\nrootpw \"admin pw\"\ndirectory " + folder_ + "/db\n");
}

PrivateSlapd::~PrivateSlapd()
{
    if (child_)
        child_->stop(std::chrono::seconds(10));
}

std::string PrivateSlapd::start(const std::string& ldif)
{
    std::string base = std::string("dn: ") + kSlapdSuffix +
                       "\nobjectClass: dcObject\nobjectClass: organization\no: KORVA Test\ndc: korva\n\n" +
                       "dn: " + kSlapdPeople + "\nobjectClass: organizationalUnit\nou: people\n\n" +
                       "dn: " + kSlapdReader +
                       "\nobjectClass: person\ncn: reader\nsn: Reader\nuserPassword: " + kSlapdReaderPassword + "\n\n";
    writeWholeFile(folder_ + "/data.ldif", base + ldif);
    ProcessResult added = runProcess({kSlapadd, "-q", "-f", conf_, "-l", folder_ + "/data.ldif"});
    if (added.exitCode != 0)
        return "slapadd failed: " + added.err;
    ldapPort_ = unusedLoopbackPort();
    do
        ldapsPort_ = unusedLoopbackPort();
    while (ldapsPort_ == ldapPort_);
    std::string urls =
        "ldap://127.0.0.1:" + std::to_string(ldapPort_) + "/ ldaps://127.0.0.1:" + std::to_string(ldapsPort_) + "/";
    const std::string out = folder_ + "/slapd.out";
    ChildOptions options;
    options.out = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    options.err = options.out;
    options.dieWithParent = true;
    // -d 0 keeps it in the foreground, so the test owns and ends it.
    child_ =
        std::make_unique<ChildProcess>(std::vector<std::string>{kSlapd, "-d", "0", "-f", conf_, "-h", urls}, options);
    if (options.out >= 0)
        close(options.out);
    bool up = pollUntil(
        [&] { return !child_->running() || (loopbackPortAnswers(ldapPort_) && loopbackPortAnswers(ldapsPort_)); },
        std::chrono::seconds(20));
    if (!child_->running() || !up) {
        child_.reset();
        return "slapd did not start on " + urls + ": " + readWholeFile(out);
    }
    return {};
}

std::vector<LdifEntry> PrivateSlapd::search(const std::string& base, const std::vector<std::string>& attributes) const
{
    std::vector<std::string> argv = {kLdapsearch,
                                     "-x",
                                     "-LLL",
                                     "-o",
                                     "ldif-wrap=no",
                                     "-H",
                                     "ldap://127.0.0.1:" + std::to_string(ldapPort_),
                                     "-D",
                                     kSlapdReader,
                                     "-w",
                                     kSlapdReaderPassword,
                                     "-b",
                                     base,
                                     "-s",
                                     "one",
                                     "(objectClass=*)"};
    argv.insert(argv.end(), attributes.begin(), attributes.end());
    ProcessResult result = runProcess(argv);
    if (result.exitCode != 0)
        throw std::runtime_error("ldapsearch failed: " + result.err);
    return parseLdif(result.out);
}

}  // namespace korva::testing
