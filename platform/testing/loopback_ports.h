#pragma once
// Loopback peers for tests: a port where nothing listens, and a server that
// takes connections and never says a word.

#include <atomic>
#include <thread>

namespace korva::testing {

// A port on 127.0.0.1 that was free a moment ago; connecting is refused.
int unusedLoopbackPort();

// Whether a server takes connections on 127.0.0.1:`port` now (a private
// server started by a test is up).
bool loopbackPortAnswers(int port);

class SilentLoopbackServer {
public:
    SilentLoopbackServer();
    ~SilentLoopbackServer();
    SilentLoopbackServer(const SilentLoopbackServer&) = delete;
    SilentLoopbackServer& operator=(const SilentLoopbackServer&) = delete;

    int port() const { return port_; }
    int connections() const { return accepted_.load(); }

private:
    void serve();

    int listener_ = -1;
    int stop_ = -1;
    int port_ = 0;
    std::atomic<int> accepted_{0};
    std::thread thread_;
};

}  // namespace korva::testing
