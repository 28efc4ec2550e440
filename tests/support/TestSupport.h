// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "logic/TurnClock.h"
#include "ui/UiService.h"

#include <QColor>
#include <QDBusConnection>
#include <QImage>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QTimer>

#include <functional>
#include <memory>
#include <optional>

class QAction;
class QLabel;
class TimeLeftBar;
class frmMain;

// Records message boxes, sounds and file dialogs instead of showing and playing them.
class RecordingUi : public UiService
{
public:
    struct Message
    {
        QString text;
        MessageIcon icon;
        QString title;
        bool parentVisible; // whether the box's window was on the screen yet
    };
    struct FileRequest
    {
        QString title;
        QString suggestedName;
        QString filter;
    };

    RecordingUi();
    ~RecordingUi() override;

    void message(QWidget *parent, const QString &text, MessageIcon icon,
                 const QString &title) override;
    void playSound(const QString &fileName) override;
    void prepareSounds(const QStringList &fileNames) override { prepared.append(fileNames); }
    void announce(QWidget *widget) override;
    void announceDescription(QWidget *widget) override;
    void say(QWidget *, const QString &text) override { said.append(text); }
    void notifyAlarm(const QString &text) override;
    void prepareNotifications() override {}
    // Answers saveAs, as a person who chose it in the dialog.
    QString saveFileName(QWidget *parent, const QString &title, const QString &suggestedName,
                         const QString &filter) override;

    QList<Message> messages;
    QStringList sounds;
    QStringList prepared;      // the sounds read ahead of their moment
    QStringList announcements; // what a screen reader would have said
    QStringList descriptions;  // the same, of accessible descriptions
    QStringList said;          // what screen readers were told at once
    QStringList notifications; // the alarms the desktop was told of
    QList<FileRequest> fileRequests;
    QString saveAs; // the file chosen in every save dialog; empty: cancelled
};

// A fresh settings folder, data folder and working directory for one test. The working
// directory holds the run-time pictures and horn unless asked otherwise. The system
// configuration folders are one empty folder of its own, so that no lock of the
// machine's applies.
class TestHome
{
public:
    enum class Files { RunTime, None };
    explicit TestHome(Files files = Files::RunTime);
    ~TestHome();
    TestHome(const TestHome &) = delete;
    TestHome &operator=(const TestHome &) = delete;

    QString configHome() const { return m_config.path(); }
    // XDG_DATA_HOME, where the record of turns goes.
    QString dataHome() const { return m_data.path(); }
    QString workDir() const { return m_work.path(); }
    QString settingsFile() const;
    // Writes the settings file by hand, as a person with a text editor would.
    void writeSettingsFile(const QByteArray &contents) const;
    // Writes any file, making its folder first.
    void writeFile(const QString &path, const QByteArray &contents) const;
    QString readSettingsFile() const;

    // The one folder of XDG_CONFIG_DIRS, where an administrator's lock goes.
    QString systemConfigDir() const { return m_system.path(); }
    QString systemLockFile() const;
    // Writes the administrator's lock file by hand.
    void writeSystemLock(const QByteArray &contents) const;

private:
    QTemporaryDir m_config;
    QTemporaryDir m_data;
    QTemporaryDir m_work;
    QTemporaryDir m_system;
    QString m_previousDir;
    QByteArray m_previousConfigHome;
    QByteArray m_previousConfigDirs;
    QByteArray m_previousDataHome;
};

// Acts on modal windows as a person would: each queued action runs on the next modal
// window that opens, polled every few milliseconds. Whatever is still open at the
// deadline is closed, so a test fails instead of hanging.
class ModalDriver : public QObject
{
public:
    using Action = std::function<void(QWidget *)>;

    explicit ModalDriver(int deadlineMs = 10000);
    ~ModalDriver() override;

    ModalDriver &then(Action action);
    int handled() const { return m_handled; }
    bool timedOut() const { return m_timedOut; }
    // Names of the windows the actions ran on, in order.
    QStringList seen() const { return m_seen; }

private:
    void poll();
    void giveUp();

    QList<Action> m_actions;
    QList<QPointer<QWidget>> m_done;
    QStringList m_seen;
    QTimer m_poll;
    QTimer m_deadline;
    int m_handled = 0;
    bool m_timedOut = false;
};

// Collects what is written to standard error while it lives.
class StandardErrorCapture
{
public:
    StandardErrorCapture();
    ~StandardErrorCapture();
    StandardErrorCapture(const StandardErrorCapture &) = delete;
    StandardErrorCapture &operator=(const StandardErrorCapture &) = delete;

