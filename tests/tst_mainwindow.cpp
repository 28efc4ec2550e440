// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/frmMain.h"
#include "logic/SettingsStore.h"
#include "support/PictureDifference.h"
#include "support/TestSupport.h"
#include "ui/TimeLeftBar.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QWindow>

namespace {

const QColor green(0, 255, 0);
const QColor red(255, 0, 0);

// A settings file that holds only a length, as written by hand.
QByteArray lengthFile(const QByteArray &text)
{
    return "[Settings]\nMaxTime=" + text + "\n";
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
    void pictureForBox_data();
    void pictureForBox();
    void shownFaceIsTheDrawingAtTheScreensScale_data();
    void shownFaceIsTheDrawingAtTheScreensScale();
    void realClockRunsATwoSecondTurn();
};

void TestMainWindow::freshAccountStartsReady()
{
    MainWindowFixture main;

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
    MainWindowFixture main(lengthFile(stored));
    QCOMPARE(main.window->MaxTime(), seconds);
    QCOMPARE(main.bar->maximum(), seconds);
}

void TestMainWindow::wholeTurn()
{
    MainWindowFixture main(lengthFile("3"));

    main.stopStart->trigger();
    QVERIFY(main.timer->isActive());
    QCOMPARE(main.label->text(), QStringLiteral("Timer Started!"));
    QCOMPARE(main.backColor(), green);
    QVERIFY(main.shows("smile.ico"));
    QCOMPARE(main.stopStart->text(), QStringLiteral("&Stop Timer"));

    main.ticks(2);
    QCOMPARE(main.window->CurrentTime(), 2);
    QCOMPARE(main.bar->value(), 2);
    QVERIFY(main.timer->isActive());
    QVERIFY(main.recorder.sounds.isEmpty());

    main.tick();
    QCOMPARE(main.label->text(), QStringLiteral("Time's Up!"));
    QCOMPARE(main.backColor(), red);
    QVERIFY(main.shows("frown.ico"));
    QVERIFY(main.topMost());
    QCOMPARE(main.recorder.sounds, QStringList{QStringLiteral("horn.wav")});
    QCOMPARE(main.recorder.notifications, QStringList{QStringLiteral("Time's Up!")});
    QVERIFY(!main.timer->isActive());
    QCOMPARE(main.stopStart->text(), QStringLiteral("&Start Timer"));
    QCOMPARE(main.window->CurrentTime(), 0);
    QCOMPARE(main.bar->value(), 0);
    QVERIFY(main.recorder.messages.isEmpty());
}

void TestMainWindow::startAfterTimeUpNeedsNoPassword()
{
    MainWindowFixture main(lengthFile("2"));
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
    QCOMPARE(main.window->CurrentTime(), 1);
    main.tick();
    QCOMPARE(main.label->text(), QStringLiteral("Time's Up!"));
    QCOMPARE(main.recorder.sounds.size(), 2);
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
    MainWindowFixture main;
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
        QCOMPARE(main.window->CurrentTime(), 0);
        QVERIFY(main.recorder.messages.isEmpty());
        main.stopStart->trigger();
        main.tick();
        QCOMPARE(main.window->CurrentTime(), 1);
    } else {
        QVERIFY(main.timer->isActive());
        QCOMPARE(main.stopStart->text(), QStringLiteral("&Stop Timer"));
        QCOMPARE(main.window->CurrentTime(), 7);
        QCOMPARE(main.bar->value(), 7);
        QCOMPARE(main.recorder.messages.size(), answer.isEmpty() ? 0 : 1);
    }
}

void TestMainWindow::alarmDuringStopPromptEndsReadyButOnTop()
{
    MainWindowFixture main(lengthFile("2"));
    main.stopStart->trigger();
    main.tick();

    ModalDriver driver;
    driver.then([&](QWidget *prompt) {
        main.tick();
        typePassword(QStringLiteral("playfairly"))(prompt);
    });
    main.stopStart->trigger();

    QCOMPARE(main.recorder.sounds.size(), 1);
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
    MainWindowFixture main(lengthFile("1"));
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
    MainWindowFixture main(lengthFile("2.5"));
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
    QVERIFY(main.recorder.messages.isEmpty());
}

void TestMainWindow::refusedExitKeepsCounting()
{
    MainWindowFixture main;
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
    QCOMPARE(main.window->CurrentTime(), 1);
    // The length is saved only when the program is left.
    QCOMPARE(GetSetting(Settings::section, Settings::maxTimeKey, QString()), QString());
}

void TestMainWindow::frameCannotCloseTheWindow()
{
    MainWindowFixture main;
    QSignalSpy unloaded(main.window.get(), &frmMain::unloaded);
    main.stopStart->trigger();

    QVERIFY(!main.window->close());
    QVERIFY(main.window->isVisible());
    QVERIFY(main.timer->isActive());
    QCOMPARE(unloaded.size(), 0);
}

