// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/frmMain.h"
#include "settings/SettingsStore.h"
#include "support/TestSupport.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QProgressBar>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <memory>

namespace {

// The main window under test, shown, with its controls found by their names.
struct MainWindow
{
    explicit MainWindow(bool realClock = false) : window(std::make_unique<frmMain>())
    {
        window->show();
        timer = window->findChild<QTimer *>(QStringLiteral("Timer1"));
        bar = window->findChild<QProgressBar *>(QStringLiteral("TimeBar"));
        label = window->findChild<QLabel *>(QStringLiteral("Label1"));
        image = window->findChild<QLabel *>(QStringLiteral("Image1"));
        stopStart = action("mnuStopStart");
        // Ticks are delivered by hand unless a test wants the real clock.
        if (!realClock)
            timer->setInterval(24 * 3600 * 1000);
    }

    QAction *action(const char *name) const
    {
        return window->findChild<QAction *>(QString::fromLatin1(name));
    }
    void tick() const { QMetaObject::invokeMethod(timer, "timeout"); }
    void ticks(int count) const
    {
        for (int i = 0; i < count; ++i)
            tick();
    }
    QColor backColor() const { return window->centralWidget()->palette().color(QPalette::Window); }
    bool topMost() const
    {
        return window->windowFlags().testFlag(Qt::WindowStaysOnTopHint) &&
               window->windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint);
    }
    bool shows(const char *picture) const
    {
        return image->pixmap().toImage() == ui().picture(QString::fromLatin1(picture)).toImage();
    }
    // Runs a whole turn up to its alarm.
    void runToAlarm() const
    {
        stopStart->trigger();
        ticks(window->MaxTime());
    }

    std::unique_ptr<frmMain> window;
    QTimer *timer = nullptr;
    QProgressBar *bar = nullptr;
    QLabel *label = nullptr;
    QLabel *image = nullptr;
    QAction *stopStart = nullptr;
};

const QColor green(0, 255, 0);
const QColor red(255, 0, 0);

void storeLength(const TestHome &home, const QByteArray &text)
{
    home.writeSettingsFile("[Settings]\nMaxTime=" + text + "\n");
}

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT
private slots:
    void freshAccountStartsReady();
    void storedLength_data();
    void storedLength();
    void wholeTurn();
    void startAfterTimeUpNeedsNoPassword();
    void stop_data();
    void stop();
    void alarmDuringStopPromptEndsReadyButOnTop();
    void commandsAndTheTopMostState_data();
    void commandsAndTheTopMostState();
    void exitSavesTheLength_data();
    void exitSavesTheLength();
    void refusedExitKeepsCounting();
    void frameCannotCloseTheWindow();
    void missingPicturesFallBackToBuiltInOnes();
    void realClockRunsATwoSecondTurn();
};

void TestMainWindow::freshAccountStartsReady()
{
    TestHome home;
    RecordingUi recorder;
    MainWindow main;

    QCOMPARE(main.window->objectName(), QStringLiteral("frmMain"));
    QCOMPARE(main.window->windowTitle(), QStringLiteral("TurnKeeper"));
    QCOMPARE(main.window->centralWidget()->size(), QSize(209, 169));
    QVERIFY(!main.window->windowFlags().testFlag(Qt::WindowCloseButtonHint));
    QCOMPARE(main.label->text(), QStringLiteral("Timer Ready!"));
    QCOMPARE(main.backColor(), ui().systemColor(UiService::SystemColor::ButtonFace));
    QVERIFY(main.shows("face.ico"));
    QVERIFY(!main.shows("smile.ico"));
    QCOMPARE(main.stopStart->text(), QStringLiteral("&Start Timer"));
    QCOMPARE(main.window->MaxTime(), 600);
    QCOMPARE(main.bar->maximum(), 600);
    QCOMPARE(main.bar->value(), 0);
    QVERIFY(!main.timer->isActive());
    QCOMPARE(main.timer->timerType(), Qt::PreciseTimer);
    QVERIFY(!main.topMost());

    const QList<QPair<const char *, QString>> entries = {{"mnuPasswords", "&Security"},
                                                         {"mnuExit", "&Exit"},
                                                         {"mnuSetTime", "&Set Time"},
                                                         {"mnuContents", "&Contents"},
                                                         {"mnuAbout", "&About"}};
    for (const auto &[name, caption] : entries) {
        QVERIFY2(main.action(name), name);
        QCOMPARE(main.action(name)->text(), caption);
    }
}

