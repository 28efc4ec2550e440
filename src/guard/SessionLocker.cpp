// SPDX-License-Identifier: GPL-3.0-or-later
#include "guard/SessionLocker.h"

#include <QDBusArgument>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>

#include <cstdio>

namespace {

const QString login1 = QStringLiteral("org.freedesktop.login1");
const QString managerPath = QStringLiteral("/org/freedesktop/login1");
const QString managerInterface = QStringLiteral("org.freedesktop.login1.Manager");
const QString sessionInterface = QStringLiteral("org.freedesktop.login1.Session");
const QString propertiesInterface = QStringLiteral("org.freedesktop.DBus.Properties");
// logind answers at once; a hung one must not keep calls waiting for long.
constexpr int CallTimeoutMs = 10000;
// More sessions than this for one account are not looked at.
constexpr int MostSessions = 64;

void report(const QString &text)
{
    std::fprintf(stderr, "turnkeeper-guard: %s\n", qPrintable(text));
    std::fflush(stderr);
}

bool isGraphical(const QString &type)
{
    return type == QLatin1String("x11") || type == QLatin1String("wayland") ||
           type == QLatin1String("mir");
}

} // namespace

SessionLocker::SessionLocker(const QDBusConnection &bus, QObject *parent)
    : QObject(parent), m_bus(bus)
{}

void SessionLocker::begin(uint uid, Way way)
{
    if (m_ways.contains(uid))
        return;
    m_ways.insert(uid, way);
    report(QStringLiteral("uid %1: nobody shows the time's up; %2 its graphical sessions")
               .arg(uid)
               .arg(way == Way::Lock ? QStringLiteral("locking") : QStringLiteral("ending")));
    listSessions(uid);
}

void SessionLocker::end(uint uid)
{
    if (!m_ways.remove(uid))
        return;
    const QStringList paths = m_watched.keys();
    for (const QString &path : paths) {
        if (m_watched.value(path).uid == uid)
            unwatch(path);
    }
}

void SessionLocker::listSessions(uint uid)
{
    const QDBusMessage call = QDBusMessage::createMethodCall(login1, managerPath, managerInterface,
                                                             QStringLiteral("ListSessions"));
    auto *pending = new QDBusPendingCallWatcher(m_bus.asyncCall(call, CallTimeoutMs), this);
    connect(pending, &QDBusPendingCallWatcher::finished, this,
            [this, uid](QDBusPendingCallWatcher *w) {
                w->deleteLater();
                const QDBusMessage reply = w->reply();
                if (reply.type() != QDBusMessage::ReplyMessage ||
                    reply.signature() != QLatin1String("a(susso)")) {
                    report(QStringLiteral("logind did not list the sessions: %1")
                               .arg(reply.errorMessage()));
                    return;
                }
                if (!m_ways.contains(uid))
                    return;
                const QDBusArgument list = reply.arguments().constFirst().value<QDBusArgument>();
                int taken = 0;
                list.beginArray();
                while (!list.atEnd()) {
                    QString id, user, seat;
                    uint owner = 0;
                    QDBusObjectPath path;
                    list.beginStructure();
                    list >> id >> owner >> user >> seat >> path;
                    list.endStructure();
                    if (owner == uid && taken++ < MostSessions)
                        takeSession(uid, id, path.path());
                }
                list.endArray();
            });
}

// Locks the session if it is a graphical one, and watches it.
void SessionLocker::takeSession(uint uid, const QString &id, const QString &path)
{
    QDBusMessage call =
        QDBusMessage::createMethodCall(login1, path, propertiesInterface, QStringLiteral("Get"));
    call << sessionInterface << QStringLiteral("Type");
    auto *pending = new QDBusPendingCallWatcher(m_bus.asyncCall(call, CallTimeoutMs), this);
    connect(pending, &QDBusPendingCallWatcher::finished, this,
            [this, uid, id, path](QDBusPendingCallWatcher *w) {
                w->deleteLater();
                const QDBusPendingReply<QDBusVariant> type = *w;
                if (type.isError() || !m_ways.contains(uid) ||
                    !isGraphical(type.value().variant().toString()))
                    return;
                watch(path, uid, id);
                lock(uid, id);
            });
}

void SessionLocker::lock(uint uid, const QString &id)
{
    const Way way = m_ways.value(uid);
    const QString method =
        way == Way::Lock ? QStringLiteral("LockSession") : QStringLiteral("TerminateSession");
    QDBusMessage call =
        QDBusMessage::createMethodCall(login1, managerPath, managerInterface, method);
    call << id;
    auto *pending = new QDBusPendingCallWatcher(m_bus.asyncCall(call, CallTimeoutMs), this);
    connect(pending, &QDBusPendingCallWatcher::finished, this,
            [id, method](QDBusPendingCallWatcher *w) {
                w->deleteLater();
                if (w->isError())
                    report(QStringLiteral("logind refused %1 of session %2: %3")
                               .arg(method, id, w->error().message()));
            });
}

void SessionLocker::watch(const QString &path, uint uid, const QString &id)
{
    if (m_watched.contains(path))
        return;
    m_watched.insert(path, {uid, id});
    m_bus.connect(login1, path, propertiesInterface, QStringLiteral("PropertiesChanged"), this,
                  SLOT(propertiesChanged(QString, QVariantMap, QStringList, QDBusMessage)));
}

void SessionLocker::unwatch(const QString &path)
{
    m_watched.remove(path);
    m_bus.disconnect(login1, path, propertiesInterface, QStringLiteral("PropertiesChanged"), this,
                     SLOT(propertiesChanged(QString, QVariantMap, QStringList, QDBusMessage)));
}

void SessionLocker::propertiesChanged(const QString &interface, const QVariantMap &changed,
                                      const QStringList &, const QDBusMessage &message)
{
    const auto watched = m_watched.constFind(message.path());
    if (interface != sessionInterface || watched == m_watched.constEnd())
        return;
    const QVariant locked = changed.value(QStringLiteral("LockedHint"));
    if (locked.isValid() && !locked.toBool() && m_ways.contains(watched->uid))
        lock(watched->uid, watched->id);
}
