// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Translations.h"
#include "app/frmMain.h"
#include "guard/GuardLink.h"
#include "logic/Platform.h"
#include "logic/SessionWatcher.h"
#include "logic/SingleInstance.h"
#include "logic/SystemLock.h"

#include <QApplication>
#include <QProcessEnvironment>

#include <csignal>

int main(int argc, char *argv[])
{
    // A write past the file-size limit then fails like one to a full disk, which the
    // settings store notices and reports, instead of ending the program on the spot.
    std::signal(SIGXFSZ, SIG_IGN);

    // Must be decided before the application connects to the window system.
    const QByteArray platform = Platform::choosePlatform(QProcessEnvironment::systemEnvironment());
    if (!platform.isEmpty())
        qputenv("QT_QPA_PLATFORM", platform);
    // On X11 the window's pictures go to the server in the requests themselves, not
    // through shared memory: before each paint over shared memory the server must first
    // be asked whether it has read the last one, a round trip that woke the program five
    // times a second while a turn ran. Its windows are small enough for either way.
    if (!qEnvironmentVariableIsSet("QT_XCB_NO_MITSHM"))
        qputenv("QT_XCB_NO_MITSHM", "1");
    // The few short patterns the program checks texts with are matched as they are:
    // compiling them to machine code first would map half a megabyte of the pattern
    // library's compiler for the whole run, for a match or two at start.
    if (!qEnvironmentVariableIsSet("QT_ENABLE_REGEXP_JIT"))
        qputenv("QT_ENABLE_REGEXP_JIT", "0");

    QApplication app(argc, argv);
    // A second start hands over to the first, which comes forward, and ends quietly.
    SingleInstance instance;
    if (!instance.claim())
        return 0;
    // Lets the desktop match the windows to the installed desktop entry and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral(TURNKEEPER_APP_ID));
    // The program ends when the main window has unloaded, not when windows close.
    QApplication::setQuitOnLastWindowClosed(false);
    // The family's language, from the system locale, before the first text is made.
    const Translations translations;

    // Watching for the end of the session from before the window loads: a signal that
    // comes meanwhile is answered once the event loop runs, instead of killing the
    // program with a turn half recorded.
    SessionWatcher watcher;
    // Where the administrator's lock gives the account's turn to the system's guard, the
    // window shows the guard's, reached where the lock says.
    frmMain window(nullptr, GuardLink::busFor(SystemLock::read()));
    QObject::connect(&watcher, &SessionWatcher::sessionEnding, &window, &frmMain::endSession);
    QObject::connect(&window, &frmMain::unloaded, &app, [] { QCoreApplication::exit(0); });
    QObject::connect(&instance, &SingleInstance::activated, &window, &frmMain::comeForward);

    window.show();
    return app.exec();
}
