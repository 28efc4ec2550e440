// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "guard/GuardProtocol.h"
#include "logic/Countdown.h"
#include "logic/TurnLog.h"

#include <QDBusConnection>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

class IoGithubTurnkeeperGuard1Interface;
class QDBusPendingCall;
class SystemLock;
class TurnSession;

// The program's side of the guard: where the lock says the guard keeps the account's
// turn, the window asks it to start and stop, checks the parent password with it, and
// shows the turn it reports. The guard in turn asks the window, through the object at
// /io/github/turnkeeper/Window, to show a time's up. Where the lock gives the guard no
// turn, or where the guard says it keeps none, there is no link and the program keeps
// its own turn; where the guard does not answer, the link is down and no turn starts
// until it does.
class GuardLink : public QObject
{
    Q_OBJECT
public:
    // The account's turn as the guard counts it.
    struct Turn
    {
        Countdown::State state = Countdown::State::Ready;
        qint32 length = 0;
        qint32 elapsed = 0;
        QString child;
        // Seconds until a Start without the parent password is taken again.
        qint32 breakLeft = 0;
    };

    // What the guard answered to a command.
    struct Answer
    {
        enum class Kind { Done, WrongPassword, Refused };
        Kind kind = Kind::Refused;
        // The guard's reason for a refusal, or why it could not be asked.
        QString reason;
        // The D-Bus error's name, for the refusals a window tells apart.
        QString error;

        bool done() const { return kind == Kind::Done; }
    };

    static inline const QString onBreakError =
        GuardProtocol::errorName(GuardProtocol::Error::OnBreak);
    static inline const QString tooManyTriesError =
        GuardProtocol::errorName(GuardProtocol::Error::TooManyTries);
    // Not the guard's: what a command gets while nothing answers for the guard.
    static inline const QString noAnswerError =
        GuardProtocol::interface + QStringLiteral(".NoAnswer");

    // Where the lock says the guard keeps the turn: a connection to the bus the lock
    // names (the system bus's own socket unless a root-written lock names another),
    // whatever the environment says; nothing otherwise.
    static std::optional<QDBusConnection> busFor(const SystemLock &lock);

    // A link on bus, where the lock says the guard keeps the turn; nothing when the guard
    // answers that it keeps no turn of this account's. While the guard does not answer,
    // the link is down: it comes up by itself once the guard takes its name on the bus,
    // or at the next command that finds it answering.
    static std::unique_ptr<GuardLink> connectTo(const QDBusConnection &bus);
    ~GuardLink() override;

    // Whether the guard answered, and keeps the turn.
    bool isUp() const { return m_up; }

    // From now on session, loaded as kept elsewhere, shows the guard's turn as it is
    // reported, and the time's up when the guard asks for it. shows tells whether the
    // time's up, once shown, is where a person sees it: the guard hears that it shows only
    // then.
    void showIn(TurnSession *session, std::function<bool()> shows);
    // From now on the guard asks this program to show the account's time's up, at once
    // when one stands unshown. Again by itself whenever the guard is started anew.
    void attach();

    // The turn as last reported.
    const Turn &turn() const { return m_turn; }
    // Asks afresh; false when the guard did not answer.
    bool refresh();

    // The commands; once one is done, the turn is read afresh. A start while the link is
    // down looks for the guard first, and is refused with noAnswerError when none answers.
    Answer start(const QString &child);
    Answer startWithPassword(const QString &child, const QString &password);
    Answer stop(const QString &password);
    Answer checkPassword(const QString &password);
    // The account's record of turns, newest first; nothing when the guard did not answer.
    std::optional<QList<TurnLog::Entry>> turns();

signals:
    // The guard reported another state of the turn.
    void changed();
    // The guard keeps no turn of this account's any more (the lock was lifted): from now
    // on the program keeps its own. The link says nothing more.
    void released();

private:
    explicit GuardLink(const QDBusConnection &bus);
    // Asks the guard for the turn while the link is down; true once it is up.
    bool reach();
    void guardCame();
    void release();
    void follow();
    // Whether the time's up the guard asked for shows.
    bool showTimeUp();
    // Waits for the answer while the window goes on painting and counting, but takes no
    // input meanwhile.
    Answer wait(const QDBusPendingCall &call);
    Answer command(const QDBusPendingCall &call);
    static Answer notAnswering();
    void takeTurn(const QString &state, uint length, uint elapsed, const QString &child,
                  uint breakLeft);

    QDBusConnection m_bus;
    std::unique_ptr<IoGithubTurnkeeperGuard1Interface> m_guard;
    TurnSession *m_session = nullptr;
    std::function<bool()> m_shows;
    Turn m_turn;
    bool m_registered = false;
    bool m_up = false;
    bool m_reaching = false;
    bool m_released = false;
    bool m_attached = false;
};
