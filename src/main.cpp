// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/SessionWatcher.h"
#include "app/frmMain.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    // The program ends when the main window has unloaded, not when windows close.
    QApplication::setQuitOnLastWindowClosed(false);

    frmMain window;
    SessionWatcher watcher;
    QObject::connect(&watcher, &SessionWatcher::sessionEnding, &window, &frmMain::endSession);
    QObject::connect(&window, &frmMain::unloaded, &app, [] { QCoreApplication::exit(0); });

    window.show();
    return app.exec();
}
