// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>

// Makes guessing the parent password on one account slow: the first wrong tries cost
// nothing, then each further try must wait twice as long as the one before it, up to
// five minutes. A right password forgives them all. Times are monotonic milliseconds;
// what is saved, to outlive the guard and the boot, counts in wall-clock milliseconds.
class PasswordBackoff
{
public:
    struct Saved
    {
        int wrong = 0;
        qint64 waitMs = 0;
        qint64 notBeforeUtcMs = 0;
    };

    static constexpr int FreeTries = 5;
    static constexpr qint64 FirstWaitMs = 1000;
    static constexpr qint64 LongestWaitMs = 5 * 60 * 1000;

    // Milliseconds until a try may be checked; 0 when one may be now.
    qint64 waitLeft(qint64 nowMs) const;
    void wrong(qint64 nowMs);
    void right();
    int wrongTries() const { return m_wrong; }

    Saved saved(qint64 nowMs, qint64 nowUtcMs) const;
    // A wait that was saved goes on, never longer than the longest.
    static PasswordBackoff restored(const Saved &saved, qint64 nowMs, qint64 nowUtcMs);

private:
    int m_wrong = 0;
    qint64 m_wait = 0;
    qint64 m_notBefore = 0;
};
