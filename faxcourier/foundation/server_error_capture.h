#pragma once
// For tests: records every server error box while it lives instead of
// showing it.

#include "faxcourier/foundation/server_error.h"

#include <mutex>
#include <vector>

namespace korva {

class CapturedServerErrors {
public:
    CapturedServerErrors()
    {
        previous_ = setServerErrorSink([this](const ServerErrorBox& box) {
            std::lock_guard lock(mutex_);
            boxes_.push_back(box);
        });
    }
    ~CapturedServerErrors() { setServerErrorSink(std::move(previous_)); }
    CapturedServerErrors(const CapturedServerErrors&) = delete;
    CapturedServerErrors& operator=(const CapturedServerErrors&) = delete;

    std::vector<ServerErrorBox> boxes() const
    {
        std::lock_guard lock(mutex_);
        return boxes_;
    }
    void clear()
    {
        std::lock_guard lock(mutex_);
        boxes_.clear();
    }

private:
    mutable std::mutex mutex_;
    std::vector<ServerErrorBox> boxes_;
    ServerErrorSink previous_;
};

}  // namespace korva
