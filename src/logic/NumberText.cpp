// SPDX-License-Identifier: GPL-3.0-or-later
#include "logic/NumberText.h"

#include <QLocale>

#include <cmath>

namespace {

constexpr int significantDigits = 15;

// Far beyond any double; a longer exponent only makes the result infinite or 0.
constexpr int exponentLimit = 100000;

bool isBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\n');
}

bool isDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

int digitValue(QChar c, int base)
{
    int value = -1;
    if (isDigit(c))
        value = c.unicode() - '0';
    else if (c >= QLatin1Char('a') && c <= QLatin1Char('f'))
        value = c.unicode() - 'a' + 10;
    else if (c >= QLatin1Char('A') && c <= QLatin1Char('F'))
        value = c.unicode() - 'A' + 10;
    return value < base ? value : -1;
}

// Reads a whole number in base from position on, as far as its digits go.
double readRadix(const QString &text, qsizetype position, int base)
{
    double value = 0;
    for (; position < text.size(); ++position) {
        const int digit = digitValue(text.at(position), base);
        if (digit < 0)
            break;
        value = value * base + digit;
    }
    return value;
}

} // namespace

double readNumber(const QString &text)
{
    QString compact;
    compact.reserve(text.size());
    for (const QChar c : text) {
        if (!isBlank(c))
            compact.append(c);
    }

    qsizetype i = 0;
    const auto at = [&](qsizetype index) {
        return index < compact.size() ? compact.at(index) : QChar();
    };

    if (at(0) == QLatin1Char('&')) {
        const QChar prefix = at(1).toUpper();
        if (prefix == QLatin1Char('H'))
            return readRadix(compact, 2, 16);
        if (prefix == QLatin1Char('O'))
            return readRadix(compact, 2, 8);
        return 0;
    }

    // The number is gathered in the C locale's own notation and converted in one go,
    // so that the result is the correctly rounded double.
    QString sign;
    if (at(i) == QLatin1Char('+') || at(i) == QLatin1Char('-'))
        sign = compact.at(i++);
    QString whole;
    for (; isDigit(at(i)); ++i)
        whole.append(compact.at(i));
    QString fraction;
    if (at(i) == QLatin1Char('.')) {
        for (++i; isDigit(at(i)); ++i)
            fraction.append(compact.at(i));
    }
    if (whole.isEmpty() && fraction.isEmpty())
        return 0;

    QString number = sign + (whole.isEmpty() ? QStringLiteral("0") : whole);
    if (!fraction.isEmpty())
        number += QLatin1Char('.') + fraction;

    const QChar marker = at(i).toUpper();
    if (marker == QLatin1Char('E') || marker == QLatin1Char('D')) {
        qsizetype j = i + 1;
        const bool negative = at(j) == QLatin1Char('-');
        if (at(j) == QLatin1Char('+') || at(j) == QLatin1Char('-'))
            ++j;
        // An exponent marker without digits ends the number before the marker.
        if (isDigit(at(j))) {
            int exponent = 0;
            for (; isDigit(at(j)); ++j)
                exponent = qMin(exponentLimit, exponent * 10 + (at(j).unicode() - '0'));
            number += QLatin1Char('e') + QString::number(negative ? -exponent : exponent);
        }
    }

    // Out of range: the conversion gives an infinity for overflow and 0 for underflow.
    bool ok = false;
    return QLocale::c().toDouble(number, &ok);
}

QString writeNumber(double value)
{
    if (!std::isfinite(value))
        return QLocale::c().toString(value);
    if (value == 0)
        return QStringLiteral("0");

    // d.dddddddddddddde±x: the rounded digits and where the decimal point belongs.
    const QString scientific = QLocale::c().toString(value, 'e', significantDigits - 1);
    const qsizetype e = scientific.indexOf(QLatin1Char('e'));
    const bool negative = scientific.startsWith(QLatin1Char('-'));
    QString digits = scientific.left(e);
    digits.remove(QLatin1Char('-'));
    digits.remove(QLatin1Char('.'));
    const int exponent = scientific.mid(e + 1).toInt();

    while (digits.size() > 1 && digits.endsWith(QLatin1Char('0')))
        digits.chop(1);

    QString text;
    const qsizetype integerDigits = exponent + 1;
    if (integerDigits <= 0) {
        text = QStringLiteral("0.") + QString(-integerDigits, QLatin1Char('0')) + digits;
    } else if (integerDigits >= digits.size()) {
        text = digits + QString(integerDigits - digits.size(), QLatin1Char('0'));
    } else {
        text = digits.left(integerDigits) + QLatin1Char('.') + digits.mid(integerDigits);
    }
    return negative ? QLatin1Char('-') + text : text;
}
