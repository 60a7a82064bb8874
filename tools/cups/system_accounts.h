#pragma once
// Root and the system accounts do not print faxes: no desktop session runs
// faxcourier for them, and a job of root's would keep the backend root
// while it reads the raster. Where system accounts end is the machine's
// UID_MIN of /etc/login.defs.

#include "tools/cups/job_user.h"

#include <string>
#include <string_view>

namespace korva::cups {

constexpr uid_t defaultUidMin = 1000;

// UID_MIN of a login.defs text; defaultUidMin when it sets none.
[[nodiscard]] uid_t uidMinOf(std::string_view loginDefs);

// UID_MIN of /etc/login.defs, or defaultUidMin when it cannot be read.
[[nodiscard]] uid_t systemUidMin();

// Why the user may not print to the queue; empty when it may.
[[nodiscard]] std::string systemAccountRefusal(const JobUser& user, uid_t uidMin);

}  // namespace korva::cups
