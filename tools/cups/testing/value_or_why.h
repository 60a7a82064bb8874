#pragma once
// A result as the tests of the backend's steps read it: the value, or no
// value with the failure's text in `why`.

#include "platform/result.h"

#include <optional>
#include <string>
#include <utility>

namespace korva::cups::testing {

template <typename T>
std::optional<T> valueOrWhy(Result<T> result, std::string& why)
{
    if (result)
        return std::move(result).value();
    why = result.error().text;
    return std::nullopt;
}

inline bool valueOrWhy(Result<void> result, std::string& why)
{
    if (!result)
        why = result.error().text;
    return result.ok();
}

}  // namespace korva::cups::testing
