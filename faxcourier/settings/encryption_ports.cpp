#include "faxcourier/settings/encryption_ports.h"

namespace korva {
namespace {

constexpr uint32_t kDefaults[3][3] = {
    {25, 587, 465},   // SMTP: submission with STARTTLS, SMTPS
    {110, 110, 995},  // directory commands on the POP3 ports
    {389, 389, 636},  // LDAP, ldaps
};

const uint32_t* defaultsOf(ServerPort port) { return kDefaults[static_cast<int>(port)]; }

}  // namespace

uint32_t defaultPort(ServerPort port, uint32_t encryption)
{
    return defaultsOf(port)[isKnownEncryption(encryption) ? encryption : kEncryptionNone];
}

bool isDefaultPort(ServerPort port, uint32_t number)
{
    for (int i = 0; i < 3; ++i)
        if (defaultsOf(port)[i] == number)
            return true;
    return false;
}

uint32_t portFollowingEncryption(ServerPort port, uint32_t number, uint32_t encryption)
{
    return isDefaultPort(port, number) ? defaultPort(port, encryption) : number;
}

void portsFollowEncryption(Settings& settings)
{
    auto follow = [&](ServerPort port, uint32_t& number) {
        number = portFollowingEncryption(port, number, settings.Encryption);
    };
    follow(ServerPort::Smtp, settings.SMTPServerPort);
    follow(ServerPort::Directory, settings.POP3ServerPort);
    follow(ServerPort::Ldap, settings.LDAPServerPort);
}

}  // namespace korva
