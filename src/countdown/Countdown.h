// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QtGlobal>

// The countdown's fixed texts and its counting rule, apart from the window that
// shows them.
namespace Countdown {

inline constexpr int TickMilliseconds = 1000;

QString startCaption(); // "&Start Timer"
QString stopCaption();  // "&Stop Timer"
QString readyText();    // "Timer Ready!"
QString startedText();  // "Timer Started!"
QString timeUpText();   // "Time's Up!"

// The count after one more tick. It never wraps: at the largest count it stays.
qint32 nextCount(qint32 count);

// The time left of a running turn as minutes and seconds: 599 seconds give "9:59".
QString timeLeftText(qint32 maxTime, qint32 count);

} // namespace Countdown
