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

// fsync() of a folder, so that names made, renamed or removed in it outlive
// a power loss. Returns 0 or errno.
[[nodiscard]] int fsyncFolder(const std::string& folder);

// fsync() of an open file, so that its content is on disk before a rename
// hands it on. Returns 0 or errno.
[[nodiscard]] int fsyncFile(int fd);

// fsyncFolder() of the folder that holds `path`: after a rename into or out
// of it. Returns 0 or errno.
[[nodiscard]] int fsyncFolderOf(const std::string& path);

// rename() that never replaces: EEXIST when `to` is there. Uses
// renameat2(RENAME_NOREPLACE), or link() then unlink() where the file
// system has no such rename. Syncs nothing. Returns 0 or errno.
[[nodiscard]] int moveFileNoReplace(const std::string& from, const std::string& to);

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
