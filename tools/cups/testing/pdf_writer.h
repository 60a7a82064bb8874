#pragma once
// Small PDF files for printing through a real queue: each page holds black
// rectangles, so a test can find them again in the rendered pages.

#include <string>
#include <vector>

namespace korva::cups::testing {

// In PDF units (1/72 inch), origin at the page's lower left corner.
struct PdfRect {
    double x = 0, y = 0, width = 0, height = 0;
};

struct PdfPage {
    double width = 595;  // A4
    double height = 842;
    std::vector<PdfRect> black;
};

// The bytes of a PDF 1.4 file holding the pages.
std::string writePdf(const std::vector<PdfPage>& pages);

}  // namespace korva::cups::testing
