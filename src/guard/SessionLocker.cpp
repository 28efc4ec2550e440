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
// logind's ids are short ("c2", "42"); anything much longer is no session of its.
constexpr int LongestId = 256;

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
    if (m_ways.isEmpty())
        followNewSessions(true);
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
    if (m_ways.isEmpty())
        followNewSessions(false);
    const QStringList paths = m_watched.keys();
    for (const QString &path : paths) {
        if (m_watched.value(path).uid == uid)
            unwatch(path);
    }
}

// Only while some account is being locked: otherwise a new session costs the guard
// nothing, not even a wake-up.
void SessionLocker::followNewSessions(bool follow)
{
    const QString signal = QStringLiteral("SessionNew");
    const char *slot = SLOT(sessionNew(QString, QDBusObjectPath));
    if (follow)
        m_bus.connect(login1, managerPath, managerInterface, signal, this, slot);
    else
        m_bus.disconnect(login1, managerPath, managerInterface, signal, this, slot);
}

// A session that opened while an account is being locked: logind, not the signal, says
// whose it is and what type, and it is taken as those listed at the start.
void SessionLocker::sessionNew(const QString &id, const QDBusObjectPath &path)
{
    if (m_ways.isEmpty() || id.isEmpty() || id.size() > LongestId ||
        m_watched.contains(path.path()))
        return;
    QDBusMessage call = QDBusMessage::createMethodCall(login1, path.path(), propertiesInterface,
                                                       QStringLiteral("Get"));
    call << sessionInterface << QStringLiteral("User");
    auto *pending = new QDBusPendingCallWatcher(m_bus.asyncCall(call, CallTimeoutMs), this);
    connect(pending, &QDBusPendingCallWatcher::finished, this,
            [this, id, path](QDBusPendingCallWatcher *w) {
                w->deleteLater();
                const QDBusPendingReply<QDBusVariant> user = *w;
                if (user.isError())
                    return;
                const QVariant value = user.value().variant();
                if (value.userType() != qMetaTypeId<QDBusArgument>())
                    return;
                const QDBusArgument owner = value.value<QDBusArgument>();
                if (owner.currentSignature() != QLatin1String("(uo)"))
                    return;
                uint uid = 0;
                QDBusObjectPath userPath;
                owner.beginStructure();
                owner >> uid >> userPath;
                owner.endStructure();
                if (!m_ways.contains(uid))
                    return;
                int taken = 0;
                for (const Watched &watched : std::as_const(m_watched))
                    taken += watched.uid == uid;
                if (taken < MostSessions)
                    takeSession(uid, id, path.path());
            });
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
                // Taken already: listed and announced at the same time.
                if (type.isError() || !m_ways.contains(uid) || m_watched.contains(path) ||
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
