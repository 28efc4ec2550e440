// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "logic/TurnLog.h"

#include <QDBusArgument>
#include <QList>
#include <QMetaType>

// The record of turns on D-Bus, as the guard sends it to the Turns window: each stretch
// as (sxxxiis): child, turnStarted, started, ended (UTC milliseconds since the epoch;
// ended 0 while the stretch runs), length, used (seconds), ending (as
// TurnLog::endingText, empty while the stretch runs). The stretch's id stays behind.
namespace TurnLogWire {

// The most stretches one answer carries, newest first.
constexpr int MostEntries = 1000;

// Makes TurnLog::Entry and its list known to Qt D-Bus; called before the first call or
// answer that carries them.
void registerTypes();

} // namespace TurnLogWire

Q_DECLARE_METATYPE(TurnLog::Entry)

QDBusArgument &operator<<(QDBusArgument &argument, const TurnLog::Entry &entry);
// What does not make sense (an unknown ending, times out of range, a negative length)
// is read as nothing: an invalid time, no ending, 0 seconds.
const QDBusArgument &operator>>(const QDBusArgument &argument, TurnLog::Entry &entry);
