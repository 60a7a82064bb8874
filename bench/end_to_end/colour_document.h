#pragma once
// The colour document the end-to-end benchmark prints: letter-size pages
// with a coloured heading bar, lines of text, a photograph-like colour
// gradient and coloured boxes, as a plain PDF any renderer draws.

#include <string>

namespace bench {

// The bytes of a PDF of `pages` such pages.
std::string colourDocumentPdf(int pages);

}  // namespace bench
