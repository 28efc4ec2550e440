// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "guard/AccountFiles.h"
#include "guard/GuardProtocol.h"

#include "logic/TurnLog.h"

#include <QDateTime>
#include <QMap>
#include <QObject>

#include <map>
#include <memory>
#include <optional>

class QTimer;
class SystemLock;
class TurnSession;

// The turns the guard keeps, each account's apart: its turn (run by the same TurnSession
// as the window's), its files in the state folder (<uid>.conf and <uid>.turns), the time's
// up that stands from the end of a turn until the next one starts, the break after it, the
// parent password's check and its slowing down. All of it outlives the guard: a guard
// started again, after a crash, an upgrade or a reboot, takes it up.
class AccountTurns : public QObject
{
    Q_OBJECT
public:
    // Accounts with something kept at the same time.
    static constexpr int MostAccounts = 4096;
    // How often a running turn is saved, besides at every change.
    static constexpr int SaveEveryMs = 60000;
    // Bytes of UTF-8.
    static constexpr int LongestPassword = 1024;

    struct Turn
    {
        Countdown::State state = Countdown::State::Ready;
        qint32 length = 0;
        qint32 elapsed = 0;
        // Whose turn runs; when none runs, whose is next under a lock that lists the
        // children.
        QString child;
        // Seconds until a Start without the parent password is taken again.
        qint32 breakLeft = 0;
    };

    struct Refusal
    {
        GuardProtocol::Error error;
        QString text;
    };

    // lockFile: read afresh at the end of a turn, for the break that follows it.
    AccountTurns(const QString &lockFile, const QString &stateDir, QObject *parent = nullptr);
    ~AccountTurns() override;

    // Each with the lock in force, as read for the call; a refusal says why nothing was
    // done.
    std::optional<Refusal> turn(uint uid, const SystemLock &lock, Turn *turn);
    std::optional<Refusal> record(uint uid, const SystemLock &lock, QList<TurnLog::Entry> *entries);
    // A new turn. Under a lock that lists the children it is the next child's, whoever
    // is named; during the break only with the parent password.
    std::optional<Refusal> start(uint uid, const SystemLock &lock, const QString &child,
                                 const std::optional<QString> &password);
    // Ends the running turn, the time's up that stands and the break.
    std::optional<Refusal> stop(uint uid, const SystemLock &lock, const QString &password);
    std::optional<Refusal> checkPassword(uint uid, const SystemLock &lock, const QString &password,
                                         bool *right);
    // The seconds each child of the account has had today, from midnight in the computer's
    // local time: the stretches of turns that began today, the running one so far.
    std::optional<Refusal> usedToday(uint uid, const SystemLock &lock, QMap<QString, qint32> *used);

    // Takes up the turns the state folder holds: nobody may need to call for a turn to
    // end, nor for a time's up to stand again.
    // The accounts taken up.
    QList<uint> takeUp(const SystemLock &lock);
    // The lock was lifted: each running turn ends as stopped, and nothing stands.
    void release();

    bool isRunning(uint uid) const;
    bool timeUpStands(uint uid) const;

signals:
    // The account's turn started, stopped, or stands no longer.
    void changed(uint uid);
    // The account's turn is over: its time's up stands from now.
    void timeUp(uint uid, const QString &child);

private:
    struct Account
    {
        std::unique_ptr<TurnSession> session;
        AccountFiles::Kept kept;
        QTimer *end = nullptr;  // at the end of the running turn
        QTimer *save = nullptr; // once a minute while it runs
    };

    // The account, with its turn taken up from its files; nothing, with the refusal,
    // when too many accounts are kept already.
    Account *account(uint uid, const SystemLock &lock, std::optional<Refusal> *refusal);
    void load(uint uid, Account &state, const SystemLock &lock);
    // Checks a password with the account's slowing down; a try that comes too early is
    // refused.
    std::optional<Refusal> password(uint uid, Account &state, const SystemLock &lock,
                                    const QString &typed, bool *right);
    std::optional<Refusal> childRefusal(const QString &child) const;
    QMap<QString, qint32> usedToday(uint uid, Account &state);
    void follow(uint uid);
    void ended(uint uid, const QString &child);
    void endAll(uint uid, Account &state);
    void saveKept(uint uid);
    void saveProgress(uint uid);

    QString m_lockFile;
    AccountFiles m_files;
    std::map<uint, Account> m_accounts;
};
