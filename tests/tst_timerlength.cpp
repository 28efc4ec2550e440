// SPDX-License-Identifier: GPL-3.0-or-later
#include "logic/Countdown.h"
#include "logic/TimerLength.h"

#include <QTest>

#include <limits>

class TestTimerLength : public QObject
{
    Q_OBJECT
private slots:
    void storedText_data();
    void storedText();
    void numbersRoundHalvesToEven_data();
    void numbersRoundHalvesToEven();
    void numbersThatDoNotFit();
    void timeLeft_data();
    void timeLeft();
};

void TestTimerLength::storedText_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<qint32>("seconds");

    QTest::newRow("default") << "600" << 600;
    QTest::newRow("ninety") << "90" << 90;
    QTest::newRow("half rounds down to even") << "2.5" << 2;
    QTest::newRow("half rounds up to even") << "3.5" << 4;
    QTest::newRow("fraction near a whole") << "600.5" << 600;
    QTest::newRow("blanks around") << " 600 " << 600;
    QTest::newRow("plus sign") << "+300" << 300;
    QTest::newRow("exponent") << "6e2" << 600;
    QTest::newRow("largest") << "2147483647" << 2147483647;
    QTest::newRow("empty") << "" << 600;
    QTest::newRow("junk") << "abc" << 600;
    QTest::newRow("number then junk") << "90abc" << 600;
    QTest::newRow("comma") << "1,5" << 600;
    QTest::newRow("hexadecimal") << "0x258" << 600;
    QTest::newRow("zero") << "0" << 600;
    QTest::newRow("below one half") << "0.4" << 600;
    QTest::newRow("negative") << "-5" << 600;
    QTest::newRow("one past the largest") << "2147483648" << 600;
    QTest::newRow("wraps to 600 in 32 bits") << "4294967896" << 600;
    QTest::newRow("far too large") << "99999999999" << 600;
    QTest::newRow("infinite") << "1e999" << 600;
}

void TestTimerLength::storedText()
{
    QFETCH(QString, stored);
    QFETCH(qint32, seconds);
    QCOMPARE(TimerLength::fromStoredText(stored), seconds);
}

void TestTimerLength::numbersRoundHalvesToEven_data()
{
    QTest::addColumn<double>("number");
    QTest::addColumn<qint32>("seconds");

    QTest::newRow("whole") << 2700.0 << 2700;
    QTest::newRow("2.5") << 2.5 << 2;
    QTest::newRow("3.5") << 3.5 << 4;
    QTest::newRow("60.6") << 60.6 << 61;
    QTest::newRow("-2.5") << -2.5 << -2;
    QTest::newRow("sixty hours") << 3600.0 * 60 << 216000;
}

void TestTimerLength::numbersRoundHalvesToEven()
{
    QFETCH(double, number);
    QFETCH(qint32, seconds);
    QCOMPARE(TimerLength::fromNumber(number), std::optional<qint32>(seconds));
}

void TestTimerLength::numbersThatDoNotFit()
{
    QVERIFY(!TimerLength::fromNumber(2147483647.5 + 1));
    QVERIFY(!TimerLength::fromNumber(std::numeric_limits<double>::quiet_NaN()));
    QVERIFY(!TimerLength::fromNumber(std::numeric_limits<double>::infinity()));
    QCOMPARE(TimerLength::toText(600), QStringLiteral("600"));
}

void TestTimerLength::timeLeft_data()
{
    QTest::addColumn<qint32>("maxTime");
    QTest::addColumn<qint32>("count");
    QTest::addColumn<QString>("text");
    QTest::newRow("start of the default") << 600 << 0 << QStringLiteral("10:00");
    QTest::newRow("first tick") << 600 << 1 << QStringLiteral("9:59");
    QTest::newRow("last seconds") << 600 << 595 << QStringLiteral("0:05");
    QTest::newRow("sixty hours") << 216000 << 0 << QStringLiteral("3600:00");
    QTest::newRow("never below zero") << 5 << 9 << QStringLiteral("0:00");
}

void TestTimerLength::timeLeft()
{
    QFETCH(qint32, maxTime);
    QFETCH(qint32, count);
    QFETCH(QString, text);
    QCOMPARE(Countdown::timeLeftText(maxTime, count), text);
}

QTEST_GUILESS_MAIN(TestTimerLength)
#include "tst_timerlength.moc"
