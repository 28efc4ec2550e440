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
class TurnSession;

// The program's side of the guard: where the guard keeps the account's turn, the
// window asks it to start and stop, checks the parent password with it, and shows the
// turn it reports. The guard in turn asks the window, through the object at
// /io/github/turnkeeper/Window, to show a time's up. Without the guard, or where it
// keeps no turn (no administrator's lock), there is no link and the program keeps its
// own turn.
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

    // A link on bus when the guard answers there and keeps this account's turn;
    // nothing otherwise.
    static std::unique_ptr<GuardLink> connectTo(const QDBusConnection &bus);
    ~GuardLink() override;

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

    // The commands; once one is done, the turn is read afresh.
    Answer start(const QString &child);
    Answer startWithPassword(const QString &child, const QString &password);
    Answer stop(const QString &password);
    Answer checkPassword(const QString &password);
    // The account's record of turns, newest first; nothing when the guard did not answer.
    std::optional<QList<TurnLog::Entry>> turns();

signals:
    // The guard reported another state of the turn.
    void changed();

private:
    explicit GuardLink(const QDBusConnection &bus);
    void follow();
    // Whether the time's up the guard asked for shows.
    bool showTimeUp();
    // Waits for the answer while the window goes on painting and counting, but takes no
    // input meanwhile.
    Answer wait(const QDBusPendingCall &call);
    Answer command(const QDBusPendingCall &call);
    void takeTurn(const QString &state, uint length, uint elapsed, const QString &child,
                  uint breakLeft);

    QDBusConnection m_bus;
    std::unique_ptr<IoGithubTurnkeeperGuard1Interface> m_guard;
    TurnSession *m_session = nullptr;
    std::function<bool()> m_shows;
    Turn m_turn;
    bool m_attached = false;
};
