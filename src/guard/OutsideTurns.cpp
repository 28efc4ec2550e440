// SPDX-License-Identifier: GPL-3.0-or-later
#include "guard/OutsideTurns.h"

#include <QTimer>

#include <cstdio>

OutsideTurns::OutsideTurns(SessionLocker &locker, QObject *parent)
    : QObject(parent), m_locker(locker)
{
    connect(&m_locker, &SessionLocker::unlocked, this, &OutsideTurns::unlocked);
}

void OutsideTurns::setAccounts(const QSet<uint> &uids, SessionLocker::Way way)
{
    m_way = way;
    for (auto account = m_accounts.begin(); account != m_accounts.end();) {
        if (uids.contains(account.key())) {
            ++account;
            continue;
        }
        delete account->due;
        m_locker.follow(account.key(), false);
        account = m_accounts.erase(account);
    }
    for (const uint uid : uids) {
        if (m_accounts.contains(uid))
            continue;
        Account &account = m_accounts[uid];
        account.running = m_running.contains(uid);
        account.due = new QTimer(this);
        account.due->setSingleShot(true);
        connect(account.due, &QTimer::timeout, this, [this, uid] { due(uid); });
        m_locker.follow(uid, true);
        if (!account.running)
            account.due->start(GraceMs);
    }
}

void OutsideTurns::setRunning(uint uid, bool running)
{
    if (running)
        m_running.insert(uid);
    else
        m_running.remove(uid);
    const auto found = m_accounts.find(uid);
    if (found == m_accounts.end() || found->running == running)
        return;
    found->running = running;
    found->locking = false;
    if (running)
        found->due->stop();
    else
        found->due->start(GraceMs);
}

void OutsideTurns::due(uint uid)
{
    Account &account = m_accounts[uid];
    if (account.running)
        return;
    if (!account.locking) {
        std::fprintf(stderr,
                     "turnkeeper-guard: uid %u: no turn runs; locking its graphical "
                     "sessions\n",
                     uid);
        std::fflush(stderr);
    }
    account.locking = true;
    m_locker.lock(uid, m_way);
    account.due->start(RetryMs);
}

void OutsideTurns::unlocked(uint uid)
{
    const auto found = m_accounts.find(uid);
    if (found == m_accounts.end() || found->running)
        return;
    found->locking = false;
    found->due->start(GraceMs);
}
