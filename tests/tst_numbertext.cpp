// SPDX-License-Identifier: GPL-3.0-or-later
#include "logic/NumberText.h"

#include <QLocale>
#include <QTest>

#include <cmath>
#include <limits>

// The timer length box reads what a person typed or pasted and writes computed lengths.
class tst_NumberText : public QObject
{
    Q_OBJECT

private slots:
    void readNumber_data();
    void readNumber();
    void readNumberOutOfRange();
    void writeNumber_data();
    void writeNumber();
    void writtenNumbersReadBackWhole_data();
    void writtenNumbersReadBackWhole();
};

void tst_NumberText::readNumber_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("expected");

    QTest::newRow("whole") << "10" << 10.0;
    QTest::newRow("leading zeros") << "0045" << 45.0;
    QTest::newRow("fraction") << "1.5" << 1.5;
    QTest::newRow("fraction without whole part") << ".25" << 0.25;
    QTest::newRow("full stop without fraction") << "7." << 7.0;
    QTest::newRow("plus sign") << "+3" << 3.0;
    QTest::newRow("minus sign") << "-2.5" << -2.5;
    QTest::newRow("blank inside") << "1 2" << 12.0;
    QTest::newRow("tab and line feed inside") << "\t3\n6 0\n0" << 3600.0;
    QTest::newRow("blank between sign and digits") << "- 4" << -4.0;
    QTest::newRow("blank inside fraction") << "1. 5" << 1.5;
    QTest::newRow("exponent E") << "1E3" << 1000.0;
    QTest::newRow("exponent e, negative") << "25e-1" << 2.5;
    QTest::newRow("exponent D") << "3D2" << 300.0;
    QTest::newRow("exponent d with plus") << "4d+1" << 40.0;
    QTest::newRow("marker without exponent digits") << "5E" << 5.0;
    QTest::newRow("marker and sign without digits") << "5e-x" << 5.0;
    QTest::newRow("hexadecimal") << "&H1F" << 31.0;
    QTest::newRow("hexadecimal, lower case") << "&hff" << 255.0;
    QTest::newRow("hexadecimal with blanks") << "& H 1 0" << 16.0;
    QTest::newRow("hexadecimal stops at a non-digit") << "&H1G2" << 1.0;
    QTest::newRow("octal") << "&O17" << 15.0;
    QTest::newRow("octal stops at 8") << "&O18" << 1.0;
    QTest::newRow("prefix without digits") << "&H" << 0.0;
    QTest::newRow("unknown prefix") << "&X12" << 0.0;
    QTest::newRow("stops at a letter") << "3600a" << 3600.0;
    QTest::newRow("stops at a second full stop") << "1.2.3" << 1.2;
    QTest::newRow("stops at a comma") << "1,5" << 1.0;
    QTest::newRow("carriage return is no blank") << "1\r2" << 1.0;
    QTest::newRow("stops at a second sign") << "1-2" << 1.0;
    QTest::newRow("empty") << "" << 0.0;
    QTest::newRow("only blanks") << " \t\n" << 0.0;
    QTest::newRow("letters") << "abc" << 0.0;
    QTest::newRow("letter before digits") << "x10" << 0.0;
    QTest::newRow("lone sign") << "-" << 0.0;
    QTest::newRow("two signs") << "--5" << 0.0;
    QTest::newRow("lone full stop") << "." << 0.0;
    QTest::newRow("exponent alone") << "E5" << 0.0;
    QTest::newRow("many digits") << "123456789012345678901234567890" << 1.2345678901234568e29;
}

void tst_NumberText::readNumber()
{
    QFETCH(QString, text);
    QFETCH(double, expected);
    QCOMPARE(::readNumber(text), expected);
}

void tst_NumberText::readNumberOutOfRange()
{
    QCOMPARE(::readNumber(QStringLiteral("1e999")), std::numeric_limits<double>::infinity());
    QCOMPARE(::readNumber(QStringLiteral("-1e99999999999999999999")),
             -std::numeric_limits<double>::infinity());
    QCOMPARE(::readNumber(QStringLiteral("1e-999")), 0.0);
}

void tst_NumberText::writeNumber_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("expected");

    QTest::newRow("whole") << 10.0 << "10";
    QTest::newRow("zero") << 0.0 << "0";
    QTest::newRow("negative zero") << -0.0 << "0";
    QTest::newRow("half") << 1.5 << "1.5";
    QTest::newRow("100 seconds in minutes") << 100.0 / 60 << "1.66666666666667";
    QTest::newRow("rounding noise dropped") << 0.1 + 0.2 << "0.3";
    QTest::newRow("negative") << -2.5 << "-2.5";
    QTest::newRow("large without exponent") << 1e20 << "100000000000000000000";
    QTest::newRow("large rounded to 15 digits") << 1234567890123456789.0 << "1234567890123460000";
    QTest::newRow("small without exponent") << 0.00001 << "0.00001";
    QTest::newRow("no grouping") << 3600.0 << "3600";
    QTest::newRow("rounds up into a new digit") << 9.9999999999999999 << "10";
}

void tst_NumberText::writeNumber()
{
    QFETCH(double, value);
    QFETCH(QString, expected);
    QCOMPARE(::writeNumber(value), expected);
}

// A locale with a decimal comma must not change what is written.
void tst_NumberText::writtenNumbersReadBackWhole_data()
{
    QTest::addColumn<double>("value");
    QTest::newRow("1.5") << 1.5;
    QTest::newRow("2.25") << 2.25;
    QTest::newRow("1234.5") << 1234.5;
    QTest::newRow("0.01") << 0.01;
}

void tst_NumberText::writtenNumbersReadBackWhole()
{
    QFETCH(double, value);
    const QLocale previous;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const QString text = ::writeNumber(value);
    QLocale::setDefault(previous);
    QCOMPARE(::readNumber(text), value);
}

QTEST_GUILESS_MAIN(tst_NumberText)
#include "tst_numbertext.moc"
