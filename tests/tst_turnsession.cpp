// SPDX-License-Identifier: GPL-3.0-or-later
// The rules of a turn, run on a clock the test moves: counted by the clock whatever the
// ticks do, a record that cannot stretch a turn, and the turns passing from child to child.
#include "logic/SettingsStore.h"
#include "logic/TurnSession.h"
#include "support/TestSupport.h"

#include <QSignalSpy>
#include <QTest>

namespace {

// The settings file's [Turn] group for a turn that started the given seconds before now.
QByteArray turnStarted(const ManualTurnClock &clock, qint64 secondsAgo, qint32 length,
                       const QByteArray &child = QByteArray())
{
    QByteArray group = "[Turn]\nLength=" + QByteArray::number(length) + "\nStarted=" +
                       TurnRecord::timeText(clock.utcNow().addSecs(-secondsAgo)).toUtf8() + "\n";
    if (!child.isNull())
        group += "Child=" + child + "\n";
    return group;
}

} // namespace

class TestTurnSession : public QObject
{
    Q_OBJECT
private slots:
    void rules_data();
    void rules();
};

// Each row runs a script of steps on a session whose new turns last `length` seconds:
//   start, stop, update, +N (the clock moves N ms, then update), wall-N (the wall
//   clock moves N seconds back), load (a new start of the program on the same files),
//   open (the Children window opens), ok (it closes with its list unchanged).
// The session is loaded before the first step, as the program loads it at its start.
// Then it compares what the session reports and what its signals said since the last
// load.
void TestTurnSession::rules_data()
{
    QTest::addColumn<QByteArray>("settings"); // "@turn(secondsAgo,length[,child])" is expanded
    QTest::addColumn<int>("length");
    QTest::addColumn<int>("locked"); // the administrator's length; 0: none
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<int>("state");
    QTest::addColumn<int>("elapsed");
    QTest::addColumn<QString>("child");
    QTest::addColumn<QString>("next");
    QTest::addColumn<QStringList>("said");

    const int ready = int(TurnSession::State::Ready);
    const int running = int(TurnSession::State::Running);
    const int timeUp = int(TurnSession::State::TimeUp);
    const QByteArray kids = "[Children]\nNames=Ann, Ben, Cy\nNext=Ann\n";
    const auto steps = [](const char *text) {
        return QString::fromLatin1(text).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    };
    const auto said = steps;

    QTest::newRow("each tick counts a second")
        << QByteArray() << 10 << 0 << steps("start +1000 +1000 +1000") << running << 3 << QString()
        << QString() << said("started counted counted counted");
    QTest::newRow("a tick a little early counts its second")
        << QByteArray() << 10 << 0 << steps("start +990") << running << 1 << QString() << QString()
        << said("started counted");
    QTest::newRow("two ticks in one second count it once")
        << QByteArray() << 10 << 0 << steps("start +1000 update") << running << 1 << QString()
        << QString() << said("started counted");
    QTest::newRow("stopped 20 s: the next tick counts them all")
        << QByteArray() << 600 << 0 << steps("start +1000 +21000") << running << 22 << QString()
        << QString() << said("started counted counted");
    QTest::newRow("a turn that ended meanwhile goes straight to its time's up")
        << kids << 10 << 0 << steps("start +2000 +60000") << timeUp << 0 << QString()
        << QStringLiteral("Ben") << said("started counted timeUp:Ann");
    QTest::newRow("the last minute passed while stopped is warned of")
        << QByteArray() << 180 << 0 << steps("start +150000") << running << 150 << QString()
        << QString() << said("started warning counted");
    QTest::newRow("no warning for a turn that is over")
        << QByteArray() << 180 << 0 << steps("start +100000 +90000") << timeUp << 0 << QString()
        << QString() << said("started counted timeUp:");
    QTest::newRow("no warning for turns of two minutes")
        << QByteArray() << 120 << 0 << steps("start +61000") << running << 61 << QString()
        << QString() << said("started counted");
    QTest::newRow("the wall clock set back changes nothing")
        << QByteArray() << 600 << 0 << steps("start wall-3600 +5000") << running << 5 << QString()
        << QString() << said("started counted");
    QTest::newRow("a long turn counts past 32767 seconds")
        << QByteArray() << 40000 << 0 << steps("start +35000000") << running << 35000 << QString()
        << QString() << said("started counted");
    QTest::newRow("the turns pass on at each time's up, the first after the last")
        << kids << 5 << 0 << steps("start +5000 start +5000 start +5000") << timeUp << 0
        << QString() << QStringLiteral("Ann")
        << said("started timeUp:Ann started timeUp:Ben started timeUp:Cy");
    QTest::newRow("a stopped turn leaves the same child next")
        << kids << 5 << 0 << steps("start +1000 stop") << ready << 0 << QString()
        << QStringLiteral("Ann") << said("started counted stopped");
    QTest::newRow("a time's up while the Children window is open stays")
        << kids << 5 << 0 << steps("open start +5000 ok") << timeUp << 0 << QString()
        << QStringLiteral("Ben") << said("started timeUp:Ann nextChanged");

    QTest::newRow("a recorded turn goes on where the clock says")
        << QByteArray("@turn(100,300,Ben)") << 600 << 0 << steps("+1000") << running << 101
        << QStringLiteral("Ben") << QString() << said("started counted");
    QTest::newRow("a recorded turn that ended shows its time's up")
        << kids + "@turn(400,300,Ben)" << 600 << 0 << steps("") << timeUp << 0 << QString()
        << QStringLiteral("Cy") << said("timeUp:Ben");
    QTest::newRow("a start in the future counts as now, and the next start goes on")
        << QByteArray("@turn(-86400,300)") << 600 << 0 << steps("+30000 load +1000") << running
        << 31 << QString() << QString() << said("started counted");
    QTest::newRow("under the lock a recorded turn is never longer than the locked length")
        << QByteArray("@turn(30,7200)") << 60 << 60 << steps("+29000 load +1000") << timeUp << 0
        << QString() << QString() << said("started timeUp:");
    QTest::newRow("without the lock a recorded turn keeps its length")
        << QByteArray("@turn(30,7200)") << 60 << 0 << steps("+31000") << running << 61 << QString()
        << QString() << said("started counted");
    QTest::newRow("a recorded child that breaks the name rules is nobody")
        << QByteArray("@turn(10,300,Abcdefghijklmnopqrstuvwxyzabcdefghijklmnopq)") << 600 << 0
        << steps("") << running << 10 << QString() << QString() << said("started");
}

