#pragma once
// The line that tells the user a fax was accepted by the server:
// "Fax to NAME, NUMBER, N pages, accepted"; several recipients are joined
// with "; ".

#include "faxcourier/settings/fax_job.h"

#include <string>

namespace korva::app {

std::string acceptedFaxNotice(const FaxJob& job);

}  // namespace korva::app