void TestMainWindow::storedLength_data()
{
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<int>("seconds");
    QTest::newRow("90") << QByteArray("90") << 90;
    QTest::newRow("2.5 rounds to even") << QByteArray("2.5") << 2;
    QTest::newRow("3.5 rounds to even") << QByteArray("3.5") << 4;
    QTest::newRow("junk") << QByteArray("junk") << 600;
    QTest::newRow("negative") << QByteArray("-5") << 600;
    QTest::newRow("beyond 32 bits") << QByteArray("99999999999") << 600;
}

void TestMainWindow::storedLength()
{
    QFETCH(QByteArray, stored);
    QFETCH(int, seconds);
    TestHome home;
    RecordingUi recorder;
    storeLength(home, stored);
    MainWindow main;
    QCOMPARE(main.window->MaxTime(), seconds);
    QCOMPARE(main.bar->maximum(), seconds);
}

void TestMainWindow::wholeTurn()
{
    TestHome home;
    RecordingUi recorder;
    storeLength(home, "3");
    MainWindow main;

    main.stopStart->trigger();
    QVERIFY(main.timer->isActive());
    QCOMPARE(main.label->text(), QStringLiteral("Timer Started!"));
    QCOMPARE(main.backColor(), green);
    QVERIFY(main.shows("smile.ico"));
    QCOMPARE(main.stopStart->text(), QStringLiteral("&Stop Timer"));

    main.ticks(2);
    QCOMPARE(main.window->CurrentTime, 2);
    QCOMPARE(main.bar->value(), 2);
    QVERIFY(main.timer->isActive());
    QVERIFY(recorder.sounds.isEmpty());

    main.tick();
    QCOMPARE(main.label->text(), QStringLiteral("Time's Up!"));
    QCOMPARE(main.backColor(), red);
    QVERIFY(main.shows("frown.ico"));
    QVERIFY(main.topMost());
    QCOMPARE(recorder.sounds, QStringList{QStringLiteral("horn.wav")});
    QVERIFY(!main.timer->isActive());
    QCOMPARE(main.stopStart->text(), QStringLiteral("&Start Timer"));
    QCOMPARE(main.window->CurrentTime, 0);
    QCOMPARE(main.bar->value(), 0);
    QVERIFY(recorder.messages.isEmpty());
}

void TestMainWindow::startAfterTimeUpNeedsNoPassword()
{
    TestHome home;
    RecordingUi recorder;
    storeLength(home, "2");
    MainWindow main;
    main.runToAlarm();
    QVERIFY(main.topMost());

    ModalDriver driver(1000);
    driver.then(cancelPrompt());
    main.stopStart->trigger();
    QCOMPARE(driver.handled(), 0);
    QVERIFY(!main.topMost());
    QVERIFY(main.timer->isActive());
    QCOMPARE(main.backColor(), green);
    QVERIFY(main.shows("smile.ico"));

    main.tick();
    QCOMPARE(main.window->CurrentTime, 1);
    main.tick();
    QCOMPARE(main.label->text(), QStringLiteral("Time's Up!"));
    QCOMPARE(recorder.sounds.size(), 2);
}

void TestMainWindow::stop_data()
{
    QTest::addColumn<QString>("answer"); // empty: the prompt is cancelled
    QTest::addColumn<bool>("stops");
    QTest::newRow("right password") << QStringLiteral("playfairly") << true;
    QTest::newRow("wrong password") << QStringLiteral("Playfairly") << false;
    QTest::newRow("cancelled") << QString() << false;
}

