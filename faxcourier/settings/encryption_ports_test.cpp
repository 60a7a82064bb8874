#include "faxcourier/settings/encryption_ports.h"

#include <gtest/gtest.h>

namespace korva {
namespace {

TEST(EncryptionPorts, DefaultsMoveWithTheChoiceAndOtherPortsStay)
{
    const struct {
        uint32_t smtp, pop3, ldap, encryption;
        uint32_t wantSmtp, wantPop3, wantLdap;
    } cases[] = {
        {25, 110, 389, kEncryptionStartTls, 587, 110, 389},
        {25, 110, 389, kEncryptionTls, 465, 995, 636},
        {465, 995, 636, kEncryptionNone, 25, 110, 389},
        {587, 110, 389, kEncryptionTls, 465, 995, 636},
        {2525, 1995, 3389, kEncryptionTls, 2525, 1995, 3389},
        {0, 110, 389, 7, 0, 110, 389},  // an unknown value counts as none
    };
    for (const auto& c : cases) {
        Settings settings;
        settings.SMTPServerPort = c.smtp;
        settings.POP3ServerPort = c.pop3;
        settings.LDAPServerPort = c.ldap;
        settings.Encryption = c.encryption;
        portsFollowEncryption(settings);
        EXPECT_EQ(settings.SMTPServerPort, c.wantSmtp) << c.smtp << " with " << c.encryption;
        EXPECT_EQ(settings.POP3ServerPort, c.wantPop3) << c.pop3 << " with " << c.encryption;
        EXPECT_EQ(settings.LDAPServerPort, c.wantLdap) << c.ldap << " with " << c.encryption;
    }
}

}  // namespace
}  // namespace korva
