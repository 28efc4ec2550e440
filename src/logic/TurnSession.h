// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "logic/Children.h"
#include "logic/Countdown.h"
#include "logic/TurnLog.h"
#include "logic/TurnRecord.h"

#include <QObject>

#include <functional>
#include <optional>

class TurnClock;

// The rules of a turn, apart from whatever shows it: the countdown counted by the
// monotonic clock, the record that lets a turn outlive the program, whose turn it is
// and who is next, and the stretches of the record of turns. A front end (the main
// window, a service) hands it the commands and shows what its signals report; it only
// has to call update() now and then (once a second while a turn runs) for the count to
// follow the clock.
class TurnSession : public QObject
{
    Q_OBJECT
public:
    using State = Countdown::State;
    // How the program ends: by the parent's Exit, which ends the turn, or with the
    // desktop session, which leaves it for the next start to take up.
    enum class Leaving { ExitCommand, SessionEnd };

    // The record of turns at logPath; the clock installed in TurnClock.
    explicit TurnSession(const QString &logPath = TurnLog::defaultPath(),
                         QObject *parent = nullptr);
    ~TurnSession() override;

    // Reads whose turn is next and takes up a turn recorded by an earlier run: it goes
    // on (started()), or shows its time's up (timeUp()), or is forgotten. Under the
    // administrator's length, a recorded turn never lasts longer than lockedLength.
    void load(std::optional<qint32> lockedLength = std::nullopt);
    // In place of load() where the turn is kept elsewhere (by the guard): reads whose
    // turn is next, and from then on only shows the turn it is told of, counting it
    // between reports and passing the turns on; nothing of the turn is recorded here.
    // With an order (the children the administrator's lock lists), the children are
    // those, and whose turn is next is the keeper's to say.
    void loadKeptElsewhere(const QStringList &order = QStringList());
    // The kept turn as reported: a running turn goes on from its count, a stopped one
    // is back at Ready, and a turn reported over while it ran here shows its time's up.
    // Otherwise length is that of the next turn and, under the keeper's order, child
    // whose turn is next.
    void follow(State state, qint32 length, qint32 elapsed, const QString &child);
    // The keeper asks for the time's up of a turn of length seconds to be shown: it is,
    // unless it shows already. A turn not seen running here was the next child's, as
    // every turn starts with the child who is next; under the keeper's order, nobody's
    // the keeper has not named.
    void showTimeUp(qint32 length);
    // The keeper keeps the turn no more: from now on it is kept here again, new turns of
    // length seconds for the children of the account's own list. A running turn goes on
    // to its own end, recorded as if it had started here.
    void keepHere(qint32 length);

    State state() const { return m_countdown.state(); }
    bool isRunning() const { return m_countdown.isRunning(); }
    // Whole seconds of the running turn gone by the last update; 0 when not running.
    qint32 elapsed() const { return m_countdown.count(); }
    // The length of the running turn (a turn taken up keeps its own), else of the next.
    qint32 turnLength() const { return isRunning() ? m_countdown.length() : m_length; }
    // The length in seconds a new turn gets.
    qint32 length() const { return m_length; }
    void setLength(qint32 seconds);
    // Whether a running turn, long enough to be warned of its end, is in its last minute.
    bool inLastMinute() const { return m_countdown.inLastMinute(); }
    // Whose turn runs now; empty without names or when no turn runs.
    QString child() const { return m_child; }
    const Children &children() const { return m_children; }
    // Monotonic milliseconds at which the running turn's count was 0.
    qint64 origin() const { return m_origin; }
    // Milliseconds until the running turn ends; -1 when no turn runs.
    qint64 msecsLeft() const;

    // A new turn from 0, for the child who is next.
    void start();
    // Back to Ready: the turn ends as stopped and the same child stays next.
    void stop();
    // Follows the clock: the count catches up with the time gone, the last minute is
    // warned of, and a turn that ended meanwhile goes to its time's up.
    void update();
    // The list a parent edited, from what it was when the window opened: whose turn is
    // next follows the time's ups that came meanwhile unless the parent chose another.
    // False, with the reason, when it did not reach the disk; nothing changes then.
    [[nodiscard]] bool editChildren(const Children &opened, const Children &edited,
                                    QString *errorMessage);
    // The record of turns, newest first, with the running stretch's time so far; only the
    // newest ones when newest is not -1.
    QList<TurnLog::Entry> record(int newest = -1);
    void leave(Leaving how);

signals:
    // A turn runs: a new one, or one taken up at load().
    void started();
    // The turn was stopped: Ready.
    void stopped();
    // The count changed.
    void counted();
    // A minute before the end of a turn long enough to be warned of it, once.
    void warning();
    // The turn is over; child is whose it was, children().next() whose is next.
    void timeUp(const QString &child);
    // Who is next changed other than by a time's up.
    void nextChanged();
    // The turn goes on, but its record did not reach the disk; said once.
    void recordFailed(const QString &error);

private:
    void beginTurn(const RecordedTurn &turn, qint32 elapsed);
    void finishTurn();
    void recordTurn(const RecordedTurn &turn);
    void forgetTurn();
    void endStretch(TurnLog::Ending ending);
    void settleRecordOfTurns();
    void reportRecordFailure(const QString &error);

    Countdown m_countdown;
    qint32 m_length = 0;
    // Monotonic milliseconds at which the running turn's count was 0.
    qint64 m_origin = 0;
    Children m_children;
    QString m_child;
    TurnLog m_log;
    std::optional<qint64> m_stretch;
    std::function<void()> m_settleLog;
    bool m_turnRecorded = false;
    bool m_recordFailureReported = false;
    bool m_keptElsewhere = false;
    // Whose turn is next is the keeper's to say.
    bool m_orderKeptElsewhere = false;
};
