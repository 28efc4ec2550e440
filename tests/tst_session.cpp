// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/frmMain.h"
#include "logic/SessionWatcher.h"
#include "logic/SettingsStore.h"
#include "support/TestSupport.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <csignal>

namespace {

// A main window and a signal watcher wired as the program wires them.
struct Program : MainWindowFixture
{
    explicit Program(const QByteArray &settingsFile = QByteArray())
        : MainWindowFixture(settingsFile)
    {
        QObject::connect(&watcher, &SessionWatcher::sessionEnding, window.get(),
                         &frmMain::endSession);
    }
    SessionWatcher watcher;
};

// Puts a plain file where the program's settings folder should be.
void blockTheStore()
{
    const QString folder = QFileInfo(settingsFilePath()).absolutePath();
    QDir().mkpath(QFileInfo(folder).absolutePath());
    QFile blocker(folder);
    QVERIFY(blocker.open(QIODevice::WriteOnly));
}

} // namespace

class TestSession : public QObject
{
    Q_OBJECT
private slots:
    void terminatingSignalsUnloadAndSave_data();
    void terminatingSignalsUnloadAndSave();
    void desktopQuitUnloadsAndSaves();
    void sessionEndWhileAPromptIsOpen();
    void failedSaveAtSessionEndGoesToStandardError();
    void failedSaveAtExitIsShownAndExitGoesOn();
};

void TestSession::terminatingSignalsUnloadAndSave_data()
{
    QTest::addColumn<int>("signalNumber");
    QTest::newRow("SIGTERM") << SIGTERM;
    QTest::newRow("SIGHUP") << SIGHUP;
    QTest::newRow("SIGINT") << SIGINT;
}

void TestSession::terminatingSignalsUnloadAndSave()
{
    QFETCH(int, signalNumber);
    Program program("[Settings]\nMaxTime=3.5\n");
    QSignalSpy unloaded(program.window.get(), &frmMain::unloaded);
    // Even while counting, the end of the session asks for no password.
    program.stopStart->trigger();

    ::raise(signalNumber);
    QTRY_COMPARE(unloaded.size(), 1);
    QVERIFY(!program.window->isVisible());
    QCOMPARE(GetSetting(Settings::section, Settings::maxTimeKey, QString()), QStringLiteral("4"));
    QVERIFY(program.recorder.messages.isEmpty());
}

void TestSession::desktopQuitUnloadsAndSaves()
{
    Program program;
    QSignalSpy unloaded(program.window.get(), &frmMain::unloaded);

    QEvent quit(QEvent::Quit);
    QCoreApplication::sendEvent(qApp, &quit);
    QCOMPARE(unloaded.size(), 1);
    QCOMPARE(GetSetting(Settings::section, Settings::maxTimeKey, QString()), QStringLiteral("600"));
}

void TestSession::sessionEndWhileAPromptIsOpen()
{
    Program program;
    QSignalSpy unloaded(program.window.get(), &frmMain::unloaded);
    program.stopStart->trigger();

    // The program leaves its event loops when the window has unloaded; here the
    // prompt is closed by hand a moment after the signal.
    ModalDriver driver;
    driver.then([](QWidget *prompt) {
        ::raise(SIGTERM);
        QTimer::singleShot(200, prompt, &QWidget::close);
    });
    program.stopStart->trigger();

    QCOMPARE(driver.handled(), 1);
    QCOMPARE(unloaded.size(), 1);
    QCOMPARE(GetSetting(Settings::section, Settings::maxTimeKey, QString()), QStringLiteral("600"));
    QVERIFY(program.recorder.messages.isEmpty());
}

void TestSession::failedSaveAtSessionEndGoesToStandardError()
{
    Program program;
    QSignalSpy unloaded(program.window.get(), &frmMain::unloaded);
    blockTheStore();

    StandardErrorCapture standardError;
    ::raise(SIGHUP);
    QTRY_COMPARE(unloaded.size(), 1);
    const QString written = standardError.text();

    QVERIFY(program.recorder.messages.isEmpty());
    QCOMPARE(written.count(QLatin1Char('\n')), 1);
    QVERIFY2(written.startsWith(applicationName() + QStringLiteral(": MaxTime could not be saved")),
             qPrintable(written));
}

void TestSession::failedSaveAtExitIsShownAndExitGoesOn()
{
    Program program;
    QSignalSpy unloaded(program.window.get(), &frmMain::unloaded);
    blockTheStore();

    program.trigger("mnuExit");
    QCOMPARE(unloaded.size(), 1);
    QCOMPARE(program.recorder.messages.size(), 1);
    QVERIFY(program.recorder.messages.first().text.startsWith(
        QStringLiteral("MaxTime could not be saved")));
    QCOMPARE(program.recorder.messages.first().title, applicationName());
    QCOMPARE(program.recorder.messages.first().icon, UiService::MessageIcon::Exclamation);
}

QTEST_MAIN(TestSession)
#include "tst_session.moc"
