#pragma once
// Test seams of Socket: they let tests reach the time-out and partial-send
// paths without waiting the real minimum time-out of 10 seconds. The
// program never calls these.

#include <cstddef>

namespace korva::socket_seam {

// Gives a reply line (or a byte) this many milliseconds instead of the
// time-out's seconds; a negative value restores the time-out.
void setReadWaitMs(int milliseconds);

// Lets one send call take at most this many bytes; 0 restores no limit.
void setSendChunkLimit(size_t bytes);

}  // namespace korva::socket_seam
