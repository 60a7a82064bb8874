#pragma once
// File moves, deletes and writes; a failure carries the errno that callers
// log.

#include "platform/result.h"

#include <cstddef>
#include <string>

namespace korva {

// rename(); code() 2 = file not found.
[[nodiscard]] Result<void> moveFile(const std::string& from, const std::string& to);

// unlink().
[[nodiscard]] Result<void> deleteFile(const std::string& path);

// unlink() of a file whose removal is only tidiness: whatever follows goes
// the same way whether it is gone or not, so a failure is not reported.
void discardFile(const std::string& path);

bool fileExists(const std::string& path);

// fsync() of a folder, so that names made, renamed or removed in it outlive
// a power loss.
[[nodiscard]] Result<void> fsyncFolder(const std::string& folder);

// fsync() of an open file, so that its content is on disk before a rename
// hands it on.
[[nodiscard]] Result<void> fsyncFile(int fd);

// fsyncFolder() of the folder that holds `path`: after a rename into or out
// of it.
[[nodiscard]] Result<void> fsyncFolderOf(const std::string& path);

// rename() that never replaces: EEXIST when `to` is there. Uses
// renameat2(RENAME_NOREPLACE), or link() then unlink() where the file
// system has no such rename. Syncs nothing.
[[nodiscard]] Result<void> moveFileNoReplace(const std::string& from, const std::string& to);

// write() until all `size` bytes are written, again after EINTR.
[[nodiscard]] Result<void> writeAll(int fd, const void* data, size_t size);

// Writes `size` bytes to a temporary file beside `path` (mode `mode`) and
// renames it over `path`, so a reader sees the old or the new content whole.
[[nodiscard]] Result<void> writeFileAtomically(const std::string& path, const void* data, size_t size, unsigned mode);

// open() for a file that must be a regular one: a FIFO, device, folder or
// symbolic link in its place is refused (EINVAL for the first three, ELOOP
// for a link) without waiting for a FIFO's other end. O_TRUNC is applied
// only once the file is known to be regular. The descriptor has O_NONBLOCK
// off and close-on-exec on.
[[nodiscard]] Result<int> openRegularFile(const std::string& path, int flags, unsigned mode = 0600);

}  // namespace korva
