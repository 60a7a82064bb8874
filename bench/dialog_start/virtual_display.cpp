#include "virtual_display.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <stdexcept>
#include <unistd.h>

namespace bench {
namespace {

constexpr int kStartWaitMs = 20000;

// Xvfb writes the display number it took to the descriptor -displayfd names.
std::string readDisplayNumber(int pipe)
{
    std::string number;
    char c;
    pollfd readable{pipe, POLLIN, 0};
    while (poll(&readable, 1, kStartWaitMs) > 0 && read(pipe, &c, 1) == 1 && c != '\n')
        number += c;
    if (number.empty())
        throw std::runtime_error("Xvfb did not start");
    return ":" + number;
}

xcb_atom_t atom(xcb_connection_t* connection, const char* name)
{
    xcb_intern_atom_reply_t* reply =
        xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 0, uint16_t(strlen(name)), name), nullptr);
    xcb_atom_t value = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    free(reply);
    return value;
}

}  // namespace

VirtualDisplay::VirtualDisplay()
{
    int pipeEnds[2];
    if (pipe2(pipeEnds, O_CLOEXEC) != 0)
        throw std::runtime_error("no pipe for Xvfb");
    korva::testing::ChildOptions options;
    options.out = pipeEnds[1];
    // It tells of every display number others hold before it finds one.
    options.err = open("/dev/null", O_WRONLY | O_CLOEXEC);
    options.dieWithParent = true;
    server_ = std::make_unique<korva::testing::ChildProcess>(
        std::vector<std::string>{"/usr/bin/Xvfb", "-displayfd", "1", "-screen", "0", "1920x1080x24", "-nolisten",
                                 "tcp"},
        options);
    close(pipeEnds[1]);
    close(options.err);
    try {
        name_ = readDisplayNumber(pipeEnds[0]);
    } catch (...) {
        close(pipeEnds[0]);
        throw;
    }
    close(pipeEnds[0]);
    connection_ = xcb_connect(name_.c_str(), nullptr);
    if (xcb_connection_has_error(connection_))
        throw std::runtime_error("cannot connect to Xvfb on " + name_);
    xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data->root;
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(connection_, root, XCB_CW_EVENT_MASK, &mask);
    protocols_ = atom(connection_, "WM_PROTOCOLS");
    deleteWindow_ = atom(connection_, "WM_DELETE_WINDOW");
}

VirtualDisplay::~VirtualDisplay()
{
    if (connection_)
        xcb_disconnect(connection_);
    if (server_)
        (void)server_->stop(std::chrono::seconds(5));
}

int VirtualDisplay::fd() const { return xcb_get_file_descriptor(connection_); }

std::string VirtualDisplay::titleOf(uint32_t window)
{
    xcb_get_property_reply_t* reply = xcb_get_property_reply(
        connection_, xcb_get_property(connection_, 0, window, XCB_ATOM_WM_NAME, XCB_GET_PROPERTY_TYPE_ANY, 0, 256),
        nullptr);
    std::string title;
    if (reply)
        title.assign(static_cast<const char*>(xcb_get_property_value(reply)),
                     size_t(xcb_get_property_value_length(reply)));
    free(reply);
    return title;
}

std::optional<VirtualDisplay::Change> VirtualDisplay::nextChange()
{
    while (xcb_generic_event_t* event = xcb_poll_for_event(connection_)) {
        std::optional<Change> change;
        switch (event->response_type & 0x7f) {
            case XCB_MAP_NOTIFY: {
                uint32_t window = reinterpret_cast<xcb_map_notify_event_t*>(event)->window;
                change = Change{true, window, titles_[window] = titleOf(window)};
                break;
            }
            case XCB_UNMAP_NOTIFY: {
                uint32_t window = reinterpret_cast<xcb_unmap_notify_event_t*>(event)->window;
                change = Change{false, window, titles_[window]};
                titles_.erase(window);
                break;
            }
            default:
                break;
        }
        free(event);
        if (change)
            return change;
    }
    return std::nullopt;
}

bool VirtualDisplay::drawn(uint32_t window)
{
    xcb_get_geometry_reply_t* geometry =
        xcb_get_geometry_reply(connection_, xcb_get_geometry(connection_, window), nullptr);
    if (!geometry)
        return false;
    xcb_get_image_reply_t* image = xcb_get_image_reply(
        connection_,
        xcb_get_image(connection_, XCB_IMAGE_FORMAT_Z_PIXMAP, window, 0, 0, geometry->width, geometry->height, ~0u),
        nullptr);
    free(geometry);
    if (!image)
        return false;
    const auto* pixels = reinterpret_cast<const uint32_t*>(xcb_get_image_data(image));
    const auto* end = pixels + xcb_get_image_data_length(image) / 4;
    const bool coloured = std::find_if(pixels, end, [&](uint32_t pixel) { return pixel != *pixels; }) != end;
    free(image);
    return coloured;
}

void VirtualDisplay::closeWindow(uint32_t window)
{
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = window;
    message.type = protocols_;
    message.data.data32[0] = deleteWindow_;
    message.data.data32[1] = XCB_CURRENT_TIME;
    xcb_send_event(connection_, 0, window, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&message));
    xcb_flush(connection_);
}

}  // namespace bench
