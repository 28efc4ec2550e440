// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/PictureDifference.h"
#include "ui/TimeLeftBar.h"

#include <QAccessible>
#include <QAccessibleValueInterface>
#include <QApplication>
#include <QHelpEvent>
#include <QPainter>
#include <QProgressBar>
#include <QTest>
#include <QToolTip>

// The main window's bar paints its own text; it must look as a stock progress bar
// with that text, and cost one paint a tick.
class TestTimeLeftBar : public QObject
{
    Q_OBJECT
private slots:
    void looksLikeTheStockBar_data();
    void looksLikeTheStockBar();
    void aPaintCoversEveryPixelThatChanges_data();
    void aPaintCoversEveryPixelThatChanges();
    void aTickIsOnePaint_data();
    void aTickIsOnePaint();
    void toolTipAndScreenReadersReadTheMoment();
};

namespace {
const QRect barGeometry(0, 152, 209, 17); // the main window's bar

// The picture of a bar as it shows on screen.
QImage shown(QWidget &bar)
{
    bar.setGeometry(barGeometry);
    bar.show();
    if (!QTest::qWaitForWindowExposed(&bar))
        return QImage();
    return bar.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// Counts the bar's paints and keeps what the last one covered.
class CountedBar : public TimeLeftBar
{
public:
    int paints = 0;
    QRegion lastPainted;

protected:
    void paintEvent(QPaintEvent *event) override
    {
        ++paints;
        lastPainted = event->region();
        TimeLeftBar::paintEvent(event);
    }
};
} // namespace

void TestTimeLeftBar::looksLikeTheStockBar_data()
{
    QTest::addColumn<int>("maximum");
    QTest::addColumn<int>("value");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("bold");
    QTest::addColumn<int>("shownBefore"); // the value shown first; -1: none
    QTest::newRow("no text") << 600 << 0 << QString() << false << -1;
    QTest::newRow("start of a turn") << 600 << 0 << QStringLiteral("10:00") << false << -1;
    QTest::newRow("text over the filled part")
        << 600 << 400 << QStringLiteral("3:20") << false << -1;
    QTest::newRow("filled part ends inside the text")
        << 600 << 300 << QStringLiteral("5:00") << false << -1;
    QTest::newRow("a name, last minute in bold")
        << 600 << 570 << QStringLiteral("Ann: 0:30") << true << -1;
    QTest::newRow("next child") << 600 << 0 << QStringLiteral("Next: Ben") << false << -1;
    // What the bar keeps of earlier paints must not show: the filled part moved since.
    QTest::newRow("a tick that moves the filled part")
        << 600 << 300 << QStringLiteral("5:00") << false << 298;
    QTest::newRow("the end of a turn") << 600 << 600 << QStringLiteral("0:00") << false << 599;
    QTest::newRow("back to the start after a turn")
        << 600 << 0 << QStringLiteral("Next: Ben") << false << 570;
    QTest::newRow("a short turn, a tick") << 30 << 17 << QStringLiteral("0:13") << false << 16;
    QTest::newRow("an hour's first second") << 3600 << 1 << QStringLiteral("59:59") << false << 0;
}

void TestTimeLeftBar::looksLikeTheStockBar()
{
    QFETCH(int, maximum);
    QFETCH(int, value);
    QFETCH(QString, text);
    QFETCH(bool, bold);
    QFETCH(int, shownBefore);

    QProgressBar stock;
    stock.setRange(0, maximum);
    stock.setValue(value);
    stock.setFormat(text);
    stock.setTextVisible(!text.isEmpty());
    QFont font = stock.font();
    font.setBold(bold);
    stock.setFont(font);

    TimeLeftBar bar;
    bar.setRange(0, maximum);
    if (shownBefore >= 0) {
        bar.showValue(shownBefore, QStringLiteral("Ann: 0:30"), true);
        shown(bar);
        // As the main window goes back to Ready: the value first, then the text.
        bar.setValue(value);
    }
    bar.showValue(value, text, bold);

    // The bar first, while its window stays the active one.
    const QImage actual = shown(bar);
    const QString difference = pictureDifference(actual, shown(stock));
    QVERIFY2(difference.isEmpty(), qPrintable(difference));
}

void TestTimeLeftBar::aPaintCoversEveryPixelThatChanges_data()
{
    QTest::addColumn<int>("fromValue");
    QTest::addColumn<QString>("fromText");
    QTest::addColumn<int>("toValue");
    QTest::addColumn<QString>("toText");
    QTest::addColumn<bool>("toBold");
    QTest::newRow("a tick, the bar does not move") << 0 << "10:00" << 1 << "9:59" << false;
    QTest::newRow("a tick, one digit") << 3 << "9:57" << 4 << "9:56" << false;
    QTest::newRow("a tick, two digits") << 10 << "9:50" << 11 << "9:49" << false;
    QTest::newRow("a tick, a new minute") << 60 << "9:00" << 61 << "8:59" << false;
    QTest::newRow("a tick after a name") << 3 << "Ann: 9:57" << 4 << "Ann: 9:56" << false;
    QTest::newRow("another name as long") << 3 << "Ann: 9:57" << 3 << "Cy: 9:57" << false;
    QTest::newRow("a tick, the bar moves") << 299 << "5:01" << 300 << "5:00" << false;
    QTest::newRow("a shorter text") << 540 << "1:00" << 541 << "0:59" << false;
    QTest::newRow("the last minute turns bold") << 539 << "Ann: 1:01" << 540 << "Ann: 1:00" << true;
    QTest::newRow("the text goes") << 420 << "3:00" << 420 << "" << false;
    QTest::newRow("a long way at once") << 30 << "9:30" << 580 << "0:20" << false;
}

void TestTimeLeftBar::aPaintCoversEveryPixelThatChanges()
{
    QFETCH(int, fromValue);
    QFETCH(QString, fromText);
    QFETCH(int, toValue);
    QFETCH(QString, toText);
    QFETCH(bool, toBold);

    CountedBar bar;
    bar.setRange(0, 600);
    bar.showValue(fromValue, fromText, false);
    const QImage before = shown(bar);
    bar.showValue(toValue, toText, toBold);
    const QRegion painted = bar.lastPainted;
    const QImage after = shown(bar);

    int outside = 0;
    for (int y = 0; y < after.height(); ++y)
        for (int x = 0; x < after.width(); ++x)
            outside += after.pixel(x, y) != before.pixel(x, y) && !painted.contains(QPoint(x, y));
    QCOMPARE(outside, 0);
    // What the screen shows then: the picture before, the painted region drawn anew.
    QImage screen = before;
    {
        QPainter painter(&screen);
        bar.render(&painter, painted.boundingRect().topLeft(), painted);
    }
    const QString difference = pictureDifference(screen, after);
    QVERIFY2(difference.isEmpty(), qPrintable(difference));
}

void TestTimeLeftBar::aTickIsOnePaint_data()
{
    // A turn of ten minutes moves the bar by a pixel every third second; a turn of
    // thirty seconds at every one.
    QTest::addColumn<int>("length");
    QTest::newRow("ten minutes") << 600;
    QTest::newRow("thirty seconds") << 30;
}

void TestTimeLeftBar::aTickIsOnePaint()
{
    QFETCH(int, length);
    CountedBar bar;
    bar.setRange(0, length);
    bar.showValue(0, QStringLiteral("0:00"), false);
    shown(bar);
    QApplication::processEvents();

    for (int count = 1; count <= 12; ++count) {
        const int before = bar.paints;
        const QString text = QStringLiteral("0:%1").arg(count, 2, 10, QLatin1Char('0'));
        bar.showValue(count, text, false);
        QCOMPARE(bar.paints, before + 1); // painted at once...
        QApplication::processEvents();
        QCOMPARE(bar.paints, before + 1); // ...and not again later
        QCOMPARE(bar.text(), text);
    }
    // Nothing new, nothing painted.
    const int before = bar.paints;
    bar.showValue(12, QStringLiteral("0:12"), false);
    QApplication::processEvents();
    QCOMPARE(bar.paints, before);
}

void TestTimeLeftBar::toolTipAndScreenReadersReadTheMoment()
{
    TimeLeftBar bar;
    bar.setRange(0, 600);
    shown(bar);
    QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(&bar);
    QVERIFY(accessible);
    QCOMPARE(accessible->role(), QAccessible::ProgressBar);
    // The value, its range and its step as a stock progress bar gives them.
    QAccessibleValueInterface *value = accessible->valueInterface();
    QVERIFY(value);
    const auto valueAndRange = [value] {
        return QVariantList{value->currentValue(), value->minimumValue(), value->maximumValue(),
                            value->minimumStepSize()};
    };
    QCOMPARE(valueAndRange(), (QVariantList{0, 0, 600, 6.0}));

    const auto toolTip = [&bar] {
        const QPoint inside(5, 5);
        QHelpEvent help(QEvent::ToolTip, inside, bar.mapToGlobal(inside));
        QApplication::sendEvent(&bar, &help);
        return help.isAccepted() && QToolTip::isVisible() ? QToolTip::text() : QString();
    };
    QCOMPARE(toolTip(), QString());
    QCOMPARE(accessible->text(QAccessible::Description), QString());

    // What a tick shows, as value, maximum and text.
    struct Shown
    {
        int value;
        int maximum;
        const char *text;
    };
    for (const Shown &tick : {Shown{1, 600, "9:59"}, Shown{2, 600, "9:58"},
                              Shown{3, 600, "Ann: 9:57"}, Shown{25, 30, "Ann: 0:05"}}) {
        bar.setMaximum(tick.maximum);
        bar.showValue(tick.value, QString::fromLatin1(tick.text), false);
        QCOMPARE(toolTip(), QString::fromLatin1(tick.text));
        QCOMPARE(accessible->text(QAccessible::Description), QString::fromLatin1(tick.text));
        QCOMPARE(accessible->text(QAccessible::Value), QString::fromLatin1(tick.text));
        QCOMPARE(valueAndRange(),
                 (QVariantList{tick.value, 0, tick.maximum, tick.maximum / 100.0}));
    }
    bar.showValue(0, QString(), false);
    QCOMPARE(toolTip(), QString());
    QCOMPARE(accessible->text(QAccessible::Description), QString());
    QCOMPARE(value->currentValue(), QVariant(0));
    QToolTip::hideText();
}

QTEST_MAIN(TestTimeLeftBar)
#include "tst_timeleftbar.moc"
