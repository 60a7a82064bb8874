#include "platform/file_ops.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace korva {

Result<void> moveFile(const std::string& from, const std::string& to)
{
    if (std::rename(from.c_str(), to.c_str()) != 0)
        return Error::fromLastErrno("Cannot move " + from + " to " + to);
    return {};
}

Result<void> deleteFile(const std::string& path)
{
    if (unlink(path.c_str()) != 0)
        return Error::fromLastErrno("Cannot delete " + path);
    return {};
}

void discardFile(const std::string& path) { unlink(path.c_str()); }

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

Result<void> fsyncFolder(const std::string& folder)
{
    if (syncsSkipped())
        return {};
    int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return Error::fromLastErrno("Cannot open " + folder + " to sync it");
    int err = fsync(fd) == 0 ? 0 : errno;
    ::close(fd);
    return resultOfErrno(err, "Cannot sync " + folder);
}

Result<void> fsyncFile(int fd)
{
    if (syncsSkipped() || fsync(fd) == 0)
        return {};
    return Error::fromLastErrno("Cannot sync a file");
}

Result<void> fsyncFolderOf(const std::string& path) { return fsyncFolder(folderOf(path)); }

Result<void> moveFileNoReplace(const std::string& from, const std::string& to)
{
    const std::string what = "Cannot move " + from + " to " + to;
    if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return {};
    if (errno != EINVAL && errno != ENOSYS)
        return Error::fromLastErrno(what);
    // A file system without RENAME_NOREPLACE: link() refuses an existing name too.
    if (link(from.c_str(), to.c_str()) != 0)
        return Error::fromLastErrno(what);
    if (unlink(from.c_str()) != 0) {
        Error error = Error::fromLastErrno(what);
        unlink(to.c_str());
        return error;
    }
    return {};
}

Result<void> writeAll(int fd, const void* data, size_t size)
{
    auto* p = static_cast<const char*>(data);
    while (size > 0) {
        ssize_t n = write(fd, p, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return Error::fromLastErrno("Cannot write");
        // Never for a regular file or pipe; without this it would loop for good.
        if (n == 0)
            return Error::fromErrno(EIO, "Cannot write");
        p += n;
        size -= size_t(n);
    }
    return {};
}

Result<void> writeFileAtomically(const std::string& path, const void* data, size_t size, unsigned mode)
{
    std::string pattern = path + ".XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    const std::string what = "Cannot write " + path;
    int fd = mkstemp(name.data());
    if (fd < 0)
        return Error::fromLastErrno(what);
    int err = fchmod(fd, mode) == 0 ? 0 : errno;
    if (!err)
        err = writeAll(fd, data, size).code();
    if (!err && fsync(fd) != 0)
        err = errno;
    if (close(fd) != 0 && !err)
        err = errno;
    if (!err && std::rename(name.data(), path.c_str()) != 0)
        err = errno;
    if (err)
        unlink(name.data());
    return resultOfErrno(err, what);
}

Result<int> openRegularFile(const std::string& path, int flags, unsigned mode)
{
    const bool truncate = flags & O_TRUNC;
    int fd = ::open(path.c_str(), (flags & ~O_TRUNC) | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC, mode);
    if (fd < 0)
        return Error::fromLastErrno("Cannot open " + path);
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
        return Error::fromErrno(err, "Cannot open " + path);
    }
    return fd;
}

}  // namespace korva
