// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "logic/TurnLog.h"

#include <QDateTime>
#include <QString>

#include <optional>

// A running turn is kept in the settings store as well, so that it outlives the
// program: killed, or ended with the desktop session, the program resumes it at its
// next start instead of offering a fresh full turn. Kept in a group of its own:
//   [Turn]
//   Length=600
//   Started=2026-12-07T17:30:05Z
//   Child=Ann
struct RecordedTurn
{
    qint32 length = 0; // seconds, as the turn started with them
    QDateTime started; // UTC
    QString child;     // whose turn it is; empty when no names are entered
};

namespace TurnRecord {

inline const QString section = QStringLiteral("Turn");

// A turn that ended longer ago than this is forgotten rather than shown as Time's Up.
inline constexpr qint64 timeUpShownForSeconds = 3600;

// What a new start makes of a recorded turn.
struct Resumption
{
    enum class Kind { Forget, Running, TimeUp };
    Kind kind = Kind::Forget;
    qint32 elapsed = 0; // whole seconds of the turn already gone, for Running
};

// The recorded turn, or nothing when there is none or it does not read as one.
std::optional<RecordedTurn> read();

// Whether the group holds anything at all, a turn or something that does not read as
// one.
bool anythingRecorded();

// Stores the turn through the settings store's checked save; false, with a reason in
// errorMessage, when it did not reach the disk.
[[nodiscard]] bool write(const RecordedTurn &turn, QString *errorMessage = nullptr);
[[nodiscard]] bool clear(QString *errorMessage = nullptr);

// The turn with time left goes on where the clock says (a start in the future counts
// as no time gone); one that ended within the hour shows Time's Up; any other is
// forgotten.
Resumption resume(const RecordedTurn &turn, const QDateTime &now);

// Brings the record of turns up to date at a new start, for the recorded turn (if any
// reads) and what becomes of it. A stretch left running by a program that was killed
// ends: now when its turn goes on, at the turn's end when that came meanwhile, and
// as abandoned when its turn is forgotten. The turn's next stretch begins where its
// stretches stopped, so that they add up to the turn's time. Answers the id of the
// stretch that runs from now, if any.
std::optional<qint64> settleLog(TurnLog &log, const std::optional<RecordedTurn> &turn,
                                Resumption::Kind kind, const QDateTime &now);

// The moment in the form the record keeps: ISO 8601 in UTC, to the second.
QString timeText(const QDateTime &moment);
// Reads such a text; an invalid moment for anything else.
QDateTime timeFromText(const QString &text);

} // namespace TurnRecord
