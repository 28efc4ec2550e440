// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "CoreSupport.h"
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

// The picture of that width in an icon file, as 32-bit ARGB; null when it holds none.
QImage iconPicture(const QString &path, int width);

// Clicks the push button of that object name in window, as a person with a mouse would.
void click(QWidget *window, const char *name);

// Types text into widget key by key, non-ASCII characters included.
void typeText(QWidget *widget, const QString &text);

// Actions for the password prompt.
ModalDriver::Action typePassword(const QString &password);
ModalDriver::Action cancelPrompt();

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
