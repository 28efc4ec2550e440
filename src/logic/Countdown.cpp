// SPDX-License-Identifier: GPL-3.0-or-later
#include "logic/Countdown.h"

#include <limits>

QString Countdown::startCaption()
{
    return QStringLiteral("&Start Timer");
}

QString Countdown::stopCaption()
{
    return QStringLiteral("&Stop Timer");
}

QString Countdown::readyText()
{
    return QStringLiteral("Timer Ready!");
}

QString Countdown::startedText()
{
    return QStringLiteral("Timer Started!");
}

QString Countdown::timeUpText()
{
    return QStringLiteral("Time's Up!");
}

qint32 Countdown::nextCount(qint32 count)
{
    return count == std::numeric_limits<qint32>::max() ? count : count + 1;
}

QString Countdown::timeLeftText(qint32 length, qint32 count)
{
    const qint64 left = qMax<qint64>(0, qint64(length) - count);
    return QStringLiteral("%1:%2").arg(left / 60).arg(left % 60, 2, 10, QLatin1Char('0'));
}

void Countdown::start(qint32 length)
{
    m_state = State::Running;
    m_length = length;
}

Countdown::State Countdown::resume(qint32 length, qint32 elapsed)
{
    m_length = length;
    if (elapsed < length) {
        m_state = State::Running;
        m_count = qMax(0, elapsed);
    } else {
        m_state = State::TimeUp;
        m_count = 0;
    }
    return m_state;
}

void Countdown::reset()
{
    m_state = State::Ready;
    m_count = 0;
}

bool Countdown::inLastMinute() const
{
    return isRunning() && m_length > WarnedTurnsLongerThan &&
           qint64(m_count) >= qint64(m_length) - WarningBeforeEnd;
}

Countdown::Tick Countdown::tick()
{
    m_count = nextCount(m_count);
    if (m_count != m_length) {
        const bool warning = m_length > WarnedTurnsLongerThan &&
                             qint64(m_count) == qint64(m_length) - WarningBeforeEnd;
        return warning ? Tick::Warning : Tick::Ticked;
    }
    m_state = State::TimeUp;
    m_count = 0;
    return Tick::TimeUp;
}
