// SPDX-License-Identifier: GPL-3.0-or-later
#include "logic/TurnLogWire.h"

#include <QDBusMetaType>

namespace {

qint64 wireTime(const QDateTime &time)
{
    return time.isValid() ? time.toMSecsSinceEpoch() : 0;
}

// Years 1 to 9999: what QDateTime and the record's texts can hold.
constexpr qint64 EarliestMs = -62135596800000;
constexpr qint64 LatestMs = 253402300799999;

QDateTime timeFromWire(qint64 ms)
{
    if (ms == 0 || ms < EarliestMs || ms > LatestMs)
        return QDateTime();
    return QDateTime::fromMSecsSinceEpoch(ms, Qt::UTC);
}

} // namespace

void TurnLogWire::registerTypes()
{
    qDBusRegisterMetaType<TurnLog::Entry>();
    qDBusRegisterMetaType<QList<TurnLog::Entry>>();
}

QDBusArgument &operator<<(QDBusArgument &argument, const TurnLog::Entry &entry)
{
    argument.beginStructure();
    argument << entry.child << wireTime(entry.turnStarted) << wireTime(entry.started)
             << wireTime(entry.ended) << entry.length << entry.used
             << (entry.ending ? TurnLog::endingText(*entry.ending) : QString());
    argument.endStructure();
    return argument;
}

const QDBusArgument &operator>>(const QDBusArgument &argument, TurnLog::Entry &entry)
{
    QString child, ending;
    qint64 turnStarted = 0, started = 0, ended = 0;
    qint32 length = 0, used = 0;
    argument.beginStructure();
    argument >> child >> turnStarted >> started >> ended >> length >> used >> ending;
    argument.endStructure();
    entry = TurnLog::Entry();
    entry.child = child;
    entry.turnStarted = timeFromWire(turnStarted);
    entry.started = timeFromWire(started);
    entry.ended = timeFromWire(ended);
    entry.length = qMax(0, length);
    entry.used = qMax(0, used);
    entry.ending = TurnLog::endingFromText(ending);
    return argument;
}
