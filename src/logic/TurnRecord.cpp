// SPDX-License-Identifier: GPL-3.0-or-later
#include "logic/TurnRecord.h"

#include "logic/SettingsStore.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <QTimeZone>
#include <QVariantMap>

namespace {

const QString lengthKey = QStringLiteral("Turn/Length");
const QString startedKey = QStringLiteral("Turn/Started");
const QString childKey = QStringLiteral("Turn/Child");

} // namespace

namespace TurnRecord {

QString timeText(const QDateTime &moment)
{
    return moment.toUTC().toString(Qt::ISODate);
}

QDateTime timeFromText(const QString &text)
{
    // Seconds are required; the zone may be Z or an offset from UTC.
    static const QRegularExpression form(
        QStringLiteral(R"(^\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d(Z|[+-]\d\d:\d\d)$)"));
    if (!form.match(text).hasMatch())
        return QDateTime();
    return QDateTime::fromString(text, Qt::ISODate).toUTC();
}

std::optional<RecordedTurn> read()
{
    const QString length = GetSetting(section, QStringLiteral("Length"), QString());
    const QString started = GetSetting(section, QStringLiteral("Started"), QString());
    static const QRegularExpression digits(QStringLiteral("^[0-9]{1,9}$"));
    if (!digits.match(length).hasMatch())
        return std::nullopt;
    RecordedTurn turn;
    turn.length = length.toInt();
    turn.started = timeFromText(started);
    if (turn.length <= 0 || !turn.started.isValid())
        return std::nullopt;
    turn.child = GetSetting(section, QStringLiteral("Child"), QString());
    return turn;
}

bool anythingRecorded()
{
    return GetSettingValue(lengthKey).isValid() || GetSettingValue(startedKey).isValid();
}

bool write(const RecordedTurn &turn, QString *errorMessage)
{
    // Without a child, no Child key: the group is what it was before names existed.
    return SaveSettings({{lengthKey, QString::number(turn.length)},
                         {startedKey, timeText(turn.started)},
                         {childKey, turn.child.isEmpty() ? QVariant() : QVariant(turn.child)}},
                        //: What could not be saved, in "%1 could not be saved in %2: %3.":
                        //: the turn that runs now, kept so that it outlives the program.
                        QCoreApplication::translate("TurnRecord", "The running turn"),
                        errorMessage);
}

bool clear(QString *errorMessage)
{
    return SaveSettings({{section, QVariant()}},
                        //: What could not be saved, in "%1 could not be saved in %2: %3.":
                        //: that the turn is over.
                        QCoreApplication::translate("TurnRecord", "The end of the turn"),
                        errorMessage);
}

Resumption resume(const RecordedTurn &turn, const QDateTime &now)
{
    // A clock set back puts the start in the future: no time has gone then.
    const qint64 elapsed = qMax<qint64>(0, turn.started.secsTo(now));
    if (elapsed < turn.length)
        return {Resumption::Kind::Running, qint32(elapsed)};
    if (elapsed - turn.length < timeUpShownForSeconds)
        return {Resumption::Kind::TimeUp, turn.length};
    return {};
}

std::optional<qint64> settleLog(TurnLog &log, const std::optional<RecordedTurn> &turn,
                                Resumption::Kind kind, const QDateTime &now)
{
    using Kind = Resumption::Kind;
    using Ending = TurnLog::Ending;
    const bool goesOn = turn && kind != Kind::Forget;
    for (const TurnLog::Entry &open : log.openStretches()) {
        const QDateTime end = open.turnStarted.addSecs(open.length);
        if (goesOn && open.turnStarted == turn->started && kind == Kind::TimeUp)
            log.finish(open.id, end, Ending::TimeUp);
        else if (goesOn && open.turnStarted == turn->started)
            log.finish(open.id, now, Ending::ProgramEnded);
        else
            log.finish(open.id, qMin(now, end), Ending::Abandoned);
    }
    if (!turn)
        return std::nullopt;

    const std::optional<TurnLog::Entry> last = log.lastStretchOf(turn->started);
    const QDateTime end = turn->started.addSecs(turn->length);
    const QDateTime from = last && last->ended.isValid() ? last->ended : turn->started;
    const auto stretch = [&](const QDateTime &until, Ending ending) {
        if (from >= until)
            return;
        if (const std::optional<qint64> id =
                log.begin(turn->child, turn->started, from, turn->length))
            log.finish(*id, until, ending);
    };
    switch (kind) {
    case Kind::Running:
        return log.begin(turn->child, turn->started, qMin(from, now), turn->length);
    case Kind::TimeUp:
        stretch(end, Ending::TimeUp);
        break;
    case Kind::Forget:
        if (last)
            stretch(qMin(now, end), Ending::Abandoned);
        break;
    }
    return std::nullopt;
}

} // namespace TurnRecord
