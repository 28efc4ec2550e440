// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "guard/GuardLink.h"
#include "logic/TurnSession.h"

#include <QDBusConnection>
#include <QMainWindow>

#include <memory>
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
    // guardBus: where the guard keeps the turn (GuardLink::busFor); the window keeps its
    // own turn without it, or where the guard says it keeps none. Where it does not answer
    // the window keeps no turn at all until it does.
    explicit frmMain(QWidget *parent = nullptr,
                     const std::optional<QDBusConnection> &guardBus = std::nullopt);
    ~frmMain() override;

    // Seconds counted since the countdown was last started; 0 while it is not running.
    qint32 CurrentTime() const { return m_session.elapsed(); }

    // Keeps the window above all ordinary windows while true, without moving it.
    void MakeTopMost(bool Show);

    // The timer length in whole seconds.
    qint32 MaxTime() const { return m_session.length(); }
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

public slots:
    // Another start of the program handed over to this one: it comes forward.
    void comeForward();

protected:
    void changeEvent(QEvent *event) override;
    void moveEvent(QMoveEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    enum class UnloadReason { ExitCommand, SessionEnd };

    void createControls();
    void createMenus();
    QAction *addEntry(QMenu *menu, const QString &caption, const QString &name);

    void Form_Load();
    // The length of the turns the window keeps itself: the administrator's, else the
    // user's own; m_lengthLocked says which.
    qint32 ownLength();
    void Form_Unload(UnloadReason reason);
    void unload(UnloadReason reason);

    void mnuAbout_Click();
    void mnuContents_Click();
    void mnuPasswords_Click();
    void mnuChildren_Click();
    void mnuTurns_Click();
    void mnuSetTime_Click();
    void mnuExit_Click();

    // The countdown: Start and Stop, the one-second tick, and what each state of the
    // turn looks like.
    void connectSession();
    void mnuStopStart_Click();
    void Timer1_Timer();
    void readyReset();
    void showRunning();
    void readSoundsWhenDue();
    void alarmSteps();
    // While the time's up shows, the window puts itself back wherever it is moved.
    void holdInView(bool hold);
    void reportRecordFailure(const QString &error);
    // One line, after the program's name, for whoever reads the session's log.
    static void sayOnStandardError(const QString &text);
    // With the guard, which keeps the turn that the window shows.
    void startWithGuard();
    // Tells what the guard refused, if it did.
    void tellRefusal(const GuardLink::Answer &answer);
    // The guard keeps the turn no more: the window keeps it again, and says so.
    void guardReleased();
    // The guard, when it answers and keeps the turn; null otherwise.
    GuardLink *guardUp() const;

    void releaseTopMost();
    // password: the one given, for the guard to check again.
    bool askForPassword(QString *password = nullptr);
    void setBackColor(const QColor &color);
    void setPicture(const QString &fileName, const QString &description);
    void setStatus(const QString &text);
    void refreshBar();
    // The bar's text says whose turn is next: screen readers hear it.
    void announceNext();

    TurnSession m_session;
    // The guard that keeps the turn; none when the window keeps it.
    std::unique_ptr<GuardLink> m_guard;
    bool mblnTopMost = false;
    // The length in use is the administrator's, not the user's: never saved as theirs.
    bool m_lengthLocked = false;
    bool m_unloaded = false;
    // Whether the running turn's sounds have been read.
    bool m_soundsRead = false;

    QWidget *m_client = nullptr;
    QLabel *Image1 = nullptr;
    QLabel *Label1 = nullptr;
    TimeLeftBar *TimeBar = nullptr;
    QTimer *Timer1 = nullptr;
    // Looks, once a second while the time's up shows, whether the window is still in view.
    QTimer *m_holdTimer = nullptr;
    // Where the window stood when its time was up.
    QRect m_heldPlace;

    QAction *mnuPasswords = nullptr;
    QAction *mnuChildren = nullptr;
    QAction *mnuTurns = nullptr;
    QAction *mnuExit = nullptr;
    QAction *mnuSetTime = nullptr;
    QAction *mnuStopStart = nullptr;
    QAction *mnuContents = nullptr;
    QAction *mnuAbout = nullptr;
};
