// SPDX-License-Identifier: GPL-3.0-or-later
// The Turns window: its table and chart from a known record, and the export read back.
#include "support/TestSupport.h"
#include "turns/TurnsChart.h"
#include "turns/frmTurns.h"

#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableWidget>
#include <QTest>

using Ending = TurnLog::Ending;

namespace {

const QDate today(2026, 12, 7);

TurnLog::Entry stretch(qint64 id, const QString &child, const char *started, qint32 used,
                       std::optional<Ending> ending)
{
    TurnLog::Entry entry{id, child,
                         QDateTime::fromString(QString::fromLatin1(started), Qt::ISODate)};
    entry.started = entry.turnStarted;
    entry.ended = ending ? entry.started.addSecs(used) : QDateTime();
    entry.length = 600;
    entry.used = used;
    entry.ending = ending;
    return entry;
}

const QList<TurnLog::Entry> record = {
    stretch(1, "Ann", "2026-12-07T08:00:00Z", 600, Ending::TimeUp),
    stretch(2, "Ann", "2026-12-05T10:00:00Z", 300, Ending::Abandoned),
    stretch(3, "", "2026-12-06T23:30:00Z", 90, Ending::ProgramEnded), // the 7th in Paris
    stretch(4, "Ben", "2026-12-07T09:15:00Z", 59, Ending::Stopped),
    stretch(5, "Cat", "2026-12-07T09:15:00Z", 0, std::nullopt), // same start, later id
    stretch(6, "Ann, \"the elder\"", "2026-06-01T12:34:56Z", 600, Ending::TimeUp), // summer
    stretch(7, "Bo \"Jr\"", "2026-05-01T08:00:00Z", 60, Ending::Stopped), // quotes, no comma
};

// Reads CSV as RFC 4180 writes it (rows end with CRLF, quoted fields double their
// quotes); nothing when any character is left over.
QList<QStringList> parseCsv(const QByteArray &bytes)
{
    static const QRegularExpression field(QStringLiteral(R"(("(?:[^"]|"")*"|[^,"\r\n]*)(,|\r\n))"));
    const QString text = QString::fromUtf8(bytes);
    QList<QStringList> rows(1);
    qsizetype read = 0;
    for (auto fields = field.globalMatch(text); fields.hasNext() && read < text.size();) {
        const QRegularExpressionMatch match = fields.next();
        if (match.capturedStart() != read)
            return {};
        read = match.capturedEnd();
        QString value = match.captured(1);
        if (value.startsWith(QLatin1Char('"')))
            value = value.mid(1, value.size() - 2)
                        .replace(QStringLiteral("\"\""), QStringLiteral("\""));
        rows.last().append(value);
        if (match.captured(2) != QLatin1String(","))
            rows.append(QStringList());
    }
    rows.removeLast();
    return read == text.size() ? rows : QList<QStringList>();
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
    void showsTheRecord();
    void exportToFile_data();
    void exportToFile();
};

void TestTurnsWindow::showsTheRecord()
{
    RecordingUi recorder;
    frmTurns window(record, {"Ann", "Ben", "Cat"}, today);

    const auto *table = window.findChild<QTableWidget *>(QStringLiteral("grdTurns"));
    QList<QStringList> rows;
    for (int row = 0; row < table->rowCount(); ++row) {
        rows.append(QStringList());
        for (int column = 0; column < table->columnCount(); ++column)
            rows.last().append(table->item(row, column)->text());
    }
    QCOMPARE(rows, QList<QStringList>({
                       {"Cat", "07/12/2026 10:15", "", "Running"},
                       {"Ben", "07/12/2026 10:15", "1.0", "Stopped by a parent"},
                       {"Ann", "07/12/2026 09:00", "10.0", "Time's up"},
                       {"", "07/12/2026 00:30", "1.5", "Program ended"},
                       {"Ann", "05/12/2026 11:00", "5.0", "Abandoned"},
                       {"Ann, \"the elder\"", "01/06/2026 14:34", "10.0", "Time's up"},
                       {"Bo \"Jr\"", "01/05/2026 10:00", "1.0", "Stopped by a parent"},
                   }));

    const auto *chart = window.findChild<TurnsChart *>(QStringLiteral("chrTurns"));
    QCOMPARE(chart->days().size(), 7);
    QCOMPARE(chart->days().first(), QDate(2026, 12, 1));
    QCOMPARE(chart->days().last(), today);
    QCOMPARE(chart->series().first(), TurnFigures::Series({"Ann", {0, 0, 0, 0, 5, 0, 10}}));
    QCOMPARE(chart->accessibleDescription(),
             QStringLiteral("Today: Ann 10.0 minutes, Ben 1.0 minutes, Cat 0.0 minutes, "
                            "Everyone 1.5 minutes."));
}

void TestTurnsWindow::exportToFile_data()
{
    QTest::addColumn<QString>("chosen"); // within a fresh folder; empty: cancelled
    QTest::addColumn<int>("messages");
    QTest::newRow("a new file") << QStringLiteral("turns.csv") << 0;
    QTest::newRow("in a folder that does not exist") << QStringLiteral("missing/turns.csv") << 1;
    QTest::newRow("cancelled") << QString() << 0;
}

void TestTurnsWindow::exportToFile()
{
    QFETCH(QString, chosen);
    QFETCH(int, messages);
    RecordingUi recorder;
    QTemporaryDir folder;
    recorder.saveAs = chosen.isEmpty() ? QString() : folder.filePath(chosen);
    frmTurns window(record, {}, today);
    window.show();
    window.findChild<QPushButton *>(QStringLiteral("cmdExport"))->click();

    QCOMPARE(recorder.fileRequests.size(), 1);
    QCOMPARE(recorder.fileRequests.first().suggestedName, QStringLiteral("turns-2026-12-07.csv"));
    QCOMPARE(recorder.messages.size(), messages);
    if (messages) {
        QCOMPARE(recorder.messages.first().icon, UiService::MessageIcon::Exclamation);
        QVERIFY(recorder.messages.first().text.contains(QDir::toNativeSeparators(recorder.saveAs)));
    }
    // The whole record, the turn older than the chart's days included; nothing else is
    // left behind, half-written copies included.
    const bool written = !chosen.isEmpty() && !messages;
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden),
             written ? QStringList(chosen) : QStringList());
    if (written) {
        QFile file(recorder.saveAs);
        QVERIFY(file.open(QIODevice::ReadOnly));
        // Oldest first; the quoted name and the running stretch are the hard ones.
        const QList<QStringList> rows = parseCsv(file.readAll());
        QCOMPARE(rows.size(), record.size() + 1);
        QCOMPARE(rows.first(), QStringList({"child", "turn_started", "started", "ended",
                                            "length_seconds", "used_seconds", "ending"}));
        QCOMPARE(rows.at(1).first(), QStringLiteral("Bo \"Jr\""));
        QCOMPARE(rows.at(2),
                 QStringList({"Ann, \"the elder\"", "2026-06-01T12:34:56Z", "2026-06-01T12:34:56Z",
                              "2026-06-01T12:44:56Z", "600", "600", "time's up"}));
        QCOMPARE(rows.at(5).last(), QStringLiteral("time's up"));
        QCOMPARE(rows.last(), QStringList({"Cat", "2026-12-07T09:15:00Z", "2026-12-07T09:15:00Z",
                                           "", "600", "0", ""}));
    }
}

QTEST_MAIN(TestTurnsWindow)
#include "tst_turnswindow.moc"
