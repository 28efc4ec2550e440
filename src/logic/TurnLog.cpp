// SPDX-License-Identifier: GPL-3.0-or-later
#include "logic/TurnLog.h"

#include "logic/SettingsStore.h"
#include "logic/TurnRecord.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>

#include <algorithm>
#include <atomic>
#include <cstdio>

namespace {

const QString driver = QStringLiteral("QSQLITE");

// How long a write waits for another copy of the program to finish its own.
const QString connectOptions = QStringLiteral("QSQLITE_BUSY_TIMEOUT=1000");

// The layout of the record, one step per version: a record of version n - 1 becomes
// one of version n by running step n's statements. The version is kept in the
// database's user_version.
struct Migration
{
    int version;
    QList<const char *> statements;
};

const QList<Migration> migrations = {
    {1,
     {"CREATE TABLE stretches ("
      " id INTEGER PRIMARY KEY,"
      " child TEXT,"                 // NULL when no names are entered
      " turn_started TEXT NOT NULL," // ISO 8601 UTC, to the second
      " started TEXT NOT NULL,"
      " ended TEXT," // NULL while the stretch runs
      " length INTEGER NOT NULL CHECK (length > 0),"
      " used INTEGER NOT NULL DEFAULT 0,"
      " ending TEXT CHECK (ending IN ('time''s up', 'stopped', 'program ended', 'abandoned')))",
      "CREATE INDEX stretches_by_start ON stretches (started)",
      "CREATE INDEX stretches_by_turn ON stretches (turn_started)"}},
};

const char *const columns =
    "SELECT id, child, turn_started, started, ended, length, used, ending FROM stretches";

int currentVersion()
{
    return migrations.last().version;
}

// One line, whatever SQLite's own texts within it hold.
void say(const QString &text)
{
    std::fprintf(stderr, "%s: %s\n", qPrintable(applicationName()), qPrintable(text.simplified()));
    std::fflush(stderr);
}

QString native(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

// SQLite's answers when another connection holds the database for longer than the
// wait: nothing is wrong with the file.
bool busy(const QSqlError &error)
{
    return error.nativeErrorCode() == QLatin1String("5") ||
           error.nativeErrorCode() == QLatin1String("6");
}

QDateTime toSeconds(const QDateTime &moment)
{
    return TurnRecord::timeFromText(TurnRecord::timeText(moment));
}

TurnLog::Entry entryAt(const QSqlQuery &query)
{
    TurnLog::Entry entry;
    entry.id = query.value(0).toLongLong();
    entry.child = query.value(1).toString();
    entry.turnStarted = TurnRecord::timeFromText(query.value(2).toString());
    entry.started = TurnRecord::timeFromText(query.value(3).toString());
    entry.ended = TurnRecord::timeFromText(query.value(4).toString());
    entry.length = query.value(5).toInt();
    entry.used = query.value(6).toInt();
    if (entry.ended.isValid())
        entry.ending = TurnLog::endingFromText(query.value(7).toString());
    return entry;
}

bool oldestFirst(const TurnLog::Entry &a, const TurnLog::Entry &b)
{
    return a.started != b.started ? a.started < b.started : a.id < b.id;
}

QList<TurnLog::Entry> sortedOldestFirst(QList<TurnLog::Entry> entries)
{
    std::stable_sort(entries.begin(), entries.end(), oldestFirst);
    return entries;
}

} // namespace

QString TurnLog::defaultPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QLatin1Char('/') + applicationName() + QStringLiteral("/turns.sqlite");
}

TurnLog::TurnLog(const QString &path) : m_path(path)
{
    static std::atomic<int> made{0};
    m_connection = QStringLiteral("TurnLog-%1").arg(++made);
}

TurnLog::~TurnLog()
{
    closeFile();
}

