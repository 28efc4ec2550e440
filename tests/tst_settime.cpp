// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/frmMain.h"
#include "support/TestSupport.h"
#include "ui/TimeLeftBar.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QAccessibleValueInterface>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>

namespace {

// The running program with a stored timer length, and the way a parent reaches the
// timer length dialog.
struct Program : MainWindowFixture
{
    explicit Program(const QByteArray &storedSeconds)
        : MainWindowFixture("[Settings]\nMaxTime=" + storedSeconds + "\n")
    {}

    // Set Time from the menu: the password, then act on the dialog, which must close it.
    bool setTime(const ModalDriver::Action &act) const
    {
        return throughPassword("mnuSetTime", QStringLiteral("frmSetTime"), act);
    }

    QList<bool> parentVisible() const
    {
        QList<bool> visible;
        for (const RecordingUi::Message &message : recorder.messages)
            visible.append(message.parentVisible);
        return visible;
    }
};

QLineEdit *box(QWidget *dialog)
{
    return dialog->findChild<QLineEdit *>(QStringLiteral("Text1"));
}

QAbstractButton *button(QWidget *dialog, const char *name)
{
    return dialog->findChild<QAbstractButton *>(QString::fromLatin1(name));
}

void clickOk(QWidget *dialog)
{
    QTest::mouseClick(button(dialog, "CMDok"), Qt::LeftButton);
}

void clickCancel(QWidget *dialog)
{
    QTest::mouseClick(button(dialog, "cmdCancel"), Qt::LeftButton);
}

// Replaces the whole text of the box by typing, as a person would.
void typeOver(QWidget *dialog, const QString &digits)
{
    box(dialog)->selectAll();
    QTest::keyClicks(box(dialog), digits);
}

const QString numericValue = QStringLiteral("This must be a numeric value.");
const QString lowerThan = QStringLiteral("This must be set lower than 3600.");
const QString atLeastOne = QStringLiteral("This must be set greater or equal to 1.");
const QString timerLimit = QStringLiteral("Timer must be set to at least 1!");

} // namespace

class TestSetTime : public QObject
{
    Q_OBJECT
private slots:
    void openingShowsTheLength_data();
    void openingShowsTheLength();
    void refusedKeys_data();
    void refusedKeys();
    void editsAreCheckedAndWrittenOnOk_data();
    void editsAreCheckedAndWrittenOnOk();
    void arrows_data();
    void arrows();
    void cancelAndCloseBoxWriteNothing_data();
    void cancelAndCloseBoxWriteNothing();
    void enterAndEscapeOutsideTheBoxDoNotClose();
    void openingAfterTimeUpKeepsWindowOnTop();
    void heldArrowAtTheLimitShowsOneMessage();
};

void TestSetTime::openingShowsTheLength_data()
{
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("afterOk");

    QTest::newRow("600 is 10 minutes") << QByteArray("600") << "10" << QString() << 600;
    QTest::newRow("90 is 1.5 minutes") << QByteArray("90") << "1.5" << QString() << 90;
    QTest::newRow("100 to 15 digits")
        << QByteArray("100") << "1.66666666666667" << QString() << 100;
    QTest::newRow("30 is below 1") << QByteArray("30") << "1" << atLeastOne << 60;
    QTest::newRow("above 3600 minutes") << QByteArray("216060") << "3600" << lowerThan << 216000;
}

void TestSetTime::openingShowsTheLength()
{
    QFETCH(QByteArray, stored);
    QFETCH(QString, shown);
    QFETCH(QString, message);
    QFETCH(int, afterOk);
    Program program(stored);

    QString text;
    QVERIFY(program.setTime([&](QWidget *dialog) {
        text = box(dialog)->text();
        clickOk(dialog);
    }));

    QCOMPARE(text, shown);
    if (message.isEmpty()) {
        QVERIFY(program.recorder.messages.isEmpty());
    } else {
        // One message: the correction's own nested run finds nothing to say.
        QCOMPARE(program.messageTexts(), QStringList(message));
        QCOMPARE(program.recorder.messages[0].title, ui().applicationName());
        QCOMPARE(program.recorder.messages[0].icon, UiService::MessageIcon::Exclamation);
        QCOMPARE(program.parentVisible(), QList<bool>({false}));
    }
    QCOMPARE(program.window->MaxTime(), afterOk);
    QCOMPARE(program.bar->maximum(), afterOk);
}

