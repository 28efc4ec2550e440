// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The timer length box holds minutes as text. These read a number from the start of
// such a text and write a computed number back, the same way whatever the locale.

// The number at the start of text. Blanks, tabs and line feeds are skipped wherever
// they stand ("1 2" reads 12). Accepts an optional sign, digits, a fraction after a
// full stop and an exponent after E or D, or an unsigned &H (hexadecimal) or &O
// (octal) number. Reading stops at the first character that cannot continue the
// number; a text that does not begin with a number reads 0. Too large a number reads
// as infinity, too small a one as 0.
double readNumber(const QString &text);

// Plain decimal text with a full stop, no grouping and no exponent, rounded to 15
// significant digits without trailing zeros: 10, 1.5, 1.66666666666667.
QString writeNumber(double value);
