// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "logic/Children.h"
#include "logic/Countdown.h"
#include "logic/TurnLog.h"

#include <QMainWindow>

#include <functional>
#include <optional>

class QAction;
class QLabel;
class QMenu;
class TimeLeftBar;
class QTimer;

// The program's one main window. It shows the countdown, carries the menus from which
// every other window opens, and is the only way out of the program: the program ends
// once it has unloaded.
class frmMain : public QMainWindow
{
    Q_OBJECT
public:
    explicit frmMain(QWidget *parent = nullptr);

    // Seconds counted since the countdown was last started; 0 while it is not running.
    qint32 CurrentTime() const { return m_countdown.count(); }

    // Keeps the window above all ordinary windows while true, without moving it.
    void MakeTopMost(bool Show);

    // The timer length in whole seconds.
    qint32 MaxTime() const { return mlngMaxTime; }
    // Rounds to whole seconds, an exact half to the even neighbour; a number that
    // does not fit leaves the length as it was. The bar is not touched.
    void setMaxTime(double vNewValue);
    // Reads a stored text; one that is no usable length gives the default.
    void setMaxTime(const QString &vNewValue);

    // Whether the countdown is running.
    bool isCounting() const;

public slots:
    // The desktop session is ending (logout, shutdown, a terminating signal): save
    // and leave without asking anything.
    void endSession();

signals:
    // The window has unloaded and saved; the program should now end.
    void unloaded();

protected:
    void changeEvent(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    enum class UnloadReason { ExitCommand, SessionEnd };

    void createControls();
    void createMenus();
    QAction *addEntry(QMenu *menu, const QString &caption, const QString &name);

    void Form_Load();
    void Form_Unload(UnloadReason reason);
    void unload(UnloadReason reason);

    void mnuAbout_Click();
    void mnuContents_Click();
    void mnuPasswords_Click();
    void mnuChildren_Click();
    void mnuTurns_Click();
    void mnuSetTime_Click();
    void mnuExit_Click();

    // The countdown: Start and Stop, the one-second tick and the time's-up alarm.
    void mnuStopStart_Click();
    void Timer1_Timer();
    void readyReset();
    void startSteps();
    void showRunning();
    void alarmSteps();
    // A turn recorded by an earlier run of the program goes on, or shows its time's up.
    void resumeTurn();
    void recordTurn(const QDateTime &started);
    void forgetTurn();
    void keepWhoIsNext();
    // The stretch of the turn that runs now ends in the record of turns.
    void endStretch(TurnLog::Ending ending);
    // Brings the record of turns up to date with the turn found at the start, once.
    void settleRecordOfTurns();
    void reportRecordFailure(const QString &error);

    void releaseTopMost();
    bool askForPassword();
    void setBackColor(const QColor &color);
    void setPicture(const QString &fileName, const QString &description);
    void setStatus(const QString &text);
    void refreshBar();
    // The bar's text says whose turn is next: screen readers hear it.
    void announceNext();

    Countdown m_countdown;
    // The children who take turns, and whose turn runs now (empty without names).
    Children m_children;
    QString m_turnChild;
    // The record of turns, opened at its first use, and the stretch that runs now.
    TurnLog m_log;
    std::optional<qint64> m_stretch;
    std::function<void()> m_settleLog;
    qint32 mlngMaxTime = 0;
    bool mblnTopMost = false;
    // Whether the settings store may hold a turn that has to be cleared when it ends.
    bool m_turnRecorded = false;
    bool m_recordFailureReported = false;
    // The length in use is the administrator's, not the user's: never saved as theirs.
    bool m_lengthLocked = false;
    bool m_unloaded = false;

    QWidget *m_client = nullptr;
    QLabel *Image1 = nullptr;
    QLabel *Label1 = nullptr;
    TimeLeftBar *TimeBar = nullptr;
    QTimer *Timer1 = nullptr;

    QAction *mnuPasswords = nullptr;
    QAction *mnuChildren = nullptr;
    QAction *mnuTurns = nullptr;
    QAction *mnuExit = nullptr;
    QAction *mnuSetTime = nullptr;
    QAction *mnuStopStart = nullptr;
    QAction *mnuContents = nullptr;
    QAction *mnuAbout = nullptr;
};