bool TurnLog::ready()
{
    if (m_state != State::Closed)
        return m_state == State::Open;
    m_state = State::Unusable;

    if (!QSqlDatabase::isDriverAvailable(driver)) {
        //: On standard error, after the program's name and ": ". The record of turns is
        //: the database behind Parents > Turns.
        say(tr("turns are not recorded: the SQLite driver of Qt SQL is not installed."));
        return false;
    }
    const QString folder = QFileInfo(m_path).absolutePath();
    if (!QDir().mkpath(folder)) {
        //: On standard error. %1 is a folder's path.
        say(tr("turns are not recorded: the folder %1 cannot be made.").arg(native(folder)));
        return false;
    }
    QString reason;
    bool locked = false;
    if (openFile(&reason, &locked)) {
        m_state = State::Open;
        return true;
    }
    closeFile();
    if (locked) {
        // Another copy of the program holds it: try again at the next call.
        m_state = State::Closed;
        reportFault(reason);
        return false;
    }
    if (!QFileInfo::exists(m_path)) {
        //: On standard error. %1 is the database file's path, %2 the database's own reason.
        say(tr("turns are not recorded: %1 cannot be made (%2).").arg(native(m_path), reason));
        return false;
    }
    const QString aside = moveAside();
    if (aside.isEmpty()) {
        //: On standard error. %1 is the database file's path, %2 why it cannot be used.
        say(tr("turns are not recorded: %1 cannot be used (%2) nor moved aside.")
                .arg(native(m_path), reason));
        return false;
    }
    QString again;
    if (!openFile(&again, &locked)) {
        closeFile();
        //: On standard error. %1 is the database file's path, %2 why it cannot be used,
        //: %3 the name it was moved to, %4 why a new one cannot be made.
        say(tr("the record of turns %1 cannot be used (%2) and was moved aside as %3, but no "
               "new one can be made (%4): turns are not recorded.")
                .arg(native(m_path), reason, native(aside), again));
        return false;
    }
    //: On standard error. %1 is the database file's path, %2 why it cannot be used, %3
    //: the name it is kept under.
    say(tr("the record of turns %1 cannot be used (%2); it is kept as %3 and a new one started.")
            .arg(native(m_path), reason, native(aside)));
    m_state = State::Open;
    return true;
}

