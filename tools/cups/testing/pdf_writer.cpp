#include "tools/cups/testing/pdf_writer.h"

#include "platform/testing/pdf_bytes.h"

#include <cstdio>

namespace korva::cups::testing {
namespace {

std::string number(double v)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", v);
    return text;
}

std::string contentOf(const PdfPage& page)
{
    std::string ops = "0 g\n";
    for (const PdfRect& r : page.black)
        ops += number(r.x) + " " + number(r.y) + " " + number(r.width) + " " + number(r.height) + " re f\n";
    return ops;
}

}  // namespace

std::string writePdf(const std::vector<PdfPage>& pages)
{
    // Objects: 1 catalog, 2 page tree, then a page and its content per page.
    std::vector<std::string> objects(2);
    std::string kids;
    for (size_t i = 0; i < pages.size(); ++i) {
        const size_t pageObject = 3 + 2 * i;
        kids += std::to_string(pageObject) + " 0 R ";
        const std::string content = contentOf(pages[i]);
        objects.push_back("<< /Type /Page /Parent 2 0 R /MediaBox [0 0 " + number(pages[i].width) + " " +
                          number(pages[i].height) + "] /Contents " + std::to_string(pageObject + 1) +
                          " 0 R /Resources << >> >>");
        objects.push_back("<< /Length " + std::to_string(content.size()) + " >>\nstream\n" + content + "endstream");
    }
    objects[0] = "<< /Type /Catalog /Pages 2 0 R >>";
    objects[1] = "<< /Type /Pages /Kids [" + kids + "] /Count " + std::to_string(pages.size()) + " >>";

    return korva::testing::pdfFromObjects(objects);
}

}  // namespace korva::cups::testing
