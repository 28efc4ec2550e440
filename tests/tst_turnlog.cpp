// SPDX-License-Identifier: GPL-3.0-or-later
// The record of turns: its stretches on the disk, a damaged or unreachable database,
// and the figures made from it (its CSV is read back in tst_turnswindow).
#include "logic/SettingsStore.h"
#include "logic/TurnLog.h"
#include "support/CoreSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSemaphore>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTest>
#include <QThread>

using Ending = TurnLog::Ending;
using Series = TurnFigures::Series;
Q_DECLARE_METATYPE(Series)
Q_DECLARE_METATYPE(TurnLog::Entry)

namespace {

const QDateTime turnStart =
    QDateTime::fromString(QStringLiteral("2026-12-07T17:30:05Z"), Qt::ISODate);

// Runs statements on the file through a connection of the test's own; the first row of
// the last one's answer.
QVariantList onFile(const QString &path, const QStringList &statements)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QVariantList row;
    {
        QSqlDatabase db =
            QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("raw"));
        db.setDatabaseName(path);
        QSqlQuery query(db);
        bool done = db.open();
        for (const QString &statement : statements)
            done = done && query.exec(statement);
        if (done && query.next()) {
            for (int column = 0; column < query.record().count(); ++column)
                row.append(query.value(column));
        }
    }
    QSqlDatabase::removeDatabase(QStringLiteral("raw"));
    return row;
}

// The layout that this program gives a new record.
int layoutWritten()
{
    const QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("turns.sqlite"));
    TurnLog(path).entries();
    return onFile(path, {QStringLiteral("PRAGMA user_version")}).value(0, -1).toInt();
}

TurnLog::Entry stretch(const QString &child, const QString &started, qint32 used)
{
    TurnLog::Entry entry{0, child, QDateTime::fromString(started, Qt::ISODate)};
    entry.started = entry.turnStarted;
    entry.ended = entry.started.addSecs(used);
    entry.length = 600;
    entry.used = used;
    entry.ending = Ending::TimeUp;
    return entry;
}

} // namespace

class TestTurnLog : public QObject
{
    Q_OBJECT
public:
    // Local days differ from UTC days here, so that a stretch counts on the right one.
    static void initMain() { qputenv("TZ", "Europe/Paris"); }

private slots:
    void recordsEachEnding_data();
    void recordsEachEnding();
    void usedBetween_data();
    void usedBetween();
    void unusableFileIsMovedAside_data();
    void unusableFileIsMovedAside();
    void unwritableDataFolderAnswersNothing();
    void twoStartsMakeOneRecord();
    void minutesPerDay_data();
    void minutesPerDay();
    void csvNamesStayText_data();
    void csvNamesStayText();
};

void TestTurnLog::recordsEachEnding_data()
{
    QTest::addColumn<QString>("child");
    QTest::addColumn<int>("startedAfter"); // seconds after the turn began
    QTest::addColumn<int>("endedAfter");
    QTest::addColumn<Ending>("ending");
    QTest::addColumn<int>("used");
    QTest::addColumn<QString>("stored");
    QTest::newRow("time's up") << QStringLiteral("Ann") << 0 << 600 << Ending::TimeUp << 600
                               << QStringLiteral("time's up");
    QTest::newRow("stopped, no names")
        << QString() << 0 << 250 << Ending::Stopped << 250 << QStringLiteral("stopped");
    QTest::newRow("program ended") << QStringLiteral("Ben") << 0 << 100 << Ending::ProgramEnded
                                   << 100 << QStringLiteral("program ended");
    QTest::newRow("abandoned, resumed late")
        << QStringLiteral("Zoë") << 420 << 5000 << Ending::Abandoned << 180
        << QStringLiteral("abandoned");
}

