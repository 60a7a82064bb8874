#include "colour_document.h"

#include "platform/testing/pdf_bytes.h"

#include <string>
#include <vector>

namespace bench {
namespace {

constexpr int kFirstPageObject = 5;  // 1 catalog, 2 page tree, 3 font, 4 gradient

// `lines` lines of dark grey 10-point text from `top` down, each "LABEL n: TEXT".
std::string textBlock(int top, int lines, const std::string& label, const std::string& text)
{
    std::string c = "BT /F1 10 Tf 0.1 0.1 0.1 rg 54 " + std::to_string(top) + " Td 13 TL\n";
    for (int line = 1; line <= lines; ++line)
        c += "(" + label + " " + std::to_string(line) + ": " + text + ") '\n";
    return c + "ET\n";
}

std::string pageContent(int page)
{
    std::string c = "0.12 0.24 0.63 rg 54 700 504 40 re f\n";
    c += "BT /F1 18 Tf 1 1 1 rg 66 713 Td (KORVA Office Supplies - quarterly figures, page " + std::to_string(page) +
         ") Tj ET\n";
    c += textBlock(670, 9, "Line", "deliveries, returns and open orders of the quarter, by region and product group.");
    // The photograph: a gradient over the whole block.
    c += "q 54 300 330 230 re W n /Sh1 sh Q\n";
    for (int row = 0; row < 4; ++row)
        for (int column = 0; column < 3; ++column)
            if ((row + column) % 2 == 0)
                c += "0.8 0.15 0.15 rg " + std::to_string(410 + 50 * column) + " " + std::to_string(310 + 55 * row) +
                     " 45 50 re f\n";
    return c + textBlock(260, 12, "Notes", "figures in thousands of euros; colours as in the chart above.");
}

}  // namespace

std::string colourDocumentPdf(int pages)
{
    std::string kids;
    for (int page = 0; page < pages; ++page)
        kids += std::to_string(kFirstPageObject + 2 * page) + " 0 R ";
    std::vector<std::string> objects = {
        "<< /Type /Catalog /Pages 2 0 R >>",
        "<< /Type /Pages /Kids [" + kids + "] /Count " + std::to_string(pages) + " >>",
        "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>",
        "<< /ShadingType 2 /ColorSpace /DeviceRGB /Coords [54 300 384 530] /Extend [true true] "
        "/Function << /FunctionType 2 /Domain [0 1] /C0 [0.95 0.55 0.1] /C1 [0.1 0.35 0.8] /N 1 >> >>",
    };
    for (int page = 0; page < pages; ++page) {
        std::string content = pageContent(page + 1);
        objects.push_back("<< /Type /Page /Parent 2 0 R /MediaBox [0 0 612 792] /Contents " +
                          std::to_string(kFirstPageObject + 2 * page + 1) +
                          " 0 R /Resources << /Font << /F1 3 0 R >> /Shading << /Sh1 4 0 R >> >> >>");
        objects.push_back("<< /Length " + std::to_string(content.size()) + " >>\nstream\n" + content + "endstream");
    }
    return korva::testing::pdfFromObjects(objects);
}

}  // namespace bench
