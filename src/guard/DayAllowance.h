// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "logic/TurnLog.h"

#include <QDate>
#include <QMap>
#include <QStringList>

#include <optional>

// A day's allowance of turns per child, as the lock sets it: seconds a day by child, a
// child not listed having no daily limit. A stretch of a turn counts on the local day it
// began, as in the Turns window's chart.
namespace DayAllowance {

// The seconds of turns each child had on day.
QMap<QString, qint32> usedOn(const QList<TurnLog::Entry> &entries, const QDate &day);

// Whose turn it is: from next on in order, the first child with time left, the turn's
// length shortened to what that child has left; nothing when no child has any.
std::optional<QString> whoseTurn(const QStringList &order, const QString &next,
                                 const QMap<QString, qint32> &allowance,
                                 const QMap<QString, qint32> &used, qint32 *length);

} // namespace DayAllowance
