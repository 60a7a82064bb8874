#include "faxcourier/pipeline/tiff_file.h"

#include "faxcourier/foundation/log.h"
#include "platform/file_ops.h"

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace korva {
namespace {

// Larger than any strip or row buffer a page within the bounds needs.
constexpr tmsize_t kMaxSingleAllocation = 256 << 20;

std::string describe(const char* module, const char* format, va_list args)
{
    char text[400];
    std::vsnprintf(text, sizeof text, format, args);
    return module && *module ? std::string(module) + ": " + text : std::string(text);
}

}  // namespace

bool TiffFile::open(const std::string& path, const char* mode)
{
    close();
    lastError_.clear();
    // Opened here rather than by libtiff: a FIFO or device in the file's
    // place is refused instead of waited on, and a fax document is made
    // 0600 (the mode of a file that is truncated stays).
    int flags = mode[0] == 'w' ? O_RDWR | O_CREAT | O_TRUNC : mode[0] == 'a' ? O_RDWR | O_CREAT : O_RDONLY;
    auto opened = openRegularFile(path, flags, 0600);
    if (!opened) {
        lastError_ = "cannot open " + path + ": " +
                     (opened.code() == EINVAL ? std::string("it is not a regular file") : std::strerror(opened.code()));
        return false;
    }
    const int fd = *opened;
    TIFFOpenOptions* options = TIFFOpenOptionsAlloc();
    if (!options) {
        ::close(fd);
        lastError_ = "out of memory";
        return false;
    }
    TIFFOpenOptionsSetMaxSingleMemAlloc(options, kMaxSingleAllocation);
    TIFFOpenOptionsSetErrorHandlerExtR(options, onError, this);
    TIFFOpenOptionsSetWarningHandlerExtR(options, onWarning, this);
    tiff_ = TIFFFdOpenExt(fd, path.c_str(), mode, options);
    TIFFOpenOptionsFree(options);
    if (!tiff_)
        ::close(fd);  // TIFFClose closes it otherwise
    if (!tiff_ && lastError_.empty())
        lastError_ = "cannot open " + path;
    return tiff_ != nullptr;
}

void TiffFile::close()
{
    if (tiff_)
        TIFFClose(tiff_);
    tiff_ = nullptr;
}

int TiffFile::onError(TIFF*, void* self, const char* module, const char* format, va_list args)
{
    auto* file = static_cast<TiffFile*>(self);
    file->lastError_ = describe(module, format, args);
    LogDebug("TIFF error - %s\n", file->lastError_.c_str());
    return 1;
}

int TiffFile::onWarning(TIFF*, void*, const char* module, const char* format, va_list args)
{
    LogDebug("TIFF warning - %s\n", describe(module, format, args).c_str());
    return 1;
}

}  // namespace korva
