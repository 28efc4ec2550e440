// SPDX-License-Identifier: GPL-3.0-or-later
#include "guard/GuardBus.h"

#include "guard/Guard.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

#include <algorithm>
#include <cstdio>

namespace {

constexpr int BusTimeoutMs = 10000;

QDBusMessage refused(const QDBusMessage &call, uint uid, const Guard::Refusal &refusal)
{
    std::fprintf(stderr, "turnkeeper-guard: uid %u: %s\n", uid, qPrintable(refusal.text));
    std::fflush(stderr);
    return call.createErrorReply(GuardProtocol::errorName(refusal.error), refusal.text);
}

} // namespace

GuardBus::GuardBus(Guard &guard, QObject *parent) : QObject(parent), m_guard(guard)
{}

void GuardBus::moveToBusThread(const QDBusConnection &bus)
{
    moveToThread(bus.interface()->thread());
}

// The big messages are gone before anything waits: an argument too long is refused
// before the bus is asked anything.
bool GuardBus::tooLong(const QString &child, const std::optional<QString> &password)
{
    QString text;
    if (child.size() > LongestChild)
        text =
            QStringLiteral("A child's name can be at most %1 characters long.").arg(LongestChild);
    // Each UTF-16 unit is at least one byte of UTF-8.
    else if (password &&
             (password->size() > LongestPassword || password->toUtf8().size() > LongestPassword))
        text = QStringLiteral("A password can be at most %1 bytes long.").arg(LongestPassword);
    if (text.isEmpty())
        return false;
    sendErrorReply(GuardProtocol::errorName(GuardProtocol::Error::InvalidArgument), text);
    return true;
}

void GuardBus::answer(std::function<std::optional<QDBusMessage>(uint, const QDBusMessage &)> answer)
{
    const QDBusMessage call = message();
    // Only this thread touches the count.
    if (m_waiting >= MostWaiting) {
        sendErrorReply(GuardProtocol::errorName(GuardProtocol::Error::LimitsExceeded),
                       QStringLiteral("The guard has too many calls waiting; try again."));
        return;
    }
    setDelayedReply(true);
    QDBusConnection bus = connection();
    QDBusMessage ask = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("GetConnectionUnixUser"));
    ask << call.service();
    ++m_waiting;
    auto *pending = new QDBusPendingCallWatcher(bus.asyncCall(ask, BusTimeoutMs), this);
    connect(pending, &QDBusPendingCallWatcher::finished, this,
            [this, bus, call, answer = std::move(answer)](QDBusPendingCallWatcher *w) mutable {
                w->deleteLater();
                --m_waiting;
                const QDBusPendingReply<uint> uid = *w;
                if (uid.isError()) {
                    bus.send(call.createErrorReply(
                        QDBusError::AccessDenied,
                        QStringLiteral("The bus could not say which account calls.")));
                    return;
                }
                // The guard answers on its own thread.
                QMetaObject::invokeMethod(
                    &m_guard, [bus, call, uid = uid.value(), answer = std::move(answer)]() mutable {
                        if (const std::optional<QDBusMessage> reply = answer(uid, call))
                            bus.send(*reply);
                    });
            });
}

QString GuardBus::Turn(uint &, uint &, QString &, uint &)
{
    answer([&guard = m_guard](uint uid, const QDBusMessage &call) {
        AccountTurns::Turn turn;
        if (const auto refusal = guard.turn(uid, &turn))
            return refused(call, uid, *refusal);
        return call.createReply({GuardProtocol::stateText(turn.state), uint(turn.length),
                                 uint(turn.elapsed), turn.child, uint(turn.breakLeft)});
    });
    return QString();
}

QList<TurnLog::Entry> GuardBus::Turns()
{
    answer([&guard = m_guard](uint uid, const QDBusMessage &call) {
        QList<TurnLog::Entry> entries;
        if (const auto refusal = guard.turns(uid, &entries))
            return refused(call, uid, *refusal);
        return call.createReply(QVariant::fromValue(entries));
    });
    return {};
}

