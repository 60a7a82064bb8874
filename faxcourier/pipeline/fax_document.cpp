#include "faxcourier/pipeline/fax_document.h"

#include "faxcourier/foundation/log.h"
#include "faxcourier/pipeline/page_geometry.h"
#include "faxcourier/pipeline/tiff_file.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace korva {
namespace {

// Where the document ends before a page is added: its size and the place of
// the last directory's (zero) link to a next one, which appending fills in.
struct DocumentEnd {
    bool exists = false;
    off_t size = 0;
    off_t link = -1;
};

bool readAt(int fd, off_t at, void* data, size_t size) { return pread(fd, data, size, at) == ssize_t(size); }

// Follows the directory chain of a classic TIFF file to its last link.
bool findDocumentEnd(const std::string& path, DocumentEnd& end)
{
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return errno == ENOENT;
    struct stat st {};
    unsigned char header[8];
    bool found = fstat(fd, &st) == 0 && readAt(fd, 0, header, sizeof header);
    end.exists = true;
    end.size = st.st_size;
    bool little = header[0] == 'I';
    auto number = [little](const unsigned char* b, int bytes) {
        uint32_t value = 0;
        for (int k = 0; k < bytes; ++k)
            value |= uint32_t(b[little ? k : bytes - 1 - k]) << (8 * k);
        return value;
    };
    found = found && number(header + 2, 2) == 42;
    off_t link = 4;
    bool atEnd = false;
    for (int hops = 0; found && !atEnd && hops < 1'000'000; ++hops) {
        unsigned char word[4];
        found = readAt(fd, link, word, 4);
        uint32_t next = number(word, 4);
        atEnd = found && next == 0;
        if (!found || atEnd)
            break;
        unsigned char count[2];
        found = next + 2 <= uint64_t(end.size) && readAt(fd, next, count, 2);
        link = off_t(next) + 2 + 12 * off_t(number(count, 2));
    }
    found = found && atEnd;
    ::close(fd);
    end.link = found ? link : -1;
    return found;
}

Result<void> restoreDocumentEnd(const std::string& path, const DocumentEnd& end)
{
    if (!end.exists) {
        if (unlink(path.c_str()) != 0 && errno != ENOENT)
            return Error::fromLastErrno("Cannot delete " + path);
        return {};
    }
    int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd < 0)
        return Error::fromLastErrno("Cannot open " + path);
    static const unsigned char zero[4] = {};
    Result<void> restored;
    if (ftruncate(fd, end.size) != 0)
        restored = Error::fromLastErrno("Cannot cut " + path + " back");
    else if (ssize_t written = pwrite(fd, zero, sizeof zero, end.link); written != ssize_t(sizeof zero))
        restored = Error::fromErrno(written < 0 ? errno : EIO, "Cannot end " + path + " at its last page");
    ::close(fd);
    return restored;
}

// Two-dimensional coding: one-dimensional rows can need one run more than
// the page is wide (a row that starts black and alternates every pixel, as
// Floyd-Steinberg makes of a mid-grey band), which libtiff's decoder
// refuses. Fill bits put each EOL on a byte boundary, as fax software likes.
constexpr uint32_t kGroup3Options = GROUP3OPT_2DENCODING | GROUP3OPT_FILLBITS;

bool setPageFields(TIFF* tif, uint32_t rows)
{
    return TIFFSetField(tif, TIFFTAG_SUBFILETYPE, FILETYPE_PAGE) && TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, kFaxWidth) &&
           TIFFSetField(tif, TIFFTAG_IMAGELENGTH, rows) && TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 1) &&
           TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 1) &&
           TIFFSetField(tif, TIFFTAG_COMPRESSION, COMPRESSION_CCITTFAX3) &&
           TIFFSetField(tif, TIFFTAG_GROUP3OPTIONS, kGroup3Options) &&
           TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISWHITE) &&
           TIFFSetField(tif, TIFFTAG_FILLORDER, FILLORDER_MSB2LSB) &&
           TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG) &&
           TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, rows) &&
           TIFFSetField(tif, TIFFTAG_XRESOLUTION, double(kFaxXResolution)) &&
           TIFFSetField(tif, TIFFTAG_YRESOLUTION, double(kFaxYResolution)) &&
           TIFFSetField(tif, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH);
}

}  // namespace

Result<void> appendFaxPage(const std::string& path, const FaxPage& page, bool first)
{
    errno = 0;
    DocumentEnd end;
    if (!first && !findDocumentEnd(path, end))
        return Error::withText("the fax document " + path + " is damaged");
    TiffFile tiff;
    if (!tiff.open(path, first ? "w" : "a")) {
        int error = errno;
        return Error::withText("the fax document cannot be written (" + tiff.lastError() + ")", error);
    }
    TIFF* tif = tiff.handle();
    tmsize_t size = tmsize_t(page.bits.size());
    bool stored = setPageFields(tif, page.rows) &&
                  TIFFWriteEncodedStrip(tif, 0, const_cast<uint8_t*>(page.bits.data()), size) != -1 &&
                  TIFFWriteDirectory(tif);
    if (stored) {
        tiff.close();
        return {};
    }
    int error = errno;
    std::string why = "the page cannot be written to the fax document (" +
                      (tiff.lastError().empty() ? std::string(std::strerror(error)) : tiff.lastError()) + ")";
    tiff.close();
    // The conversion deletes a document it could not write, so a failure
    // here loses nothing; it is only logged.
    if (Result<void> restored = restoreDocumentEnd(path, end); !restored)
        LogAlways(1, "%s - %d\n", restored.error().text.c_str(), restored.code());
    return Error::withText(why, error);
}

}  // namespace korva
