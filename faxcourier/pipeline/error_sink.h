#pragma once
// Where the conversion thread reports what the user must know about: pages
// left out of a fax and print files that cannot be read.

#include <string>

namespace korva {

class ErrorSink {
public:
    virtual ~ErrorSink() = default;
    // Called from the conversion thread; `text` is a complete sentence.
    // Must not block for long: the conversion waits for it.
    virtual void reportError(const std::string& text) = 0;
};

}  // namespace korva
