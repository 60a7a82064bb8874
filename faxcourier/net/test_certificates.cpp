#include "faxcourier/net/test_certificates.h"

#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/x509v3.h>

#include <cstdio>
#include <stdexcept>

namespace korva::testing {
namespace {

constexpr long kDay = 24 * 3600;

const char* nameOf(TestCertificate which)
{
    switch (which) {
        case TestCertificate::Good:
            return "good";
        case TestCertificate::Expired:
            return "expired";
        case TestCertificate::OtherHost:
            return "other-host";
    }
    return "";
}

EVP_PKEY* newKey()
{
    EVP_PKEY* key = EVP_EC_gen("P-256");
    if (key == nullptr)
        throw std::runtime_error("no EC key");
    return key;
}

void addExtension(X509* certificate, X509* issuer, int nid, const char* value)
{
    X509V3_CTX context;
    X509V3_set_ctx(&context, issuer, certificate, nullptr, nullptr, 0);
    X509_EXTENSION* extension = X509V3_EXT_conf_nid(nullptr, &context, nid, value);
    X509_add_ext(certificate, extension, -1);
    X509_EXTENSION_free(extension);
}

// Valid from `from` to `to` seconds from now; a self-signed CA when issuer
// is null, else a server certificate for `altNames`.
X509* makeCertificate(EVP_PKEY* key, const char* commonName, long from, long to, X509* issuer, EVP_PKEY* issuerKey,
                      long serial, const char* altNames = nullptr)
{
    X509* certificate = X509_new();
    X509_set_version(certificate, 2);
    ASN1_INTEGER_set(X509_get_serialNumber(certificate), serial);
    X509_gmtime_adj(X509_getm_notBefore(certificate), from);
    X509_gmtime_adj(X509_getm_notAfter(certificate), to);
    X509_set_pubkey(certificate, key);
    X509_NAME* name = X509_get_subject_name(certificate);
    X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC, reinterpret_cast<const unsigned char*>(commonName), -1, -1, 0);
    X509_set_issuer_name(certificate, issuer ? X509_get_subject_name(issuer) : name);
    X509* signer = issuer ? issuer : certificate;
    if (issuer == nullptr) {
        addExtension(certificate, signer, NID_basic_constraints, "critical,CA:TRUE");
        addExtension(certificate, signer, NID_key_usage, "critical,keyCertSign,cRLSign");
    } else {
        addExtension(certificate, signer, NID_subject_alt_name, altNames);
    }
    X509_sign(certificate, issuerKey ? issuerKey : key, EVP_sha256());
    return certificate;
}

void writeCertificate(const std::string& path, X509* certificate)
{
    FILE* file = std::fopen(path.c_str(), "w");
    if (file == nullptr)
        throw std::runtime_error("cannot write " + path);
    PEM_write_X509(file, certificate);
    std::fclose(file);
}

void writeKey(const std::string& path, EVP_PKEY* key)
{
    FILE* file = std::fopen(path.c_str(), "w");
    if (file == nullptr)
        throw std::runtime_error("cannot write " + path);
    PEM_write_PrivateKey(file, key, nullptr, nullptr, 0, nullptr, nullptr);
    std::fclose(file);
}

}  // namespace

TestCertificates::TestCertificates(const std::string& folder) : folder_(folder), caFile_(folder + "/test-ca.pem")
{
    EVP_PKEY* caKey = newKey();
    X509* ca = makeCertificate(caKey, "KORVA test CA", -kDay, 30 * kDay, nullptr, nullptr, 1);
    writeCertificate(caFile_, ca);
    struct Leaf {
        TestCertificate which;
        long from, to;
        const char* names;
    };
    const Leaf leaves[] = {
        {TestCertificate::Good, -kDay, 30 * kDay, "IP:127.0.0.1,DNS:localhost"},
        {TestCertificate::Expired, -30 * kDay, -kDay, "IP:127.0.0.1,DNS:localhost"},
        {TestCertificate::OtherHost, -kDay, 30 * kDay, "DNS:mail.elsewhere.example"},
    };
    long serial = 2;
    for (const Leaf& leaf : leaves) {
        EVP_PKEY* key = newKey();
        X509* certificate =
            makeCertificate(key, "korva test server", leaf.from, leaf.to, ca, caKey, serial++, leaf.names);
        writeCertificate(certificateFile(leaf.which), certificate);
        writeKey(keyFile(leaf.which), key);
        X509_free(certificate);
        EVP_PKEY_free(key);
    }
    X509_free(ca);
    EVP_PKEY_free(caKey);
}

std::string TestCertificates::certificateFile(TestCertificate which) const
{
    return folder_ + "/" + nameOf(which) + ".pem";
}

std::string TestCertificates::keyFile(TestCertificate which) const { return folder_ + "/" + nameOf(which) + ".key"; }

}  // namespace korva::testing
