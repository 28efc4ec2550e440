// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/frmMain.h"
#include "support/TestSupport.h"
#include "ui/TimeLeftBar.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAccessible>
#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QTest>
#include <QTimer>

namespace {

QString accessibleName(QWidget *widget)
{
    QAccessibleInterface *target = QAccessible::queryAccessibleInterface(widget);
    return target ? target->text(QAccessible::Name) : QString();
}

// The controls of window that a person reaches or reads, whose accessible name is empty.
QStringList unnamedControls(QWidget *window)
{
    QStringList unnamed;
    const QList<QWidget *> controls = window->findChildren<QWidget *>();
    for (QWidget *control : controls) {
        const auto *label = qobject_cast<QLabel *>(control);
        const bool matters =
            qobject_cast<QAbstractButton *>(control) || qobject_cast<QLineEdit *>(control) ||
            qobject_cast<QPlainTextEdit *>(control) || qobject_cast<QProgressBar *>(control) ||
            qobject_cast<TimeLeftBar *>(control) || qobject_cast<QAbstractItemView *>(control) ||
            (label && !label->pixmap().isNull()) || control->focusPolicy() != Qt::NoFocus;
        if (matters && control->isVisibleTo(window) && accessibleName(control).isEmpty())
            unnamed.append(
                window->objectName() + QLatin1Char('.') + control->objectName() + QLatin1Char('(') +
                QString::fromLatin1(control->metaObject()->className()) + QLatin1Char(')'));
    }
    return unnamed;
}

} // namespace

class TestAccessibility : public QObject
{
    Q_OBJECT
private slots:
    void barReadsTheTimeLeftWhileCounting();
    void faceAndStatusAreSpokenAsTheyChange();
    void everyControlHasAName_data();
    void everyControlHasAName();
};

void TestAccessibility::barReadsTheTimeLeftWhileCounting()
{
    MainWindowFixture main("[Settings]\nMaxTime=600\n");
    TimeLeftBar *bar = main.bar;
    QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(bar);
    QVERIFY(!bar->isTextVisible());
    QCOMPARE(accessible->text(QAccessible::Description), QString());

    main.stopStart->trigger();
    QVERIFY(bar->isTextVisible());
    QCOMPARE(bar->text(), QStringLiteral("10:00"));
    main.tick();
    QCOMPARE(bar->text(), QStringLiteral("9:59"));
    QCOMPARE(accessible->text(QAccessible::Description), QStringLiteral("9:59"));
    QCOMPARE(bar->value(), 1);
    QCOMPARE(bar->maximum(), 600);

    main.window->setMaxTime(2.0);
    main.tick();
    QCOMPARE(bar->value(), 0);
    QVERIFY(!bar->isTextVisible());
    QCOMPARE(accessible->text(QAccessible::Description), QString());
}

void TestAccessibility::faceAndStatusAreSpokenAsTheyChange()
{
    MainWindowFixture main("[Settings]\nMaxTime=1\n");
    QLabel *image = main.image;
    QCOMPARE(accessibleName(image), QStringLiteral("Face"));
    QCOMPARE(accessibleName(main.bar), QStringLiteral("Time left"));

    main.stopStart->trigger();
    const QString whileCounting = accessibleName(image);
    main.tick();

    QCOMPARE(whileCounting, QStringLiteral("Smiling face"));
    QCOMPARE(accessibleName(image), QStringLiteral("Frowning face"));
    QCOMPARE(main.recorder.announcements,
             (QStringList{QStringLiteral("Timer Started!"), QStringLiteral("Time's Up!")}));
    // ...and said at once, whatever has the focus, with the time the turn lasts.
    QCOMPARE(main.recorder.said,
             (QStringList{QStringLiteral("Timer Started!\n0:01"), QStringLiteral("Time's Up!")}));
}

void TestAccessibility::everyControlHasAName_data()
{
    QTest::addColumn<QString>("command"); // empty: the main window itself
    QTest::newRow("main window") << QString();
    QTest::newRow("password prompt") << QStringLiteral("mnuExit");
    QTest::newRow("timer length") << QStringLiteral("mnuSetTime");
    QTest::newRow("password change") << QStringLiteral("mnuPasswords");
    QTest::newRow("help") << QStringLiteral("mnuContents");
    QTest::newRow("about") << QStringLiteral("mnuAbout");
    QTest::newRow("children") << QStringLiteral("mnuChildren");
    QTest::newRow("turns") << QStringLiteral("mnuTurns");
}

void TestAccessibility::everyControlHasAName()
{
    QFETCH(QString, command);
    MainWindowFixture main;
    if (command.isEmpty()) {
        const QStringList unnamed = unnamedControls(main.window.get());
        QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(QStringLiteral(", "))));
        return;
    }
    // Exit asks for the password only while counting: start first, and stop at the prompt.
    if (command == QLatin1String("mnuExit"))
        main.stopStart->trigger();
    const bool guarded = command == QLatin1String("mnuSetTime") ||
                         command == QLatin1String("mnuPasswords") ||
                         command == QLatin1String("mnuChildren");

    QStringList unnamed;
    ModalDriver driver;
    if (guarded)
        driver.then(typePassword(QStringLiteral("playfairly")));
    driver.then([&](QWidget *dialog) {
        unnamed = unnamedControls(dialog);
        dialog->close();
    });
    main.trigger(qPrintable(command));
    QVERIFY(!driver.timedOut());
    QCOMPARE(driver.handled(), guarded ? 2 : 1);
    QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(QStringLiteral(", "))));
}

QTEST_MAIN(TestAccessibility)
#include "tst_accessibility.moc"
