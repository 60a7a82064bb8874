#pragma once
// The Courier as the program runs it: faxes go out through SubmitFax and
// printed documents are converted on page-processing threads.

#include "faxcourier/app/courier.h"

#include <memory>

namespace korva::app {

std::unique_ptr<Courier> makeProgramCourier();

}  // namespace korva::app
