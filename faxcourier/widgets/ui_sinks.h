#pragma once
// Routes the boxes of the Qt-free layers (control area, settings, server
// errors, conversion errors) through the UI seam, on the main thread.

#include "faxcourier/pipeline/error_sink.h"

namespace korva::app {

// Installs the sinks for the message boxes and server error boxes; the
// returned object puts the previous ones back when it goes.
class InstalledBoxSinks {
public:
    InstalledBoxSinks();
    ~InstalledBoxSinks();
    InstalledBoxSinks(const InstalledBoxSinks&) = delete;
    InstalledBoxSinks& operator=(const InstalledBoxSinks&) = delete;

private:
    struct Saved;
    Saved* saved_;
};

// Conversion errors: shown in a box on the main thread, without making the
// conversion thread wait for the user.
class BoxErrorSink : public ErrorSink {
public:
    void reportError(const std::string& text) override;
};

}  // namespace korva::app
