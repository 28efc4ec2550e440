// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariantList>

#include <optional>

// The record of turns: every stretch of a turn the program saw running, kept in an
// SQLite database so that a family can see afterwards who had how many minutes. It is
// opened at its first use; one that cannot be opened or is damaged is moved aside and
// a new one started, and when none can be kept every call answers false or nothing:
// the timer never stops working because of its record.
class TurnLog
{
    Q_DECLARE_TR_FUNCTIONS(TurnLog)

public:
    enum class Ending { TimeUp, Stopped, ProgramEnded, Abandoned };

    // One stretch of a turn. A turn the program was ended in the middle of, and that
    // went on at its next start, has two.
    struct Entry
    {
        qint64 id = 0;
        QString child;                // empty when no names are entered
        QDateTime turnStarted;        // UTC: when the turn this stretch belongs to began
        QDateTime started;            // UTC: when this stretch began
        QDateTime ended;              // UTC; invalid while the stretch runs
        qint32 length = 0;            // seconds set for the turn
        qint32 used = 0;              // seconds of the turn that this stretch took
        std::optional<Ending> ending; // nothing while the stretch runs
    };

    // <data folder>/<application name>/turns.sqlite
    static QString defaultPath();

    // Opens nothing yet.
    explicit TurnLog(const QString &path = defaultPath());
    ~TurnLog();
    TurnLog(const TurnLog &) = delete;
    TurnLog &operator=(const TurnLog &) = delete;

    QString path() const { return m_path; }

    // Records a stretch that starts running; its id, or nothing when it was not recorded.
    std::optional<qint64> begin(const QString &child, const QDateTime &turnStarted,
                                const QDateTime &started, qint32 length);
    // Ends a running stretch and stores the seconds of the turn it took. False when it
    // was not recorded, or there is no such running stretch.
    bool finish(qint64 id, const QDateTime &ended, Ending ending);

    // The stretches that never ended (the program was killed while they ran), oldest
    // first.
    QList<Entry> openStretches();
    // The latest stretch of the turn that began at turnStarted.
    std::optional<Entry> lastStretchOf(const QDateTime &turnStarted);
    // Newest first (by the start of the stretch); all of them when newest is -1.
    QList<Entry> entries(int newest = -1);

    // The seconds of a turn that a stretch from `from` to `to` covered: the turn's clock
    // clamp(t - turnStarted, 0, length) at `to` minus the same at `from`, never below 0.
    static qint32 usedBetween(const QDateTime &turnStarted, qint32 length, const QDateTime &from,
                              const QDateTime &to);

    // How an ending is stored: "time's up", "stopped", "program ended", "abandoned".
    static QString endingText(Ending ending);
    static std::optional<Ending> endingFromText(const QString &text);

private:
    enum class State { Closed, Open, Unusable };

    // Opens the database at the first call; false when there is none to be had.
    bool ready();
    // Opens and checks the file at m_path, bringing its layout up to date; false, with
    // the reason, when it cannot be used. locked tells a file that another copy of the
    // program holds from one that is at fault.
    bool openFile(QString *reason, bool *locked);
    void closeFile();
    // Moves the file and its companions aside under a dated name; that name, or an
    // empty text when the file could not be moved.
    QString moveAside();
    // Says on standard error, once for this record, that a read or write failed.
    void reportFault(const QString &reason);
    // The stretches that the rest of a query after its column list finds.
    QList<Entry> select(const QString &rest, const QVariantList &values);

    QString m_path;
    QString m_connection;
    State m_state = State::Closed;
    bool m_faultSaid = false;
};

// The figures the Turns window shows, worked out from the record.
namespace TurnFigures {

// The minutes one child (or everyone) used on each of a run of days.
struct Series
{
    QString name;
    QList<double> minutes; // one a day, oldest first

    bool operator==(const Series &other) const
    {
        return name == other.name && minutes == other.minutes;
    }
};

// The name of the series of turns taken without a child's name.
QString everyone();

// The minutes used on each local day from lastDay - (days - 1) to lastDay: a series for
// each of children in that order, then one for each other child met in those days (in
// order of first appearance), then "Everyone" for the stretches without a child when
// there are any. With no children, a single "Everyone" holds all of them. A stretch
// counts on the local day it started.
QList<Series> minutesPerDay(const QList<TurnLog::Entry> &entries, const QDate &lastDay, int days,
                            const QStringList &children);

// The record as CSV in UTF-8: a header row, then one row per stretch, oldest first,
// with the times in ISO 8601 UTC (empty while the stretch runs). Rows end with CRLF.
QByteArray csv(const QList<TurnLog::Entry> &entries);

} // namespace TurnFigures