void TestTurnLog::recordsEachEnding()
{
    QFETCH(QString, child);
    QFETCH(int, startedAfter);
    QFETCH(int, endedAfter);
    QFETCH(Ending, ending);
    QFETCH(int, used);
    QFETCH(QString, stored);
    TestHome home;
    std::optional<qint64> id;
    std::optional<qint64> killed;
    {
        TurnLog log;
        QVERIFY(!QFileInfo::exists(log.path())); // opened at its first use only
        id = log.begin(child, turnStart, turnStart.addSecs(startedAfter), 600);
        // Never finished, as when the program is killed.
        killed =
            log.begin(QStringLiteral("Ben"), turnStart.addSecs(-600), turnStart.addSecs(-600), 300);
        QVERIFY(id && killed);
        QCOMPARE(log.openStretches().size(), 2);
        QVERIFY(log.finish(*id, turnStart.addSecs(endedAfter), ending));
        QVERIFY(!log.finish(*id, turnStart.addSecs(endedAfter + 1), ending)); // once only
    }
    // What the next start of the program finds.
    TurnLog log;
    QCOMPARE(log.openStretches().size(), 1);
    QCOMPARE(log.openStretches().first().id, *killed);
    QCOMPARE(log.entries().size(), 2);
    QCOMPARE(log.entries(1).size(), 1);
    const TurnLog::Entry e = log.entries(1).first(); // the newest
    QCOMPARE(QVariantList({e.id, e.child, e.turnStarted, e.started, e.ended, e.length, e.used}),
             QVariantList({*id, child, turnStart, turnStart.addSecs(startedAfter),
                           turnStart.addSecs(endedAfter), 600, used}));
    QCOMPARE(e.ending, std::optional<Ending>(ending));
    QCOMPARE(log.lastStretchOf(turnStart).value_or(TurnLog::Entry()).id, *id);
    QVERIFY(!log.lastStretchOf(turnStart.addSecs(1)));
    QCOMPARE(log.path(),
             home.dataHome() + QStringLiteral("/%1/turns.sqlite").arg(applicationName()));
    QCOMPARE(
        onFile(log.path(), {QStringLiteral("SELECT ending, child IS NULL, ended FROM stretches "
                                           "WHERE id = %1")
                                .arg(*id)}),
        QVariantList({stored, child.isEmpty() ? 1 : 0, e.ended.toString(Qt::ISODate)}));
    QCOMPARE(onFile(log.path(), {QStringLiteral("PRAGMA journal_mode")}), QVariantList({"wal"}));
}

void TestTurnLog::usedBetween_data()
{
    QTest::addColumn<int>("from"); // seconds after the start of a 600-second turn
    QTest::addColumn<int>("to");
    QTest::addColumn<int>("used");
    QTest::newRow("the whole turn") << 0 << 600 << 600;
    QTest::newRow("before the turn") << -500 << -10 << 0;
    QTest::newRow("from before into it") << -100 << 50 << 50;
    QTest::newRow("across its end") << 500 << 900 << 100;
    QTest::newRow("after its end") << 700 << 900 << 0;
    QTest::newRow("a turn that starts in the future") << -86400 << -3600 << 0;
    QTest::newRow("ends before it starts") << 300 << 200 << 0;
}

void TestTurnLog::usedBetween()
{
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(int, used);
    QCOMPARE(TurnLog::usedBetween(turnStart, 600, turnStart.addSecs(from), turnStart.addSecs(to)),
             used);
}

void TestTurnLog::unusableFileIsMovedAside_data()
{
    QTest::addColumn<QStringList>("statements"); // make a database, unless there are none
    QTest::addColumn<QByteArray>("garbage");     // then written over the file from 4096 on
    QTest::addColumn<bool>("movedAside");
    const QStringList ours = {
        "CREATE TABLE stretches (id INTEGER PRIMARY KEY, child, turn_started, "
        "started, ended, length, used, ending)",
        "INSERT INTO stretches (child) VALUES ('Ann')", "PRAGMA user_version = 1"};
    QTest::newRow("not a database")
        << QStringList() << QByteArray("this is no database\n").repeated(300) << true;
    QTest::newRow("a damaged page") << ours << QByteArray("\xff") << true;
    QTest::newRow("a newer layout")
        << QStringList({"CREATE TABLE stretches (id)", "PRAGMA user_version = 99"}) << QByteArray()
        << true;
    QTest::newRow("one layout newer, ours otherwise")
        << (ours.first(2) << QStringLiteral("PRAGMA user_version = %1").arg(layoutWritten() + 1))
        << QByteArray() << true;
    QTest::newRow("another program's database")
        << QStringList({"CREATE TABLE scores (name, points)"}) << QByteArray() << true;
    QTest::newRow("an empty file") << QStringList() << QByteArray() << false;
    QTest::newRow("our own, sound") << ours << QByteArray() << false;
}