// Keys are sent with the text X11 gives them.
void TestSetTime::refusedKeys_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<QString>("text");

    const Qt::KeyboardModifiers none;
    const Qt::KeyboardModifiers ctrl(Qt::ControlModifier);
    QTest::newRow("letter") << int(Qt::Key_A) << none << "a";
    QTest::newRow("full stop") << int(Qt::Key_Period) << none << ".";
    QTest::newRow("minus") << int(Qt::Key_Minus) << none << "-";
    QTest::newRow("space") << int(Qt::Key_Space) << none << " ";
    QTest::newRow("Backspace") << int(Qt::Key_Backspace) << none << "\b";
    QTest::newRow("Enter") << int(Qt::Key_Return) << none << "\r";
    QTest::newRow("keypad Enter") << int(Qt::Key_Enter) << Qt::KeyboardModifiers(Qt::KeypadModifier)
                                  << "\r";
    QTest::newRow("Escape") << int(Qt::Key_Escape) << none << "\x1b";
    QTest::newRow("Ctrl+C") << int(Qt::Key_C) << ctrl << "\x03";
    QTest::newRow("Ctrl+V") << int(Qt::Key_V) << ctrl << "\x16";
    QTest::newRow("Ctrl+X") << int(Qt::Key_X) << ctrl << "\x18";
    QTest::newRow("Ctrl+C without control code") << int(Qt::Key_C) << ctrl << "c";
}

// The whole text is selected, so that any key let through would change it, and the
// clipboard holds a number, so that a copy, cut or paste would show.
void TestSetTime::refusedKeys()
{
    QFETCH(int, key);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(QString, text);
    Program program("600");
    QApplication::clipboard()->setText(QStringLiteral("77"));

    QString shown;
    bool stillOpen = false;
    QVERIFY(program.setTime([&](QWidget *dialog) {
        box(dialog)->setFocus();
        box(dialog)->selectAll();
        QTest::sendKeyEvent(QTest::Click, box(dialog), Qt::Key(key), text, modifiers);
        shown = box(dialog)->text();
        stillOpen = dialog->isVisible();
        clickCancel(dialog);
    }));

    QCOMPARE(shown, QStringLiteral("10"));
    QVERIFY(stillOpen);
    QCOMPARE(program.messageTexts(), QStringList(numericValue));
    QCOMPARE(program.recorder.messages[0].title, ui().applicationName());
    QCOMPARE(program.recorder.messages[0].icon, UiService::MessageIcon::Exclamation);
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("77"));
    QCOMPARE(program.window->MaxTime(), 600);
}

void TestSetTime::editsAreCheckedAndWrittenOnOk_data()
{
    QTest::addColumn<QString>("digits"); // typed over the whole text
    QTest::addColumn<int>("key");        // or else this key, over the whole text
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<QString>("keyText");
    QTest::addColumn<QString>("clipboard");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("seconds");

    const Qt::KeyboardModifiers none;
    const Qt::KeyboardModifiers shift(Qt::ShiftModifier);
    const QString noMessage;
    QTest::newRow("typing 45") << "45" << 0 << none << QString() << QString() << noMessage << "45"
                               << 45 * 60;
    // 3600 itself passes: the one message is the fifth digit's.
    QTest::newRow("fifth digit after 3600")
        << "36005" << 0 << none << QString() << QString() << lowerThan << "3600" << 3600 * 60;
    QTest::newRow("typing 0") << "0" << 0 << none << QString() << QString() << atLeastOne << "1"
                              << 60;
    // Deleting and the clipboard keys type no character; X11 gives Delete the text of
    // character 127 all the same.
    QTest::newRow("Delete empties the box") << QString() << int(Qt::Key_Delete) << none << "\x7f"
                                            << QString() << atLeastOne << "1" << 60;
    QTest::newRow("Shift+Delete cuts everything") << QString() << int(Qt::Key_Delete) << shift
                                                  << "\x7f" << QString() << atLeastOne << "1" << 60;
    QTest::newRow("Shift+Insert pastes letters") << QString() << int(Qt::Key_Insert) << shift
                                                 << QString() << "abc" << atLeastOne << "1" << 60;
    QTest::newRow("Shift+Insert pastes a large number")
        << QString() << int(Qt::Key_Insert) << shift << QString() << "99999" << lowerThan << "3600"
        << 3600 * 60;
    QTest::newRow("Shift+Insert pastes a fraction")
        << QString() << int(Qt::Key_Insert) << shift << QString() << "2.25" << noMessage << "2.25"
        << 135;
    // 60.6 seconds: the bar must end at the rounded length, or the last tick overruns it.
    QTest::newRow("pasted fraction of a second")
        << QString() << int(Qt::Key_Insert) << shift << QString() << "1.01" << noMessage << "1.01"
        << 61;
}

