#pragma once
// The faxpreset command line: fills, lists and clears the control data area.

#include <cstdio>

namespace korva {

// Runs one faxpreset command over argv[1..argc-1], printing to `out`, and
// why the control data area could not be read, written or cleared to `err`.
// Returns the exit status (-1 on every error).
int runFaxPreset(int argc, const char* const* argv, std::FILE* out, std::FILE* err);

}  // namespace korva
