// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "guard/PasswordBackoff.h"
#include "guard/SessionLocker.h"

#include "logic/TurnLogWire.h"
#include "logic/TurnSession.h"

#include <QDBusConnection>
#include <QDBusContext>
#include <QObject>
#include <QSet>
#include <QString>

#include <map>
#include <memory>
#include <optional>

class QDBusServiceWatcher;
class QTimer;
class SystemLock;
class TurnSession;

// The object behind io.github.turnkeeper.Guard1: it answers every account for itself
// alone, told by the bus who calls, and keeps per account what the account's own
// processes must not be able to change: the turn (run by the same TurnSession as the
// window's), its record and the break after it, the parent password's check and its
// slowing down, and who shows the time's up. Every argument is checked before anything
// is done.
class Guard : public QObject, protected QDBusContext
{
    Q_OBJECT
public:
    static inline const QString serviceName = QStringLiteral("io.github.turnkeeper.Guard1");
    static inline const QString objectPath = QStringLiteral("/io/github/turnkeeper/Guard1");
    static inline const QString interfaceName = QStringLiteral("io.github.turnkeeper.Guard1");
    // Bytes of UTF-8.
    static constexpr int LongestPassword = 1024;
    // Connections of one account that may ask to show its time's up.
    static constexpr int MostAttached = 16;
    // Accounts with something kept at the same time.
    static constexpr int MostAccounts = 4096;
    // How long a window has to answer that it shows the time's up, and how long after
    // the end of a turn nobody showing it locks the account's sessions.
    static constexpr int ShowTimeoutMs = 5000;
    static constexpr int UnseenMs = 10000;

    // How often a running turn is saved, besides at every change.
    static constexpr int SaveEveryMs = 60000;

    // lockFile: the administrator's lock, read afresh whenever it matters, with the
    // password hash's own file beside it. stateDir: one settings file and one record of
    // turns per account, <uid>.conf and <uid>.turns, where only root reaches them.
    Guard(const QDBusConnection &bus, const QString &lockFile, const QString &stateDir,
          QObject *parent = nullptr);
    ~Guard() override;

    // Takes up the turns that the state folder holds, as a guard started again must:
    // nobody may need to call for a turn to end.
    void takeUp();

public slots:
    QString Turn(uint &length, uint &elapsed, QString &child, uint &breakLeft);
    QList<TurnLog::Entry> Turns();
    void Start(const QString &child);
    void StartWithPassword(const QString &child, const QString &password);
    void Stop(const QString &password);
    bool CheckPassword(const QString &password);
    void Attach();

private:
    struct Account
    {
        PasswordBackoff backoff;
        QSet<QString> attached; // unique names of the connections that show its turn
        bool timeUpUnseen = false;
        QTimer *unseen = nullptr;
        std::unique_ptr<TurnSession> session;
        QTimer *end = nullptr;  // at the end of the running turn
        QTimer *save = nullptr; // once a minute while it runs
        // Monotonic milliseconds at which the break after a time's up ends; 0: none.
        qint64 breakEndsMs = 0;
    };

    // The caller's account, told by the bus; an error is sent when it cannot be told.
    std::optional<uint> caller();
    // The account's state, made when missing; nullptr, with an error sent, when too
    // many accounts are kept already.
    Account *account(uint uid);
    // The lock in force; an error is sent when there is none.
    std::optional<SystemLock> lockInForce(uint uid);
    void refuse(uint uid, const char *error, const QString &text);
    // Checks a password with the account's slowing down; an error is sent for a try
    // that comes too early or breaks the rules, and for a wrong one when wrongIsError.
    std::optional<bool> checkPassword(uint uid, const SystemLock &lock, const QString &password,
                                      bool wrongIsError);

    // The account's turn, taken up from its files when first needed.
    TurnSession *session(uint uid, Account *state, const SystemLock &lock);
    void start(uint uid, const QString &child, bool checkBreak);
    bool childRefused(uint uid, const QString &child);
    QString fileOf(uint uid, const char *extension) const;
    // Before the turn is taken up: its start set from what the guard counted, exactly in
    // the same boot, from the last save after a reboot.
    void prepareRecord();
    void saveProgress(uint uid);
    void follow(uint uid);
    // Sends the account's attached windows what its turn is now.
    void tell(const Account &state);

    void timeUp(uint uid, const QString &child);
    void askToShow(uint uid, const QString &connection);
    void shown(uint uid);
    void detach(const QString &connection);

    QDBusConnection m_bus;
    QString m_lockFile;
    QString m_stateDir;
    QString m_bootId;
    std::map<uint, Account> m_accounts;
    QDBusServiceWatcher *m_watcher;
    SessionLocker m_locker;
};
