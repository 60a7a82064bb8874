#pragma once
// Whether a server name means this machine, where an unencrypted
// conversation never leaves it: localhost, 127.0.0.0/8, ::1 or this
// machine's own host name.

#include <string>

namespace korva::app {

// `hostName` is this machine's name (gethostname() unless a test gives one).
[[nodiscard]] bool serverIsThisMachine(const std::string& server, const std::string& hostName);
[[nodiscard]] bool serverIsThisMachine(const std::string& server);

}  // namespace korva::app
