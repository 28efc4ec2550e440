// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// Tells the desktop session through its notification service (the freedesktop
// Notifications interface on the session bus), so that a time's up reaches the child
// also where no window may stay on top. It never waits on the bus: a notice goes out
// and the answer, or the lack of one, comes back later. Where no service answers,
// that is said once on standard error and nothing else changes.
namespace DesktopNotifications {

struct Notice
{
    QString applicationName;
    QString icon;         // an icon name of the desktop's theme
    QString desktopEntry; // the desktop entry's id, without ".desktop"; may be empty
    QString summary;
    QString body;
};

// The freedesktop sound theme's name for an alarm that has gone off.
inline const QString alarmSound = QStringLiteral("alarm-clock-elapsed");

// Connects to the session bus ahead of the first notice, so that the first one does
// not pay for it.
void prepare();

// Sends a critical notice with the alarm's sound; it replaces the one sent before.
void sendAlarm(const Notice &notice);

} // namespace DesktopNotifications
