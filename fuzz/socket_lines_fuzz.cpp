// Server bytes through Socket::ReadLine, received over a real connection on
// 127.0.0.1 in the socket's 128-byte chunks. Whatever the bytes, every byte
// that is not a line end lands in exactly one line, in order; no line holds
// a CR or LF; the lines are the ones the line rule gives (each CR LF or
// LF CR pair ends one line, a lone CR or LF on an empty line is an empty
// line when it repeats the last line end); and a send between reads makes
// the next read forget the last line end; a line longer than a reply may be
// ends the reading there. The first byte says after which reads the client
// sends.
#include "fuzz/fuzz_support.h"

#include "faxcourier/net/socket_client.h"
#include "faxcourier/net/socket_seam.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <sys/ioctl.h>
#include <vector>

using namespace korva;
using namespace korva::fuzz;

namespace {

// The line rule, byte by byte, with the terminator remembered across reads.
struct LineModel {
    const std::string& bytes;
    size_t at = 0;
    char last = 0;
    bool tooLong = false;

    bool read(std::string& line)
    {
        line.clear();
        char previous = 0;
        while (at < bytes.size()) {
            char c = bytes[at++];
            if (c != '\r' && c != '\n') {
                if (line.size() + 2 >= Socket::kMaxReplyLine)
                    return tooLong = true, false;
                line.push_back(c);
                continue;
            }
            if (!line.empty()) {
                last = c;
                return true;
            }
            if (c == last || (c == '\r' && previous == '\n') || (c == '\n' && previous == '\r'))
                return true;
            previous = c;
        }
        return false;
    }
};

std::string text(const String& s) { return std::string(s.Text(), s.Length()); }

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzzHome();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static Listener listener;
    if (size == 0 || size > 32768)
        return 0;
    const uint8_t sendAfter = data[0];
    const std::string bytes(reinterpret_cast<const char*>(data) + 1, size - 1);

    Socket socket;
    FUZZ_CHECK(socket.Create(10) && socket.Bind() && socket.Connect("127.0.0.1", unsigned(listener.port)));
    int server = accept4(listener.fd, nullptr, nullptr, SOCK_CLOEXEC);
    FUZZ_CHECK(server >= 0);
    FUZZ_CHECK(send(server, bytes.data(), bytes.size(), MSG_NOSIGNAL) == ssize_t(bytes.size()));
    // Every byte is in the client's hands before the first read, so the end
    // of the bytes is a time-out at once.
    for (int waiting = 0;; ++waiting) {
        int pending = 0;
        FUZZ_CHECK(ioctl(socket.Handle(), FIONREAD, &pending) == 0);
        if (size_t(pending) == bytes.size())
            break;
        FUZZ_CHECK(waiting < 1000000);
    }
    socket_seam::setReadWaitMs(0);

    LineModel model{bytes};
    std::string expected, collected;
    String line;
    for (int read = 0;; ++read) {
        bool modelGot = model.read(expected);
        bool got = socket.ReadLine(line).ok();
        FUZZ_CHECK(got == modelGot);
        FUZZ_CHECK(text(line) == expected);
        FUZZ_CHECK(text(line).find_first_of("\r\n") == std::string::npos);
        collected += text(line);
        if (!got)
            break;
        if (sendAfter >> (read % 8) & 1) {
            FUZZ_CHECK(socket.SendString("NOOP\r\n"));
            model.last = 0;
        }
    }
    FUZZ_CHECK(socket.LastError() == (model.tooLong ? kSocketLineTooLong : kSocketTimedOut));
    std::string content;
    for (char c : bytes)
        if (c != '\r' && c != '\n')
            content.push_back(c);
    FUZZ_CHECK(model.tooLong ? content.compare(0, collected.size(), collected) == 0 : collected == content);

    socket_seam::setReadWaitMs(-1);
    socket.Close();
    close(server);
    return 0;
}
