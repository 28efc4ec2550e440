// SPDX-License-Identifier: GPL-3.0-or-later
#include "guard/AccountTurns.h"
#include "guard/PasswordBackoff.h"
#include "guard/TurnProgress.h"
#include "guard/WindowCheck.h"
#include "logic/LockWriter.h"
#include "logic/TurnLogWire.h"
#include "support/CoreSupport.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingReply>
#include <QDBusServer>
#include <QDBusVirtualObject>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

// The far end of a private connection: answers every call with what it was sent.
class Echo : public QDBusVirtualObject
{
public:
    QString introspect(const QString &) const override { return QString(); }
    bool handleMessage(const QDBusMessage &message, const QDBusConnection &connection) override
    {
        return connection.send(message.createReply(message.arguments()));
    }
};

// An entry as text, to compare in one line: its id, child, times (ms), seconds, ending.
QString written(const TurnLog::Entry &e)
{
    const auto ms = [](const QDateTime &t) { return t.isValid() ? t.toMSecsSinceEpoch() : -1; };
    const QString ending = e.ending ? TurnLog::endingText(*e.ending) : QStringLiteral("-");
    return QStringList{QString::number(e.id),
                       e.child,
                       QString::number(ms(e.turnStarted)),
                       QString::number(ms(e.started)),
                       QString::number(ms(e.ended)),
                       QString::number(e.length),
                       QString::number(e.used),
                       ending}
        .join(QLatin1Char(' '));
}

TurnLog::Entry entry(const char *child, qint64 turnStarted, qint64 started, qint64 ended,
                     qint32 length, qint32 used, std::optional<TurnLog::Ending> ending)
{
    const auto time = [](qint64 ms) {
        return ms < 0 ? QDateTime() : QDateTime::fromMSecsSinceEpoch(ms, Qt::UTC);
    };
    TurnLog::Entry made{0, QString::fromUtf8(child), time(turnStarted), time(started)};
    made.ended = time(ended);
    made.length = length;
    made.used = used;
    made.ending = ending;
    return made;
}

} // namespace

// The guard's rules that need no bus, with a clock the test moves.
class TestGuard : public QObject
{
    Q_OBJECT
private slots:
    void wrongPasswordsSlowDown_data();
    void wrongPasswordsSlowDown();
    void savedTurnGoesOn_data();
    void savedTurnGoesOn();
    void recordCrossesTheBus_data();
    void recordCrossesTheBus();
    void onlyTheProgramOnTheAccountsDesktopCounts_data();
    void onlyTheProgramOnTheAccountsDesktopCounts();
    void dayAllowanceDecidesWhoseTurnAndHowLong_data();
    void dayAllowanceDecidesWhoseTurnAndHowLong();
};

void TestGuard::wrongPasswordsSlowDown_data()
{
    QTest::addColumn<QString>("tries"); // "wrong@T" (T in ms) and "right", in order
    QTest::addColumn<qint64>("askedAt");
    QTest::addColumn<qint64>("wait"); // ms until the next try is checked

    const auto wrongs = [](int count, qint64 at = 0) {
        QStringList tries;
        for (int i = 0; i < count; ++i)
            tries.append(QStringLiteral("wrong@%1").arg(at));
        return tries.join(QLatin1Char(' '));
    };
    // Each wrong try as soon as it may come: the waits are 1, 2, 4... s from the fifth.
    const auto asSoonAsAllowed = [](int count) {
        QStringList tries;
        qint64 at = 0, wait = 0;
        for (int i = 1; i <= count; ++i) {
            tries.append(QStringLiteral("wrong@%1").arg(at));
            if (i >= PasswordBackoff::FreeTries) {
                wait = wait == 0 ? 1000 : std::min<qint64>(wait * 2, 300000);
                at += wait;
            }
        }
        return std::pair(tries.join(QLatin1Char(' ')), at);
    };

    QTest::newRow("no try yet") << QString() << qint64(0) << qint64(0);
    QTest::newRow("four wrong cost nothing") << wrongs(4) << qint64(0) << qint64(0);
    QTest::newRow("the fifth makes the next wait 1 s") << wrongs(5) << qint64(0) << qint64(1000);
    QTest::newRow("part of the wait gone") << wrongs(5, 10000) << qint64(10400) << qint64(600);
    QTest::newRow("the wait over") << wrongs(5) << qint64(1000) << qint64(0);
    const auto [six, sixEnd] = asSoonAsAllowed(6);
    QTest::newRow("the sixth doubles it") << six << sixEnd - 2000 << qint64(2000);
    const auto [seven, sevenEnd] = asSoonAsAllowed(7);
    QTest::newRow("the seventh doubles it again") << seven << sevenEnd - 4000 << qint64(4000);
    const auto [many, manyEnd] = asSoonAsAllowed(200);
    QTest::newRow("200 wrong wait five minutes, no more")
        << many << manyEnd - 300000 << qint64(300000);
    QTest::newRow("a right one forgives") << seven + " right" << sevenEnd << qint64(0);
    QTest::newRow("forgiven, four more cost nothing")
        << wrongs(5) + " right " + wrongs(4, 5000) << qint64(5000) << qint64(0);
    QTest::newRow("forgiven, the fifth again waits 1 s")
        << seven + " right " + wrongs(5, 100000) << qint64(100000) << qint64(1000);
}

