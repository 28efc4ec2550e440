// SPDX-License-Identifier: GPL-3.0-or-later
#include "logic/TurnClock.h"

#include <QDeadlineTimer>

namespace {
TurnClock *installedClock = nullptr;
} // namespace

qint64 TurnClock::monotonicMs() const
{
    // CLOCK_MONOTONIC: it goes on while the process is stopped and stands still while
    // the machine sleeps.
    return QDeadlineTimer::current(Qt::PreciseTimer).deadline();
}

QDateTime TurnClock::utcNow() const
{
    return QDateTime::currentDateTimeUtc();
}

TurnClock &TurnClock::instance()
{
    static TurnClock system;
    return installedClock ? *installedClock : system;
}

void TurnClock::install(TurnClock *clock)
{
    installedClock = clock;
}
