// SPDX-License-Identifier: GPL-3.0-or-later
#include "guard/SessionLocker.h"

#include <QDBusArgument>
#include <QDBusMetaType>
#include <QDBusPendingCallWatcher>

#include <cstdio>
#include <memory>

namespace {

const QString login1 = QStringLiteral("org.freedesktop.login1");
const QString managerPath = QStringLiteral("/org/freedesktop/login1");
const QString managerInterface = QStringLiteral("org.freedesktop.login1.Manager");
const QString sessionInterface = QStringLiteral("org.freedesktop.login1.Session");
const QString propertiesInterface = QStringLiteral("org.freedesktop.DBus.Properties");
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

// Only while some account is followed: otherwise a session that opens or locks costs the
// guard nothing, not even a wake-up.
void SessionLocker::follow(uint uid, bool follow)
{
    const bool before = !m_followed.isEmpty();
    if (follow)
        ++m_followed[uid];
    else if (m_followed.contains(uid) && --m_followed[uid] <= 0)
        m_followed.remove(uid);
    // Which sessions are the account's, so that their changes are told apart.
    if (follow)
        list(uid, {});
    if (before == !m_followed.isEmpty())
        return;
    const QString opened = QStringLiteral("SessionNew");
    const QString changed = QStringLiteral("PropertiesChanged");
    const char *openedSlot = SLOT(sessionNew(QString, QDBusObjectPath));
    const char *changedSlot =
        SLOT(propertiesChanged(QString, QVariantMap, QStringList, QDBusMessage));
    // Every session's changes, told apart by their path: one match rule for them all.
    if (follow) {
        m_bus.connect(login1, managerPath, managerInterface, opened, this, openedSlot);
        m_bus.connect(login1, QString(), propertiesInterface, changed, this, changedSlot);
    } else {
        m_bus.disconnect(login1, managerPath, managerInterface, opened, this, openedSlot);
        m_bus.disconnect(login1, QString(), propertiesInterface, changed, this, changedSlot);
    }
}

void SessionLocker::call(const QString &path, const QString &interface, const QString &method,
                         const QVariantList &arguments,
                         std::function<void(const QDBusMessage &)> done)
{
    QDBusMessage message = QDBusMessage::createMethodCall(login1, path, interface, method);
    message.setArguments(arguments);
    auto *pending = new QDBusPendingCallWatcher(m_bus.asyncCall(message, CallTimeoutMs), this);
    connect(pending, &QDBusPendingCallWatcher::finished, this,
            [done = std::move(done)](QDBusPendingCallWatcher *w) {
                w->deleteLater();
                done(w->reply());
            });
}

void SessionLocker::list(uint uid, std::function<void(bool)> done)
{
    auto waiting = m_listing.find(uid);
    if (waiting != m_listing.end()) {
        if (done)
            waiting->append(std::move(done));
        return;
    }
    m_listing.insert(uid, done ? QList<std::function<void(bool)>>{std::move(done)}
                               : QList<std::function<void(bool)>>());
    call(managerPath, managerInterface, QStringLiteral("ListSessions"), {},
         [this, uid](const QDBusMessage &reply) { listed(uid, reply); });
}

void SessionLocker::listed(uint uid, const QDBusMessage &reply)
{
    if (reply.type() != QDBusMessage::ReplyMessage ||
        reply.signature() != QLatin1String("a(susso)")) {
        report(QStringLiteral("logind did not list the sessions: %1").arg(reply.errorMessage()));
        for (const auto &done : m_listing.take(uid))
            done(false);
        return;
    }
    QList<Session> found;
    const QDBusArgument list = reply.arguments().constFirst().value<QDBusArgument>();
    list.beginArray();
    while (!list.atEnd()) {
        Session session;
        QString user, seat;
        uint owner = 0;
        QDBusObjectPath path;
        list.beginStructure();
        list >> session.id >> owner >> user >> seat >> path;
        list.endStructure();
        session.path = path.path();
        if (owner == uid && found.size() < MostSessions && session.id.size() <= LongestId)
            found.append(session);
    }
    list.endArray();
    if (found.isEmpty()) {
        described(uid, found);
        return;
    }
    // What each one is, asked of logind; told once every answer is in.
    auto left = std::make_shared<int>(int(found.size()));
    auto described = std::make_shared<QList<Session>>();
    for (const Session &session : std::as_const(found)) {
        call(session.path, propertiesInterface, QStringLiteral("GetAll"), {sessionInterface},
             [this, uid, session, left, described](const QDBusMessage &reply) {
                 if (reply.type() == QDBusMessage::ReplyMessage &&
                     reply.signature() == QLatin1String("a{sv}")) {
                     const QVariantMap properties =
                         qdbus_cast<QVariantMap>(reply.arguments().constFirst());
                     Session known = session;
                     known.type = properties.value(QStringLiteral("Type")).toString();
                     known.display = properties.value(QStringLiteral("Display")).toString();
                     known.locked = properties.value(QStringLiteral("LockedHint")).toBool();
                     if (isGraphical(known.type))
                         described->append(known);
                 } else {
                     report(QStringLiteral("logind did not describe session %1: %2")
                                .arg(session.id, reply.errorMessage()));
                 }
                 if (--*left == 0)
                     this->described(uid, *described);
             });
    }
}

void SessionLocker::described(uint uid, const QList<Session> &sessions)
{
    m_sessions.insert(uid, sessions);
    if (sessions.isEmpty() && !m_followed.contains(uid))
        m_sessions.remove(uid);
    for (const auto &done : m_listing.take(uid))
        done(true);
}

void SessionLocker::lock(uint uid, Way way)
{
    list(uid, [this, uid, way](bool listed) {
        if (!listed)
            return;
        const QString method =
            way == Way::Lock ? QStringLiteral("LockSession") : QStringLiteral("TerminateSession");
        for (const Session &session : sessions(uid)) {
            if (way == Way::Lock && session.locked)
                continue;
            call(managerPath, managerInterface, method, {session.id},
                 [method, id = session.id](const QDBusMessage &reply) {
                     if (reply.type() == QDBusMessage::ErrorMessage)
                         report(QStringLiteral("logind refused %1 of session %2: %3")
                                    .arg(method, id, reply.errorMessage()));
                 });
        }
    });
}

// A session that opened: logind, not the signal, says whose it is, and a followed
// account's is told as if it had been unlocked.
void SessionLocker::sessionNew(const QString &id, const QDBusObjectPath &path)
{
    if (m_followed.isEmpty() || id.isEmpty() || id.size() > LongestId)
        return;
    call(path.path(), propertiesInterface, QStringLiteral("Get"),
         {sessionInterface, QStringLiteral("User")}, [this](const QDBusMessage &reply) {
             if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
                 return;
             const QVariant value = reply.arguments().constFirst().value<QDBusVariant>().variant();
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
             if (m_followed.contains(uid))
                 list(uid, [this, uid](bool listed) {
                     if (listed)
                         emit unlocked(uid);
                 });
         });
}

void SessionLocker::propertiesChanged(const QString &interface, const QVariantMap &changed,
                                      const QStringList &, const QDBusMessage &message)
{
    const QVariant locked = changed.value(QStringLiteral("LockedHint"));
    if (interface != sessionInterface || !locked.isValid())
        return;
    for (auto account = m_sessions.begin(); account != m_sessions.end(); ++account) {
        for (Session &session : *account) {
            if (session.path != message.path())
                continue;
            session.locked = locked.toBool();
            if (!session.locked && m_followed.contains(account.key()))
                emit unlocked(account.key());
            return;
        }
    }
}