void TestGuard::wrongPasswordsSlowDown()
{
    QFETCH(QString, tries);
    QFETCH(qint64, askedAt);
    QFETCH(qint64, wait);
    PasswordBackoff backoff;
    for (const QString &script : tries.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        if (script == QLatin1String("right")) {
            backoff.right();
            continue;
        }
        const qint64 at = script.section(QLatin1Char('@'), 1).toLongLong();
        // A try that comes before its time is never checked, so never counted.
        QCOMPARE(backoff.waitLeft(at) > 0, false);
        backoff.wrong(at);
    }
    QCOMPARE(backoff.waitLeft(askedAt), wait);
}

void TestGuard::savedTurnGoesOn_data()
{
    QTest::addColumn<QString>("savedBoot");
    QTest::addColumn<qint64>("origin");  // -1: not saved
    QTest::addColumn<qint64>("elapsed"); // -1: not saved
    QTest::addColumn<QString>("boot");   // the boot the guard starts again in
    QTest::addColumn<qint64>("now");
    QTest::addColumn<qint64>("gone");

    // A turn of 600 s that began at 1,000,000 ms on the monotonic clock, saved at 70 s.
    const QString a = QStringLiteral("a"), b = QStringLiteral("b");
    QTest::newRow("same boot: exactly by the clock")
        << a << qint64(1000000) << qint64(70000) << a << qint64(1095500) << qint64(95500);
    QTest::newRow("after a reboot: from the last save")
        << a << qint64(1000000) << qint64(70000) << b << qint64(5000) << qint64(70000);
    QTest::newRow("no boot known: from the last save")
        << a << qint64(1000000) << qint64(70000) << QString() << qint64(1095500) << qint64(70000);
    QTest::newRow("same boot without the origin: from the last save")
        << a << qint64(-1) << qint64(70000) << a << qint64(1095500) << qint64(70000);
    QTest::newRow("nothing saved: from the start")
        << a << qint64(-1) << qint64(-1) << b << qint64(1095500) << qint64(0);
    QTest::newRow("an origin ahead of the clock counts nothing")
        << a << qint64(2000000) << qint64(70000) << a << qint64(1095500) << qint64(0);
    QTest::newRow("never more than the turn")
        << a << qint64(1000000) << qint64(70000) << a << qint64(9000000) << qint64(600000);
    QTest::newRow("a saved count beyond the turn is the turn")
        << a << qint64(-1) << qint64(9000000) << b << qint64(0) << qint64(600000);
}

void TestGuard::savedTurnGoesOn()
{
    QFETCH(QString, savedBoot);
    QFETCH(qint64, origin);
    QFETCH(qint64, elapsed);
    QFETCH(QString, boot);
    QFETCH(qint64, now);
    QFETCH(qint64, gone);
    const auto given = [](qint64 value) {
        return value < 0 ? std::nullopt : std::optional<qint64>(value);
    };
    const TurnProgress::Saved saved{savedBoot, given(origin), given(elapsed)};
    QCOMPARE(TurnProgress::gone(saved, boot, now, 600), gone);
}

void TestGuard::recordCrossesTheBus_data()
{
    QTest::addColumn<TurnLog::Entry>("sent");
    QTest::addColumn<TurnLog::Entry>("received");
    const qint64 t = 1772355600250; // 2026-03-01 09:00:00.250 UTC
    const auto timeUp = TurnLog::Ending::TimeUp, stopped = TurnLog::Ending::Stopped;
    TurnLog::Entry withId = entry("Zoë", t, t + 600000, t + 1800749, 1800, 1200, timeUp);
    withId.id = 7;
    QTest::newRow("ended at its time's up; the id stays behind")
        << withId << entry("Zoë", t, t + 600000, t + 1800749, 1800, 1200, timeUp);
    QTest::newRow("running, without a name: no end, no ending")
        << entry("", t, t, -1, 3600, 61, {}) << entry("", t, t, -1, 3600, 61, {});
    QTest::newRow("stopped") << entry("", t, t, t + 61000, 3600, 61, stopped)
                             << entry("", t, t, t + 61000, 3600, 61, stopped);
    QTest::newRow("what makes no sense is read as nothing")
        << entry("Ann", 600000000000000, t, t + 1, -5, -1, stopped)
        << entry("Ann", -1, t, t + 1, 0, 0, stopped);
}

