// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QtGlobal>

#include <optional>

// What a guard started again makes of the running turn it saved: the monotonic clock is
// exact but starts again with each boot, so it counts only in the boot that saved it;
// after a reboot the turn goes on from what its last save had counted.
namespace TurnProgress {

struct Saved
{
    QString bootId;
    std::optional<qint64> originMs;  // monotonic milliseconds at which the count was 0
    std::optional<qint64> elapsedMs; // what the last save had counted
};

// Milliseconds of the turn gone now, from 0 to the turn's length.
qint64 gone(const Saved &saved, const QString &bootId, qint64 nowMs, qint32 lengthSeconds);

} // namespace TurnProgress
