// SPDX-License-Identifier: GPL-3.0-or-later
// A turn that outlives the program: its record in the settings store, and what a new
// start makes of it.
#include "app/frmMain.h"
#include "logic/SettingsStore.h"
#include "logic/TurnRecord.h"
#include "support/TestSupport.h"
#include "ui/TimeLeftBar.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <optional>

namespace {

const QDateTime now = QDateTime::fromString(QStringLiteral("2026-12-07T17:00:00Z"), Qt::ISODate);

// A settings file with a length and a turn that started the given seconds ago.
QByteArray withTurn(qint32 length, qint64 secondsAgo, qint32 maxTime = 600)
{
    return "[Settings]\nMaxTime=" + QByteArray::number(maxTime) + "\n" +
           turnGroup(QDateTime::currentDateTimeUtc().addSecs(-secondsAgo), length);
}

bool turnRecorded()
{
    return GetSettingValue(QStringLiteral("Turn/Started")).isValid();
}

} // namespace

class TestTurn : public QObject
{
    Q_OBJECT
private slots:
    void resumption_data();
    void resumption();
    void recordReadsOnlyWholeTurns_data();
    void recordReadsOnlyWholeTurns();
    void recordFollowsTheTurn_data();
    void recordFollowsTheTurn();
    void startTakesUpTheRecordedTurn_data();
    void startTakesUpTheRecordedTurn();
    void failedRecordIsSaidOnceAndTheTurnGoesOn();
    void recordOfTurnsCatchesUpAtStart_data();
    void recordOfTurnsCatchesUpAtStart();
    void recordOfTurnsThatCannotBeKept();
};

void TestTurn::resumption_data()
{
    QTest::addColumn<qint64>("secondsAgo"); // of a 600-second turn's start
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("elapsed");
    using Kind = TurnRecord::Resumption::Kind;
    QTest::newRow("just started") << qint64(0) << int(Kind::Running) << 0;
    QTest::newRow("halfway") << qint64(300) << int(Kind::Running) << 300;
    QTest::newRow("last second") << qint64(599) << int(Kind::Running) << 599;
    QTest::newRow("in the future: no time gone") << qint64(-86400) << int(Kind::Running) << 0;
    QTest::newRow("ended just now") << qint64(600) << int(Kind::TimeUp) << 600;
    QTest::newRow("ended within the hour") << qint64(600 + 3599) << int(Kind::TimeUp) << 600;
    QTest::newRow("ended an hour ago") << qint64(600 + 3600) << int(Kind::Forget) << 0;
    QTest::newRow("a day ago") << qint64(86400) << int(Kind::Forget) << 0;
}

void TestTurn::resumption()
{
    QFETCH(qint64, secondsAgo);
    QFETCH(int, kind);
    QFETCH(int, elapsed);
    const TurnRecord::Resumption resumption =
        TurnRecord::resume({600, now.addSecs(-secondsAgo)}, now);
    QCOMPARE(int(resumption.kind), kind);
    QCOMPARE(resumption.elapsed, elapsed);
}

void TestTurn::recordReadsOnlyWholeTurns_data()
{
    QTest::addColumn<QByteArray>("turn");
    QTest::addColumn<int>("length"); // 0: no turn
    QTest::addColumn<QString>("started");
    const QString utc = QStringLiteral("2026-12-07T17:00:00Z");
    QTest::newRow("as written") << QByteArray("Length=600\nStarted=2026-12-07T17:00:00Z") << 600
                                << utc;
    QTest::newRow("an offset from UTC")
        << QByteArray("Length=90\nStarted=2026-12-07T18:00:00+01:00") << 90 << utc;
    QTest::newRow("no seconds") << QByteArray("Length=600\nStarted=2026-12-07T17:00Z") << 0
                                << QString();
    QTest::newRow("no zone") << QByteArray("Length=600\nStarted=2026-12-07T17:00:00") << 0
                             << QString();
    QTest::newRow("garbage time") << QByteArray("Length=600\nStarted=soon") << 0 << QString();
    QTest::newRow("no length") << QByteArray("Started=2026-12-07T17:00:00Z") << 0 << QString();
    QTest::newRow("length 0") << QByteArray("Length=0\nStarted=2026-12-07T17:00:00Z") << 0
                              << QString();
    QTest::newRow("negative length")
        << QByteArray("Length=-5\nStarted=2026-12-07T17:00:00Z") << 0 << QString();
    QTest::newRow("length too long")
        << QByteArray("Length=99999999999\nStarted=2026-12-07T17:00:00Z") << 0 << QString();
}

