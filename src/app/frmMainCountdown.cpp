// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's side of the countdown: Start and Stop, the one-second tick and the
// time's-up alarm, shown through the window's count, bar, label, face and colour; and
// the record that lets a turn outlive the program.
#include "app/frmMain.h"

#include "logic/TurnRecord.h"
#include "ui/TimeLeftBar.h"
#include "ui/UiService.h"
#include "ui/WindowSystem.h"

#include <QAction>
#include <QApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QLabel>
#include <QLoggingCategory>
#include <QTimer>

#include <cstdio>

namespace {
// Off unless asked for with QT_LOGGING_RULES="turnkeeper.timing.debug=true".
Q_LOGGING_CATEGORY(lcTiming, "turnkeeper.timing", QtInfoMsg)
} // namespace

void frmMain::mnuStopStart_Click()
{
    releaseTopMost();
    const QString caption = mnuStopStart->text();
    if (caption == Countdown::stopCaption()) {
        // Ticks go on while the prompt is open; the alarm may even go off behind it.
        if (askForPassword())
            readyReset();
    } else if (caption == Countdown::startCaption()) {
        startSteps();
    }
}

void frmMain::readyReset()
{
    Timer1->stop();
    setStatus(Countdown::readyText());
    setBackColor(ui().systemColor(UiService::SystemColor::ButtonFace));
    //: Accessible name (read by screen readers) of the picture of a plain face, shown
    //: while no turn runs.
    setPicture(QStringLiteral("face.ico"), tr("Face"));
    mnuStopStart->setText(Countdown::startCaption());
    TimeBar->setValue(0);
    m_countdown.reset();
    endStretch(TurnLog::Ending::Stopped);
    // A turn stopped before its end does not move the turns on: the same child is next.
    m_turnChild.clear();
    refreshBar();
    announceNext();
    forgetTurn();
}

// Every way out of Running has already put the count and the bar back to 0.
void frmMain::startSteps()
{
    m_countdown.start(MaxTime());
    m_turnChild = m_children.next();
    showRunning();
    const QDateTime now = QDateTime::currentDateTimeUtc();
    recordTurn(now);
    settleRecordOfTurns();
    m_stretch = m_log.begin(m_turnChild, now, now, MaxTime());
}

// The five start steps, for a new turn and for one taken up where it was.
void frmMain::showRunning()
{
    Timer1->start();
    setStatus(Countdown::startedText());
    setBackColor(QColor(0, 255, 0));
    //: Accessible name of the picture while a turn runs.
    setPicture(QStringLiteral("smile.ico"), tr("Smiling face"));
    mnuStopStart->setText(Countdown::stopCaption());
    refreshBar();
    ui().say(this, Countdown::startedText() + QLatin1Char('\n') + TimeBar->text());
    // The sounds of the turn are read and the desktop's notification service reached
    // now, once the window has turned green, rather than inside the alarm.
    QTimer::singleShot(0, this, [] {
        ui().prepareSounds({QStringLiteral("horn.wav"), QStringLiteral("chime.wav")});
        ui().prepareNotifications();
    });
}

void frmMain::Timer1_Timer()
{
    const Countdown::Tick tick = m_countdown.tick();
    if (tick != Countdown::Tick::TimeUp) {
        // A minute before the end, a soft chime, once, so that a game can be saved.
        if (tick == Countdown::Tick::Warning)
            ui().playSound(QStringLiteral("chime.wav"));
        refreshBar();
        return;
    }
    QElapsedTimer alarmTime;
    alarmTime.start();
    alarmSteps();
    qCDebug(lcTiming, "alarm steps took %.3f ms", alarmTime.nsecsElapsed() / 1e6);
}