void TestTurnSession::rules()
{
    QFETCH(QByteArray, settings);
    QFETCH(int, length);
    QFETCH(int, locked);
    QFETCH(QStringList, steps);
    QFETCH(int, state);
    QFETCH(int, elapsed);
    QFETCH(QString, child);
    QFETCH(QString, next);
    QFETCH(QStringList, said);

    TestHome home;
    ManualTurnClock clock;
    const InstalledClock installed(&clock);
    const int at = settings.indexOf("@turn(");
    if (at >= 0) {
        const QList<QByteArray> values =
            settings.mid(at + 6, settings.lastIndexOf(')') - at - 6).split(',');
        settings =
            settings.left(at) + turnStarted(clock, values.at(0).toLongLong(), values.at(1).toInt(),
                                            values.size() > 2 ? values.at(2) : QByteArray());
    }
    if (!settings.isEmpty())
        home.writeSettingsFile(settings);

    QStringList heard;
    std::unique_ptr<TurnSession> session;
    const std::optional<qint32> lockedLength =
        locked ? std::optional<qint32>(locked) : std::nullopt;
    const auto load = [&] {
        session = std::make_unique<TurnSession>();
        session->setLength(length);
        TurnSession *s = session.get();
        connect(s, &TurnSession::started, [&] { heard << QStringLiteral("started"); });
        connect(s, &TurnSession::stopped, [&] { heard << QStringLiteral("stopped"); });
        connect(s, &TurnSession::counted, [&] { heard << QStringLiteral("counted"); });
        connect(s, &TurnSession::warning, [&] { heard << QStringLiteral("warning"); });
        connect(s, &TurnSession::nextChanged, [&] { heard << QStringLiteral("nextChanged"); });
        connect(s, &TurnSession::timeUp,
                [&](const QString &whose) { heard << QStringLiteral("timeUp:") + whose; });
        s->load(lockedLength);
    };
    load();
    Children opened;
    for (const QString &step : steps) {
        if (step == QLatin1String("start")) {
            session->start();
        } else if (step == QLatin1String("stop")) {
            session->stop();
        } else if (step == QLatin1String("update")) {
            session->update();
        } else if (step.startsWith(QLatin1Char('+'))) {
            clock.advance(step.mid(1).toLongLong());
            session->update();
        } else if (step.startsWith(QLatin1String("wall-"))) {
            clock.setWallClock(clock.utcNow().addSecs(-step.mid(5).toLongLong()));
        } else if (step == QLatin1String("load")) {
            heard.clear();
            load();
            QTest::qWait(0); // the record of turns catches up after the start
        } else if (step == QLatin1String("open")) {
            opened = session->children();
        } else if (step == QLatin1String("ok")) {
            QString error;
            QVERIFY2(session->editChildren(opened, opened, &error), qPrintable(error));
        } else {
            QFAIL(qPrintable(QStringLiteral("unknown step ") + step));
        }
    }
    QCOMPARE(heard, said);
    QCOMPARE(int(session->state()), state);
    QCOMPARE(session->elapsed(), elapsed);
    if (session->isRunning())
        QCOMPARE(session->child(), child);
    QCOMPARE(session->children().next(), next);
    QCOMPARE(Children::read().next(), next);
    // What the record keeps is what a new start goes on from.
    if (session->isRunning()) {
        const std::optional<RecordedTurn> kept = TurnRecord::read();
        QVERIFY(kept);
        if (!steps.join(QLatin1Char(' ')).contains(QLatin1String("wall")))
            QCOMPARE(qRound(kept->started.msecsTo(clock.utcNow()) / 1000.0), elapsed);
        QCOMPARE(kept->length, session->turnLength());
        QCOMPARE(kept->child, child);
    } else {
        QVERIFY(!TurnRecord::anythingRecorded());
    }
}

QTEST_GUILESS_MAIN(TestTurnSession)
#include "tst_turnsession.moc"
