#include "tools/faxprint/printed_page.h"

#include "platform/translation.h"

namespace korva::faxprint {
namespace {

bool isPrintableImage(l_int32 format)
{
    return format == IFF_PNG || format == IFF_JFIF_JPEG || format == IFF_PNM || L_FORMAT_IS_TIFF(format);
}

}  // namespace

LoadedPages readImagePages(const std::string& file, const Options& options)
{
    l_int32 format = IFF_UNKNOWN;
    if (findFileFormat(file.c_str(), &format) != 0 || !isPrintableImage(format))
        return {{}, withArguments(translated("FaxPrint", "%1: not a PDF, PNG, JPEG, PNM or TIFF file"), {file})};
    std::vector<PixPtr> read;
    if (L_FORMAT_IS_TIFF(format)) {
        PIXA* all = pixaReadMultipageTiff(file.c_str());
        if (all) {
            for (l_int32 i = 0; i < pixaGetCount(all); ++i)
                read.emplace_back(pixaGetPix(all, i, L_COPY));
            pixaDestroy(&all);
        }
    } else {
        read.emplace_back(pixRead(file.c_str()));
    }
    LoadedPages loaded;
    for (auto& picture : read) {
        PixPtr page = picture ? toBandDepth(picture.get(), options.format) : nullptr;
        if (!page)
            return {{}, withArguments(translated("FaxPrint", "%1: the image cannot be read"), {file})};
        loaded.pages.push_back(PrintedPage{std::move(page), {}});
    }
    if (read.empty())
        loaded.error = withArguments(translated("FaxPrint", "%1: the image cannot be read"), {file});
    return loaded;
}

}  // namespace korva::faxprint