void TestTurnLog::unusableFileIsMovedAside()
{
    QFETCH(QStringList, statements);
    QFETCH(QByteArray, garbage);
    QFETCH(bool, movedAside);
    TestHome home;
    const QString path = TurnLog::defaultPath();
    onFile(path, statements);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadWrite) && file.seek(statements.isEmpty() ? 0 : 4096));
    QCOMPARE(file.write(garbage), garbage.size());
    QVERIFY(file.seek(0));
    const QByteArray before = file.readAll();
    file.close();
    home.writeFile(path + QStringLiteral("-wal"), QByteArray()); // a companion goes along

    StandardErrorCapture standardError;
    TurnLog log;
    QCOMPARE(standardError.peek(), QString()); // nothing opened yet
    const std::optional<qint64> id = log.begin(QStringLiteral("Ann"), turnStart, turnStart, 600);
    QVERIFY(id && log.finish(*id, turnStart.addSecs(60), Ending::Stopped));
    QCOMPARE(log.entries().size(), 1);
    const QString written = standardError.text();

    const QDir folder = QFileInfo(path).dir();
    const QStringList aside = folder.entryList({QStringLiteral("turns.sqlite.damaged-*")});
    QCOMPARE(written.count(QLatin1Char('\n')), movedAside ? 1 : 0);
    QCOMPARE(aside.size(), movedAside ? 2 : 0);
    if (!movedAside)
        return;
    QVERIFY2(written.startsWith(applicationName() + QStringLiteral(": ")), qPrintable(written));
    QVERIFY(aside.first().contains(
        QRegularExpression(QStringLiteral(R"(^turns\.sqlite\.damaged-\d{8}-\d{6}$)"))));
    QCOMPARE(aside.last(), aside.first() + QStringLiteral("-wal"));
    QFile kept(folder.filePath(aside.first()));
    QVERIFY(kept.open(QIODevice::ReadOnly));
    QCOMPARE(kept.readAll(), before);
}

// Another start of the program makes the record's layout while this one opens it: this
// one reads the empty file, then waits for the other's transaction, and finds the layout
// made. The healthy record is used, not moved aside as damaged.
void TestTurnLog::twoStartsMakeOneRecord()
{
    TestHome home;
    const QString path = TurnLog::defaultPath();
    onFile(path, {QStringLiteral("PRAGMA journal_mode=WAL")});
    // The layout as the program makes it, from a record of its own elsewhere.
    const QString elsewhere = home.dataHome() + QStringLiteral("/elsewhere.sqlite");
    TurnLog(elsewhere).begin(QStringLiteral("Ben"), turnStart, turnStart, 600);
    const QStringList layout =
        onFile(elsewhere, {QStringLiteral("SELECT group_concat(sql, ';') FROM sqlite_master "
                                          "WHERE sql IS NOT NULL")})
            .value(0)
            .toString()
            .split(QLatin1Char(';'));
    QSemaphore writing;
    QSemaphore opening;
    std::unique_ptr<QThread> other(QThread::create([&] {
        {
            QSqlDatabase db =
                QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("other"));
            db.setDatabaseName(path);
            db.open();
            QSqlQuery query(db);
            query.exec(QStringLiteral("BEGIN IMMEDIATE"));
            for (const QString &statement : layout)
                query.exec(statement);
            query.exec(QStringLiteral("PRAGMA user_version = 1"));
            writing.release();
            // Holds its transaction while this start begins to open the file.
            opening.acquire();
            QThread::msleep(100);
            query.exec(QStringLiteral("COMMIT"));
            db.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("other"));
    }));
    other->start();
    writing.acquire();
    opening.release();
    StandardErrorCapture standardError;
    TurnLog log;
    // A start that found the file busy beyond its patience records at its next call.
    std::optional<qint64> id = log.begin(QStringLiteral("Ann"), turnStart, turnStart, 600);
    other->wait();
    if (!id)
        id = log.begin(QStringLiteral("Ann"), turnStart, turnStart, 600);
    QVERIFY(id);
    QCOMPARE(log.entries().size(), 1);
    QVERIFY(QFileInfo(path).dir().entryList({QStringLiteral("turns.sqlite.damaged-*")}).isEmpty());
    QVERIFY2(!standardError.text().contains(QLatin1String("moved aside")), "");
}

