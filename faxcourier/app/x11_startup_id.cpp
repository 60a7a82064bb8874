#include "faxcourier/app/x11_startup_id.h"

#include <QGuiApplication>
#include <QWidget>

#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace korva::app {
namespace {

xcb_atom_t atom(xcb_connection_t* connection, const char* name)
{
    xcb_intern_atom_reply_t* reply =
        xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 0, std::strlen(name), name), nullptr);
    const xcb_atom_t found = reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
    std::free(reply);
    return found;
}

// The startup-notification protocol: the message goes to the root window in
// 20-byte pieces, the first of type _NET_STARTUP_INFO_BEGIN, from a window
// of the sender's own.
void broadcast(xcb_connection_t* connection, xcb_window_t root, const QByteArray& message)
{
    const xcb_window_t sender = xcb_generate_id(connection);
    const uint32_t overrideRedirect = 1;
    xcb_create_window(connection, XCB_COPY_FROM_PARENT, sender, root, -100, -100, 1, 1, 0, XCB_WINDOW_CLASS_INPUT_ONLY,
                      XCB_COPY_FROM_PARENT, XCB_CW_OVERRIDE_REDIRECT, &overrideRedirect);
    const xcb_atom_t begin = atom(connection, "_NET_STARTUP_INFO_BEGIN");
    const xcb_atom_t more = atom(connection, "_NET_STARTUP_INFO");
    const QByteArray text = message + '\0';
    for (qsizetype at = 0; at < text.size(); at += 20) {
        xcb_client_message_event_t event{};
        event.response_type = XCB_CLIENT_MESSAGE;
        event.format = 8;
        event.window = sender;
        event.type = at == 0 ? begin : more;
        std::memcpy(event.data.data8, text.constData() + at, std::min<qsizetype>(20, text.size() - at));
        xcb_send_event(connection, 0, root, XCB_EVENT_MASK_PROPERTY_CHANGE, reinterpret_cast<const char*>(&event));
    }
    xcb_destroy_window(connection, sender);
}

}  // namespace

QByteArray startupRemoveMessage(const QByteArray& startupId)
{
    const bool quote = startupId.contains(' ') || startupId.contains('"') || startupId.contains('\\');
    QByteArray id = startupId;
    if (quote)
        id = '"' + id.replace('\\', "\\\\").replace('"', "\\\"") + '"';
    return "remove: ID=" + id;
}

void useX11StartupId(QWidget* window, const QByteArray& startupId)
{
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (!x11 || startupId.isEmpty())
        return;
    xcb_connection_t* connection = x11->connection();
    const auto id = static_cast<xcb_window_t>(window->winId());
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, id, atom(connection, "_NET_STARTUP_ID"),
                        atom(connection, "UTF8_STRING"), 8, startupId.size(), startupId.constData());
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    if (screen)
        broadcast(connection, screen->root, startupRemoveMessage(startupId));
    xcb_flush(connection);
}

}  // namespace korva::app
