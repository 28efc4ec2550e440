// SPDX-License-Identifier: GPL-3.0-or-later
#include "guard/RulesWire.h"

#include "logic/TimerLength.h"

#include <QDBusArgument>
#include <QDBusMetaType>

namespace RulesWire {

namespace {

using Seconds = QMap<QString, uint>;

const QString locked = QStringLiteral("Locked");
const QString length = QStringLiteral("Length");
const QString breakKey = QStringLiteral("Break");
const QString outsideTurns = QStringLiteral("OutsideTurns");
const QString accounts = QStringLiteral("Accounts");
const QString children = QStringLiteral("Children");
const QString allowance = QStringLiteral("Allowance");
const QString password = QStringLiteral("Password");
const QString used = QStringLiteral("Used");

Seconds toSeconds(const QMap<QString, qint32> &values)
{
    Seconds seconds;
    for (auto value = values.begin(); value != values.end(); ++value)
        seconds.insert(value.key(), uint(qMax(0, value.value())));
    return seconds;
}

// The value's D-Bus signature, whatever Qt made of it.
QString signatureOf(const QVariant &value)
{
    if (value.userType() == qMetaTypeId<QDBusArgument>())
        return value.value<QDBusArgument>().currentSignature();
    if (value.userType() == qMetaTypeId<Seconds>())
        return QStringLiteral("a{su}");
    switch (value.typeId()) {
    case QMetaType::Bool:
        return QStringLiteral("b");
    case QMetaType::UInt:
        return QStringLiteral("u");
    case QMetaType::QString:
        return QStringLiteral("s");
    case QMetaType::QStringList:
        return QStringLiteral("as");
    default:
        return QString();
    }
}

} // namespace

void registerTypes()
{
    qDBusRegisterMetaType<Seconds>();
}

QVariantMap toWire(const SystemLock &lock, const QMap<QString, qint32> &usedToday)
{
    const SystemLock::Rules &rules = lock.rules();
    QVariantMap wire{{locked, lock.isLocked()}};
    if (!lock.isLocked())
        return wire;
    wire.insert(length, uint(lock.maxTime().value_or(TimerLength::DefaultSeconds)));
    wire.insert(breakKey, uint(lock.breakSeconds().value_or(0)));
    wire.insert(outsideTurns,
                rules.lockOutsideTurns ? QStringLiteral("lock") : QStringLiteral("allow"));
    wire.insert(accounts, rules.accounts);
    wire.insert(children, rules.children);
    wire.insert(allowance, QVariant::fromValue(toSeconds(rules.allowance)));
    wire.insert(used, QVariant::fromValue(toSeconds(usedToday)));
    return wire;
}

std::optional<Change> fromWire(const QVariantMap &wire, const SystemLock &inForce, QString *refusal)
{
    static const QMap<QString, QString> signatures = {
        {locked, QStringLiteral("b")},        {length, QStringLiteral("u")},
        {breakKey, QStringLiteral("u")},      {outsideTurns, QStringLiteral("s")},
        {accounts, QStringLiteral("as")},     {children, QStringLiteral("as")},
        {allowance, QStringLiteral("a{su}")}, {password, QStringLiteral("s")}};
    for (auto entry = wire.begin(); entry != wire.end(); ++entry) {
        if (!signatures.contains(entry.key())) {
            *refusal = QStringLiteral("%1 is no rule").arg(entry.key());
            return std::nullopt;
        }
        if (signatureOf(entry.value()) != signatures.value(entry.key())) {
            *refusal = QStringLiteral("%1 takes the type %2")
                           .arg(entry.key(), signatures.value(entry.key()));
            return std::nullopt;
        }
    }

    Change change;
    change.rules = inForce.isLocked() ? inForce.rules() : SystemLock::Rules();
    SystemLock::Rules &rules = change.rules;
    change.locked = wire.value(locked, true).toBool();
    if (wire.contains(length))
        rules.maxTime = qint32(qMin<uint>(wire.value(length).toUInt(), INT_MAX));
    if (wire.contains(breakKey)) {
        const uint seconds = wire.value(breakKey).toUInt();
        rules.breakSeconds =
            seconds ? std::optional(qint32(qMin<uint>(seconds, INT_MAX))) : std::nullopt;
    }
    if (wire.contains(outsideTurns)) {
        const QString way = wire.value(outsideTurns).toString();
        if (way != QLatin1String("allow") && way != QLatin1String("lock")) {
            *refusal = QStringLiteral("OutsideTurns is allow or lock");
            return std::nullopt;
        }
        rules.lockOutsideTurns = way == QLatin1String("lock");
    }
    if (wire.contains(accounts))
        rules.accounts = wire.value(accounts).toStringList();
    if (wire.contains(children))
        rules.children = wire.value(children).toStringList();
    if (wire.contains(allowance)) {
        rules.allowance.clear();
        const Seconds seconds = qdbus_cast<Seconds>(wire.value(allowance));
        for (auto child = seconds.begin(); child != seconds.end(); ++child) {
            if (child.value() > uint(SystemLock::LongestAllowanceSeconds)) {
                *refusal = QStringLiteral("an allowance is at most a day");
                return std::nullopt;
            }
            if (child.value() > 0)
                rules.allowance.insert(child.key(), qint32(child.value()));
        }
    } else {
        // Children no longer listed lose theirs.
        for (const QString &child : rules.allowance.keys()) {
            if (!rules.children.contains(child))
                rules.allowance.remove(child);
        }
    }
    if (wire.contains(password)) {
        change.password = wire.value(password).toString();
        if (change.password->isEmpty() || change.password->toUtf8().size() > 1024) {
            *refusal = QStringLiteral("a password has from 1 to 1024 bytes");
            return std::nullopt;
        }
    }
    *refusal = change.locked ? SystemLock::rulesRefusal(rules) : QString();
    if (refusal->isEmpty() && change.locked && !change.password && !inForce.hasUsableHash())
        *refusal = QStringLiteral("a lock needs a parent password");
    if (!refusal->isEmpty())
        return std::nullopt;
    return change;
}

} // namespace RulesWire