bool TurnLog::openFile(QString *reason, bool *locked)
{
    QSqlDatabase db = QSqlDatabase::contains(m_connection)
                          ? QSqlDatabase::database(m_connection, false)
                          : QSqlDatabase::addDatabase(driver, m_connection);
    db.setDatabaseName(m_path);
    db.setConnectOptions(connectOptions);
    const auto fail = [&](const QString &why, const QSqlError &error = QSqlError()) {
        *reason = why;
        *locked = busy(error);
        return false;
    };
    if (!db.open())
        return fail(db.lastError().text(), db.lastError());

    QSqlQuery query(db);
    // A file that is not a database at all fails here, at its first read.
    if (!query.exec(QStringLiteral("PRAGMA quick_check")))
        return fail(query.lastError().text(), query.lastError());
    QStringList problems;
    while (query.next())
        problems.append(query.value(0).toString());
    if (problems != QStringList(QStringLiteral("ok")))
        //: Why the record of turns cannot be used (%2 above); "it" is the database file.
        //: %1 is what SQLite's check reports.
        return fail(tr("its check finds: %1").arg(problems.join(QStringLiteral("; "))));

    if (!query.exec(QStringLiteral("PRAGMA user_version")) || !query.next())
        return fail(query.lastError().text(), query.lastError());
    const int version = query.value(0).toInt();
    if (version > currentVersion())
        return fail(
            //: Why the record of turns cannot be used; %1 is a number.
            tr("it was written by a newer version of the program (layout %1)").arg(version));
    if (version == 0) {
        if (!query.exec(QStringLiteral("SELECT count(*) FROM sqlite_master")) || !query.next())
            return fail(query.lastError().text(), query.lastError());
        if (query.value(0).toInt() != 0)
            //: Why the record of turns cannot be used; "it" is the database file.
            return fail(tr("it holds something other than turns"));
    } else if (!query.exec(QString::fromUtf8(columns) + QStringLiteral(" LIMIT 0"))) {
        //: Why the record of turns cannot be used; "it" is the database file.
        return fail(tr("it does not hold turns as this program keeps them"));
    }

    // Only a record of turns is changed: one found to be something else is moved aside
    // as it was.
    if (!query.exec(QStringLiteral("PRAGMA journal_mode=WAL")) || !query.next())
        return fail(query.lastError().text(), query.lastError());
    if (query.value(0).toString().compare(QLatin1String("wal"), Qt::CaseInsensitive) != 0)
        //: Why the record of turns cannot be used; "it" is the database file. A
        //: write-ahead log is SQLite's journal_mode=WAL.
        return fail(tr("it cannot keep a write-ahead log"));
    // A commit reaches the log without waiting for the disk; the log reaches the disk at
    // each checkpoint. A killed program loses nothing, a power cut at most the last
    // writes, and the window never waits on the disk at Start or at the time's up.
    query.exec(QStringLiteral("PRAGMA synchronous=NORMAL"));

    if (version == currentVersion())
        return true;
    // The layout is brought up to date inside one write transaction that reads its version
    // again: another start of the program that made it meanwhile is then seen, not taken
    // for damage.
    if (!query.exec(QStringLiteral("BEGIN IMMEDIATE")))
        return fail(query.lastError().text(), query.lastError());
    const auto abandon = [&](const QSqlError &error) {
        QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
        return fail(error.text(), error);
    };
    if (!query.exec(QStringLiteral("PRAGMA user_version")) || !query.next())
        return abandon(query.lastError());
    const int current = query.value(0).toInt();
    for (const Migration &step : migrations) {
        if (step.version <= current)
            continue;
        for (const char *statement : step.statements) {
            if (!query.exec(QString::fromUtf8(statement)))
                return abandon(query.lastError());
        }
    }
    if (current < currentVersion() &&
        !query.exec(QStringLiteral("PRAGMA user_version = %1").arg(currentVersion())))
        return abandon(query.lastError());
    if (!query.exec(QStringLiteral("COMMIT")))
        return abandon(query.lastError());
    return true;
}

