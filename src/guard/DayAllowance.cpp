// SPDX-License-Identifier: GPL-3.0-or-later
#include "guard/DayAllowance.h"

#include <limits>

namespace DayAllowance {

QMap<QString, qint32> usedOn(const QList<TurnLog::Entry> &entries, const QDate &day)
{
    QMap<QString, qint32> used;
    for (const TurnLog::Entry &entry : entries) {
        if (entry.started.toLocalTime().date() == day)
            used[entry.child] += entry.used;
    }
    return used;
}

std::optional<QString> whoseTurn(const QStringList &order, const QString &next,
                                 const QMap<QString, qint32> &allowance,
                                 const QMap<QString, qint32> &used, qint32 *length)
{
    const qsizetype from = qMax<qsizetype>(0, order.indexOf(next));
    for (qsizetype k = 0; k < order.size(); ++k) {
        const QString &child = order.at((from + k) % order.size());
        const qint32 left = allowance.contains(child) ? allowance.value(child) - used.value(child)
                                                      : std::numeric_limits<qint32>::max();
        if (left > 0) {
            *length = qMin(*length, left);
            return child;
        }
    }
    return std::nullopt;
}

} // namespace DayAllowance
