// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QtGlobal>

#include <optional>

// The timer length is kept in whole seconds as a signed 32-bit number; these turn
// numbers and stored texts into such lengths and back.
namespace TimerLength {

inline constexpr qint32 DefaultSeconds = 600;

// Rounds to the nearest whole second, an exact half to the even neighbour
// (2.5 gives 2, 3.5 gives 4). Nothing when the number does not fit.
std::optional<qint32> fromNumber(double seconds);

// Reads a decimal number with optional sign, fraction and exponent, blanks around
// it allowed, and rounds it as fromNumber does. Nothing for any other text.
std::optional<qint32> fromText(const QString &text);

// The length a stored text stands for: the default when the text is no number,
// does not fit, or could never be reached by the countdown (0 or less).
qint32 fromStoredText(const QString &text);

// Decimal text without blanks or sign: 600 gives "600".
QString toText(qint32 seconds);

} // namespace TimerLength
