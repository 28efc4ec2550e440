// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QFont>
#include <QIcon>
#include <QPixmap>
#include <QString>
#include <QStringList>

class QWidget;

// Every message box, picture, sound and application property the windows use goes
// through this one service, so that tests can record a message box instead of
// blocking on it. The base class does the real work; install() swaps it.
class UiService
{
public:
    enum class MessageIcon { None, Exclamation };

    // System colours by the index the windows are designed with.
    enum class SystemColor {
        InactiveCaption = 3,
        Window = 5,
        CaptionText = 9,
        AppWorkspace = 12,
        Highlight = 13,
        ButtonFace = 15,
    };

    UiService();
    virtual ~UiService();
    UiService(const UiService &) = delete;
    UiService &operator=(const UiService &) = delete;

    // The service in use; a default one is made on first use.
    static UiService &instance();
    // Makes service the one in use (nullptr: back to the default). The caller keeps
    // ownership and uninstalls it before destroying it.
    static void install(UiService *service);

    // A modal box with one OK button; its answer is never used.
    virtual void message(QWidget *parent, const QString &text, MessageIcon icon,
                         const QString &title);

    // Asks, through the desktop's file dialog, where to save a file; suggestedName is
    // offered in the user's documents folder (or home folder). An empty text when the
    // user cancels.
    virtual QString saveFileName(QWidget *parent, const QString &title,
                                 const QString &suggestedName, const QString &filter);

    // Starts playing a sound file named relative to the current directory and returns
    // at once; when it is missing or cannot be decoded, the copy built into the
    // program plays. When no sound can be heard, the first silence is explained on
    // standard error.
    virtual void playSound(const QString &fileName);
    // Reads the sounds a turn may play ahead of the moment they play, loading the sound
    // system the first time; each call reads the files again, so that a sound file
    // replaced meanwhile is heard from the next turn on.
    virtual void prepareSounds(const QStringList &fileNames);
    // Where the sound module is looked for before the program's own folder: a test
    // runs from another folder than the program.
    static void setSoundModuleFolder(const QString &folder);

    // Tells screen readers that what widget says has changed, so they speak it.
    virtual void announce(QWidget *widget);
    // The same for what widget's accessible description says.
    virtual void announceDescription(QWidget *widget);
    // Says text to screen readers at once, whatever window has the keyboard, on behalf
    // of window.
    virtual void say(QWidget *window, const QString &text);

    // Tells the desktop session, through its notification service, that an alarm has
    // gone off: a critical notice titled with the application's name, with the
    // desktop's alarm sound. Returns at once.
    virtual void notifyAlarm(const QString &text);
    // Connects to the notification service ahead of the first alarm.
    virtual void prepareNotifications();

    // An icon file named relative to the current directory, read afresh at each call;
    // when it is missing or unreadable, the copy built into the program.
    QIcon icon(const QString &fileName) const;
    // The picture of that icon file for a box of the given logical size on a screen of
    // the given device pixel ratio, with the same fallback: the smallest drawing that
    // fills the box in device pixels, else the largest. Its device pixel ratio makes it
    // cover the box exactly, so that a drawing of the box's size in device pixels is
    // shown pixel for pixel and any other is resampled once, by the label.
    QPixmap picture(const QString &fileName, const QSize &box, qreal devicePixelRatio) const;

    QColor systemColor(SystemColor color) const;

    // Fonts are asked for by name; where a face is missing, a look-alike stands in.
    QFont font(const QString &family, qreal pointSize, int weight) const;

    QString applicationName() const; // the executable's base name, read at each call
    QString applicationTitle() const;
    QString applicationDescription() const;
    int versionMajor() const;
    int versionMinor() const;
    int versionRevision() const;
};

// Shorthand for UiService::instance().
inline UiService &ui()
{
    return UiService::instance();
}
