#include "tools/cups/testing/pdf_writer.h"

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
        objects.push_back("<< /Length " + std::to_string(content.size()) + " >>\nstream\n" + content +
                          "endstream");
    }
    objects[0] = "<< /Type /Catalog /Pages 2 0 R >>";
    objects[1] = "<< /Type /Pages /Kids [" + kids + "] /Count " + std::to_string(pages.size()) + " >>";

    std::string pdf = "%PDF-1.4\n";
    std::vector<size_t> offsets;
    for (size_t i = 0; i < objects.size(); ++i) {
        offsets.push_back(pdf.size());
        pdf += std::to_string(i + 1) + " 0 obj\n" + objects[i] + "\nendobj\n";
    }
    const size_t xref = pdf.size();
    pdf += "xref\n0 " + std::to_string(objects.size() + 1) + "\n0000000000 65535 f \n";
    for (size_t offset : offsets) {
        char entry[24];
        std::snprintf(entry, sizeof entry, "%010zu 00000 n \n", offset);
        pdf += entry;
    }
    pdf += "trailer\n<< /Size " + std::to_string(objects.size() + 1) + " /Root 1 0 R >>\nstartxref\n" +
           std::to_string(xref) + "\n%%EOF\n";
    return pdf;
}

}  // namespace korva::cups::testing