    // What was written so far; ends the capture.
    QString text();
    // What was written so far; the capture goes on.
    QString peek();

private:
    void restore();

    QTemporaryFile m_file;
    int m_saved = -1;
};

// A private session bus (dbus-daemon) for one test program, in place of the desktop's
// own: DBUS_SESSION_BUS_ADDRESS points at it while it lives. Qt connects to the
// session bus once per program, so it must be made before anything uses the bus.
class SessionBus
{
public:
    SessionBus();
    ~SessionBus();
    SessionBus(const SessionBus &) = delete;
    SessionBus &operator=(const SessionBus &) = delete;

    bool isRunning() const { return !m_address.isEmpty(); }
    QString address() const { return m_address; }

private:
    QString m_address;
    qint64 m_pid = 0;
    QByteArray m_previousAddress;
};

// The picture of that width in an icon file, as 32-bit ARGB; null when it holds none.
QImage iconPicture(const QString &path, int width);

// Types text into widget key by key, non-ASCII characters included.
void typeText(QWidget *widget, const QString &text);

// Actions for the password prompt.
ModalDriver::Action typePassword(const QString &password);
ModalDriver::Action cancelPrompt();

// A turn's clock that moves only when the test moves it. Its wall clock starts at the
// real time, so that records written with the real time read as they would.
class ManualTurnClock : public TurnClock
{
public:
    explicit ManualTurnClock(const QDateTime &utc = QDateTime::currentDateTimeUtc());
    qint64 monotonicMs() const override { return m_monotonic; }
    QDateTime utcNow() const override { return m_utc.addMSecs(m_monotonic); }
    void advance(qint64 ms) { m_monotonic += ms; }
    // Moves only the wall clock, as a person changing the time would.
    void setWallClock(const QDateTime &utc) { m_utc = utc.addMSecs(-m_monotonic); }

private:
    qint64 m_monotonic = 0;
    QDateTime m_utc;
};

// Installs a clock for as long as it lives.
class InstalledClock
{
public:
    explicit InstalledClock(TurnClock *clock) { TurnClock::install(clock); }
    ~InstalledClock() { TurnClock::install(nullptr); }
    InstalledClock(const InstalledClock &) = delete;
    InstalledClock &operator=(const InstalledClock &) = delete;
};

// The program's main window in a fresh home folder, shown, with message boxes and
// sounds recorded and its controls found by their names. The one-second tick is
// delivered by hand, each moving the turn's clock a second, unless the real clock is
// asked for.
class MainWindowFixture
{
public:
    enum class Clock { ByHand, Real };

    // settingsFile, when given, is written by hand before the window loads.
    // guardBus: where the window looks for the guard; nowhere when not given.
    explicit MainWindowFixture(const QByteArray &settingsFile = QByteArray(),
                               Clock clock = Clock::ByHand,
                               TestHome::Files files = TestHome::Files::RunTime,
                               const std::optional<QDBusConnection> &guardBus = std::nullopt);
    ~MainWindowFixture();

    // Ends this window and loads a new one on the same home folder, as a new start of
    // the program would.
    void restart();

    QAction *action(const char *name) const;
    void trigger(const char *name) const;
    void tick();
    void ticks(int count);
    // Starts a turn and ticks it up to its alarm.
    void runToAlarm();

    QColor backColor() const;
    // Both the widget and its native window stay on top.
    bool topMost() const;
    // Whether the face shows the picture of that file.
    bool shows(const char *picture) const;
    QStringList messageTexts() const;

    // Chooses a menu entry that asks for the password, gives the default one, and runs
    // act on the window that opens, which act must close. True when exactly the prompt
    // and one window named windowName opened and closed in time.
    bool throughPassword(const char *entry, const QString &windowName,
                         const ModalDriver::Action &act) const;
    // Chooses a menu entry that opens one window without asking, and runs act on it,
    // which must close it. True when it closed in time.
    bool open(const char *entry, const ModalDriver::Action &act) const;

    TestHome home;
    RecordingUi recorder;
    ManualTurnClock clock;
    std::unique_ptr<frmMain> window;
    QTimer *timer = nullptr;
    TimeLeftBar *bar = nullptr;
    QLabel *label = nullptr;
    QLabel *image = nullptr;
    QAction *stopStart = nullptr;
    // Where the next load() looks for the guard.
    std::optional<QDBusConnection> guardBus;

private:
    void load();

    Clock m_clock;
    std::optional<InstalledClock> m_installedClock;
};
