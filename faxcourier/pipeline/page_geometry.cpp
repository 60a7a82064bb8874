#include "faxcourier/pipeline/page_geometry.h"

#include <utility>

namespace korva {

double faxRowsFor(uint32_t width, uint32_t height)
{
    return double(height) * kFaxWidth * kFaxYResolution / (double(width) * kFaxXResolution);
}

Result<PageGeometry> planPage(uint32_t width, uint32_t height)
{
    if (width == 0 || height == 0)
        return Error::withText("the page has no pixels");
    if (width > kMaxPageSide || height > kMaxPageSide)
        return Error::withText("the page is " + std::to_string(width) + " x " + std::to_string(height) +
                               " pixels, more than " + std::to_string(kMaxPageSide) + " on a side");
    PageGeometry geometry;
    geometry.width = width;
    geometry.height = height;
    geometry.turned = width > height;
    if (geometry.turned)
        std::swap(width, height);
    double rows = faxRowsFor(width, height);
    if (rows > kMaxFaxRows)
        return Error::withText("the page is " + std::to_string(geometry.width) + " x " +
                               std::to_string(geometry.height) + " pixels, longer than a fax page can be");
    geometry.faxRows = uint32_t(rows);
    return geometry;
}

std::vector<uint32_t> samplePositions(uint32_t count, uint32_t length)
{
    std::vector<uint32_t> positions(count);
    for (uint32_t k = 0; k < count; ++k)
        positions[k] = uint32_t((2 * uint64_t(k) + 1) * length / (2 * uint64_t(count)));
    return positions;
}

}  // namespace korva
