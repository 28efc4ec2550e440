// SPDX-License-Identifier: GPL-3.0-or-later
#include "guard/TurnProgress.h"

namespace TurnProgress {

qint64 gone(const Saved &saved, const QString &bootId, qint64 nowMs, qint32 lengthSeconds)
{
    qint64 counted = 0;
    if (!bootId.isEmpty() && saved.bootId == bootId && saved.originMs)
        counted = nowMs - *saved.originMs;
    else if (saved.elapsedMs)
        counted = *saved.elapsedMs;
    return qBound(qint64(0), counted, qint64(lengthSeconds) * 1000);
}

} // namespace TurnProgress