void TestSetTime::editsAreCheckedAndWrittenOnOk()
{
    QFETCH(QString, digits);
    QFETCH(int, key);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(QString, keyText);
    QFETCH(QString, clipboard);
    QFETCH(QString, message);
    QFETCH(QString, text);
    QFETCH(int, seconds);
    Program program("600");
    QApplication::clipboard()->setText(clipboard);

    QString shown;
    QVERIFY(program.setTime([&](QWidget *dialog) {
        box(dialog)->setFocus();
        if (digits.isEmpty()) {
            box(dialog)->selectAll();
            QTest::sendKeyEvent(QTest::Click, box(dialog), Qt::Key(key), keyText, modifiers);
        } else {
            typeOver(dialog, digits);
        }
        shown = box(dialog)->text();
        clickOk(dialog);
    }));

    QCOMPARE(shown, text);
    QCOMPARE(program.messageTexts(), message.isEmpty() ? QStringList() : QStringList(message));
    QCOMPARE(program.window->MaxTime(), seconds);
    QCOMPARE(program.bar->maximum(), seconds);
    QCOMPARE(program.label->text(), QStringLiteral("Timer Ready!"));
    QVERIFY(!program.window->isCounting());
    // The length reaches the store only when the program is left.
    QVERIFY(program.home.readSettingsFile().contains(QLatin1String("MaxTime=600")));
}

void TestSetTime::arrows_data()
{
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<bool>("up");
    QTest::addColumn<QString>("by"); // mouse, key or the screen reader's action
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message");

    QTest::newRow("down at 2 gives 1") << QByteArray("120") << false << "mouse"
                                       << "1" << QString();
    QTest::newRow("down at 2.5 gives 1.5") << QByteArray("150") << false << "mouse"
                                           << "1.5" << QString();
    QTest::newRow("down at 1 refuses") << QByteArray("60") << false << "mouse"
                                       << "1" << timerLimit;
    QTest::newRow("down at 1.5 refuses") << QByteArray("90") << false << "mouse"
                                         << "1.5" << timerLimit;
    QTest::newRow("up at 1 gives 2") << QByteArray("60") << true << "mouse"
                                     << "2" << QString();
    QTest::newRow("up at 1.5 gives 2.5") << QByteArray("90") << true << "mouse"
                                         << "2.5" << QString();
    QTest::newRow("up at 3600 stays") << QByteArray("216000") << true << "mouse"
                                      << "3600" << lowerThan;
    QTest::newRow("Up key at 1 gives 2") << QByteArray("60") << true << "key"
                                         << "2" << QString();
    QTest::newRow("Down key at 1 refuses") << QByteArray("60") << false << "key"
                                           << "1" << timerLimit;
    QTest::newRow("Increase action at 1 gives 2") << QByteArray("60") << true << "action"
                                                  << "2" << QString();
    QTest::newRow("Decrease action at 2.5 gives 1.5") << QByteArray("150") << false << "action"
                                                      << "1.5" << QString();
}

void TestSetTime::arrows()
{
    QFETCH(QByteArray, stored);
    QFETCH(bool, up);
    QFETCH(QString, by);
    QFETCH(QString, text);
    QFETCH(QString, message);
    Program program(stored);

    QString shown;
    QVariant heard; // the arrows' value, as screen readers read it
    QVERIFY(program.setTime([&](QWidget *dialog) {
        auto *arrows = dialog->findChild<QWidget *>(QStringLiteral("UpDown1"));
        QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(arrows);
        if (by == QLatin1String("action")) {
            accessible->actionInterface()->doAction(
                up ? QAccessibleActionInterface::increaseAction()
                   : QAccessibleActionInterface::decreaseAction());
        } else if (by == QLatin1String("key")) {
            // The arrows come first in the tab order and hold the focus at opening.
            QTest::keyClick(QApplication::focusWidget(), up ? Qt::Key_Up : Qt::Key_Down);
        } else {
            QTest::mouseClick(arrows->findChild<QAbstractButton *>(
                                  up ? QStringLiteral("upButton") : QStringLiteral("downButton")),
                              Qt::LeftButton);
        }
        shown = box(dialog)->text();
        if (accessible->valueInterface())
            heard = accessible->valueInterface()->currentValue();
        clickOk(dialog);
    }));

    QCOMPARE(shown, text);
    QCOMPARE(heard.toDouble(), text.toDouble());
    QCOMPARE(program.messageTexts(), message.isEmpty() ? QStringList() : QStringList(message));
    if (message == timerLimit) {
        QCOMPARE(program.recorder.messages[0].title, QStringLiteral("Timer Limit"));
        QCOMPARE(program.recorder.messages[0].icon, UiService::MessageIcon::None);
    }
}

void TestSetTime::cancelAndCloseBoxWriteNothing_data()
{
    QTest::addColumn<bool>("closeBox");
    QTest::newRow("Cancel") << false;
    QTest::newRow("close box") << true;
}

