// Thunderbird prefs.js: any text is read without evaluating anything, and
// the account drawn from it holds only what the text held.
#include "faxcourier/settings/prefs_js.h"
#include "faxcourier/settings/thunderbird_profile.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string text(reinterpret_cast<const char*>(data), size);
    korva::Prefs prefs = korva::parsePrefsJs(text);
    if (prefs.size() > size)
        std::abort();
    if (auto account = korva::defaultAccount(prefs)) {
        if (account->incomingHost.size() > size || account->email.size() > size || account->fullName.size() > size)
            std::abort();
    }
    return 0;
}
