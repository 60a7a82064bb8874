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

}  // namespace korva
