// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QRect;
class QString;
class QWidget;

// What the program asks of the window system beyond Qt's own window calls: bringing
// back a window that a child has put out of sight, by minimising it or by moving it to
// another workspace.
namespace WindowSystem {

// Restores a minimised window and, where the window manager keeps workspaces (EWMH on
// X11), moves it to the workspace in view. Its place and size on the screen stay.
void bringIntoView(QWidget *window);

// Puts back a window that the outside world moved while it must be seen: mapped again
// (made anew when it was destroyed), on its screen at place or in the middle of that
// screen, on the workspace in view, out of "show desktop", above other windows and
// raised. Asks the window system in one round trip, besides the workspace's; changes
// only what is out of place.
void holdInView(QWidget *window, const QRect &place);

// Whether the window is where a person can see it: exposed, on a platform that shows
// windows on a screen (X11 or Wayland), not on one that draws them nowhere (offscreen,
// minimal). The platform is the running one unless given.
bool onScreen(const QWidget *window);
bool onScreen(const QWidget *window, const QString &platform);

} // namespace WindowSystem
