#include "tools/cups/testing/courier_settings.h"

#include "faxcourier/settings/settings.h"

#include <cstdlib>
#include <string>

namespace korva::cups::testing {

bool storeCourierSettings(const TestUser& user, int smtpPort)
{
    // The settings are written where the user's session looks for them.
    const std::string config = user.home() + "/.config";
    const char* saved = std::getenv("XDG_CONFIG_HOME");
    const std::string before = saved ? saved : "";
    setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    korva::Settings settings;
    settings.Server = "127.0.0.1";
    settings.SMTPServerPort = uint32_t(smtpPort);
    settings.Username = kSimUser;
    settings.Password = kSimPassword;
    settings.EmailAddress = "anna@example.com";
    settings.FaxAddress = kSimFaxAddress;
    bool stored = korva::SaveSettings(settings);
    if (saved)
        setenv("XDG_CONFIG_HOME", before.c_str(), 1);
    else
        unsetenv("XDG_CONFIG_HOME");
    user.giveToUser(config);
    return stored;
}

}  // namespace korva::cups::testing