void TestMainWindow::missingPicturesFallBackToBuiltInOnes()
{
    MainWindowFixture main(lengthFile("1"), MainWindowFixture::Clock::ByHand,
                           TestHome::Files::None);
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
    QCOMPARE(main.recorder.sounds.size(), 1);
    QVERIFY(!main.timer->isActive());
    QCOMPARE(main.stopStart->text(), QStringLiteral("&Start Timer"));

    ModalDriver driver;
    driver.then(typePassword(QStringLiteral("playfairly")));
    main.stopStart->trigger();
    main.stopStart->trigger();
    QCOMPARE(main.image->pixmap().toImage(), face);
}

// Where no drawing fills a 96-pixel box exactly: the smallest larger one, else the
// largest, read from the file in the current folder.
void TestMainWindow::pictureForBox_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<double>("ratio");
    QTest::addColumn<int>("width");
    QTest::addColumn<bool>(
        "locked"); // under the lock: the built-in face, whatever the folder holds
    QTest::newRow("between sizes") << QStringLiteral("face.ico") << 1.25 << 192 << false;
    QTest::newRow("only smaller ones") << QStringLiteral("topic.ico") << 2.0 << 32 << false;
    QTest::newRow("another picture, under the lock")
        << QStringLiteral("topic.ico") << 1.25 << 192 << true;
}

void TestMainWindow::pictureForBox()
{
    QFETCH(QString, file);
    QFETCH(double, ratio);
    QFETCH(int, width);
    QFETCH(bool, locked);
    TestHome home(TestHome::Files::None);
    QVERIFY(QFile::copy(QStringLiteral(TURNKEEPER_RESOURCES_DIR "/") + file,
                        QStringLiteral("face.ico")));
    if (locked)
        home.writeSystemLock("[Settings]\nLocked=true\n");

    const QPixmap picture = ui().picture(QStringLiteral("face.ico"), QSize(96, 96), ratio);
    QCOMPARE(picture.deviceIndependentSize(), QSizeF(96, 96));
    QVERIFY(picture.toImage().convertToFormat(QImage::Format_ARGB32) ==
            iconPicture(locked ? QStringLiteral(":/pictures/face.ico") : QStringLiteral("face.ico"),
                        width));
}

void TestMainWindow::shownFaceIsTheDrawingAtTheScreensScale_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<int>("ticks"); // of a one-second turn; -1: none started
    QTest::newRow("ready") << QStringLiteral("face.ico") << -1;
    QTest::newRow("running") << QStringLiteral("smile.ico") << 0;
    QTest::newRow("time's up") << QStringLiteral("frown.ico") << 1;
}

// Read back from the screen's pixels, the face is the drawing made for its box at the
// scale QT_SCALE_FACTOR asks for (CTest runs this at 1 and 2), not a smaller drawing
// stretched, which blurs every edge.
void TestMainWindow::shownFaceIsTheDrawingAtTheScreensScale()
{
    QFETCH(QString, fileName);
    QFETCH(int, ticks);
    MainWindowFixture main(lengthFile("1"));
    if (ticks >= 0) {
        main.stopStart->trigger();
        main.ticks(ticks);
    }
    const qreal scale = qEnvironmentVariable("QT_SCALE_FACTOR", QStringLiteral("1")).toDouble();
    QCOMPARE(main.image->devicePixelRatioF(), scale);
    const QImage drawing = iconPicture(fileName, qRound(96 * scale));
    QVERIFY(!drawing.isNull());

    QImage expected(drawing.size(), QImage::Format_ARGB32_Premultiplied);
    expected.fill(main.backColor());
    QPainter(&expected).drawImage(0, 0, drawing);
    const QString difference = pictureDifference(main.image->grab().toImage(), expected);
    QVERIFY2(difference.isEmpty(), qPrintable(difference));
}

void TestMainWindow::realClockRunsATwoSecondTurn()
{
    MainWindowFixture main(lengthFile("2"), MainWindowFixture::Clock::Real);
    QCOMPARE(main.timer->interval(), 1000);

    // Never early; how late a busy machine makes it is for the bench to measure.
    // The clock starts before Start, which starts the timer and then records the turn.
    QElapsedTimer clock;
    clock.start();
    main.stopStart->trigger();
    QTRY_COMPARE_WITH_TIMEOUT(main.label->text(), QStringLiteral("Time's Up!"), 60000);
    QVERIFY2(clock.elapsed() >= 1990, qPrintable(QString::number(clock.elapsed())));
    QVERIFY(!main.timer->isActive());
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
