// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QWidget;

// What the program asks of the window system beyond Qt's own window calls: bringing
// back a window that a child has put out of sight, by minimising it or by moving it to
// another workspace.
namespace WindowSystem {

// Restores a minimised window and, where the window manager keeps workspaces (EWMH on
// X11), moves it to the workspace in view. Its place and size on the screen stay.
void bringIntoView(QWidget *window);

} // namespace WindowSystem
