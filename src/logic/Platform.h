// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QProcessEnvironment>

// Which of Qt's window-system platforms the program asks for. Wayland gives ordinary
// windows no way to stay on top, so the time's-up window could hide behind a game;
// when the session also offers an X display (XWayland), the program goes through it.
namespace Platform {

// The value for QT_QPA_PLATFORM, read from the session's variables: "xcb" in a
// Wayland session that also offers an X display; empty (leave Qt's own choice) when
// the platform is already chosen, on plain X11 and where only Wayland exists.
QByteArray choosePlatform(const QProcessEnvironment &env);

} // namespace Platform