void TestMainWindow::stop()
{
    QFETCH(QString, answer);
    QFETCH(bool, stops);
    TestHome home;
    RecordingUi recorder;
    MainWindow main;
    main.stopStart->trigger();
    main.ticks(5);

    // Two ticks fall while the prompt is open; a wrong password is refused once and
    // the prompt then cancelled.
    ModalDriver driver;
    driver.then([&](QWidget *prompt) {
        main.ticks(2);
        if (answer.isEmpty()) {
            cancelPrompt()(prompt);
            return;
        }
        typePassword(answer)(prompt);
        if (prompt->isVisible())
            cancelPrompt()(prompt);
    });
    main.stopStart->trigger();
    QVERIFY(!driver.timedOut());
    QCOMPARE(driver.seen(), QStringList{QStringLiteral("frmLogin")});

    if (stops) {
        QVERIFY(!main.timer->isActive());
        QCOMPARE(main.label->text(), QStringLiteral("Timer Ready!"));
        QCOMPARE(main.backColor(), ui().systemColor(UiService::SystemColor::ButtonFace));
        QVERIFY(main.shows("face.ico"));
        QCOMPARE(main.stopStart->text(), QStringLiteral("&Start Timer"));
        QCOMPARE(main.bar->value(), 0);
        QCOMPARE(main.window->CurrentTime, 0);
        QVERIFY(recorder.messages.isEmpty());
        main.stopStart->trigger();
        main.tick();
        QCOMPARE(main.window->CurrentTime, 1);
    } else {
        QVERIFY(main.timer->isActive());
        QCOMPARE(main.stopStart->text(), QStringLiteral("&Stop Timer"));
        QCOMPARE(main.window->CurrentTime, 7);
        QCOMPARE(main.bar->value(), 7);
        QCOMPARE(recorder.messages.size(), answer.isEmpty() ? 0 : 1);
    }
}

void TestMainWindow::alarmDuringStopPromptEndsReadyButOnTop()
{
    TestHome home;
    RecordingUi recorder;
    storeLength(home, "2");
    MainWindow main;
    main.stopStart->trigger();
    main.tick();

    ModalDriver driver;
    driver.then([&](QWidget *prompt) {
        main.tick();
        typePassword(QStringLiteral("playfairly"))(prompt);
    });
    main.stopStart->trigger();

    QCOMPARE(recorder.sounds.size(), 1);
    QCOMPARE(main.label->text(), QStringLiteral("Timer Ready!"));
    QVERIFY(main.shows("face.ico"));
    QVERIFY(main.topMost());
}

void TestMainWindow::commandsAndTheTopMostState_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<bool>("asks");
    QTest::addColumn<bool>("topMostAfter");
    QTest::newRow("Set Time keeps it") << QStringLiteral("mnuSetTime") << true << true;
    QTest::newRow("Security releases it") << QStringLiteral("mnuPasswords") << true << false;
    QTest::newRow("About releases it") << QStringLiteral("mnuAbout") << false << false;
    QTest::newRow("Contents releases it") << QStringLiteral("mnuContents") << false << false;
    QTest::newRow("Exit releases it") << QStringLiteral("mnuExit") << false << false;
}

void TestMainWindow::commandsAndTheTopMostState()
{
    QFETCH(QString, command);
    QFETCH(bool, asks);
    QFETCH(bool, topMostAfter);
    TestHome home;
    RecordingUi recorder;
    storeLength(home, "1");
    MainWindow main;
    QSignalSpy unloaded(main.window.get(), &frmMain::unloaded);
    main.runToAlarm();
    QVERIFY(main.topMost());

    // Whatever opens is closed again; a password prompt is cancelled.
    bool topMostWhileOpen = false;
    QString opened;
    ModalDriver driver(2000);
    driver.then([&](QWidget *window) {
        topMostWhileOpen = main.topMost();
        opened = window->objectName();
        window->close();
    });
    main.window->findChild<QAction *>(command)->trigger();

    QCOMPARE(opened == QLatin1String("frmLogin"), asks);
    if (asks)
        QCOMPARE(topMostWhileOpen, topMostAfter);
    QCOMPARE(main.topMost(), topMostAfter);
    QCOMPARE(main.label->text(), QStringLiteral("Time's Up!"));
    QCOMPARE(unloaded.size(), command == QLatin1String("mnuExit") ? 1 : 0);
}

void TestMainWindow::exitSavesTheLength_data()
{
    QTest::addColumn<QString>("state");
    QTest::addColumn<bool>("asks");
    QTest::newRow("Ready") << QStringLiteral("Ready") << false;
    QTest::newRow("Running") << QStringLiteral("Running") << true;
    QTest::newRow("TimeUp") << QStringLiteral("TimeUp") << false;
}

