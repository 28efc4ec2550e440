// SPDX-License-Identifier: GPL-3.0-or-later
// The README's pictures (docs/screenshots, made by scripts/screenshots.sh) show the
// windows as the program draws them now: the main window's at its size and in the back
// colour of the state each names, the Turns window's at least as large as that window
// can be. Run the script again when a window changes.
#include "app/frmMain.h"
#include "support/TestSupport.h"
#include "turns/frmTurns.h"

#include <QAction>
#include <QImage>
#include <QTest>

namespace {

QImage screenshot(const QString &name)
{
    return QImage(QStringLiteral(TURNKEEPER_SCREENSHOTS_DIR "/%1.png").arg(name));
}

bool near(QColor a, QColor b)
{
    return qAbs(a.red() - b.red()) <= 8 && qAbs(a.green() - b.green()) <= 8 &&
           qAbs(a.blue() - b.blue()) <= 8;
}

} // namespace

class TestScreenshots : public QObject
{
    Q_OBJECT
private slots:
    void mainWindowInEachState_data();
    void mainWindowInEachState();
    void turnsWindow();
};

void TestScreenshots::mainWindowInEachState_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("ticks"); // after Start; -1: not started
    QTest::newRow("Ready") << QStringLiteral("ready") << -1;
    QTest::newRow("Running") << QStringLiteral("running") << 3;
    QTest::newRow("Time's Up") << QStringLiteral("timesup") << 600;
}

void TestScreenshots::mainWindowInEachState()
{
    QFETCH(QString, name);
    QFETCH(int, ticks);
    const QImage picture = screenshot(name);
    QVERIFY2(!picture.isNull(), qPrintable(name + QStringLiteral(".png is not a picture")));

    MainWindowFixture main;
    if (ticks >= 0) {
        main.stopStart->trigger();
        main.ticks(ticks);
    }
    QCOMPARE(picture.size(), main.window->size());
    // Beside the face, below the menu bar, the window shows its back colour.
    const QPoint beside(4, main.window->centralWidget()->y() + 8);
    const QColor shown = picture.pixelColor(beside);
    QVERIFY2(near(shown, main.backColor()),
             qPrintable(QStringLiteral("%1 at (4, %2) is %3, the window's back colour %4")
                            .arg(name)
                            .arg(beside.y())
                            .arg(shown.name(), main.backColor().name())));
}

void TestScreenshots::turnsWindow()
{
    const QImage picture = screenshot(QStringLiteral("turns"));
    QVERIFY2(!picture.isNull(), "turns.png is not a picture");
    const TestHome home;
    RecordingUi recorder;
    frmTurns window({}, {QStringLiteral("Ann"), QStringLiteral("Ben"), QStringLiteral("Cy")},
                    QDate::currentDate());
    window.show();
    const QSize least = window.minimumSizeHint();
    QVERIFY2(picture.width() >= least.width() && picture.height() >= least.height(),
             qPrintable(QStringLiteral("%1x%2, less than %3x%4")
                            .arg(picture.width())
                            .arg(picture.height())
                            .arg(least.width())
                            .arg(least.height())));
}

QTEST_MAIN(TestScreenshots)
#include "tst_screenshots.moc"
