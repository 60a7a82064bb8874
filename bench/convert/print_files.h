#pragma once
// Print files for the benchmark: letter pages at 200 dpi (1700 x 2200) in
// colour or monochrome, written by the exit library when it has been built,
// otherwise with libtiff in the same layout.

#include <string>

namespace bench {

enum class Colours { Colour, Mono };

// Loads libbandsink64.so from `libraryDir` if it is there. Returns a text
// naming the writer in use.
std::string chooseWriter(const std::string& libraryDir);

// Writes a print file of `pages` pages to `path`; false on failure. The exit
// library hands its file over in the spool folder, from where it is moved.
bool makePrintFile(const std::string& path, Colours colours, int pages, const std::string& spoolFolder);

}  // namespace bench
