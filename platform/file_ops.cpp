#include "platform/file_ops.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace korva {

int moveFile(const std::string& from, const std::string& to)
{
    return std::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

int deleteFile(const std::string& path) { return unlink(path.c_str()) == 0 ? 0 : errno; }

bool fileExists(const std::string& path)
{
    struct stat st {};
    return stat(path.c_str(), &st) == 0;
}

namespace {

// Only the benchmark sets it, to measure what the syncs cost.
bool syncsSkipped()
{
    static const bool skipped = std::getenv("KORVAFAX_BENCH_SKIP_SYNC") != nullptr;
    return skipped;
}

std::string folderOf(const std::string& path)
{
    size_t slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

}  // namespace

int fsyncFolder(const std::string& folder)
{
    if (syncsSkipped())
        return 0;
    int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return errno;
    int err = fsync(fd) == 0 ? 0 : errno;
    ::close(fd);
    return err;
}

int fsyncFile(int fd)
{
    if (syncsSkipped())
        return 0;
    return fsync(fd) == 0 ? 0 : errno;
}

int fsyncFolderOf(const std::string& path) { return fsyncFolder(folderOf(path)); }

int moveFileNoReplace(const std::string& from, const std::string& to)
{
    if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS)
        return errno;
    // A file system without RENAME_NOREPLACE: link() refuses an existing name too.
    if (link(from.c_str(), to.c_str()) != 0)
        return errno;
    if (unlink(from.c_str()) != 0) {
        int err = errno;
        unlink(to.c_str());
        return err;
    }
    return 0;
}

namespace {

int writeAll(int fd, const void* data, size_t size)
{
    auto* p = static_cast<const char*>(data);
    while (size > 0) {
        ssize_t n = write(fd, p, size);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        p += n;
        size -= size_t(n);
    }
    return 0;
}

}  // namespace

int writeFileAtomically(const std::string& path, const void* data, size_t size, unsigned mode)
{
    std::string pattern = path + ".XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    int fd = mkstemp(name.data());
    if (fd < 0)
        return errno;
    int err = fchmod(fd, mode) == 0 ? 0 : errno;
    if (!err)
        err = writeAll(fd, data, size);
    if (!err && fsync(fd) != 0)
        err = errno;
    if (close(fd) != 0 && !err)
        err = errno;
    if (!err && std::rename(name.data(), path.c_str()) != 0)
        err = errno;
    if (err)
        unlink(name.data());
    return err;
}

int openRegularFile(const std::string& path, int flags, unsigned mode)
{
    const bool truncate = flags & O_TRUNC;
    int fd = ::open(path.c_str(), (flags & ~O_TRUNC) | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC, mode);
    if (fd < 0)
        return -errno;
    struct stat st {};
    int err = fstat(fd, &st) != 0 ? errno : S_ISREG(st.st_mode) ? 0 : EINVAL;
    if (!err && !(flags & O_NONBLOCK)) {
        int fl = fcntl(fd, F_GETFL);
        if (fl < 0 || fcntl(fd, F_SETFL, fl & ~O_NONBLOCK) != 0)
            err = errno;
    }
    if (!err && truncate && ftruncate(fd, 0) != 0)
        err = errno;
    if (err) {
        ::close(fd);
        return -err;
    }
    return fd;
}

}  // namespace korva