void TestTurn::recordReadsOnlyWholeTurns()
{
    QFETCH(QByteArray, turn);
    QFETCH(int, length);
    QFETCH(QString, started);
    TestHome home;
    home.writeSettingsFile("[Settings]\nMaxTime=300\n[Turn]\n" + turn + "\n");
    const std::optional<RecordedTurn> read = TurnRecord::read();
    QCOMPARE(read.has_value(), length > 0);
    if (read) {
        QCOMPARE(read->length, length);
        QCOMPARE(TurnRecord::timeText(read->started), started);
    }
}

void TestTurn::recordFollowsTheTurn_data()
{
    QTest::addColumn<QString>("end"); // how the turn ends, or "none"
    QTest::addColumn<bool>("kept");
    QTest::addColumn<int>("logged"); // how the record of turns says it ended; -1: running
    using Ending = TurnLog::Ending;
    QTest::newRow("running") << "none" << true << -1;
    QTest::newRow("stopped by the parent") << "mnuStopStart" << false << int(Ending::Stopped);
    QTest::newRow("Set Time") << "mnuSetTime" << false << int(Ending::Stopped);
    QTest::newRow("the parent's Exit") << "mnuExit" << false << int(Ending::Stopped);
    QTest::newRow("time's up") << "alarm" << false << int(Ending::TimeUp);
    QTest::newRow("the end of the session") << "session" << true << int(Ending::ProgramEnded);
}

// Start writes the turn; only the end of the session leaves it for the next start. The
// record of turns has one stretch of it, ended as the turn ended.
void TestTurn::recordFollowsTheTurn()
{
    QFETCH(QString, end);
    QFETCH(bool, kept);
    MainWindowFixture main("[Settings]\nMaxTime=90\n");
    main.stopStart->trigger();
    const std::optional<RecordedTurn> recorded = TurnRecord::read();
    QVERIFY(recorded);
    QCOMPARE(recorded->length, 90);
    QCOMPARE(recorded->started, main.clock.utcNow());

    if (end == QLatin1String("alarm")) {
        main.ticks(90);
    } else if (end == QLatin1String("session")) {
        main.window->endSession();
    } else if (end != QLatin1String("none")) {
        ModalDriver driver;
        driver.then(typePassword(QStringLiteral("playfairly"))).then([](QWidget *w) {
            w->close();
        });
        main.trigger(qPrintable(end));
    }
    QCOMPARE(turnRecorded(), kept);
    QCOMPARE(TurnRecord::anythingRecorded(), kept);

    QFETCH(int, logged);
    TurnLog log;
    const QList<TurnLog::Entry> entries = log.entries();
    QCOMPARE(entries.size(), 1);
    QCOMPARE(entries[0].turnStarted, recorded->started);
    QCOMPARE(entries[0].length, 90);
    QCOMPARE(entries[0].ending ? int(*entries[0].ending) : -1, logged);
}

