#pragma once
// Pages read from the files to print, held at the depth of the bands that
// will carry them.

#include "tools/faxprint/faxprint_options.h"

#include <leptonica/allheaders.h>

#include <memory>
#include <string>
#include <vector>

namespace korva::faxprint {

struct PixDeleter {
    void operator()(Pix* pix) const { pixDestroy(&pix); }
};
using PixPtr = std::unique_ptr<Pix, PixDeleter>;

// 1 bit per pixel with 1 = black, 8-bit grey, or 32-bit RGB, after the
// band format; plus the lines of text the page shows (PDF only).
struct PrintedPage {
    PixPtr picture;
    std::vector<std::string> text;
};

struct LoadedPages {
    std::vector<PrintedPage> pages;
    std::string error;  // set when the file cannot be printed
};

// Every page of one file, in order.
LoadedPages loadPages(const std::string& file, const Options& options);

// Brings a picture of any depth to the band format's depth; transparent
// parts are laid on white paper.
PixPtr toBandDepth(Pix* picture, BandFormat format);

// PDF pages through poppler, images through leptonica.
LoadedPages renderPdfPages(const std::string& file, const Options& options);
LoadedPages readImagePages(const std::string& file, const Options& options);

}  // namespace korva::faxprint
