// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's side of the countdown: the Start and Stop command, the one-second
// tick that asks the turn to follow the clock, and what each state of the turn looks
// like: the window's bar, label, face and colour, and the time's-up alarm.
#include "app/frmMain.h"

#include "ui/TimeLeftBar.h"
#include "ui/UiService.h"
#include "ui/WindowSystem.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QLocale>
#include <QLoggingCategory>
#include <QTime>
#include <QTimer>

#include <cstdio>

namespace {
// Off unless asked for with QT_LOGGING_RULES="turnkeeper.timing.debug=true".
Q_LOGGING_CATEGORY(lcTiming, "turnkeeper.timing", QtInfoMsg)

// A turn's sounds are read this long before its end: the chime plays a minute before
// it, and loading the sound system may take a moment on a busy machine.
constexpr qint64 soundsReadAheadMs = 75000;
} // namespace

void frmMain::connectSession()
{
    connect(&m_session, &TurnSession::started, this, &frmMain::showRunning);
    connect(&m_session, &TurnSession::counted, this, &frmMain::refreshBar);
    connect(&m_session, &TurnSession::counted, this, &frmMain::readSoundsWhenDue);
    // A minute before the end, a soft chime, once, so that a game can be saved.
    connect(&m_session, &TurnSession::warning, this,
            [] { ui().playSound(QStringLiteral("chime.wav")); });
    connect(&m_session, &TurnSession::timeUp, this, [this] {
        QElapsedTimer alarmTime;
        alarmTime.start();
        alarmSteps();
        qCDebug(lcTiming, "alarm steps took %.3f ms", alarmTime.nsecsElapsed() / 1e6);
    });
    connect(&m_session, &TurnSession::stopped, this, &frmMain::readyReset);
    connect(&m_session, &TurnSession::nextChanged, this, [this] {
        refreshBar();
        announceNext();
    });
    connect(&m_session, &TurnSession::recordFailed, this, &frmMain::reportRecordFailure);
}

void frmMain::mnuStopStart_Click()
{
    releaseTopMost();
    if (!m_session.isRunning()) {
        if (m_guard)
            startWithGuard();
        else
            m_session.start();
        return;
    }
    // Ticks go on while the prompt is open; the alarm may even go off behind it.
    QString password;
    if (!askForPassword(&password))
        return;
    if (!m_guard) {
        m_session.stop();
        return;
    }
    tellRefusal(m_guard->stop(password));
}

// A turn for the child who is next. During the break after a time's up the window
// says until when, and a parent's password starts the turn all the same.
void frmMain::startWithGuard()
{
    const QString child = m_session.children().isEmpty() ? QString() : m_session.children().next();
    GuardLink::Answer answer = m_guard->start(child);
    if (answer.error == GuardLink::onBreakError && m_guard->refresh()) {
        const QTime until = QTime::currentTime().addSecs(m_guard->turn().breakLeft);
        //: Said when Start is chosen during the break after a time's up. %1 is the time
        //: of day the break ends ("14:35").
        ui().message(this,
                     tr("Break until %1. A parent's password starts a turn now.")
                         .arg(QLocale().toString(until, QLocale::ShortFormat)),
                     UiService::MessageIcon::None, ui().applicationName());
        QString password;
        if (!askForPassword(&password))
            return;
        answer = m_guard->startWithPassword(child, password);
    }
    if (answer.error == GuardLink::noAnswerError)
        //: Said when Start is chosen where the administrator's lock gives the turn to the
        //: guard (the system service that keeps it) and the guard does not answer.
        answer.reason = tr("The guard does not answer, so no turn can start. Ask a parent.");
    tellRefusal(answer);
}

void frmMain::tellRefusal(const GuardLink::Answer &answer)
{
    if (!answer.done())
        ui().message(this, answer.reason, UiService::MessageIcon::Exclamation,
                     ui().applicationName());
}

GuardLink *frmMain::guardUp() const
{
    return m_guard && m_guard->isUp() ? m_guard.get() : nullptr;
}

