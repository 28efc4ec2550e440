// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QHash>
#include <QObject>
#include <QSet>
#include <QVariantMap>

#include <functional>

// What the guard asks of logind, and never of the accounts themselves: which graphical
// sessions an account has, on which display, whether each is locked; locking them (or
// ending them, for desktops without a screen locker); and word of each session of a
// followed account that is unlocked or opens. Every call is asynchronous and bounded in
// time; one that fails is only said in the log, and whoever asked asks again.
class SessionLocker : public QObject
{
    Q_OBJECT
public:
    enum class Way { Lock, Logout };

    struct Session
    {
        QString id;
        QString path;
        QString type;    // x11, wayland, tty...
        QString display; // an X11 session's display, ":0"
        bool locked = false;
    };

    // logind answers at once; a hung one must not keep anything waiting long.
    static constexpr int CallTimeoutMs = 5000;
    // More sessions than this for one account are not looked at.
    static constexpr int MostSessions = 64;

    explicit SessionLocker(const QDBusConnection &bus, QObject *parent = nullptr);

    // Tells of every session of the account that is unlocked or opens, for as long as
    // anyone who asked for it has not said otherwise.
    void follow(uint uid, bool follow);
    // Lists the account's sessions afresh, then calls done with whether logind answered.
    void list(uint uid, std::function<void(bool listed)> done);
    // The account's graphical sessions, as last listed.
    QList<Session> sessions(uint uid) const { return m_sessions.value(uid); }
    // Lists the account's sessions, then locks (or ends) each graphical one that is not
    // locked already.
    void lock(uint uid, Way way);

signals:
    // A graphical session of a followed account was unlocked, or opened.
    void unlocked(uint uid);

private slots:
    void sessionNew(const QString &id, const QDBusObjectPath &path);
    void propertiesChanged(const QString &interface, const QVariantMap &changed,
                           const QStringList &invalidated, const QDBusMessage &message);

private:
    void listed(uint uid, const QDBusMessage &reply);
    void described(uint uid, const QList<Session> &sessions);
    void call(const QString &path, const QString &interface, const QString &method,
              const QVariantList &arguments, std::function<void(const QDBusMessage &)> done);

    QDBusConnection m_bus;
    // How many ask to follow each account.
    QHash<uint, int> m_followed;
    QHash<uint, QList<Session>> m_sessions;
    // Listings under way, with who waits for each.
    QHash<uint, QList<std::function<void(bool)>>> m_listing;
};
