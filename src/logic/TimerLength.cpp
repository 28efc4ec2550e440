// SPDX-License-Identifier: GPL-3.0-or-later
#include "logic/TimerLength.h"

#include <QLocale>
#include <QRegularExpression>

#include <cmath>
#include <limits>

namespace TimerLength {

std::optional<qint32> fromNumber(double seconds)
{
    if (!std::isfinite(seconds))
        return std::nullopt;
    // The program never leaves the default rounding mode, to nearest with halves to even.
    const double rounded = std::nearbyint(seconds);
    if (rounded < std::numeric_limits<qint32>::min() ||
        rounded > std::numeric_limits<qint32>::max())
        return std::nullopt;
    return static_cast<qint32>(rounded);
}

std::optional<qint32> fromText(const QString &text)
{
    static const QRegularExpression decimal(
        QStringLiteral(R"(^\s*[+-]?(\d+(\.\d*)?|\.\d+)([eE][+-]?\d+)?\s*$)"));
    if (!decimal.match(text).hasMatch())
        return std::nullopt;
    bool ok = false;
    const double number = QLocale::c().toDouble(text.trimmed(), &ok);
    if (!ok)
        return std::nullopt;
    return fromNumber(number);
}

qint32 fromStoredText(const QString &text)
{
    const std::optional<qint32> seconds = fromText(text);
    if (!seconds || *seconds <= 0)
        return DefaultSeconds;
    return *seconds;
}

QString toText(qint32 seconds)
{
    return QString::number(seconds);
}

} // namespace TimerLength
