#pragma once
// Whether a control record's texts may be faxed without the user: damaged
// data (random bytes, a crafted record) must never become a fax to a binary
// "number" with a binary subject.

#include "controlarea/control_record.h"

#include <string>

namespace korva::app {

// The first field unfit for an automatic send: one holding control bytes
// ("subject", "document name", "cover page", "recipient N"), a recipient
// field that is no recipient line, or a "rcpt:" document name that gives
// none. Empty when the record may be sent as it is.
std::string refusedRecordField(const ControlRecord& record);

}  // namespace korva::app
