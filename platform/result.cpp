#include "platform/result.h"

#include <cstring>

namespace korva {

Error Error::fromErrno(int code, const std::string& what) { return Error{code, what + ": " + std::strerror(code)}; }

}  // namespace korva
