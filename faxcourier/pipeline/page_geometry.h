#pragma once
// The shape of a fax page made from a printed page: portrait, 1728 pixels
// wide, rows scaled so that the page keeps its proportions at 200 x 192 dpi.

#include "platform/result.h"

#include <cstdint>
#include <string>
#include <vector>

namespace korva {

constexpr uint32_t kFaxWidth = 1728;
constexpr uint32_t kFaxXResolution = 200;
constexpr uint32_t kFaxYResolution = 192;

// Largest printed page side taken: 1200 dpi over 16.6 inches. Memory does
// not grow with the printed page (rows are read one at a time), only the
// time to decode it, which this keeps to a few seconds a page.
constexpr uint32_t kMaxPageSide = 20000;
// Largest fax page: about 85 inches at 192 dpi. Bounds the page held in
// memory (1728 bytes a row while it is reduced to 1 bit) for pages that are
// very long and narrow.
constexpr uint32_t kMaxFaxRows = 16384;

struct PageGeometry {
    uint32_t width = 0;  // as printed
    uint32_t height = 0;
    bool turned = false;  // wider than high: turned 270 degrees clockwise
    uint32_t faxRows = 0;
};

// Fax rows for a portrait page of width <= height: H x 1728 x 192 / (W x 200)
// in double precision, truncated.
double faxRowsFor(uint32_t width, uint32_t height);

// Plans the fax page for a printed page; fails with the reason when the
// page is empty or above the bounds.
Result<PageGeometry> planPage(uint32_t width, uint32_t height);

// Plain sampling: for each of `count` target positions the source position
// (0 .. length-1) whose pixel it takes, nearest to the target pixel's centre.
std::vector<uint32_t> samplePositions(uint32_t count, uint32_t length);

}  // namespace korva