// Through a real connection, so that what is read is what the bus carried.
void TestGuard::recordCrossesTheBus()
{
    QFETCH(TurnLog::Entry, sent);
    QFETCH(TurnLog::Entry, received);
    TurnLogWire::registerTypes();
    QDBusServer server(QStringLiteral("unix:tmpdir=") + QDir::tempPath());
    Echo echo;
    std::optional<QDBusConnection> far;
    connect(&server, &QDBusServer::newConnection, this, [&](const QDBusConnection &connection) {
        far = connection;
        far->registerVirtualObject(QStringLiteral("/echo"), &echo);
    });
    const QString name = QString::fromLatin1(QTest::currentDataTag());
    QDBusConnection near = QDBusConnection::connectToPeer(server.address(), name);
    QVERIFY2(near.isConnected(), qPrintable(near.lastError().message()));
    QTRY_VERIFY_WITH_TIMEOUT(far.has_value(), 30000);

    QDBusMessage call = QDBusMessage::createMethodCall(
        QString(), QStringLiteral("/echo"), QStringLiteral("t.Echo"), QStringLiteral("Echo"));
    call << QVariant::fromValue(QList<TurnLog::Entry>{sent, sent});
    QDBusPendingReply<QList<TurnLog::Entry>> reply = near.asyncCall(call, 30000);
    QTRY_VERIFY_WITH_TIMEOUT(reply.isFinished(), 30000);
    QVERIFY2(!reply.isError(), qPrintable(reply.error().message()));
    QCOMPARE(reply.reply().signature(), QStringLiteral("a(sxxxiis)"));
    QCOMPARE(reply.value().size(), 2);
    for (const TurnLog::Entry &entry : reply.value())
        QCOMPARE(written(entry), written(received));
    QDBusConnection::disconnectFromPeer(name);
}

