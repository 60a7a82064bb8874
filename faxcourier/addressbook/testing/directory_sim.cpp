#include "faxcourier/addressbook/testing/directory_sim.h"

#include "faxcourier/settings/settings.h"
#include "platform/testing/test_support.h"

#include <arpa/inet.h>
#include <csignal>
#include <cstdio>
#include <map>
#include <netinet/in.h>
#include <stdexcept>
#include <sys/socket.h>
#include <unistd.h>

namespace korva::testing {
namespace {

std::string jsonText(const std::string& text)
{
    std::string out = "\"";
    for (unsigned char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += char(c);
        } else if (c < 0x20) {
            char escaped[8];
            snprintf(escaped, sizeof escaped, "\\u%04x", c);
            out += escaped;
        } else {
            out += char(c);  // UTF-8 passes through
        }
    }
    return out + "\"";
}

int listeningSocket(bool listen)
{
    int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (fd < 0 || bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        (listen && ::listen(fd, 16) != 0))
        throw std::runtime_error("no socket on 127.0.0.1");
    return fd;
}

int portOf(int fd)
{
    sockaddr_in address{};
    socklen_t size = sizeof address;
    getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size);
    return ntohs(address.sin_port);
}

}  // namespace

std::string directoryJson(const std::vector<SeedEntry>& entries)
{
    std::string json = "{\"entries\": [";
    for (size_t e = 0; e < entries.size(); ++e) {
        std::map<std::string, std::vector<std::string>> values;
        std::vector<std::string> order;
        for (const auto& [name, value] : entries[e]) {
            if (!values.count(name))
                order.push_back(name);
            values[name].push_back(value);
        }
        json += e ? ",\n{" : "\n{";
        for (size_t n = 0; n < order.size(); ++n) {
            const auto& list = values[order[n]];
            json += (n ? ", " : "") + jsonText(order[n]) + ": ";
            if (list.size() == 1) {
                json += jsonText(list[0]);
                continue;
            }
            json += "[";
            for (size_t v = 0; v < list.size(); ++v)
                json += (v ? ", " : "") + jsonText(list[v]);
            json += "]";
        }
        json += "}";
    }
    return json + "]}\n";
}

DirectorySim::DirectorySim(const std::string& folder, const std::vector<SeedEntry>& entries,
                           const std::vector<std::string>& extraArguments)
{
    std::string seed = folder + "/directory.json";
    writeWholeFile(seed, directoryJson(entries));
    std::vector<std::string> arguments{"--directory", seed};
    arguments.insert(arguments.end(), extraArguments.begin(), extraArguments.end());
    process_ =
        std::make_unique<KorvaSimProcess>(folder + "/sim-spool", kSimUser, kSimPassword, "fax@example.com", arguments);
}

LdapLogon DirectorySim::logon() const { return LdapLogon{"127.0.0.1", unsigned(ldapPort()), kSimUser, kSimPassword}; }

void DirectorySim::useInSettings() const
{
    Settings& settings = globalSettings();
    settings.Server = "127.0.0.1";
    settings.LDAPServerPort = uint32_t(ldapPort());
    settings.POP3ServerPort = uint32_t(pop3Port());
    settings.Username = kSimUser;
    settings.Password = kSimPassword;
}

void DirectorySim::kill()
{
    if (process_->pid() > 0)
        ::kill(process_->pid(), SIGKILL);
    process_->stop();  // reaps it
}

SilentServer::SilentServer() : fd_(listeningSocket(true)), port_(portOf(fd_)) {}

SilentServer::~SilentServer() { close(fd_); }

int closedPort()
{
    int fd = listeningSocket(false);
    int port = portOf(fd);
    close(fd);
    return port;
}

}  // namespace korva::testing
