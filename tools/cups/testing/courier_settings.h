#pragma once
// faxcourier's settings in the printing user's own configuration, pointing
// at a korva-sim that takes user "anna", password "s3cret" and mail for
// "fax@korva.example".

#include "tools/cups/testing/job_user_fixture.h"

namespace korva::cups::testing {

constexpr const char* kSimUser = "anna";
constexpr const char* kSimPassword = "s3cret";
constexpr const char* kSimFaxAddress = "fax@korva.example";

// Writes the settings as `user`'s own, with korva-sim's SMTP port; false
// when they could not be saved.
[[nodiscard]] bool storeCourierSettings(const TestUser& user, int smtpPort);

}  // namespace korva::cups::testing
