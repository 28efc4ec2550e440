// SPDX-License-Identifier: GPL-3.0-or-later
#include "logic/Countdown.h"

QString Countdown::startCaption()
{
    //: The Timer menu's entry that starts a turn. The same entry reads "&Stop Timer"
    //: while a turn runs. & marks the access key (Alt and that letter); keep it apart
    //: from the one of "&Set Time" in the same menu.
    return tr("&Start Timer");
}

QString Countdown::stopCaption()
{
    //: The Timer menu's entry that stops the running turn (a parent's password is
    //: asked). It takes the place of "&Start Timer" while a turn runs. & marks the
    //: access key; keep it apart from the one of "&Set Time".
    return tr("&Stop Timer");
}

QString Countdown::readyText()
{
    //: In big letters in the main window while no turn runs: a turn can be started.
    return tr("Timer Ready!");
}

QString Countdown::startedText()
{
    //: In big letters in the main window when a turn has begun.
    return tr("Timer Started!");
}

QString Countdown::timeUpText()
{
    //: In big letters, with a horn and a red window, when a turn is over; also the
    //: text of the desktop's notice. A child reads it: short and clear.
    return tr("Time's Up!");
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

Countdown::Tick Countdown::advanceTo(qint32 elapsed)
{
    const qint32 before = m_count;
    if (elapsed <= before)
        return Tick::Ticked;
    if (elapsed >= m_length) {
        m_state = State::TimeUp;
        m_count = 0;
        return Tick::TimeUp;
    }
    m_count = elapsed;
    const qint64 warnAt = qint64(m_length) - WarningBeforeEnd;
    const bool warning = m_length > WarnedTurnsLongerThan && before < warnAt && elapsed >= warnAt;
    return warning ? Tick::Warning : Tick::Ticked;
}