void TestMainWindow::exitSavesTheLength()
{
    QFETCH(QString, state);
    QFETCH(bool, asks);
    TestHome home;
    RecordingUi recorder;
    storeLength(home, "2.5");
    MainWindow main;
    QSignalSpy unloaded(main.window.get(), &frmMain::unloaded);
    if (state != QLatin1String("Ready"))
        main.stopStart->trigger();
    if (state == QLatin1String("TimeUp"))
        main.ticks(2);

    ModalDriver driver(2000);
    driver.then(typePassword(QStringLiteral("playfairly")));
    main.action("mnuExit")->trigger();

    QCOMPARE(driver.handled(), asks ? 1 : 0);
    QCOMPARE(unloaded.size(), 1);
    QVERIFY(!main.window->isVisible());
    QVERIFY(!main.timer->isActive());
    QCOMPARE(GetSetting(Settings::section, Settings::maxTimeKey, QString()), QStringLiteral("2"));
    QVERIFY(recorder.messages.isEmpty());
}

void TestMainWindow::refusedExitKeepsCounting()
{
    TestHome home;
    RecordingUi recorder;
    MainWindow main;
    QSignalSpy unloaded(main.window.get(), &frmMain::unloaded);
    main.stopStart->trigger();

    ModalDriver driver;
    driver.then([&](QWidget *prompt) {
        main.tick();
        cancelPrompt()(prompt);
    });
    main.action("mnuExit")->trigger();

    QCOMPARE(driver.handled(), 1);
    QCOMPARE(unloaded.size(), 0);
    QVERIFY(main.window->isVisible());
    QVERIFY(main.timer->isActive());
    QCOMPARE(main.stopStart->text(), QStringLiteral("&Stop Timer"));
    QCOMPARE(main.window->CurrentTime, 1);
    QVERIFY(!QFile::exists(settingsFilePath()));
}

void TestMainWindow::frameCannotCloseTheWindow()
{
    TestHome home;
    RecordingUi recorder;
    MainWindow main;
    QSignalSpy unloaded(main.window.get(), &frmMain::unloaded);
    main.stopStart->trigger();

    QVERIFY(!main.window->close());
    QVERIFY(main.window->isVisible());
    QVERIFY(main.timer->isActive());
    QCOMPARE(unloaded.size(), 0);
}

void TestMainWindow::missingPicturesFallBackToBuiltInOnes()
{
    TestHome home(TestHome::Files::None);
    RecordingUi recorder;
    storeLength(home, "1");
    MainWindow main;
    const QImage face = main.image->pixmap().toImage();
    QVERIFY(!face.isNull());

    main.stopStart->trigger();
    const QImage smile = main.image->pixmap().toImage();
    QVERIFY(!smile.isNull());
    QVERIFY(smile != face);

    main.tick();
    const QImage frown = main.image->pixmap().toImage();
    QVERIFY(!frown.isNull());
    QVERIFY(frown != smile && frown != face);
    QCOMPARE(recorder.sounds.size(), 1);
    QVERIFY(!main.timer->isActive());
    QCOMPARE(main.stopStart->text(), QStringLiteral("&Start Timer"));

    ModalDriver driver;
    driver.then(typePassword(QStringLiteral("playfairly")));
    main.stopStart->trigger();
    main.stopStart->trigger();
    QCOMPARE(main.image->pixmap().toImage(), face);
}

void TestMainWindow::realClockRunsATwoSecondTurn()
{
    TestHome home;
    RecordingUi recorder;
    storeLength(home, "2");
    MainWindow main(true);
    QCOMPARE(main.timer->interval(), 1000);

    QElapsedTimer clock;
    main.stopStart->trigger();
    clock.start();
    QTRY_COMPARE_WITH_TIMEOUT(main.label->text(), QStringLiteral("Time's Up!"), 5000);
    QVERIFY2(clock.elapsed() >= 1990 && clock.elapsed() < 2300,
             qPrintable(QString::number(clock.elapsed())));
    QVERIFY(!main.timer->isActive());
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
