#pragma once
// For tests and benchmarks: korva-sim serving an address book seeded from
// JSON, and a server that accepts connections but never answers.

#include "faxcourier/addressbook/directory_search.h"
#include "tools/korva-sim/testing/korva_sim_process.h"

#include <memory>
#include <string>
#include <vector>

namespace korva::testing {

inline constexpr const char* kSimUser = "carl";
inline constexpr const char* kSimPassword = "s3cret pw";

// One seed entry: attribute name and value pairs, in order; a name given
// twice becomes one attribute with several values. "dn" names the entry.
using SeedEntry = std::vector<std::pair<std::string, std::string>>;

// The seed file's text.
std::string directoryJson(const std::vector<SeedEntry>& entries);

class DirectorySim {
public:
    // Writes the seed into `folder` and starts korva-sim on it, with
    // `extraArguments` after the directory's (--tls, ...).
    DirectorySim(const std::string& folder, const std::vector<SeedEntry>& entries,
                 const std::vector<std::string>& extraArguments = {});

    int ldapPort() const { return process_->port("ldap"); }
    int ldapsPort() const { return process_->port("ldaps"); }
    int pop3Port() const { return process_->port("pop3"); }
    int pop3sPort() const { return process_->port("pop3s"); }
    // Log-on data for the directory as the sim's user.
    LdapLogon logon() const;
    // Server, ports, Username and Password of the global settings.
    void useInSettings() const;
    // Ends the server at once (SIGKILL), as a crash or power loss would.
    void kill();

private:
    std::unique_ptr<KorvaSimProcess> process_;
};

// Listens on 127.0.0.1 and never accepts: connections complete, nothing is
// ever answered.
class SilentServer {
public:
    SilentServer();
    ~SilentServer();
    SilentServer(const SilentServer&) = delete;
    SilentServer& operator=(const SilentServer&) = delete;
    int port() const { return port_; }

private:
    int fd_ = -1;
    int port_ = 0;
};

// A port on 127.0.0.1 where nothing listens.
int closedPort();

}  // namespace korva::testing
