#include "tools/faxprint/printed_page.h"

#include "platform/translation.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>

namespace korva::faxprint {
namespace {

// The reason a file cannot be read at all, or empty.
std::string unreadableReason(const std::string& file, bool& isPdf)
{
    struct stat st {};
    if (stat(file.c_str(), &st) != 0)
        return std::strerror(errno);
    if (S_ISDIR(st.st_mode))
        return translated("FaxPrint", "is a folder, not a document");
    FILE* in = std::fopen(file.c_str(), "rb");
    if (!in)
        return std::strerror(errno);
    char head[5] = {};
    size_t got = std::fread(head, 1, sizeof head, in);
    std::fclose(in);
    isPdf = got == sizeof head && std::memcmp(head, "%PDF-", 5) == 0;
    return {};
}

}  // namespace

LoadedPages loadPages(const std::string& file, const Options& options)
{
    bool isPdf = false;
    if (std::string reason = unreadableReason(file, isPdf); !reason.empty())
        return {{}, withArguments(translated("FaxPrint", "%1: %2"), {file, reason})};
    LoadedPages loaded = isPdf ? renderPdfPages(file, options) : readImagePages(file, options);
    if (loaded.error.empty() && loaded.pages.empty())
        loaded.error = withArguments(translated("FaxPrint", "%1: has no pages"), {file});
    return loaded;
}

PixPtr toBandDepth(Pix* picture, BandFormat format)
{
    PixPtr onPaper;
    if (pixGetDepth(picture) == 32 && pixGetSpp(picture) == 4) {
        onPaper.reset(pixAlphaBlendUniform(picture, 0xffffff00));
        if (!onPaper)
            return nullptr;
        picture = onPaper.get();
    }
    switch (format) {
        case BandFormat::monochrome:
            return PixPtr(pixConvertTo1(picture, 128));
        case BandFormat::grey:
            return PixPtr(pixConvertTo8(picture, 0));
        case BandFormat::colour:
            return PixPtr(pixConvertTo32(picture));
    }
    return nullptr;
}

}  // namespace korva::faxprint