// Opening stops a running countdown for good, whichever way the dialog closes.
void TestSetTime::cancelAndCloseBoxWriteNothing()
{
    QFETCH(bool, closeBox);
    Program program("600");
    program.stopStart->trigger();
    program.ticks(5);
    QCOMPARE(program.bar->value(), 5);

    QVERIFY(program.setTime([&](QWidget *dialog) {
        typeOver(dialog, QStringLiteral("45"));
        if (closeBox)
            dialog->close();
        else
            clickCancel(dialog);
    }));

    QCOMPARE(program.window->MaxTime(), 600);
    QCOMPARE(program.bar->maximum(), 600);
    QVERIFY(!program.window->isCounting());
    QCOMPARE(program.window->CurrentTime(), 0);
    QCOMPARE(program.bar->value(), 0);
    QCOMPARE(program.label->text(), QStringLiteral("Timer Ready!"));
    QCOMPARE(program.action("mnuStopStart")->text(), QStringLiteral("&Start Timer"));
}

// The dialog has no default and no cancel button.
void TestSetTime::enterAndEscapeOutsideTheBoxDoNotClose()
{
    Program program("600");
    QStringList stillOpen;
    QVERIFY(program.setTime([&](QWidget *dialog) {
        const QList<QPair<const char *, Qt::Key>> presses = {{"UpDown1", Qt::Key_Return},
                                                             {"UpDown1", Qt::Key_Escape},
                                                             {"CMDok", Qt::Key_Escape},
                                                             {"cmdCancel", Qt::Key_Escape}};
        for (const auto &[name, key] : presses) {
            auto *control = dialog->findChild<QWidget *>(QString::fromLatin1(name));
            control->setFocus();
            QTest::keyClick(control, key);
            if (dialog->isVisible())
                stillOpen.append(QString::fromLatin1(name));
        }
        clickCancel(dialog);
    }));

    QCOMPARE(stillOpen, QStringList({"UpDown1", "UpDown1", "CMDok", "cmdCancel"}));
    QVERIFY(program.recorder.messages.isEmpty());
}

void TestSetTime::openingAfterTimeUpKeepsWindowOnTop()
{
    Program program("2");
    program.stopStart->trigger();
    program.ticks(2);
    QCOMPARE(program.label->text(), QStringLiteral("Time's Up!"));
    QVERIFY(program.topMost());

    bool topMostWhileOpen = false;
    QVERIFY(program.setTime([&](QWidget *dialog) {
        topMostWhileOpen = program.topMost();
        clickCancel(dialog);
    }));

    QVERIFY(topMostWhileOpen);
    QVERIFY(program.topMost());
    QCOMPARE(program.label->text(), QStringLiteral("Timer Ready!"));
    QCOMPARE(program.window->centralWidget()->palette().color(QPalette::Window),
             ui().systemColor(UiService::SystemColor::ButtonFace));
    QVERIFY(program.shows("face.ico"));
}

// With real message boxes: an arrow held at 3600 repeats while the first answer is on
// the screen, and must neither stack a second box on it nor stay pressed.
void TestSetTime::heldArrowAtTheLimitShowsOneMessage()
{
    Program program("216000");
    UiService::install(nullptr);

    QPointer<QAbstractButton> up;
    int repeats = 0;
    int boxesOpen = 0;
    bool heldWhileAnswered = true;
    ModalDriver driver(30000);
    driver.then(typePassword(QStringLiteral("playfairly")))
        .then([&](QWidget *dialog) {
            up = dialog->findChild<QAbstractButton *>(QStringLiteral("upButton"));
            QObject::connect(up, &QAbstractButton::clicked, up, [&repeats] { ++repeats; });
            QTest::mousePress(up, Qt::LeftButton);
            // Should the arrow go on repeating, boxes would open until the deadline and
            // after: let it go in the end, so that the fault fails the test instead of
            // hanging it.
            QTimer::singleShot(20000, up, [&up] { up->setDown(false); });
        })
        .then([&](QWidget *message) {
            // The first repeat opened this box; wait for the next one, however slowly
            // the machine delivers it.
            Q_UNUSED(QTest::qWaitFor([&] { return repeats >= 2 || !up || !up->isDown(); }, 20000));
            for (QWidget *window : QApplication::topLevelWidgets()) {
                if (qobject_cast<QMessageBox *>(window) && window->isVisible())
                    ++boxesOpen;
            }
            heldWhileAnswered = up->isDown();
            QWidget *dialog = message->parentWidget();
            qobject_cast<QMessageBox *>(message)->button(QMessageBox::Ok)->click();
            QTimer::singleShot(0, dialog, [dialog] { clickCancel(dialog); });
        });
    program.trigger("mnuSetTime");

    QVERIFY(!driver.timedOut());
    QCOMPARE(boxesOpen, 1);
    QVERIFY(!heldWhileAnswered);
    QCOMPARE(program.window->MaxTime(), 216000);
}

QTEST_MAIN(TestSetTime)
#include "tst_settime.moc"
