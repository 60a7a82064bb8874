#pragma once
// Ending every server conversation at once when the program shuts down: a
// signal handler calls abortServerConversations(), and each Socket wait
// (connect, send, receive, the pause between connection attempts) ends with
// kSocketAborted. Name look-ups are not cut short.

namespace korva {

constexpr int kSocketAborted = 10004;  // the conversation was ended for shutdown

// Makes the wake-up channel the Socket waits watch. Done before main()
// runs and again by every Socket; calling it early costs nothing.
void prepareServerConversationAbort();

// Async-signal-safe: every Socket wait (connect, send, receive) ends at once with kSocketAborted, now and until reset.
void abortServerConversations() noexcept;
void resetServerConversationAbort();
bool serverConversationsAborted() noexcept;

// The descriptor that is readable while aborted, or -1 when it could not be
// made (then only the flag is seen, at the start of each wait).
int serverConversationAbortHandle() noexcept;

}  // namespace korva
