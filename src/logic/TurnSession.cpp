// SPDX-License-Identifier: GPL-3.0-or-later
#include "logic/TurnSession.h"

#include "logic/TurnClock.h"

#include <QTimer>

namespace {

// A tick may come a little before the second it stands for; it still counts it.
constexpr qint64 earlyTickMs = 50;

QDateTime utcNow()
{
    return TurnClock::instance().utcNow();
}

} // namespace

TurnSession::TurnSession(const QString &logPath, QObject *parent) : QObject(parent), m_log(logPath)
{}

TurnSession::~TurnSession() = default;

// The running turn counts up to the length as it is now; only Set Time changes it, and
// that stops the turn first.
void TurnSession::setLength(qint32 seconds)
{
    m_length = seconds;
    if (isRunning())
        m_countdown.setLength(seconds);
}

void TurnSession::load(std::optional<qint32> lockedLength)
{
    m_children = Children::read();
    std::optional<RecordedTurn> turn = TurnRecord::read();
    if (!turn) {
        // Something that is no turn is forgotten without a word.
        m_turnRecorded = TurnRecord::anythingRecorded();
        forgetTurn();
        return;
    }
    m_turnRecorded = true;
    // What the record says is checked as if it were typed in: a child whose name breaks
    // the rules is nobody, and a start in the future, or a turn longer than the
    // administrator allows, cannot lengthen the turn. The record is mended so that the
    // next start goes on from here.
    const QDateTime now = utcNow();
    RecordedTurn sound = *turn;
    if (!Children::refusal(sound.child, QStringList()).isEmpty())
        sound.child.clear();
    if (sound.started > now)
        sound.started = now;
    if (lockedLength && sound.length > *lockedLength)
        sound.length = *lockedLength;
    const bool mended = sound.child != turn->child || sound.started != turn->started ||
                        sound.length != turn->length;
    const TurnRecord::Resumption resumption = TurnRecord::resume(sound, now);
    // The record of turns catches up when it is first needed, off the path of the
    // program's start: a turn that goes on, as soon as the front end is up.
    m_settleLog = [this, sound, kind = resumption.kind] {
        const std::optional<qint64> stretch = TurnRecord::settleLog(m_log, sound, kind, utcNow());
        if (isRunning())
            m_stretch = stretch;
    };
    if (resumption.kind != TurnRecord::Resumption::Kind::Forget)
        QTimer::singleShot(0, this, &TurnSession::settleRecordOfTurns);
    switch (resumption.kind) {
    case TurnRecord::Resumption::Kind::Forget:
        forgetTurn();
        return;
    case TurnRecord::Resumption::Kind::Running:
        if (mended)
            recordTurn(sound);
        beginTurn(sound, resumption.elapsed);
        return;
    case TurnRecord::Resumption::Kind::TimeUp:
        m_child = sound.child;
        m_countdown.resume(sound.length, resumption.elapsed);
        finishTurn();
        return;
    }
}

void TurnSession::loadKeptElsewhere()
{
    m_keptElsewhere = true;
    m_children = Children::read();
}

void TurnSession::follow(State state, qint32 length, qint32 elapsed, const QString &child)
{
    // The length of the next turn is the keeper's.
    if (state != State::Running)
        m_length = length;
    switch (state) {
    case State::Running:
        // The count here may be up to a second off the keeper's, which reports whole
        // seconds; only a larger difference is another turn.
        if (!isRunning() || child != m_child || length != m_countdown.length() ||
            qAbs(elapsed - this->elapsed()) > 1)
            beginTurn({length, utcNow().addSecs(-elapsed), child}, elapsed);
        return;
    case State::TimeUp:
        if (isRunning())
            showTimeUp(length);
        return;
    case State::Ready:
        if (this->state() != State::Ready)
            stop();
        return;
    }
}

void TurnSession::showTimeUp(qint32 length)
{
    if (state() == State::TimeUp)
        return;
    if (!isRunning())
        m_child = m_children.isEmpty() ? QString() : m_children.next();
    m_countdown.resume(length, length);
    endStretch(TurnLog::Ending::TimeUp);
    finishTurn();
}

qint64 TurnSession::msecsLeft() const
{
    if (!isRunning())
        return -1;
    const qint64 gone = TurnClock::instance().monotonicMs() - m_origin;
    return qMax<qint64>(0, qint64(m_countdown.length()) * 1000 - gone);
}

