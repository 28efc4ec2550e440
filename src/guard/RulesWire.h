// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "logic/SystemLock.h"

#include <QMap>
#include <QString>
#include <QVariantMap>

#include <optional>

// The family's rules on the bus, as the guard's Rules() gives them and SetRules() takes
// them: a{sv} with Locked (b), Length (u, seconds), Break (u, seconds; 0: none),
// OutsideTurns (s: allow or lock), Accounts (as), Children (as), Allowance (a{su}:
// seconds a day by child; a child not there, or 0, has no daily limit), Password (s,
// only to set it) and, from Rules() alone, Used (a{su}: the seconds each child of the
// caller's account has had today).
namespace RulesWire {

using Change = SystemLock::Change;

// Makes the maps known to Qt D-Bus; called before the first call or answer that carries
// them.
void registerTypes();

QVariantMap toWire(const SystemLock &lock, const QMap<QString, qint32> &usedToday);
// The rules given over those in force, each value checked by its type and as the lock
// tool checks it; nothing, with the reason, for anything else.
std::optional<Change> fromWire(const QVariantMap &wire, const SystemLock &inForce,
                               QString *refusal);

} // namespace RulesWire
