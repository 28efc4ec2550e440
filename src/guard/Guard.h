// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "guard/AccountTurns.h"
#include "guard/OutsideTurns.h"
#include "guard/RulesChange.h"
#include "guard/SessionLocker.h"
#include "guard/TimeUpWatch.h"
#include "guard/WindowCheck.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QFileSystemWatcher>
#include <QObject>
#include <QStringList>
#include <QThreadPool>

class SystemLock;

// The guard: what it answers each account, told by the bus who calls (the bus surface,
// GuardBus, hands it the calls with their arguments checked), and how its parts meet:
// the accounts' turns, the watch over each time's up, the desktops locked outside turns,
// logind, and the administrator's lock, followed as it changes.
class Guard : public QObject
{
    Q_OBJECT
public:
    using Refusal = AccountTurns::Refusal;

    // lockFile: the administrator's lock, read afresh whenever it matters, with the
    // password hash's own file beside it. stateDir: the accounts' files, where only root
    // reaches them. program: the installed program, the only one whose windows count.
    Guard(const QDBusConnection &bus, const QString &lockFile, const QString &stateDir,
          const QString &program, const QString &procRoot = QStringLiteral("/proc"),
          QObject *parent = nullptr);
    ~Guard() override;

    // What an account's messages can make large is read on Qt's bus thread from now on.
    void takeBusThread() { m_watch.askOnBusThread(); }

    // Takes up what the state folder holds, as a guard started again must: nobody may
    // need to call for a turn to end, nor for a time's up to be kept in view.
    void takeUp();

    // What the account asks, each with the lock read afresh; a refusal says why nothing
    // was done.
    std::optional<Refusal> turn(uint uid, AccountTurns::Turn *turn);
    std::optional<Refusal> turns(uint uid, QList<TurnLog::Entry> *entries);
    std::optional<Refusal> start(uint uid, const QString &child,
                                 const std::optional<QString> &password);
    std::optional<Refusal> stop(uint uid, const QString &password);
    std::optional<Refusal> checkPassword(uint uid, const QString &password, bool *right);
    std::optional<Refusal> attach(uint uid, const QString &connection);
    // The rules in force, with what the account's children have had today.
    QVariantMap rules(uint uid);
    // Changes the rules as call asks, once polkit authorises its sender, and answers it
    // when done.
    void setRules(uint uid, const QDBusMessage &call, const QVariantMap &rules);

private:
    // The lock in force, read afresh; nothing, with the refusal, when there is none.
    std::optional<SystemLock> lockInForce(std::optional<Refusal> *refusal);
    void lockChanged();
    void followLockFolder();
    void resolveOutsideTurns(const SystemLock &lock);
    // Sends the account's attached windows what its turn is now.
    void tell(uint uid);
    void signal(uint uid, const QString &name, const QVariantList &arguments);
    void turnChanged(uint uid);
    void timeUp(uint uid, const QString &child);

    QDBusConnection m_bus;
    QString m_lockFile;
    SessionLocker m_locker;
    WindowCheck m_check;
    AccountTurns m_turns;
    TimeUpWatch m_watch;
    OutsideTurns m_outside;
    RulesChange m_rulesChange;
    QFileSystemWatcher m_lockWatcher;
    bool m_locked = false;
    QStringList m_outsideAccounts;
    SessionLocker::Way m_outsideWay = SessionLocker::Way::Lock;
    // Last: its lookups end before anything they report to goes.
    QThreadPool m_lookups;
};
