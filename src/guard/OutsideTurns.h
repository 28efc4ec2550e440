// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "guard/SessionLocker.h"

#include <QHash>
#include <QObject>
#include <QSet>

class QTimer;

// For the accounts the lock names, the desktop is for turns only: whenever no turn runs
// (before the first, after a time's up, during the break, or with no program at all),
// their graphical sessions are locked GraceMs after that began and GraceMs after each
// unlock, and again every RetryMs while still no turn runs. A running turn lifts it.
class OutsideTurns : public QObject
{
    Q_OBJECT
public:
    static constexpr int GraceMs = 60000;
    static constexpr int RetryMs = 10000;

    explicit OutsideTurns(SessionLocker &locker, QObject *parent = nullptr);

    // The accounts locked outside turns, by uid (never an administrator's), and how.
    void setAccounts(const QSet<uint> &uids, SessionLocker::Way way);
    void setRunning(uint uid, bool running);

private:
    struct Account
    {
        bool running = false;
        bool locking = false;
        QTimer *due = nullptr;
    };

    void due(uint uid);
    void unlocked(uint uid);

    SessionLocker &m_locker;
    SessionLocker::Way m_way = SessionLocker::Way::Lock;
    QHash<uint, Account> m_accounts;
    QSet<uint> m_running;
};