void TestGuard::onlyTheProgramOnTheAccountsDesktopCounts_data()
{
    QTest::addColumn<QString>("exe"); // program, other, or none: no process there
    QTest::addColumn<int>("tracer");
    QTest::addColumn<QByteArray>("arguments");   // after the program's name, apart by blanks
    QTest::addColumn<QByteArray>("environment"); // as the kernel keeps it, NUL apart
    QTest::addColumn<QString>("sessions");       // the account's: "x11:DISPLAY", "wayland"
    QTest::addColumn<QString>("refusal");        // how the refusal begins; empty: counts

    const auto env = [](std::initializer_list<const char *> entries) {
        QByteArray block;
        for (const char *entry : entries)
            block.append(entry).append('\0');
        return block;
    };
    const QString program = QStringLiteral("program"), x11 = QStringLiteral("x11::0");
    const QByteArray none;
    const QByteArray plain = env({"PATH=/usr/bin", "DISPLAY=:0", "HOME=/home/ann"});
    const QByteArray wayland = env({"WAYLAND_DISPLAY=wayland-0", "XDG_RUNTIME_DIR=/run/user/1000"});
    QTest::newRow("the program on the account's X display")
        << program << 0 << none << plain << x11 << QString();
    QTest::newRow("the platform named, as xcb")
        << program << 0 << none << plain + env({"QT_QPA_PLATFORM=xcb"}) << x11 << QString();
    QTest::newRow("another program") << "other" << 0 << none << plain << x11 << "it is not ";
    QTest::newRow("no process any more")
        << "none" << 0 << none << plain << x11 << "its process cannot be read";
    QTest::newRow("traced") << program << 4242 << none << plain << x11
                            << "it is traced by process 4242";
    QTest::newRow("-platform offscreen on its command line")
        << program << 0 << QByteArray("-platform offscreen") << plain << x11
        << "it was started with arguments";
    QTest::newRow("offscreen") << program << 0 << none << plain + env({"QT_QPA_PLATFORM=offscreen"})
                               << x11 << "it shows on the platform offscreen";
    QTest::newRow("minimal") << program << 0 << none << plain + env({"QT_QPA_PLATFORM=minimal"})
                             << x11 << "it shows on the platform minimal";
    QTest::newRow("a library preloaded")
        << program << 0 << none << plain + env({"LD_PRELOAD=/tmp/nomap.so"}) << x11
        << "its environment sets LD_PRELOAD";
    QTest::newRow("libraries from elsewhere")
        << program << 0 << none << env({"LD_LIBRARY_PATH=/tmp"}) + plain << x11
        << "its environment sets LD_LIBRARY_PATH";
    QTest::newRow("Qt's plugins from elsewhere")
        << program << 0 << none << plain + env({"QT_QPA_PLATFORM_PLUGIN_PATH=/tmp"}) << x11
        << "its environment sets QT_QPA_PLATFORM_PLUGIN_PATH";
    QTest::newRow("an X server of its own") << program << 0 << none << env({"DISPLAY=:77"}) << x11
                                            << "its display :77 is none of the account's desktops";
    QTest::newRow("a display given twice: the first is the one it uses")
        << program << 0 << none << env({"DISPLAY=:77", "DISPLAY=:0"}) << x11 << "its display :77";
    QTest::newRow("no display, no desktop of the account's")
        << program << 0 << none << env({"HOME=/"}) << QString() << "it shows on no Wayland desktop";
    QTest::newRow("a tty session has no desktop") << program << 0 << none << plain << "tty::0"
                                                  << "its display :0";
    QTest::newRow("on the account's Wayland desktop")
        << program << 0 << none << wayland + env({"QT_QPA_PLATFORM=wayland"}) << "wayland"
        << QString();
    QTest::newRow("through XWayland on the account's Wayland desktop")
        << program << 0 << none << plain + wayland << "wayland" << QString();
    QTest::newRow("a compositor in another account's folder")
        << program << 0 << none << env({"WAYLAND_DISPLAY=w", "XDG_RUNTIME_DIR=/run/user/1001"})
        << "wayland"
        << "it shows on no Wayland desktop";
    QTest::newRow("Wayland in an X11 session")
        << program << 0 << none << plain + wayland + env({"QT_QPA_PLATFORM=wayland"}) << x11
        << "it shows on no Wayland desktop";
    QTest::newRow("an environment larger than any program's")
        << program << 0 << none << plain + QByteArray(300 * 1024, 'x') << x11
        << "its process cannot be read";
}

// The process is made up under a /proc of the test's own, as the kernel shows one.
void TestGuard::onlyTheProgramOnTheAccountsDesktopCounts()
{
    QFETCH(QString, exe);
    QFETCH(int, tracer);
    QFETCH(QByteArray, arguments);
    QFETCH(QByteArray, environment);
    QFETCH(QString, sessions);
    QFETCH(QString, refusal);
    const QTemporaryDir proc;
    const QString program = QCoreApplication::applicationFilePath();
    const QString folder = proc.filePath(QStringLiteral("4711"));
    const auto write = [&](const char *name, const QByteArray &contents) {
        QFile file(folder + QLatin1Char('/') + QLatin1String(name));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(contents) == contents.size());
    };
    if (exe != QLatin1String("none")) {
        QVERIFY(QDir().mkpath(folder));
        const QString other = proc.filePath(QStringLiteral("other"));
        QVERIFY(QFile::copy(program, other));
        QVERIFY(QFile::link(exe == QLatin1String("program") ? program : other,
                            folder + QStringLiteral("/exe")));
        write("status", "Name:\tTurnKeeper\nTracerPid:\t" + QByteArray::number(tracer) +
                            "\nUid:\t1000\t1000\t1000\t1000\n");
        write("cmdline",
              QFile::encodeName(program) + '\0' +
                  (arguments.isEmpty() ? QByteArray() : arguments.replace(' ', '\0') + '\0'));
        write("environ", environment);
    }
    QList<SessionLocker::Session> desktops;
    for (const QString &session : sessions.split(QLatin1Char(' '), Qt::SkipEmptyParts))
        desktops.append({QStringLiteral("c1"), QStringLiteral("/s/c1"), session.section(':', 0, 0),
                         session.section(':', 1), false});
    const QString found =
        WindowCheck::refusal(WindowCheck::read(proc.path(), 4711), 1000, program, desktops);
    QVERIFY2(refusal.isEmpty() ? found.isEmpty() : found.startsWith(refusal), qPrintable(found));
}

