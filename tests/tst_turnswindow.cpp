// SPDX-License-Identifier: GPL-3.0-or-later
// The Turns window: its table and chart from a known record, and the export.
#include "support/TestSupport.h"
#include "turns/TurnsChart.h"
#include "turns/frmTurns.h"

#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

using Ending = TurnLog::Ending;
Q_DECLARE_METATYPE(TurnLog::Entry)

namespace {

const QDate today(2026, 12, 7);

TurnLog::Entry stretch(qint64 id, const QString &child, const char *started, qint32 used,
                       std::optional<Ending> ending)
{
    TurnLog::Entry entry;
    entry.id = id;
    entry.child = child;
    entry.started = QDateTime::fromString(QString::fromLatin1(started), Qt::ISODate);
    entry.turnStarted = entry.started;
    entry.length = 600;
    entry.used = used;
    entry.ending = ending;
    if (ending)
        entry.ended = entry.started.addSecs(used);
    return entry;
}

QStringList rowTexts(const QTableWidget *table, int row)
{
    QStringList texts;
    for (int column = 0; column < table->columnCount(); ++column)
        texts.append(table->item(row, column) ? table->item(row, column)->text() : QString());
    return texts;
}

} // namespace

class TestTurnsWindow : public QObject
{
    Q_OBJECT
public:
    // Local time an hour or two ahead of UTC, written the British way.
    static void initMain()
    {
        qputenv("TZ", "Europe/Paris");
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom));
    }

private slots:
    void tableRow_data();
    void tableRow();
    void newestFirstWithTheChart();
    void exportToFile_data();
    void exportToFile();
    void escapeCloses();
    void chartGrowsWithTheFont();
    void axisTicksAreRound_data();
    void axisTicksAreRound();
};

void TestTurnsWindow::tableRow_data()
{
    QTest::addColumn<TurnLog::Entry>("entry");
    QTest::addColumn<QStringList>("texts");
    QTest::newRow("time's up") << stretch(1, "Ann", "2026-12-07T08:00:00Z", 600, Ending::TimeUp)
                               << QStringList({"Ann", "07/12/2026 09:00", "10.0", "Time's up"});
    QTest::newRow("stopped, no names, summer time")
        << stretch(1, "", "2026-06-01T12:34:56Z", 270, Ending::Stopped)
        << QStringList({"", "01/06/2026 14:34", "4.5", "Stopped by a parent"});
    QTest::newRow("program ended")
        << stretch(1, "Ben", "2026-12-07T23:30:00Z", 59, Ending::ProgramEnded)
        << QStringList({"Ben", "08/12/2026 00:30", "1.0", "Program ended"});
    QTest::newRow("abandoned") << stretch(1, "Cat", "2026-12-07T08:00:00Z", 0, Ending::Abandoned)
                               << QStringList({"Cat", "07/12/2026 09:00", "0.0", "Abandoned"});
    QTest::newRow("running") << stretch(1, "Cat", "2026-12-07T08:00:00Z", 0, std::nullopt)
                             << QStringList({"Cat", "07/12/2026 09:00", "", "Running"});
}

void TestTurnsWindow::tableRow()
{
    QFETCH(TurnLog::Entry, entry);
    QFETCH(QStringList, texts);
    RecordingUi recorder;
    frmTurns window({entry}, {}, today);
    const auto *table = window.findChild<QTableWidget *>(QStringLiteral("grdTurns"));
    QVERIFY(table);
    QCOMPARE(table->rowCount(), 1);
    QCOMPARE(rowTexts(table, 0), texts);
}

void TestTurnsWindow::newestFirstWithTheChart()
{
    RecordingUi recorder;
    const QList<TurnLog::Entry> record = {
        stretch(1, "Ann", "2026-12-07T08:00:00Z", 600, Ending::TimeUp),
        stretch(2, "Ann", "2026-12-05T10:00:00Z", 300, Ending::Abandoned),
        stretch(3, "", "2026-12-06T23:30:00Z", 90, Ending::ProgramEnded), // the 7th in Paris
        stretch(4, "Ben", "2026-12-07T09:15:00Z", 270, Ending::Stopped),
        stretch(5, "Cat", "2026-12-07T09:15:00Z", 0, std::nullopt),     // same start, later id
        stretch(6, "Dan", "2026-11-30T10:00:00Z", 600, Ending::TimeUp), // before the seven days
    };
    frmTurns window(record, {"Ann", "Ben", "Cat"}, today);

    const auto *table = window.findChild<QTableWidget *>(QStringLiteral("grdTurns"));
    QStringList order;
    for (int row = 0; row < table->rowCount(); ++row)
        order.append(table->item(row, 0)->text() + QLatin1Char('/') + table->item(row, 3)->text());
    QCOMPARE(order, QStringList({"Cat/Running", "Ben/Stopped by a parent", "Ann/Time's up",
                                 "/Program ended", "Ann/Abandoned", "Dan/Time's up"}));

    const auto *chart = window.findChild<TurnsChart *>(QStringLiteral("chrTurns"));
    QVERIFY(chart);
    QCOMPARE(chart->days().size(), 7);
    QCOMPARE(chart->days().first(), QDate(2026, 12, 1));
    QCOMPARE(chart->days().last(), today);
    QStringList names;
    for (const TurnFigures::Series &series : chart->series())
        names.append(series.name);
    QCOMPARE(names, QStringList({"Ann", "Ben", "Cat", "Everyone"}));
    QCOMPARE(chart->series().first().minutes, QList<double>({0, 0, 0, 0, 5, 0, 10}));
    QCOMPARE(chart->accessibleDescription(),
             QStringLiteral("Today: Ann 10.0 minutes, Ben 4.5 minutes, Cat 0.0 minutes, "
                            "Everyone 1.5 minutes."));
}

