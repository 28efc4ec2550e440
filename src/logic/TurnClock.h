// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDateTime>
#include <QtGlobal>

// The clocks a turn is counted by: a monotonic one that a stopped process, a busy
// thread or a changed wall clock cannot fool (on Linux it does not run while the
// machine sleeps), and the wall clock the record of turns is written in. Tests install
// a clock they move by hand; everything else reads the system's.
class TurnClock
{
public:
    virtual ~TurnClock() = default;

    // Milliseconds on the monotonic clock, from an arbitrary origin.
    virtual qint64 monotonicMs() const;
    virtual QDateTime utcNow() const;

    // The installed clock, or the system's.
    static TurnClock &instance();
    // Installs a clock in place of the system's; nullptr goes back to the system's. The
    // caller keeps ownership and uninstalls it before destroying it.
    static void install(TurnClock *clock);
};