void GuardBus::Start(const QString &child)
{
    if (tooLong(child, std::nullopt))
        return;
    answer([&guard = m_guard, child](uint uid, const QDBusMessage &call) {
        if (const auto refusal = guard.start(uid, child, std::nullopt))
            return refused(call, uid, *refusal);
        return call.createReply();
    });
}

void GuardBus::StartWithPassword(const QString &child, const QString &password)
{
    if (tooLong(child, password))
        return;
    answer([&guard = m_guard, child, password](uint uid, const QDBusMessage &call) {
        if (const auto refusal = guard.start(uid, child, password))
            return refused(call, uid, *refusal);
        return call.createReply();
    });
}

void GuardBus::Stop(const QString &password)
{
    if (tooLong(QString(), password))
        return;
    answer([&guard = m_guard, password](uint uid, const QDBusMessage &call) {
        if (const auto refusal = guard.stop(uid, password))
            return refused(call, uid, *refusal);
        return call.createReply();
    });
}

bool GuardBus::CheckPassword(const QString &password)
{
    if (tooLong(QString(), password))
        return false;
    answer([&guard = m_guard, password](uint uid, const QDBusMessage &call) {
        bool right = false;
        if (const auto refusal = guard.checkPassword(uid, password, &right))
            return refused(call, uid, *refusal);
        return call.createReply(right);
    });
    return false;
}

void GuardBus::Attach()
{
    answer([&guard = m_guard](uint uid, const QDBusMessage &call) {
        if (const auto refusal = guard.attach(uid, call.service()))
            return refused(call, uid, *refusal);
        return call.createReply();
    });
}

QVariantMap GuardBus::Rules()
{
    answer([&guard = m_guard](uint uid, const QDBusMessage &call) {
        return call.createReply(guard.rules(uid));
    });
    return {};
}

void GuardBus::SetRules(const QVariantMap &rules)
{
    // Each rule's value as small as a rule can be, and in a form of its own: what goes on
    // to the guard's thread keeps nothing of the message, which is freed here.
    QVariantMap small;
    bool fits = rules.size() <= MostEntries;
    for (auto rule = rules.begin(); fits && rule != rules.end(); ++rule) {
        const QVariant &value = rule.value();
        if (value.userType() == qMetaTypeId<QDBusArgument>()) {
            const QDBusArgument argument = value.value<QDBusArgument>();
            fits = argument.currentSignature() == QLatin1String("a{su}");
            const auto seconds =
                fits ? qdbus_cast<QMap<QString, uint>>(argument) : QMap<QString, uint>();
            fits = fits && seconds.size() <= MostEntries &&
                   std::none_of(seconds.keyBegin(), seconds.keyEnd(),
                                [](const QString &key) { return key.size() > LongestChild; });
            small.insert(rule.key(), QVariant::fromValue(seconds));
            continue;
        }
        const QStringList list = value.toStringList();
        fits = (value.typeId() == QMetaType::Bool || value.typeId() == QMetaType::UInt ||
                value.typeId() == QMetaType::QString || value.typeId() == QMetaType::QStringList) &&
               value.toString().size() <= LongestPassword && list.size() <= MostEntries &&
               std::none_of(list.begin(), list.end(),
                            [](const QString &entry) { return entry.size() > LongestChild; });
        small.insert(rule.key(), value);
    }
    if (!fits) {
        sendErrorReply(GuardProtocol::errorName(GuardProtocol::Error::InvalidArgument),
                       QStringLiteral("The rules are of types or sizes no family's are."));
        return;
    }
    answer([&guard = m_guard, small](uint uid,
                                     const QDBusMessage &call) -> std::optional<QDBusMessage> {
        guard.setRules(uid, call, small);
        return std::nullopt;
    });
}