void TurnSession::start()
{
    if (isRunning())
        return;
    const QDateTime now = utcNow();
    const RecordedTurn turn{m_length, now, m_children.next()};
    recordTurn(turn);
    beginTurn(turn, 0);
    settleRecordOfTurns();
    m_stretch = m_log.begin(m_child, now, now, m_length);
}

void TurnSession::beginTurn(const RecordedTurn &turn, qint32 elapsed)
{
    m_child = turn.child;
    m_countdown.resume(turn.length, elapsed);
    m_origin = TurnClock::instance().monotonicMs() - qint64(elapsed) * 1000;
    emit started();
}

void TurnSession::stop()
{
    m_countdown.reset();
    endStretch(TurnLog::Ending::Stopped);
    // A turn stopped before its end does not move the turns on: the same child is next.
    m_child.clear();
    forgetTurn();
    emit stopped();
}

void TurnSession::update()
{
    if (!isRunning())
        return;
    const qint64 gone = TurnClock::instance().monotonicMs() - m_origin + earlyTickMs;
    const qint32 seconds = qint32(qBound(qint64(0), gone / 1000, qint64(m_countdown.length())));
    const qint32 before = elapsed();
    switch (m_countdown.advanceTo(seconds)) {
    case Countdown::Tick::TimeUp:
        endStretch(TurnLog::Ending::TimeUp);
        finishTurn();
        return;
    case Countdown::Tick::Warning:
        emit warning();
        break;
    case Countdown::Tick::Ticked:
        break;
    }
    if (elapsed() != before)
        emit counted();
}

// The countdown is already at Time's Up: the turn passes on to the next child, the first
// after the last.
void TurnSession::finishTurn()
{
    const QString child = m_child;
    m_child.clear();
    forgetTurn();
    if (!m_children.isEmpty()) {
        m_children.setNext(m_children.after(child));
        QString error;
        if (!m_children.write(&error))
            reportRecordFailure(error);
    }
    emit timeUp(child);
}

bool TurnSession::editChildren(const Children &opened, const Children &edited,
                               QString *errorMessage)
{
    Children kept = edited;
    if (edited.next() == opened.next())
        kept.setNext(m_children.next());
    if (!kept.write(errorMessage))
        return false;
    m_children = kept;
    emit nextChanged();
    return true;
}

QList<TurnLog::Entry> TurnSession::record(int newest)
{
    settleRecordOfTurns();
    QList<TurnLog::Entry> entries = m_log.entries(newest);
    const QDateTime now = utcNow();
    for (TurnLog::Entry &entry : entries) {
        if (!entry.ending)
            entry.used = TurnLog::usedBetween(entry.turnStarted, entry.length, entry.started, now);
    }
    return entries;
}

void TurnSession::leave(Leaving how)
{
    if (how == Leaving::ExitCommand) {
        endStretch(TurnLog::Ending::Stopped);
        forgetTurn();
    } else {
        endStretch(TurnLog::Ending::ProgramEnded);
    }
}

void TurnSession::recordTurn(const RecordedTurn &turn)
{
    if (m_keptElsewhere)
        return;
    QString error;
    m_turnRecorded = true;
    if (!TurnRecord::write(turn, &error))
        reportRecordFailure(error);
}

void TurnSession::forgetTurn()
{
    if (!m_turnRecorded)
        return;
    QString error;
    if (TurnRecord::clear(&error))
        m_turnRecorded = false;
    else
        reportRecordFailure(error);
}

// A turn taken up at the start has its stretch from the catching up, which runs before
// anything can end it.
void TurnSession::endStretch(TurnLog::Ending ending)
{
    settleRecordOfTurns();
    if (m_stretch)
        m_log.finish(*m_stretch, utcNow(), ending);
    m_stretch.reset();
}

void TurnSession::settleRecordOfTurns()
{
    if (!m_settleLog)
        return;
    const std::function<void()> settle = std::move(m_settleLog);
    m_settleLog = nullptr;
    settle();
}

// The turn goes on whether or not its record reached the disk; the first failure is
// said once.
void TurnSession::reportRecordFailure(const QString &error)
{
    if (m_recordFailureReported)
        return;
    m_recordFailureReported = true;
    emit recordFailed(error);
}