void TestTurn::startTakesUpTheRecordedTurn_data()
{
    QTest::addColumn<QByteArray>("settings");
    QTest::addColumn<QString>("label");
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("barMaximum");
    QTest::addColumn<bool>("kept");
    QTest::addColumn<bool>("stop"); // a running turn is stopped by a parent, not run out
    const QString started = QStringLiteral("Timer Started!");
    const QString timeUp = QStringLiteral("Time's Up!");
    const QString ready = QStringLiteral("Timer Ready!");
    QTest::newRow("time left") << withTurn(300, 100) << started << 100 << 300 << true << false;
    QTest::newRow("its own length, not MaxTime")
        << withTurn(60, 10, 900) << started << 10 << 60 << true << false;
    QTest::newRow("its own length, then stopped")
        << withTurn(60, 10, 900) << started << 10 << 60 << true << true;
    QTest::newRow("started tomorrow")
        << withTurn(300, -86400) << started << 0 << 300 << true << false;
    QTest::newRow("ended a minute ago")
        << withTurn(300, 360) << timeUp << 0 << 600 << false << false;
    QTest::newRow("ended two hours ago")
        << withTurn(300, 7500) << ready << 0 << 600 << false << false;
    QTest::newRow("garbage") << QByteArray("[Settings]\nMaxTime=600\n[Turn]\nLength=x\nStarted=y\n")
                             << ready << 0 << 600 << false << false;
}

void TestTurn::startTakesUpTheRecordedTurn()
{
    QFETCH(QByteArray, settings);
    QFETCH(QString, label);
    QFETCH(int, count);
    QFETCH(int, barMaximum);
    QFETCH(bool, kept);
    QFETCH(bool, stop);
    MainWindowFixture main(settings);

    QCOMPARE(main.label->text(), label);
    // The clock may pass a second boundary while the window loads.
    QVERIFY2(main.window->CurrentTime() >= count && main.window->CurrentTime() <= count + 1,
             qPrintable(QString::number(main.window->CurrentTime())));
    QCOMPARE(main.bar->value(), main.window->CurrentTime());
    QCOMPARE(main.bar->maximum(), barMaximum);
    QCOMPARE(turnRecorded(), kept);
    const bool running = label == QLatin1String("Timer Started!");
    const bool timeUp = label == QLatin1String("Time's Up!");
    QCOMPARE(main.timer->isActive(), running);
    QCOMPARE(main.stopStart->text(),
             running ? QStringLiteral("&Stop Timer") : QStringLiteral("&Start Timer"));
    QCOMPARE(main.topMost(), timeUp);
    QCOMPARE(main.recorder.sounds.size(), timeUp ? 1 : 0);
    QCOMPARE(main.recorder.notifications.size(), timeUp ? 1 : 0);
    // MaxTime stays what the parent set.
    QCOMPARE(main.window->MaxTime(), settings.contains("MaxTime=900") ? 900 : 600);

    if (running && stop) {
        // The next turns count up to MaxTime, on the bar too.
        ModalDriver driver;
        driver.then(typePassword(QStringLiteral("playfairly")));
        main.stopStart->trigger();
        QCOMPARE(main.label->text(), QStringLiteral("Timer Ready!"));
        QCOMPARE(main.bar->maximum(), main.window->MaxTime());
        main.stopStart->trigger();
        QCOMPARE(main.bar->maximum(), main.window->MaxTime());
    } else if (running) {
        const int left = main.window->MaxTime() == 900 ? 60 : 300;
        main.ticks(left - main.window->CurrentTime());
        QCOMPARE(main.label->text(), QStringLiteral("Time's Up!"));
        QVERIFY(!turnRecorded());
    }
}

void TestTurn::failedRecordIsSaidOnceAndTheTurnGoesOn()
{
    MainWindowFixture main;
    // A plain file where the settings folder belongs: not even root can write there.
    QFile blocker(QDir(main.home.configHome()).filePath(applicationName()));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();

    StandardErrorCapture standardError;
    main.stopStart->trigger();
    main.tick();
    main.window->setMaxTime(2.0);
    main.tick();
    main.stopStart->trigger();
    const QString written = standardError.text();

    QCOMPARE(main.label->text(), QStringLiteral("Timer Started!"));
    QCOMPARE(main.window->CurrentTime(), 0);
    QVERIFY(main.timer->isActive());
    QCOMPARE(written.count(QLatin1Char('\n')), 1);
    QVERIFY2(written.contains(QLatin1String("could not be saved")), qPrintable(written));
    QVERIFY(main.recorder.messages.isEmpty());
}

