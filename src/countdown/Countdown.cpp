// SPDX-License-Identifier: GPL-3.0-or-later
#include "countdown/Countdown.h"

#include <limits>

namespace Countdown {

QString startCaption()
{
    return QStringLiteral("&Start Timer");
}

QString stopCaption()
{
    return QStringLiteral("&Stop Timer");
}

QString readyText()
{
    return QStringLiteral("Timer Ready!");
}

QString startedText()
{
    return QStringLiteral("Timer Started!");
}

QString timeUpText()
{
    return QStringLiteral("Time's Up!");
}

qint32 nextCount(qint32 count)
{
    return count == std::numeric_limits<qint32>::max() ? count : count + 1;
}

QString timeLeftText(qint32 maxTime, qint32 count)
{
    const qint64 left = qMax<qint64>(0, qint64(maxTime) - count);
    return QStringLiteral("%1:%2").arg(left / 60).arg(left % 60, 2, 10, QLatin1Char('0'));
}

} // namespace Countdown