void TestTurnsWindow::exportToFile_data()
{
    QTest::addColumn<QString>("chosen"); // within a fresh folder; empty: cancelled
    QTest::addColumn<bool>("written");
    QTest::newRow("a new file") << QStringLiteral("turns.csv") << true;
    QTest::newRow("in a folder that does not exist")
        << QStringLiteral("missing/turns.csv") << false;
    QTest::newRow("cancelled") << QString() << false;
}

void TestTurnsWindow::exportToFile()
{
    QFETCH(QString, chosen);
    QFETCH(bool, written);
    RecordingUi recorder;
    QTemporaryDir folder;
    recorder.saveAs = chosen.isEmpty() ? QString() : folder.filePath(chosen);
    const QList<TurnLog::Entry> record = {
        stretch(1, "Ann, \"the elder\"", "2026-12-07T08:00:00Z", 600, Ending::TimeUp),
        stretch(2, "", "2026-10-01T10:00:00Z", 60, Ending::Stopped),
    };
    frmTurns window(record, {}, today);
    window.show();
    window.findChild<QPushButton *>(QStringLiteral("cmdExport"))->click();

    QCOMPARE(recorder.fileRequests.size(), 1);
    QCOMPARE(recorder.fileRequests.first().suggestedName, QStringLiteral("turns-2026-12-07.csv"));
    QFile file(recorder.saveAs);
    QCOMPARE(file.exists(), written);
    if (written) {
        QVERIFY(recorder.messages.isEmpty());
        QVERIFY(file.open(QIODevice::ReadOnly));
        // The whole record, the turn older than the chart's days included.
        QCOMPARE(file.readAll(), TurnFigures::csv(record));
    } else if (!chosen.isEmpty()) {
        QCOMPARE(recorder.messages.size(), 1);
        QCOMPARE(recorder.messages.first().icon, UiService::MessageIcon::Exclamation);
        QVERIFY2(recorder.messages.first().text.contains(QDir::toNativeSeparators(recorder.saveAs)),
                 qPrintable(recorder.messages.first().text));
    } else {
        QVERIFY(recorder.messages.isEmpty());
    }
    // Nothing else is left behind, half-written copies included.
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden),
             written ? QStringList(chosen) : QStringList());
}

void TestTurnsWindow::escapeCloses()
{
    RecordingUi recorder;
    frmTurns window({}, {}, today);
    ModalDriver driver;
    driver.then([](QWidget *shown) { QTest::keyClick(shown, Qt::Key_Escape); });
    QCOMPARE(window.exec(), int(QDialog::Rejected));
    QCOMPARE(driver.seen(), QStringList({"frmTurns"}));
    QVERIFY(!driver.timedOut());
}

void TestTurnsWindow::chartGrowsWithTheFont()
{
    RecordingUi recorder;
    frmTurns window({}, {}, today);
    auto *chart = window.findChild<TurnsChart *>(QStringLiteral("chrTurns"));
    const QSize before = chart->minimumSizeHint();
    QFont larger = window.font();
    larger.setPointSizeF(larger.pointSizeF() * 2);
    window.setFont(larger);
    QVERIFY(chart->minimumSizeHint().width() > before.width());
    QVERIFY(chart->minimumSizeHint().height() > before.height());
    QVERIFY(window.minimumSizeHint().height() > before.height());
}

void TestTurnsWindow::axisTicksAreRound_data()
{
    QTest::addColumn<double>("largest");
    QTest::addColumn<int>("ticks");
    QTest::addColumn<int>("step");
    QTest::newRow("nothing yet") << 0.0 << 5 << 1;
    QTest::newRow("under a minute a tick") << 1.5 << 5 << 1;
    QTest::newRow("up to 2") << 10.0 << 5 << 2;
    QTest::newRow("up to 5") << 21.0 << 5 << 5;
    QTest::newRow("up to 10") << 45.0 << 5 << 10;
    QTest::newRow("up to 20") << 60.0 << 5 << 20;
    QTest::newRow("a whole afternoon, little room") << 600.0 << 3 << 200;
    QTest::newRow("no room at all") << 95.0 << 1 << 100;
}

void TestTurnsWindow::axisTicksAreRound()
{
    QFETCH(double, largest);
    QFETCH(int, ticks);
    QFETCH(int, step);
    QCOMPARE(TurnsChart::tickStep(largest, ticks), step);
}

QTEST_MAIN(TestTurnsWindow)
#include "tst_turnswindow.moc"
