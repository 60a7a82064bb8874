#pragma once
// Shared set-up of the fuzz targets: a private temporary home whose
// faxcourier log is /dev/null (a long run would otherwise fill the disk
// with socket and libtiff messages), and a TCP pair on 127.0.0.1 that plays
// the server.

#include <arpa/inet.h>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <netinet/in.h>
#include <string>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

// A broken rule ends the run with the rule and its line.
#define FUZZ_CHECK(condition)                                                                        \
    do {                                                                                             \
        if (!(condition)) {                                                                          \
            std::fprintf(stderr, "fuzz check failed: %s (%s:%d)\n", #condition, __FILE__, __LINE__); \
            std::abort();                                                                            \
        }                                                                                            \
    } while (0)

namespace korva::fuzz {

// Creates the home once per process; returns its path.
inline const std::string& fuzzHome()
{
    static const std::string home = [] {
        char pattern[] = "/tmp/korva-fuzz-XXXXXX";
        if (!mkdtemp(pattern))
            std::abort();
        std::string path = pattern;
        mkdir((path + "/KORVAFax").c_str(), 0700);
        if (symlink("/dev/null", (path + "/KORVAFax/korvafax.log").c_str()) != 0)
            std::abort();
        setenv("XDG_STATE_HOME", path.c_str(), 1);
        setenv("XDG_DATA_HOME", path.c_str(), 1);
        setenv("XDG_CONFIG_HOME", path.c_str(), 1);
        setenv("KORVAFAX_SYSCONFDIR", path.c_str(), 1);
        return path;
    }();
    return home;
}

// A listening socket on 127.0.0.1 with a free port, kept for the run.
struct Listener {
    int fd = -1;
    int port = 0;
    Listener()
    {
        fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof address;
        if (fd < 0 || bind(fd, reinterpret_cast<sockaddr*>(&address), size) != 0 || listen(fd, 4) != 0 ||
            getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size) != 0)
            std::abort();
        port = ntohs(address.sin_port);
    }
};

}  // namespace korva::fuzz
