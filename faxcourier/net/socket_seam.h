#pragma once
// Test seams of Socket: they let tests reach the time-out and partial-send
// paths without waiting the real minimum time-out of 10 seconds. The
// program never calls these.

#include <cstddef>

namespace korva::socket_seam {

// Gives a reply line (or a byte) this many milliseconds instead of the
// time-out's seconds; a negative value restores the time-out. Returns the
// previous value.
int setReadWaitMs(int milliseconds);

// Lets one send call take at most this many bytes; 0 restores no limit.
// Returns the previous limit.
size_t setSendChunkLimit(size_t bytes);

}  // namespace korva::socket_seam
