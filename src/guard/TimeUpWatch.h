// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "guard/SessionLocker.h"

#include <QDBusConnection>
#include <QHash>
#include <QObject>
#include <QSet>
#include <QTimer>

class QDBusServiceWatcher;
class WindowCheck;

// Keeps an account's time's up in view while it stands: every AskEveryMs it asks the
// account's attached windows to show it, and whenever no window that WindowCheck vouches
// for answers that it does, it locks (or ends) the account's graphical sessions, again at
// each round while none does, which also retries what logind failed to do. A session
// unlocked or opened meanwhile has AskEveryMs for such a window to come up, and is then
// locked again.
class TimeUpWatch : public QObject
{
    Q_OBJECT
public:
    static constexpr int AskEveryMs = 10000;
    // A window busy on a slow machine still answers within a round.
    static constexpr int AnswerTimeoutMs = 9000;
    // Connections of one account that may ask to show its time's up.
    static constexpr int MostAttached = 16;

    TimeUpWatch(const QDBusConnection &bus, SessionLocker &locker, WindowCheck &check,
                QObject *parent = nullptr);
    ~TimeUpWatch() override;

    // The windows' answers are then read on Qt's bus thread, where the bus can free them.
    void askOnBusThread();

    // The connection shows the account's turn; false when the account has as many as it
    // may. A time's up that stands is asked of it at once.
    bool attach(uint uid, const QString &connection);
    QSet<QString> attached(uint uid) const { return m_attached.value(uid); }
    // The accounts with a connection attached.
    QList<uint> attachedAccounts() const { return m_attached.keys(); }

    // The account's time's up stands from now; its windows have AskEveryMs to show it.
    void stand(uint uid, SessionLocker::Way way);
    // It stands no longer: nothing more is locked for it.
    void fall(uint uid);
    QList<uint> accounts() const { return m_watched.keys(); }

private:
    struct Watched
    {
        SessionLocker::Way way = SessionLocker::Way::Lock;
        int round = 0;
        qint64 roundStart = 0;
        int unanswered = 0;
        // When a vouched-for window last said it shows the time's up; -1: never.
        qint64 seenAt = -1;
        // Nothing is locked before this, so that a window can come up.
        qint64 graceUntil = 0;
        bool locking = false;
        QTimer *decision = nullptr;
    };

    void round(uint uid);
    void ask(uint uid, const QString &connection, int round);
    void verify(uint uid, const QString &connection, int round);
    void answered(uint uid, int round);
    void seen(uint uid);
    void decide(uint uid);
    void unlocked(uint uid);
    void detach(const QString &connection);

    QDBusConnection m_bus;
    SessionLocker &m_locker;
    WindowCheck &m_check;
    QHash<uint, QSet<QString>> m_attached;
    QHash<uint, Watched> m_watched;
    QTimer m_rounds;
    QDBusServiceWatcher *m_connections;
    // Where the windows' answers are read.
    QObject *m_relay;
    // Connections whose claim to show a time's up was refused, said once each.
    QSet<QString> m_refusalsSaid;
};
