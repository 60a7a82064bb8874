#include "faxcourier/net/conversation_abort.h"

#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <mutex>
#include <unistd.h>

namespace korva {
namespace {

// Lock-free atomics and write() are all a signal handler may touch; an
// atomic flag, unlike a plain sig_atomic_t, is also safe between threads.
std::atomic<bool> aborted{false};
static_assert(std::atomic<bool>::is_always_lock_free && std::atomic<int>::is_always_lock_free);
std::atomic<int> readEnd{-1};
std::atomic<int> writeEnd{-1};
std::once_flag prepared;

void makePipe()
{
    int ends[2];
    if (pipe2(ends, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    readEnd.store(ends[0]);
    writeEnd.store(ends[1]);
}

void drain(int fd)
{
    char bytes[64];
    while (read(fd, bytes, sizeof bytes) > 0) {
    }
}

// Before main(), so a handler installed there never finds the pipe missing.
[[maybe_unused]] const bool preparedAtStart = (prepareServerConversationAbort(), true);

}  // namespace

void prepareServerConversationAbort() { std::call_once(prepared, makePipe); }

void abortServerConversations() noexcept
{
    int savedErrno = errno;
    aborted.store(true);
    // The byte stays unread until reset, so every later wait sees it too;
    // a full pipe is readable already.
    if (int fd = writeEnd.load(); fd >= 0) {
        [[maybe_unused]] ssize_t ignored = write(fd, "!", 1);
    }
    errno = savedErrno;
}

void resetServerConversationAbort()
{
    if (int fd = readEnd.load(); fd >= 0)
        drain(fd);
    aborted.store(false);
}

bool serverConversationsAborted() noexcept { return aborted.load(); }

int serverConversationAbortHandle() noexcept { return readEnd.load(); }

}  // namespace korva