void TurnLog::closeFile()
{
    if (!QSqlDatabase::contains(m_connection))
        return;
    {
        QSqlDatabase db = QSqlDatabase::database(m_connection, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(m_connection);
}

QString TurnLog::moveAside()
{
    const QString base = m_path + QStringLiteral(".damaged-") +
                         QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    const QStringList companions = {QStringLiteral("-wal"), QStringLiteral("-shm"),
                                    QStringLiteral("-journal")};
    const auto taken = [&](const QString &name) {
        for (const QString &companion : companions) {
            if (QFileInfo::exists(name + companion))
                return true;
        }
        return QFileInfo::exists(name);
    };
    QString aside = base;
    for (int copy = 2; taken(aside); ++copy)
        aside = base + QLatin1Char('-') + QString::number(copy);

    QDir folder;
    if (!folder.rename(m_path, aside))
        return QString();
    for (const QString &companion : companions) {
        // A log left beside the new file would be read into it: what cannot go along
        // is removed.
        if (QFileInfo::exists(m_path + companion) &&
            !folder.rename(m_path + companion, aside + companion))
            QFile::remove(m_path + companion);
    }
    return aside;
}

void TurnLog::reportFault(const QString &reason)
{
    if (m_faultSaid)
        return;
    m_faultSaid = true;
    //: On standard error. %1 is the database file's path, %2 the database's reason.
    say(tr("a turn could not be recorded in %1: %2").arg(native(m_path), reason));
}

std::optional<qint64> TurnLog::begin(const QString &child, const QDateTime &turnStarted,
                                     const QDateTime &started, qint32 length)
{
    if (!turnStarted.isValid() || !started.isValid() || length <= 0 || !ready())
        return std::nullopt;
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    query.prepare(QStringLiteral("INSERT INTO stretches (child, turn_started, started, length) "
                                 "VALUES (?, ?, ?, ?)"));
    query.addBindValue(child.isEmpty() ? QVariant(QMetaType(QMetaType::QString)) : child);
    query.addBindValue(TurnRecord::timeText(turnStarted));
    query.addBindValue(TurnRecord::timeText(started));
    query.addBindValue(length);
    if (!query.exec()) {
        reportFault(query.lastError().text());
        return std::nullopt;
    }
    return query.lastInsertId().toLongLong();
}

bool TurnLog::finish(qint64 id, const QDateTime &ended, Ending ending)
{
    if (!ended.isValid() || !ready())
        return false;
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    // Immediate: no other copy of the program writes between the read and the update.
    if (!query.exec(QStringLiteral("BEGIN IMMEDIATE"))) {
        reportFault(query.lastError().text());
        return false;
    }
    const auto rollBack = [&](bool fault) {
        if (fault)
            reportFault(query.lastError().text());
        query.exec(QStringLiteral("ROLLBACK"));
        return false;
    };
    query.prepare(QString::fromUtf8(columns) + QStringLiteral(" WHERE id = ? AND ended IS NULL"));
    query.addBindValue(id);
    if (!query.exec())
        return rollBack(true);
    if (!query.next())
        return rollBack(false);
    const Entry stretch = entryAt(query);
    query.finish();

    const QDateTime end = toSeconds(ended);
    query.prepare(
        QStringLiteral("UPDATE stretches SET ended = ?, used = ?, ending = ? WHERE id = ?"));
    query.addBindValue(TurnRecord::timeText(end));
    query.addBindValue(usedBetween(stretch.turnStarted, stretch.length, stretch.started, end));
    query.addBindValue(endingText(ending));
    query.addBindValue(id);
    if (!query.exec() || !query.exec(QStringLiteral("COMMIT")))
        return rollBack(true);
    return true;
}

QList<TurnLog::Entry> TurnLog::select(const QString &rest, const QVariantList &values)
{
    QList<Entry> found;
    if (!ready())
        return found;
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    query.setForwardOnly(true);
    query.prepare(QString::fromUtf8(columns) + QLatin1Char(' ') + rest);
    for (const QVariant &value : values)
        query.addBindValue(value);
    if (!query.exec()) {
        reportFault(query.lastError().text());
        return found;
    }
    while (query.next()) {
        const Entry entry = entryAt(query);
        // A row changed by hand into something that is not a stretch is left out.
        if (entry.turnStarted.isValid() && entry.started.isValid())
            found.append(entry);
    }
    return found;
}

QList<TurnLog::Entry> TurnLog::openStretches()
{
    return select(QStringLiteral("WHERE ended IS NULL ORDER BY started, id"), {});
}

std::optional<TurnLog::Entry> TurnLog::lastStretchOf(const QDateTime &turnStarted)
{
    if (!turnStarted.isValid())
        return std::nullopt;
    const QList<Entry> found =
        select(QStringLiteral("WHERE turn_started = ? ORDER BY started DESC, id DESC LIMIT 1"),
               {TurnRecord::timeText(turnStarted)});
    if (found.isEmpty())
        return std::nullopt;
    return found.first();
}

QList<TurnLog::Entry> TurnLog::entries(int newest)
{
    return select(QStringLiteral("ORDER BY started DESC, id DESC LIMIT ?"),
                  {newest < 0 ? -1 : newest});
}

qint32 TurnLog::usedBetween(const QDateTime &turnStarted, qint32 length, const QDateTime &from,
                            const QDateTime &to)
{
    if (!turnStarted.isValid() || !from.isValid() || !to.isValid() || length <= 0)
        return 0;
    const auto clock = [&](const QDateTime &moment) {
        return std::clamp<qint64>(turnStarted.secsTo(moment), 0, length);
    };
    return qint32(std::max<qint64>(0, clock(to) - clock(from)));
}

QString TurnLog::endingText(Ending ending)
{
    switch (ending) {
    case Ending::TimeUp:
        return QStringLiteral("time's up");
    case Ending::Stopped:
        return QStringLiteral("stopped");
    case Ending::ProgramEnded:
        return QStringLiteral("program ended");
    case Ending::Abandoned:
        break;
    }
    return QStringLiteral("abandoned");
}

std::optional<TurnLog::Ending> TurnLog::endingFromText(const QString &text)
{
    for (Ending ending :
         {Ending::TimeUp, Ending::Stopped, Ending::ProgramEnded, Ending::Abandoned}) {
        if (text == endingText(ending))
            return ending;
    }
    return std::nullopt;
}

namespace TurnFigures {

QString everyone()
{
    //: In the Turns window's chart: the turns taken while no children's names were
    //: entered, or without a name.
    return QCoreApplication::translate("TurnFigures", "Everyone");
}

QList<Series> minutesPerDay(const QList<TurnLog::Entry> &entries, const QDate &lastDay, int days,
                            const QStringList &children)
{
    QList<Series> series;
    if (days <= 0 || !lastDay.isValid())
        return series;
    const QDate firstDay = lastDay.addDays(-(days - 1));
    const QList<double> none(days, 0.0);
    QHash<QString, qsizetype> seriesOf;
    for (const QString &child : children) {
        if (!seriesOf.contains(child)) {
            seriesOf.insert(child, series.size());
            series.append({child, none});
        }
    }
    Series unnamed{everyone(), none};
    bool anyUnnamed = false;
    for (const TurnLog::Entry &entry : sortedOldestFirst(entries)) {
        const QDate day = entry.started.toLocalTime().date();
        if (day < firstDay || day > lastDay)
            continue;
        const double minutes = entry.used / 60.0;
        const qint64 index = firstDay.daysTo(day);
        if (children.isEmpty() || entry.child.isEmpty()) {
            unnamed.minutes[index] += minutes;
            anyUnnamed = true;
            continue;
        }
        auto found = seriesOf.find(entry.child);
        if (found == seriesOf.end()) {
            found = seriesOf.insert(entry.child, series.size());
            series.append({entry.child, none});
        }
        series[*found].minutes[index] += minutes;
    }
    if (children.isEmpty() || anyUnnamed)
        series.append(unnamed);
    return series;
}

namespace {

QByteArray field(const QString &text)
{
    QByteArray bytes = text.toUtf8();
    // Spreadsheets run a cell that begins so as a formula: a leading apostrophe makes
    // them read it as text.
    static const QByteArray formulaStarts("=+-@\t\r");
    const bool formula = !bytes.isEmpty() && formulaStarts.contains(bytes.front());
    if (formula)
        bytes.prepend('\'');
    if (formula || bytes.contains(',') || bytes.contains('"') || bytes.contains('\n') ||
        bytes.contains('\r'))
        bytes = '"' + bytes.replace("\"", "\"\"") + '"';
    return bytes;
}

QString csvTime(const QDateTime &moment)
{
    return moment.isValid() ? TurnRecord::timeText(moment) : QString();
}

} // namespace

QByteArray csv(const QList<TurnLog::Entry> &entries)
{
    QByteArray out("child,turn_started,started,ended,length_seconds,used_seconds,ending\r\n");
    for (const TurnLog::Entry &entry : sortedOldestFirst(entries)) {
        const QStringList fields = {
            entry.child,
            csvTime(entry.turnStarted),
            csvTime(entry.started),
            csvTime(entry.ended),
            QString::number(entry.length),
            QString::number(entry.used),
            entry.ending ? TurnLog::endingText(*entry.ending) : QString(),
        };
        for (qsizetype i = 0; i < fields.size(); ++i) {
            if (i > 0)
                out += ',';
            out += field(fields.at(i));
        }
        out += "\r\n";
    }
    return out;
}

} // namespace TurnFigures
