// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/WindowSystem.h"

#include <QApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>

#include <xcb/xcb.h>

#include <cstdlib>
#include <iterator>
#include <optional>

namespace {

// The window manager hints' atoms, asked for together and kept: they do not change
// while the connection lasts.
struct WorkspaceAtoms
{
    xcb_atom_t currentDesktop = XCB_ATOM_NONE;
    xcb_atom_t windowDesktop = XCB_ATOM_NONE;
    xcb_atom_t state = XCB_ATOM_NONE;
    xcb_atom_t above = XCB_ATOM_NONE;
    xcb_atom_t below = XCB_ATOM_NONE;
    xcb_atom_t hidden = XCB_ATOM_NONE;
    xcb_atom_t stacking = XCB_ATOM_NONE;
    xcb_atom_t showingDesktop = XCB_ATOM_NONE;
    xcb_atom_t wmState = XCB_ATOM_NONE;
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
        const char *const names[] = {
            "_NET_CURRENT_DESKTOP",      "_NET_WM_DESKTOP",      "_NET_WM_STATE",
            "_NET_WM_STATE_ABOVE",       "_NET_WM_STATE_BELOW",  "_NET_WM_STATE_HIDDEN",
            "_NET_CLIENT_LIST_STACKING", "_NET_SHOWING_DESKTOP", "WM_STATE"};
        xcb_intern_atom_cookie_t cookies[std::size(names)];
        for (size_t i = 0; i < std::size(names); ++i)
            cookies[i] = intern(names[i]);
        xcb_atom_t found[std::size(names)];
        for (size_t i = 0; i < std::size(names); ++i)
            found[i] = atomFrom(connection, cookies[i]);
        return WorkspaceAtoms{found[0], found[1], found[2], found[3], found[4],
                              found[5], found[6], found[7], found[8]};
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

// A window property that holds a list of atoms or windows.
QList<quint32> numbers(xcb_connection_t *connection, xcb_get_property_cookie_t cookie)
{
    xcb_get_property_reply_t *reply = xcb_get_property_reply(connection, cookie, nullptr);
    QList<quint32> values;
    if (reply && reply->format == 32) {
        const auto *first = static_cast<const quint32 *>(xcb_get_property_value(reply));
        values = QList<quint32>(first, first + xcb_get_property_value_length(reply) / 4);
    }
    std::free(reply);
    return values;
}

// Sends the window manager a request about window, as EWMH has it.
void ask(xcb_connection_t *connection, xcb_window_t window, xcb_atom_t type,
         std::initializer_list<quint32> data)
{
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    xcb_client_message_event_t message = {};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = window;
    message.type = type;
    int i = 0;
    for (quint32 value : data)
        message.data.data32[i++] = value;
    xcb_send_event(connection, 0, root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char *>(&message));
}

xcb_connection_t *x11Connection()
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return nullptr;
    auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->connection() : nullptr;
}

// Asks the window manager, as EWMH has it, to move window to the workspace in view.
// The alarm waits for the answers: both questions go out at once, in one round trip.
void moveToCurrentWorkspace(xcb_connection_t *connection, xcb_window_t window)
{
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    const WorkspaceAtoms &atoms = workspaceAtoms(connection);
    const xcb_atom_t windowDesktop = atoms.windowDesktop;
    const xcb_get_property_cookie_t currentAsked =
        askCardinal(connection, root, atoms.currentDesktop);
    const xcb_get_property_cookie_t onAsked = askCardinal(connection, window, windowDesktop);
    const std::optional<quint32> current = cardinal(connection, currentAsked);
    const std::optional<quint32> on = cardinal(connection, onAsked);
    constexpr quint32 everyWorkspace = 0xFFFFFFFF;
    if (!current || !on || *on == *current || *on == everyWorkspace)
        return;

    ask(connection, window, windowDesktop, {*current, 1 /* asked for by an ordinary program */});
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
    if (xcb_connection_t *connection = x11Connection())
        moveToCurrentWorkspace(connection, xcb_window_t(window->winId()));
}

void holdInView(QWidget *window, const QRect &place)
{
    bringIntoView(window);
    xcb_connection_t *connection = x11Connection();
    if (!connection) {
        window->show();
        window->raise();
        return;
    }
    const xcb_window_t id = xcb_window_t(window->winId());
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    const WorkspaceAtoms &atoms = workspaceAtoms(connection);
    // Every question in one round trip.
    const xcb_get_window_attributes_cookie_t attributesAsked =
        xcb_get_window_attributes(connection, id);
    const xcb_get_property_cookie_t stateAsked =
        xcb_get_property(connection, 0, id, atoms.state, XCB_ATOM_ATOM, 0, 32);
    const xcb_get_property_cookie_t stackingAsked =
        xcb_get_property(connection, 0, root, atoms.stacking, XCB_ATOM_WINDOW, 0, 4096);
    const xcb_get_property_cookie_t showingAsked =
        askCardinal(connection, root, atoms.showingDesktop);
    const xcb_get_property_cookie_t managedAsked =
        xcb_get_property(connection, 0, id, atoms.wmState, atoms.wmState, 0, 1);
    xcb_get_window_attributes_reply_t *attributes =
        xcb_get_window_attributes_reply(connection, attributesAsked, nullptr);
    const QList<quint32> state = numbers(connection, stateAsked);
    const QList<quint32> stacking = numbers(connection, stackingAsked);
    const std::optional<quint32> showingDesktop = cardinal(connection, showingAsked);
    const QList<quint32> managed = numbers(connection, managedAsked);
    const bool exists = attributes != nullptr;
    const bool viewable = exists && attributes->map_state == XCB_MAP_STATE_VIEWABLE;
    std::free(attributes);
    // Unmapped from outside, the window manager lets go of it (ICCCM's Withdrawn state,
    // 0, or none at all); on another workspace or minimised it keeps it.
    constexpr quint32 withdrawnState = 0;
    const bool withdrawn = !exists || managed.value(0, withdrawnState) == withdrawnState;

    constexpr quint32 remove = 0, add = 1, fromProgram = 1;
    if (showingDesktop.value_or(0) != 0)
        ask(connection, root, atoms.showingDesktop, {0});
    if (withdrawn) {
        // Unmapped, or destroyed, from outside: Qt still takes the window for shown.
        window->hide();
        if (!exists && window->windowHandle())
            window->windowHandle()->destroy();
        window->show();
    } else if (viewable) {
        if (state.contains(atoms.below) || state.contains(atoms.hidden))
            ask(connection, id, atoms.state, {remove, atoms.below, atoms.hidden, fromProgram});
        if (!state.contains(atoms.above))
            ask(connection, id, atoms.state, {add, atoms.above, 0, fromProgram});
    }
    // On the screen it was on: where it stood when held, or the middle of that screen
    // when even that was out of sight.
    QRect target = window->frameGeometry();
    const QScreen *screen = QGuiApplication::screenAt(place.center());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    const QRect room = screen ? screen->availableGeometry() : QRect();
    if (room.isValid() && !room.contains(target)) {
        target.moveTopLeft(place.topLeft());
        if (!room.contains(target))
            target.moveCenter(room.center());
        window->move(target.topLeft());
    }
    // On top of everything but the program's own windows (a dialog opened over it).
    QList<quint32> own;
    for (const QWidget *topLevel : QApplication::topLevelWidgets()) {
        if (topLevel->isVisible() && topLevel->internalWinId())
            own.append(quint32(topLevel->internalWinId()));
    }
    const bool onTop = !stacking.isEmpty() && own.contains(stacking.last());
    if (withdrawn || !onTop) {
        window->raise();
        window->activateWindow();
    }
    xcb_flush(connection);
}

} // namespace WindowSystem
