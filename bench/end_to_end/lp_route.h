#pragma once
// The CUPS route: lp prints the PDF to the fax queue of a private scheduler
// on a loopback port, its backend hands the document to the user's running
// faxcourier, and korva-sim stores the fax.

#include "route_timing.h"

#include <optional>
#include <string>
#include <vector>

namespace bench {

// The times from lp's start to the fax stored, or why the route cannot be
// measured on this machine (nothing is measured then).
struct LpRouteResult {
    std::vector<double> wholeMs;
    std::string unavailable;
};

LpRouteResult measureLpRoute(const std::string& pdf, int runs);

// Its lines: lp's start to the fax stored, or why it was not measured.
void printLpRow(const char* title, const LpRouteResult& lp);

}  // namespace bench
