// SPDX-License-Identifier: GPL-3.0-or-later
// The countdown lives in the main window: Start and Stop, the one-second tick and
// the time's-up alarm, working on the window's count, bar, label, face and colour.
#include "app/frmMain.h"

#include "app/UiService.h"
#include "countdown/Countdown.h"

#include <QAction>
#include <QLabel>
#include <QProgressBar>
#include <QTimer>

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
    Label1->setText(Countdown::readyText());
    setBackColor(ui().systemColor(UiService::SystemColor::ButtonFace));
    setPicture(QStringLiteral("face.ico"));
    mnuStopStart->setText(Countdown::startCaption());
    TimeBar->setValue(0);
    CurrentTime = 0;
}

// Every way out of Running has already put the count and the bar back to 0.
void frmMain::startSteps()
{
    Timer1->start();
    Label1->setText(Countdown::startedText());
    setBackColor(QColor(0, 255, 0));
    setPicture(QStringLiteral("smile.ico"));
    mnuStopStart->setText(Countdown::stopCaption());
}

void frmMain::Timer1_Timer()
{
    CurrentTime = Countdown::nextCount(CurrentTime);
    TimeBar->setValue(CurrentTime);
    if (MaxTime() != CurrentTime)
        return;
    alarmSteps();
}

void frmMain::alarmSteps()
{
    MakeTopMost(true);
    raise();
    activateWindow();
    Label1->setText(Countdown::timeUpText());
    setBackColor(QColor(255, 0, 0));
    setPicture(QStringLiteral("frown.ico"));
    ui().playSound(QStringLiteral("horn.wav"));
    Timer1->stop();
    mnuStopStart->setText(Countdown::startCaption());
    CurrentTime = 0;
    TimeBar->setValue(0);
}
