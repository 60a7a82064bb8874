#include "platform/testing/loopback_ports.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>
#include <vector>

namespace korva::testing {
namespace {

// A socket bound to 127.0.0.1 on a port of the system's choice.
int boundLoopbackSocket(int& port)
{
    int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0)
        throw std::runtime_error("cannot bind a loopback socket");
    port = ntohs(address.sin_port);
    return fd;
}

}  // namespace

int unusedLoopbackPort()
{
    int port = 0;
    ::close(boundLoopbackSocket(port));
    return port;
}

bool loopbackPortAnswers(int port)
{
    int s = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(uint16_t(port));
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bool ok = ::connect(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0;
    ::close(s);
    return ok;
}

SilentLoopbackServer::SilentLoopbackServer()
{
    listener_ = boundLoopbackSocket(port_);
    stop_ = ::eventfd(0, EFD_CLOEXEC);
    if (::listen(listener_, 8) != 0 || stop_ < 0)
        throw std::runtime_error("cannot listen on loopback");
    thread_ = std::thread([this] { serve(); });
}

SilentLoopbackServer::~SilentLoopbackServer()
{
    uint64_t one = 1;
    if (::write(stop_, &one, sizeof one) != sizeof one)
        thread_.detach();
    if (thread_.joinable())
        thread_.join();
    ::close(listener_);
    ::close(stop_);
}

void SilentLoopbackServer::serve()
{
    std::vector<int> held;
    for (;;) {
        pollfd fds[2] = {{listener_, POLLIN, 0}, {stop_, POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0 || (fds[1].revents & POLLIN))
            break;
        int connection = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
        if (connection >= 0) {
            held.push_back(connection);
            ++accepted_;
        }
    }
    for (int fd : held)
        ::close(fd);
}

}  // namespace korva::testing
