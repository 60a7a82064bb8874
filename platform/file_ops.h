#pragma once
// File moves and deletes with the error numbers that callers log.

#include <cstddef>
#include <string>

namespace korva {

// rename(); returns 0 or errno (2 = file not found).
int moveFile(const std::string& from, const std::string& to);

// unlink(); returns 0 or errno.
int deleteFile(const std::string& path);

bool fileExists(const std::string& path);

// Writes `size` bytes to a temporary file beside `path` (mode `mode`) and
// renames it over `path`, so a reader sees the old or the new content whole.
// Returns 0 or errno.
int writeFileAtomically(const std::string& path, const void* data, size_t size, unsigned mode);

// open() for a file that must be a regular one: a FIFO, device, folder or
// symbolic link in its place is refused (EINVAL for the first three, ELOOP
// for a link) without waiting for a FIFO's other end. O_TRUNC is applied
// only once the file is known to be regular. Returns the descriptor, with
// O_NONBLOCK off and close-on-exec on, or -errno.
[[nodiscard]] int openRegularFile(const std::string& path, int flags, unsigned mode = 0600);

}  // namespace korva
