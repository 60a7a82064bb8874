#pragma once
// First-run defaults taken from the user's other mail programs: Outlook
// Express and Eudora as recorded in the registry store (so an
// administrator's or a migrated configuration is honoured), then, while no
// server is known, the default Thunderbird account. Only memory changes;
// the values reach the store with the Configure dialog's OK.

#include "faxcourier/settings/settings.h"

namespace korva {

void ImportMailClientDefaults(Settings& settings);

}  // namespace korva
