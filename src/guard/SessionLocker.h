// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QHash>
#include <QObject>
#include <QSet>
#include <QVariantMap>

// Keeps the graphical sessions of an account locked through logind while its time's up
// stands and no window of its shows it: locks each one (or ends it, for desktops
// without a screen locker), locks it again whenever its LockedHint turns false, and
// takes in the same way each session of the account that opens meanwhile.
class SessionLocker : public QObject
{
    Q_OBJECT
public:
    enum class Way { Lock, Logout };

    explicit SessionLocker(const QDBusConnection &bus, QObject *parent = nullptr);

    void begin(uint uid, Way way);
    void end(uint uid);
    bool isLocking(uint uid) const { return m_ways.contains(uid); }

private slots:
    void sessionNew(const QString &id, const QDBusObjectPath &path);
    void propertiesChanged(const QString &interface, const QVariantMap &changed,
                           const QStringList &invalidated, const QDBusMessage &message);

private:
    struct Watched
    {
        uint uid = 0;
        QString id;
    };

    void followNewSessions(bool follow);
    void listSessions(uint uid);
    void takeSession(uint uid, const QString &id, const QString &path);
    void lock(uint uid, const QString &id);
    void watch(const QString &path, uint uid, const QString &id);
    void unwatch(const QString &path);

    QDBusConnection m_bus;
    QHash<uint, Way> m_ways;
    QHash<QString, Watched> m_watched; // by session object path
};
