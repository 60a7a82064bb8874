#pragma once
// A private X server (Xvfb) and a connection to it that sees top-level
// windows come and go. There is no window manager, so every top-level
// window is a child of the root and its mapping is the moment it shows.

#include "platform/testing/child_process.h"

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <xcb/xcb.h>

namespace bench {

class VirtualDisplay {
public:
    // Starts Xvfb on a free display and connects; throws std::runtime_error.
    VirtualDisplay();
    ~VirtualDisplay();
    VirtualDisplay(const VirtualDisplay&) = delete;
    VirtualDisplay& operator=(const VirtualDisplay&) = delete;

    const std::string& name() const { return name_; }  // ":N"
    int fd() const;                                    // readable when events wait

    struct Change {
        bool mapped = false;  // otherwise unmapped
        uint32_t window = 0;
        std::string title;
    };
    // The next change already received, without waiting.
    std::optional<Change> nextChange();

    // Asks the window to close, as a window manager's close button does.
    void closeWindow(uint32_t window);

    // True once the window holds more than one colour: a window is mapped
    // blank, and its program draws it afterwards.
    bool drawn(uint32_t window);

private:
    std::string titleOf(uint32_t window);

    std::unique_ptr<korva::testing::ChildProcess> server_;
    std::string name_;
    xcb_connection_t* connection_ = nullptr;
    xcb_atom_t protocols_ = 0, deleteWindow_ = 0;
    std::map<uint32_t, std::string> titles_;  // of the windows mapped now
};

}  // namespace bench
