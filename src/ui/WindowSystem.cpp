// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/WindowSystem.h"

#include <QGuiApplication>
#include <QWidget>

#include <xcb/xcb.h>

#include <cstdlib>
#include <optional>

namespace {

// The workspace hints' atoms, asked for together and kept: they do not change while
// the connection lasts.
struct WorkspaceAtoms {
    xcb_atom_t currentDesktop = XCB_ATOM_NONE;
    xcb_atom_t windowDesktop = XCB_ATOM_NONE;
};

xcb_atom_t atomFrom(xcb_connection_t *connection, xcb_intern_atom_cookie_t cookie)
{
    xcb_intern_atom_reply_t *reply = xcb_intern_atom_reply(connection, cookie, nullptr);
    const xcb_atom_t found = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(reply);
    return found;
}

const WorkspaceAtoms &workspaceAtoms(xcb_connection_t *connection)
{
    static const WorkspaceAtoms atoms = [connection] {
        const auto intern = [connection](const char *name) {
            return xcb_intern_atom(connection, 0, uint16_t(qstrlen(name)), name);
        };
        const xcb_intern_atom_cookie_t current = intern("_NET_CURRENT_DESKTOP");
        const xcb_intern_atom_cookie_t window = intern("_NET_WM_DESKTOP");
        return WorkspaceAtoms{atomFrom(connection, current), atomFrom(connection, window)};
    }();
    return atoms;
}

xcb_get_property_cookie_t askCardinal(xcb_connection_t *connection, xcb_window_t window,
                                      xcb_atom_t property)
{
    return xcb_get_property(connection, 0, window, property, XCB_ATOM_CARDINAL, 0, 1);
}

// A window property that holds one 32-bit number, as the workspace hints do.
std::optional<quint32> cardinal(xcb_connection_t *connection, xcb_get_property_cookie_t cookie)
{
    xcb_get_property_reply_t *reply = xcb_get_property_reply(connection, cookie, nullptr);
    std::optional<quint32> value;
    if (reply && reply->format == 32 && xcb_get_property_value_length(reply) >= 4)
        value = *static_cast<const quint32 *>(xcb_get_property_value(reply));
    std::free(reply);
    return value;
}

// Asks the window manager, as EWMH has it, to move window to the workspace in view.
// The alarm waits for the answers: both questions go out at once, in one round trip.
void moveToCurrentWorkspace(xcb_connection_t *connection, xcb_window_t window)
{
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    const WorkspaceAtoms &atoms = workspaceAtoms(connection);
    const xcb_atom_t windowDesktop = atoms.windowDesktop;
    const xcb_get_property_cookie_t currentAsked = askCardinal(connection, root, atoms.currentDesktop);
    const xcb_get_property_cookie_t onAsked = askCardinal(connection, window, windowDesktop);
    const std::optional<quint32> current = cardinal(connection, currentAsked);
    const std::optional<quint32> on = cardinal(connection, onAsked);
    constexpr quint32 everyWorkspace = 0xFFFFFFFF;
    if (!current || !on || *on == *current || *on == everyWorkspace)
        return;

    xcb_client_message_event_t message = {};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = window;
    message.type = windowDesktop;
    message.data.data32[0] = *current;
    message.data.data32[1] = 1; // asked for by an ordinary program
    xcb_send_event(connection, 0, root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char *>(&message));
    xcb_flush(connection);
}

} // namespace

namespace WindowSystem {

void bringIntoView(QWidget *window)
{
    if (window->isMinimized())
        window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
    if (!window->isVisible())
        return;
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return;
    auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (x11 && x11->connection())
        moveToCurrentWorkspace(x11->connection(), xcb_window_t(window->winId()));
}

} // namespace WindowSystem
