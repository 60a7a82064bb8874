#pragma once
// The bytes of a small PDF 1.4 file for tests that print: its objects in
// order (object 1 the catalog), with the cross-reference table and trailer
// the readers need.

#include <string>
#include <vector>

namespace korva::testing {

std::string pdfFromObjects(const std::vector<std::string>& objects);

}  // namespace korva::testing
