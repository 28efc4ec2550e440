// SPDX-License-Identifier: GPL-3.0-or-later
#include "guard/PasswordBackoff.h"

#include <algorithm>

qint64 PasswordBackoff::waitLeft(qint64 nowMs) const
{
    return std::max<qint64>(0, m_notBefore - nowMs);
}

void PasswordBackoff::wrong(qint64 nowMs)
{
    // Past the longest wait the count no longer matters; it must not overflow.
    m_wrong = std::min(m_wrong + 1, FreeTries + 64);
    if (m_wrong < FreeTries)
        return;
    m_wait = m_wait == 0 ? FirstWaitMs : std::min(m_wait * 2, LongestWaitMs);
    m_notBefore = nowMs + m_wait;
}

void PasswordBackoff::right()
{
    *this = PasswordBackoff();
}

PasswordBackoff::Saved PasswordBackoff::saved(qint64 nowMs, qint64 nowUtcMs) const
{
    return {m_wrong, m_wait, nowUtcMs + waitLeft(nowMs)};
}

PasswordBackoff PasswordBackoff::restored(const Saved &saved, qint64 nowMs, qint64 nowUtcMs)
{
    PasswordBackoff backoff;
    backoff.m_wrong = std::clamp(saved.wrong, 0, FreeTries + 64);
    backoff.m_wait = std::clamp<qint64>(saved.waitMs, 0, LongestWaitMs);
    backoff.m_notBefore =
        nowMs + std::clamp<qint64>(saved.notBeforeUtcMs - nowUtcMs, 0, LongestWaitMs);
    return backoff;
}