void TestTurnLog::unwritableDataFolderAnswersNothing()
{
    TestHome home;
    // Root may write anywhere; a plain file where the folder belongs stops everyone.
    home.writeFile(QFileInfo(TurnLog::defaultPath()).absolutePath(), "in the way");
    StandardErrorCapture standardError;
    TurnLog log;
    QVERIFY(!log.begin(QStringLiteral("Ann"), turnStart, turnStart, 600));
    QVERIFY(!log.finish(1, turnStart, Ending::TimeUp));
    QVERIFY(log.openStretches().isEmpty());
    QVERIFY(!log.lastStretchOf(turnStart));
    QVERIFY(log.entries().isEmpty());
    QVERIFY(!log.begin(QString(), turnStart, turnStart, 600));
    const QString written = standardError.text();
    QCOMPARE(written.count(QLatin1Char('\n')), 1);
    QVERIFY2(written.startsWith(applicationName() + QStringLiteral(": turns are not recorded")),
             qPrintable(written));
}

void TestTurnLog::minutesPerDay_data()
{
    // Seven days to 7 December, Paris time (UTC+1).
    const QList<TurnLog::Entry> record = {
        stretch("Ann", "2026-12-07T08:00:00Z", 600), stretch("Ben", "2026-12-07T09:00:00Z", 300),
        stretch("Ann", "2026-12-06T23:30:00Z", 90),  // 00:30 on the 7th, Paris time
        stretch("Dan", "2026-12-05T10:00:00Z", 120), // a name no longer in the list
        stretch("", "2026-12-03T10:00:00Z", 60),     // before names were entered
        stretch("Ann", "2026-12-01T10:00:00Z", 600), // first of the seven days
        stretch("Ann", "2026-11-30T22:59:00Z", 600), // 23:59 on the 30th: outside
        stretch("Eve", "2026-11-20T10:00:00Z", 600), // outside
    };
    const QList<double> none(7, 0.0);
    QTest::addColumn<QList<TurnLog::Entry>>("entries");
    QTest::addColumn<QStringList>("children");
    QTest::addColumn<QList<Series>>("expected");
    QTest::newRow("names in order, then others, then everyone")
        << record << QStringList({"Cat", "Ben", "Ann"})
        << QList<Series>({{"Cat", none},
                          {"Ben", {0, 0, 0, 0, 0, 0, 5}},
                          {"Ann", {10, 0, 0, 0, 0, 0, 11.5}},
                          {"Dan", {0, 0, 0, 0, 2, 0, 0}},
                          {"Everyone", {0, 0, 1, 0, 0, 0, 0}}});
    QTest::newRow("no names: all of it is everyone's")
        << record << QStringList() << QList<Series>({{"Everyone", {10, 0, 1, 0, 2, 0, 16.5}}});
}

void TestTurnLog::minutesPerDay()
{
    QFETCH(QList<TurnLog::Entry>, entries);
    QFETCH(QStringList, children);
    QFETCH(QList<Series>, expected);
    QCOMPARE(TurnFigures::minutesPerDay(entries, QDate(2026, 12, 7), 7, children), expected);
}

void TestTurnLog::csvNamesStayText_data()
{
    QTest::addColumn<QString>("child");
    QTest::addColumn<QByteArray>("field"); // as the CSV row begins
    QTest::newRow("a plain name") << QStringLiteral("Ann") << QByteArray("Ann,");
    QTest::newRow("no name") << QString() << QByteArray(",");
    QTest::newRow("a comma") << QStringLiteral("Ann, the elder")
                             << QByteArray("\"Ann, the elder\",");
    QTest::newRow("a formula") << QStringLiteral("=HYPERLINK(\"x\")")
                               << QByteArray("\"'=HYPERLINK(\"\"x\"\")\",");
    for (const char *start : {"+1", "-1", "@SUM(A1)", "\tTab", "\rCR"})
        QTest::newRow(start) << QString::fromLatin1(start) << "\"'" + QByteArray(start) + "\",";
    QTest::newRow("a sign inside") << QStringLiteral("Ann-Marie") << QByteArray("Ann-Marie,");
}

void TestTurnLog::csvNamesStayText()
{
    QFETCH(QString, child);
    QFETCH(QByteArray, field);
    TurnLog::Entry entry;
    entry.child = child;
    entry.turnStarted = entry.started = turnStart;
    entry.length = 600;
    const QByteArray csv = TurnFigures::csv({entry});
    const QByteArray row = csv.mid(csv.indexOf("\r\n") + 2);
    QVERIFY2(row.startsWith(field), row.constData());
}

QTEST_GUILESS_MAIN(TestTurnLog)
#include "tst_turnlog.moc"