void TestGuard::dayAllowanceDecidesWhoseTurnAndHowLong_data()
{
    QTest::addColumn<QString>("allowance"); // seconds a day: "Ann=70 Ben=60"
    QTest::addColumn<QString>("steps");     // start, stop, +N (ms), midnight, at:HH:MM:SS (today)
    QTest::addColumn<QString>("answers");   // each start's or stop's: "Ann 60" or an error
    // Turns of a minute, the shortest a lock sets, for Ann and Ben in that order.
    QTest::newRow("no allowance: every turn as long as the lock's")
        << ""
        << "start +60000 start +60000 start"
        << "Ann:60 Ben:60 Ann:60";
    QTest::newRow("a turn shortened to what the child has left") << "Ann=30"
                                                                 << "start"
                                                                 << "Ann:30";
    QTest::newRow("a stopped turn counts what it took") << "Ann=70"
                                                        << "start +30000 stop start"
                                                        << "Ann:60 stopped Ann:40";
    QTest::newRow("a child with nothing left passes to the next with time")
        << "Ann=60"
        << "start +60000 start +60000 start"
        << "Ann:60 Ben:60 Ben:60";
    QTest::newRow("every child's time had: no turn") << "Ann=60 Ben=60"
                                                     << "start +60000 start +60000 start"
                                                     << "Ann:60 Ben:60 NoTimeLeft";
    QTest::newRow("midnight brings the day's allowance again")
        << "Ann=60 Ben=60"
        << "start +60000 start +60000 midnight start"
        << "Ann:60 Ben:60 Ann:60";
    QTest::newRow("a turn begun before midnight counts for its day")
        << "Ann=60 Ben=60"
        << "at:23:59:30 start +60000 start +60000 start"
        << "Ann:60 Ben:60 Ann:60";
}

// AccountTurns of a guard with the lock's children and allowances, on a clock the test
// moves: what each Start decides, and how long the turn then lasts.
void TestGuard::dayAllowanceDecidesWhoseTurnAndHowLong()
{
    QFETCH(QString, allowance);
    QFETCH(QString, steps);
    QFETCH(QString, answers);
    const QTemporaryDir dir;
    const QString lockFile = dir.filePath(QStringLiteral("TurnKeeper.conf"));
    SystemLock::Rules rules;
    rules.maxTime = 60;
    rules.children = QStringList{"Ann", "Ben"};
    for (const QString &entry : allowance.split(QLatin1Char(' '), Qt::SkipEmptyParts))
        rules.allowance.insert(entry.section('=', 0, 0), entry.section('=', 1).toInt());
    QString error;
    QVERIFY2(LockWriter::write(lockFile, rules, QStringLiteral("pw"), &error), qPrintable(error));
    const SystemLock lock = SystemLock::readFile(lockFile, SystemLock::Reporting::Quiet);
    QCOMPARE(lock.rules().allowance, rules.allowance);
    // Noon, local time.
    ManualTurnClock clock(QDateTime(QDate::currentDate(), QTime(12, 0), Qt::LocalTime).toUTC());
    const InstalledClock installed(&clock);
    AccountTurns turns(lockFile, dir.filePath(QStringLiteral("state")));
    constexpr uint uid = 1000;
    QStringList said;
    AccountTurns::Turn turn;
    for (const QString &step : steps.split(QLatin1Char(' '))) {
        std::optional<AccountTurns::Refusal> refusal;
        if (step == QLatin1String("start")) {
            refusal = turns.start(uid, lock, QString(), std::nullopt);
            if (!refusal) {
                QVERIFY(!turns.turn(uid, lock, &turn));
                said << turn.child + QLatin1Char(':') + QString::number(turn.length);
            }
        } else if (step == QLatin1String("stop")) {
            refusal = turns.stop(uid, lock, QStringLiteral("pw"));
            if (!refusal)
                said << QStringLiteral("stopped");
        } else if (step == QLatin1String("midnight") || step.startsWith(QLatin1String("at:"))) {
            const QDate today = clock.utcNow().toLocalTime().date();
            const QDateTime then =
                step.startsWith(QLatin1String("at:"))
                    ? QDateTime(today, QTime::fromString(step.mid(3)), Qt::LocalTime)
                    : QDateTime(today.addDays(1), QTime(0, 0, 1), Qt::LocalTime);
            clock.advance(clock.utcNow().msecsTo(then));
        } else {
            clock.advance(step.mid(1).toLongLong());
            QVERIFY(!turns.turn(uid, lock, &turn));
        }
        if (refusal)
            said << GuardProtocol::errorName(refusal->error).section(QLatin1Char('.'), -1);
    }
    QCOMPARE(said.join(QLatin1Char(' ')), answers);
}

QTEST_GUILESS_MAIN(TestGuard)
#include "tst_guard.moc"