void TestTurn::recordOfTurnsCatchesUpAtStart_data()
{
    QTest::addColumn<QString>("left");  // how the program left the turn: killed, session
    QTest::addColumn<int>("startedAt"); // the next start, in seconds of a 600-second turn
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("endings"); // of the turn's stretches, in order
    using Kind = TurnRecord::Resumption::Kind;
    QTest::newRow("killed, goes on")
        << "killed" << 400 << int(Kind::Running) << "program ended, running";
    QTest::newRow("ended with the session, goes on")
        << "session" << 400 << int(Kind::Running) << "program ended, running";
    QTest::newRow("killed, its end came meanwhile")
        << "killed" << 900 << int(Kind::TimeUp) << "time's up";
    QTest::newRow("ended with the session, its end came meanwhile")
        << "session" << 900 << int(Kind::TimeUp) << "program ended, time's up";
    QTest::newRow("killed, forgotten") << "killed" << 9000 << int(Kind::Forget) << "abandoned";
    QTest::newRow("ended with the session, forgotten")
        << "session" << 9000 << int(Kind::Forget) << "program ended, abandoned";
}

// A turn of 600 seconds whose first stretch ran 100 seconds before the program was
// killed or ended with the session. Whatever comes of it, its stretches add up to the
// turn's clock at the new start (or at its end).
void TestTurn::recordOfTurnsCatchesUpAtStart()
{
    QFETCH(QString, left);
    QFETCH(int, startedAt);
    QFETCH(int, kind);
    QFETCH(QString, endings);
    TestHome home;
    TurnLog log;
    const RecordedTurn turn{600, now, QStringLiteral("Ann")};
    const std::optional<qint64> first = log.begin(turn.child, now, now, turn.length);
    QVERIFY(first);
    if (left == QLatin1String("session"))
        QVERIFY(log.finish(*first, now.addSecs(100), TurnLog::Ending::ProgramEnded));

    const QDateTime start = now.addSecs(startedAt);
    const std::optional<qint64> running =
        TurnRecord::settleLog(log, turn, TurnRecord::Resumption::Kind(kind), start);

    QStringList seen;
    qint32 used = 0;
    QDateTime lastEnd;
    QList<TurnLog::Entry> stretches = log.entries();
    std::reverse(stretches.begin(), stretches.end());
    for (const TurnLog::Entry &stretch : std::as_const(stretches)) {
        QCOMPARE(stretch.child, QStringLiteral("Ann"));
        seen << (stretch.ending ? TurnLog::endingText(*stretch.ending) : QStringLiteral("running"));
        used += stretch.used;
        lastEnd = qMax(lastEnd, stretch.ended);
    }
    QCOMPARE(seen.join(QStringLiteral(", ")), endings);
    QCOMPARE(running.has_value(), endings.endsWith(QLatin1String("running")));
    if (!running) {
        QCOMPARE(used, qMin(startedAt, 600));
        // Its last stretch ended at the turn's end, or at the new start if sooner.
        QCOMPARE(lastEnd, now.addSecs(qMin(startedAt, 600)));
    }
    QVERIFY(log.openStretches().size() <= 1);
}

// The timer never stops working because of its record: a plain file where the data
// folder belongs, and the turn runs and ends all the same, said once.
void TestTurn::recordOfTurnsThatCannotBeKept()
{
    MainWindowFixture main("[Settings]\nMaxTime=2\n");
    QFile blocker(QDir(main.home.dataHome()).filePath(applicationName()));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();

    StandardErrorCapture standardError;
    for (int turn = 0; turn < 2; ++turn) {
        main.stopStart->trigger();
        main.ticks(2);
        QCOMPARE(main.label->text(), QStringLiteral("Time's Up!"));
    }
    // The Turns window opens all the same, with nothing to show.
    QVERIFY(main.open("mnuTurns", [](QWidget *turns) { turns->close(); }));
    const QString written = standardError.text();
    QCOMPARE(written.count(QLatin1Char('\n')), 1);
    QVERIFY2(written.contains(QLatin1String("turns are not recorded")), qPrintable(written));
}

QTEST_MAIN(TestTurn)
#include "tst_turn.moc"
