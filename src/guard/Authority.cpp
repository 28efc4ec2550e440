// SPDX-License-Identifier: GPL-3.0-or-later
#include "guard/Authority.h"

#include <QDBusArgument>
#include <QDBusMetaType>
#include <QDBusPendingCallWatcher>
#include <QMap>

namespace {

using Details = QMap<QString, QString>;

} // namespace

Authority::Authority(const QDBusConnection &bus, QObject *parent) : QObject(parent), m_bus(bus)
{
    qDBusRegisterMetaType<Details>();
}

void Authority::check(const QString &busName, const QString &action,
                      std::function<void(bool, const QString &)> done)
{
    QDBusMessage call =
        QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.PolicyKit1"),
                                       QStringLiteral("/org/freedesktop/PolicyKit1/Authority"),
                                       QStringLiteral("org.freedesktop.PolicyKit1.Authority"),
                                       QStringLiteral("CheckAuthorization"));
    // The subject is the caller's connection, which polkit looks up itself.
    QDBusArgument subject;
    subject.beginStructure();
    subject << QStringLiteral("system-bus-name") << QVariantMap{{QStringLiteral("name"), busName}};
    subject.endStructure();
    constexpr uint AllowUserInteraction = 1;
    call << QVariant::fromValue(subject) << action << QVariant::fromValue(Details())
         << AllowUserInteraction << QString();
    auto *pending = new QDBusPendingCallWatcher(m_bus.asyncCall(call, AnswerTimeoutMs), this);
    connect(pending, &QDBusPendingCallWatcher::finished, this,
            [done = std::move(done)](QDBusPendingCallWatcher *w) {
                w->deleteLater();
                const QDBusMessage reply = w->reply();
                if (reply.type() != QDBusMessage::ReplyMessage ||
                    reply.signature() != QLatin1String("(bba{ss})")) {
                    done(false,
                         QStringLiteral("polkit did not answer: %1").arg(reply.errorMessage()));
                    return;
                }
                const QDBusArgument result = reply.arguments().constFirst().value<QDBusArgument>();
                bool authorised = false, challenge = false;
                Details details;
                result.beginStructure();
                result >> authorised >> challenge >> details;
                result.endStructure();
                done(authorised, authorised ? QString() : QStringLiteral("polkit said no"));
            });
}
