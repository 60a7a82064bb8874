#pragma once
// A libtiff handle whose errors and warnings go to the log instead of
// standard error, keeping the last error for the caller, and whose single
// allocations are bounded, so that a hostile file cannot ask for gigabytes.

#include <string>
#include <tiffio.h>

namespace korva {

class TiffFile {
public:
    TiffFile() = default;
    ~TiffFile() { close(); }
    TiffFile(const TiffFile&) = delete;  // libtiff keeps our address
    TiffFile& operator=(const TiffFile&) = delete;

    // TIFFOpen modes ("r", "w", "a", ...). False with lastError() set.
    bool open(const std::string& path, const char* mode);
    void close();

    TIFF* handle() const { return tiff_; }
    // libtiff's last error, or "" when it reported none.
    const std::string& lastError() const { return lastError_; }
    void clearError() { lastError_.clear(); }

private:
    static int onError(TIFF*, void* self, const char* module, const char* format, va_list args);
    static int onWarning(TIFF*, void* self, const char* module, const char* format, va_list args);

    TIFF* tiff_ = nullptr;
    std::string lastError_;
};

}  // namespace korva