void frmMain::guardReleased()
{
    // Gone once this signal has been delivered.
    m_guard.release()->deleteLater();
    // A running turn goes on to its end; the next ones are the window's own length.
    m_session.keepHere(ownLength());
    TimeBar->setMaximum(m_session.turnLength());
    refreshBar();
    //: Said when the administrator lifts the lock while the program runs: from now on the
    //: window keeps the turn itself, as it does without the lock.
    ui().message(this, tr("The parent lock is off: this window keeps the turn again."),
                 UiService::MessageIcon::None, ui().applicationName());
}

// The turn is back at Ready, its count at 0.
void frmMain::readyReset()
{
    Timer1->stop();
    holdInView(false);
    setStatus(Countdown::readyText());
    setBackColor(ui().systemColor(UiService::SystemColor::ButtonFace));
    //: Accessible name (read by screen readers) of the picture of a plain face, shown
    //: while no turn runs.
    setPicture(QStringLiteral("face.ico"), tr("Face"));
    mnuStopStart->setText(Countdown::startCaption());
    TimeBar->setMaximum(MaxTime());
    TimeBar->setValue(0);
    refreshBar();
    announceNext();
}

// The five start steps, for a new turn and for one taken up where it was.
void frmMain::showRunning()
{
    holdInView(false);
    // A turn taken up from the record may have another length than MaxTime.
    TimeBar->setMaximum(m_session.turnLength());
    Timer1->start();
    setStatus(Countdown::startedText());
    setBackColor(QColor(0, 255, 0));
    //: Accessible name of the picture while a turn runs.
    setPicture(QStringLiteral("smile.ico"), tr("Smiling face"));
    mnuStopStart->setText(Countdown::stopCaption());
    refreshBar();
    ui().say(this, Countdown::startedText() + QLatin1Char('\n') + TimeBar->text());
    // The desktop's notification service is reached now, once the window has turned
    // green, rather than inside the alarm.
    QTimer::singleShot(0, this, [] { ui().prepareNotifications(); });
    m_soundsRead = false;
    readSoundsWhenDue();
}

// The turn's sounds are read, rather than inside the alarm, once its end is near: the
// sound system (Qt Multimedia and the sound server's libraries, some megabytes) is then
// loaded for the first time, not for the whole of a long turn, nor for one stopped early.
void frmMain::readSoundsWhenDue()
{
    if (m_soundsRead || !m_session.isRunning() || m_session.msecsLeft() > soundsReadAheadMs)
        return;
    m_soundsRead = true;
    // After the tick's paint, at once.
    QTimer::singleShot(0, this, [] {
        ui().prepareSounds({QStringLiteral("horn.wav"), QStringLiteral("chime.wav")});
    });
}

void frmMain::Timer1_Timer()
{
    m_session.update();
}

// The turn has already counted its last second and gone to Time's Up, and passed on to
// the next child.
void frmMain::alarmSteps()
{
    // A child may have minimised the window or moved it to another workspace: it comes
    // back before anything else, so that the time's up is seen.
    WindowSystem::bringIntoView(this);
    MakeTopMost(true);
    raise();
    activateWindow();
    // Where the window cannot stay on top (Wayland), the desktop is asked to point at
    // it, and every session hears of it through its notifications.
    QApplication::alert(this);
    const Children &children = m_session.children();
    const QString alarmText = children.isEmpty() ? Countdown::timeUpText()
                                                 : Countdown::timeUpText() + QLatin1Char('\n') +
                                                       Children::nextText(children.next());
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
    TimeBar->setMaximum(MaxTime());
    refreshBar();
    announceNext();
    holdInView(true);
}

// The turn goes on whether or not its record reached the disk; the first failure is
// said on standard error.
void frmMain::reportRecordFailure(const QString &error)
{
    sayOnStandardError(error);
}

void frmMain::holdInView(bool hold)
{
    if (!hold) {
        m_holdTimer->stop();
        return;
    }
    if (!m_holdTimer->isActive()) {
        m_heldPlace = frameGeometry();
        m_holdTimer->start();
    }
    WindowSystem::holdInView(this, m_heldPlace);
}