// The countdown has already counted its last second and gone to Time's Up.
void frmMain::alarmSteps()
{
    // A child may have minimised the window or moved it to another workspace: it comes
    // back before anything else, so that the time's up is seen.
    WindowSystem::bringIntoView(this);
    MakeTopMost(true);
    raise();
    activateWindow();
    // The turn passes on to the next child, the first after the last.
    const QString child = m_turnChild;
    m_turnChild.clear();
    if (!m_children.isEmpty())
        m_children.setNext(m_children.after(child));
    // Where the window cannot stay on top (Wayland), the desktop is asked to point at
    // it, and every session hears of it through its notifications.
    QApplication::alert(this);
    const QString alarmText = m_children.isEmpty() ? Countdown::timeUpText()
                                                   : Countdown::timeUpText() + QLatin1Char('\n') +
                                                         Children::nextText(m_children.next());
    ui().notifyAlarm(alarmText);
    ui().say(this, alarmText);
    setStatus(Countdown::timeUpText());
    setBackColor(QColor(255, 0, 0));
    //: Accessible name of the picture when the time is up.
    setPicture(QStringLiteral("frown.ico"), tr("Frowning face"));
    ui().playSound(QStringLiteral("horn.wav"));
    Timer1->stop();
    mnuStopStart->setText(Countdown::startCaption());
    TimeBar->setValue(0);
    // A turn taken up from the record may have had another length than MaxTime.
    TimeBar->setMaximum(MaxTime());
    refreshBar();
    announceNext();
    endStretch(TurnLog::Ending::TimeUp);
    forgetTurn();
    if (!m_children.isEmpty())
        keepWhoIsNext();
}

void frmMain::resumeTurn()
{
    const std::optional<RecordedTurn> turn = TurnRecord::read();
    const TurnRecord::Resumption resumption =
        turn ? TurnRecord::resume(*turn, QDateTime::currentDateTimeUtc())
             : TurnRecord::Resumption();
    // The record of turns catches up when it is first needed, off the path of the
    // program's start: a turn that goes on, as soon as the window is on the screen.
    m_settleLog = [this, turn, kind = resumption.kind] {
        const std::optional<qint64> stretch =
            TurnRecord::settleLog(m_log, turn, kind, QDateTime::currentDateTimeUtc());
        if (m_countdown.isRunning())
            m_stretch = stretch;
    };
    if (turn && resumption.kind != TurnRecord::Resumption::Kind::Forget)
        QTimer::singleShot(0, this, &frmMain::settleRecordOfTurns);
    if (!turn) {
        // Something that is no turn is forgotten without a word.
        m_turnRecorded = TurnRecord::anythingRecorded();
        forgetTurn();
        return;
    }
    m_turnRecorded = true;
    switch (resumption.kind) {
    case TurnRecord::Resumption::Kind::Forget:
        forgetTurn();
        return;
    case TurnRecord::Resumption::Kind::Running:
        // The turn keeps the length it started with, whatever MaxTime is now, and the
        // child whose turn it was.
        m_countdown.resume(turn->length, resumption.elapsed);
        m_turnChild = turn->child;
        TimeBar->setMaximum(turn->length);
        TimeBar->setValue(CurrentTime());
        showRunning();
        return;
    case TurnRecord::Resumption::Kind::TimeUp:
        m_countdown.resume(turn->length, resumption.elapsed);
        m_turnChild = turn->child;
        alarmSteps();
        return;
    }
}

void frmMain::recordTurn(const QDateTime &started)
{
    QString error;
    m_turnRecorded = true;
    if (!TurnRecord::write({MaxTime(), started, m_turnChild}, &error))
        reportRecordFailure(error);
}

void frmMain::settleRecordOfTurns()
{
    if (!m_settleLog)
        return;
    const std::function<void()> settle = std::move(m_settleLog);
    m_settleLog = nullptr;
    settle();
}

// A turn taken up at the start has its stretch from the catching up, which runs before
// anything can end it.
void frmMain::endStretch(TurnLog::Ending ending)
{
    if (m_stretch)
        m_log.finish(*m_stretch, QDateTime::currentDateTimeUtc(), ending);
    m_stretch.reset();
}

void frmMain::forgetTurn()
{
    if (!m_turnRecorded)
        return;
    QString error;
    if (TurnRecord::clear(&error))
        m_turnRecorded = false;
    else
        reportRecordFailure(error);
}

void frmMain::keepWhoIsNext()
{
    QString error;
    if (!m_children.write(&error))
        reportRecordFailure(error);
}

// The countdown goes on whether or not its record reached the disk; the first failure
// is said on standard error.
void frmMain::reportRecordFailure(const QString &error)
{
    if (m_recordFailureReported)
        return;
    m_recordFailureReported = true;
    std::fprintf(stderr, "%s: %s\n", qPrintable(ui().applicationName()), qPrintable(error));
    std::fflush(stderr);
}
