// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's side of the countdown: Start and Stop, the one-second tick and the
// time's-up alarm, shown through the window's count, bar, label, face and colour.
#include "app/frmMain.h"

#include "ui/UiService.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QLoggingCategory>
#include <QProgressBar>
#include <QTimer>

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
    setPicture(QStringLiteral("face.ico"), tr("Face"));
    mnuStopStart->setText(Countdown::startCaption());
    TimeBar->setValue(0);
    m_countdown.reset();
    refreshTimeLeft();
}

// Every way out of Running has already put the count and the bar back to 0.
void frmMain::startSteps()
{
    Timer1->start();
    m_countdown.start();
    setStatus(Countdown::startedText());
    setBackColor(QColor(0, 255, 0));
    setPicture(QStringLiteral("smile.ico"), tr("Smiling face"));
    mnuStopStart->setText(Countdown::stopCaption());
    refreshTimeLeft();
    // The horn's sound system loads now, after the window has turned green, rather
    // than inside the alarm.
    QTimer::singleShot(0, this, [] { ui().prepareSound(); });
}

void frmMain::Timer1_Timer()
{
    if (m_countdown.tick() == Countdown::Tick::Ticked) {
        TimeBar->setValue(CurrentTime());
        refreshTimeLeft();
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
    MakeTopMost(true);
    raise();
    activateWindow();
    // Where the window cannot stay on top (Wayland), the desktop is asked to point at it.
    QApplication::alert(this);
    setStatus(Countdown::timeUpText());
    setBackColor(QColor(255, 0, 0));
    setPicture(QStringLiteral("frown.ico"), tr("Frowning face"));
    ui().playSound(QStringLiteral("horn.wav"));
    Timer1->stop();
    mnuStopStart->setText(Countdown::startCaption());
    TimeBar->setValue(0);
    refreshTimeLeft();
}
