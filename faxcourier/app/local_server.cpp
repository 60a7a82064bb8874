#include "faxcourier/app/local_server.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cctype>
#include <climits>
#include <cstring>
#include <unistd.h>

namespace korva::app {
namespace {

std::string lowerTrimmed(std::string text)
{
    auto blank = [](unsigned char c) { return std::isspace(c) != 0; };
    text.erase(text.begin(), std::find_if_not(text.begin(), text.end(), blank));
    text.erase(std::find_if_not(text.rbegin(), text.rend(), blank).base(), text.end());
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    if (text.size() > 2 && text.front() == '[' && text.back() == ']')  // an IPv6 literal in brackets
        text = text.substr(1, text.size() - 2);
    return text;
}

bool isLoopbackAddress(const std::string& server)
{
    in_addr v4{};
    if (inet_pton(AF_INET, server.c_str(), &v4) == 1)
        return (ntohl(v4.s_addr) >> 24) == 127;
    in6_addr v6{};
    if (inet_pton(AF_INET6, server.c_str(), &v6) != 1)
        return false;
    if (IN6_IS_ADDR_LOOPBACK(&v6))
        return true;
    return IN6_IS_ADDR_V4MAPPED(&v6) && v6.s6_addr[12] == 127;
}

}  // namespace

bool serverIsThisMachine(const std::string& server, const std::string& hostName)
{
    std::string name = lowerTrimmed(server);
    if (name.empty())
        return false;
    if (name == "localhost" || name == "localhost." || isLoopbackAddress(name))
        return true;
    std::string host = lowerTrimmed(hostName);
    if (host.empty())
        return false;
    // The short name stands for the full one and the other way round.
    auto firstLabel = [](const std::string& text) { return text.substr(0, text.find('.')); };
    return name == host || name == firstLabel(host) || firstLabel(name) == host;
}

bool serverIsThisMachine(const std::string& server)
{
    char host[HOST_NAME_MAX + 1] = {};
    if (gethostname(host, sizeof host - 1) != 0)
        host[0] = '\0';
    return serverIsThisMachine(server, host);
}

}  // namespace korva::app
