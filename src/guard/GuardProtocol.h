// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "logic/Countdown.h"

#include <QString>

#include <optional>

// What the guard and the program say to each other on the bus, written once for both:
// the guard at io.github.turnkeeper.Guard1, the window's object that the guard calls,
// the errors the guard answers with, and the turn's state as text.
namespace GuardProtocol {

inline const QString service = QStringLiteral("io.github.turnkeeper.Guard1");
inline const QString path = QStringLiteral("/io/github/turnkeeper/Guard1");
inline const QString interface = QStringLiteral("io.github.turnkeeper.Guard1");

// The object each program exports for the guard: ShowTimeUp() -> b.
inline const QString windowPath = QStringLiteral("/io/github/turnkeeper/Window");
inline const QString windowInterface = QStringLiteral("io.github.turnkeeper.Window1");
inline const QString showTimeUp = QStringLiteral("ShowTimeUp");

// Signals, sent to each attached connection of the account alone.
inline const QString turnChanged = QStringLiteral("TurnChanged");
inline const QString timeUp = QStringLiteral("TimeUp");
// The lock was lifted: the program keeps its own turn again.
inline const QString released = QStringLiteral("Released");

// The polkit action that a change of the family's rules needs.
inline const QString setRulesAction = QStringLiteral("io.github.turnkeeper.set-rules");

// io.github.turnkeeper.Guard1.Error.<name>
enum class Error {
    NotLocked,
    InvalidArgument,
    WrongPassword,
    TooManyTries,
    OnBreak,
    LimitsExceeded,
    // Every child has had the day's allowance.
    NoTimeLeft,
    // polkit did not authorise the change of the family's rules.
    NotAuthorized
};
QString errorName(Error error);

// "ready", "running", "timeup".
QString stateText(Countdown::State state);
std::optional<Countdown::State> stateFrom(const QString &text);

} // namespace GuardProtocol
