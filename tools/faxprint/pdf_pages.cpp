#include "tools/faxprint/printed_page.h"

#include "platform/translation.h"

#include <poppler/cpp/poppler-document.h>
#include <poppler/cpp/poppler-image.h>
#include <poppler/cpp/poppler-page-renderer.h>
#include <poppler/cpp/poppler-page.h>

#include <cstring>
#include <sstream>

namespace korva::faxprint {
namespace {

// poppler-cpp's gray8 or argb32 image as a leptonica picture.
PixPtr toPix(const poppler::image& image)
{
    const int w = image.width(), h = image.height();
    const bool grey = image.format() == poppler::image::format_gray8;
    PixPtr pix(pixCreate(w, h, grey ? 8 : 32));
    if (!pix)
        return nullptr;
    for (int y = 0; y < h; ++y) {
        const auto* in =
            reinterpret_cast<const unsigned char*>(image.const_data()) + size_t(y) * size_t(image.bytes_per_row());
        l_uint32* line = pixGetData(pix.get()) + size_t(y) * size_t(pixGetWpl(pix.get()));
        for (int x = 0; x < w; ++x) {
            if (grey) {
                SET_DATA_BYTE(line, x, in[x]);
            } else {
                uint32_t argb;
                std::memcpy(&argb, in + 4 * size_t(x), 4);
                l_uint32 rgb = 0;
                composeRGBPixel(l_int32((argb >> 16) & 0xff), l_int32((argb >> 8) & 0xff), l_int32(argb & 0xff), &rgb);
                line[x] = rgb;
            }
        }
    }
    return pix;
}

std::vector<std::string> textLines(const poppler::page& page)
{
    poppler::byte_array utf8 = page.text().to_utf8();
    std::istringstream lines(std::string(utf8.begin(), utf8.end()));
    std::vector<std::string> found;
    std::string line;
    while (std::getline(lines, line)) {
        while (!line.empty() && (line.back() == '\r' || line.back() == ' '))
            line.pop_back();
        if (!line.empty())
            found.push_back(line);
    }
    return found;
}

void ignorePopplerMessage(const std::string&, void*) {}

}  // namespace

LoadedPages renderPdfPages(const std::string& file, const Options& options)
{
    // Our own message says what went wrong; poppler's would only add noise.
    poppler::set_debug_error_function(ignorePopplerMessage, nullptr);
    std::unique_ptr<poppler::document> document(poppler::document::load_from_file(file));
    if (!document)
        return {{}, withArguments(translated("FaxPrint", "%1: not a readable PDF document"), {file})};
    if (document->is_locked())
        return {{}, withArguments(translated("FaxPrint", "%1: the PDF document is locked with a password"), {file})};
    if (!poppler::page_renderer::can_render())
        return {{}, withArguments(translated("FaxPrint", "%1: this poppler cannot render pages"), {file})};
    poppler::page_renderer renderer;
    renderer.set_render_hint(poppler::page_renderer::antialiasing, true);
    renderer.set_render_hint(poppler::page_renderer::text_antialiasing, true);
    renderer.set_image_format(options.format == BandFormat::colour ? poppler::image::format_argb32
                                                                   : poppler::image::format_gray8);
    LoadedPages loaded;
    for (int i = 0; i < document->pages(); ++i) {
        std::unique_ptr<poppler::page> page(document->create_page(i));
        if (!page)
            return {{},
                    withArguments(translated("FaxPrint", "%1: page %2 cannot be read"), {file, std::to_string(i + 1)})};
        poppler::image image = renderer.render_page(page.get(), options.xDpi, options.yDpi);
        PixPtr picture = image.is_valid() ? toPix(image) : nullptr;
        PixPtr banded = picture ? toBandDepth(picture.get(), options.format) : nullptr;
        if (!banded)
            return {
                {},
                withArguments(translated("FaxPrint", "%1: page %2 cannot be rendered"), {file, std::to_string(i + 1)})};
        loaded.pages.push_back(PrintedPage{std::move(banded), textLines(*page)});
    }
    return loaded;
}

}  // namespace korva::faxprint
