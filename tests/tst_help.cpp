// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/frmMain.h"
#include "logic/HelpTopics.h"
#include "support/TestSupport.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

namespace {

// The first line of "about": this test's executable name, or that of the renamed copy
// started by renamedExecutableIsShown().
QString expectedName()
{
    return qEnvironmentVariable("TST_HELP_EXPECTED_NAME", QStringLiteral("tst_help"));
}

QTreeWidget *tree(QWidget *help)
{
    return help->findChild<QTreeWidget *>(QStringLiteral("treHelp"));
}

QPlainTextEdit *textBox(QWidget *help)
{
    return help->findChild<QPlainTextEdit *>(QStringLiteral("txtHelp"));
}

QTreeWidgetItem *node(QWidget *help, const QString &text)
{
    return tree(help)->findItems(text, Qt::MatchExactly | Qt::MatchRecursive).value(0);
}

// Clicks a node's text, or the plus or minus button in front of it, as a person would.
void click(QWidget *help, const QString &text, bool onButton = false)
{
    const QRect rect = tree(help)->visualItemRect(node(help, text));
    const QPoint at = onButton
                          ? QPoint(rect.left() - tree(help)->indentation() / 2, rect.center().y())
                          : rect.center();
    QTest::mouseClick(tree(help)->viewport(), Qt::LeftButton, {}, at);
}

// A double click on a node's text, as the window system delivers it: a click, then the
// second press that makes it double.
void doubleClick(QWidget *help, const QString &text)
{
    const QPoint at = tree(help)->visualItemRect(node(help, text)).center();
    QTest::mouseClick(tree(help)->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(tree(help)->viewport(), Qt::LeftButton, {}, at);
}

// "tmr+ sec- Heading": which parent topics are expanded, and the heading.
QString state(QWidget *help)
{
    const auto mark = [help](const char *text) {
        return node(help, QString::fromLatin1(text))->isExpanded() ? QLatin1Char('+')
                                                                   : QLatin1Char('-');
    };
    return QStringLiteral("tmr") + mark("The Timer") + QStringLiteral(" sec") + mark("Security") +
           QLatin1Char(' ') + help->findChild<QLabel *>(QStringLiteral("lblCaption"))->text();
}

QString lines(const QStringList &text)
{
    return text.join(QStringLiteral("\r\n"));
}

// The text box hands its lines back joined by line feeds.
QString shownAs(QString text)
{
    return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

const QString generalText = lines({
    QStringLiteral("TurnKeeper allows parents to control the amount of time thier kids spend on "
                   "the computer. All settings are password protected."),
    QString(),
    QStringLiteral("The default password is playfairly"),
    QString(),
    QStringLiteral("Be sure to change this password as soon as possible to prevent little ones "
                   "from  hacking the timer!"),
});

// A main window from which the help is opened through Help > Contents.
struct Session : MainWindowFixture
{
    // Runs act on the help window; true when it closed before the driver had to close it.
    bool openHelp(const ModalDriver::Action &act) const { return open("mnuContents", act); }
};

} // namespace

class TestHelp : public QObject
{
    Q_OBJECT
private slots:
    void everyOpeningStartsFresh();
    void topics_data();
    void topics();
    void renamedExecutableIsShown();
    void clicksAndKeysChooseTopics();
    void topicFacesFollowTheSelection();
    void helpTextTakesNoTyping();
};

void TestHelp::everyOpeningStartsFresh()
{
    Session session;
    // The help quotes the default password, whatever the stored one is.
    session.home.writeSettingsFile("[Settings]\nPassword=secret\n");

    QList<QStringList> looks;
    const auto look = [&looks](QWidget *help) {
        QStringList nodes;
        for (QTreeWidgetItemIterator it(tree(help)); *it; ++it)
            nodes << ((*it)->parent() ? QStringLiteral(">") : QString()) + (*it)->text(0);
        const bool focusAndDefault =
            help->focusWidget() == tree(help) &&
            help->findChild<QPushButton *>(QStringLiteral("CMDok"))->isDefault();
        looks << QStringList{help->windowTitle(),
                             nodes.join(QLatin1Char(',')),
                             state(help),
                             QString::number(tree(help)->selectedItems().size()),
                             textBox(help)->toPlainText(),
                             QString::number(focusAndDefault)};
    };
    const auto wander = [](QWidget *help) {
        click(help, QStringLiteral("The Timer"));
        click(help, QStringLiteral("Security"));
        click(help, QStringLiteral("About TurnKeeper"));
    };

    QVERIFY(session.openHelp([&](QWidget *help) {
        look(help);
        wander(help);
        help->findChild<QPushButton *>(QStringLiteral("CMDok"))->click();
    }));
    QVERIFY(session.openHelp([&](QWidget *help) {
        look(help);
        wander(help);
        help->close(); // the close box
    }));
    QVERIFY(session.openHelp([&](QWidget *help) {
        look(help);
        help->close();
    }));

    const QStringList fresh{
        QStringLiteral("TurnKeeper Help"),
        QStringLiteral("General,The Timer,>Setting the Time,>Start/Stop the Timer,Security,"
                       ">Changing the Password,About TurnKeeper"),
        QStringLiteral("tmr- sec- General"),
        QStringLiteral("0"),
        shownAs(generalText),
        QStringLiteral("1"),
    };
    QCOMPARE(looks, QList<QStringList>({fresh, fresh, fresh}));
}

void TestHelp::topics_data()
{
    QTest::addColumn<QStringList>("clicks");
    QTest::addColumn<QString>("built");
    QTest::addColumn<QString>("text");

    QTest::newRow("gen") << QStringList{QStringLiteral("Security"), QStringLiteral("General")}
                         << HelpTopics::general() << generalText;
    QTest::newRow("tmr") << QStringList{QStringLiteral("The Timer")} << HelpTopics::timer()
                         << QStringLiteral("The timer settings are password protected.  The "
                                           "timer can be set anywhere from 1 minute to 3600 "
                                           "minutes(6 hours).");
    QTest::newRow("c_tmr")
        << QStringList{QStringLiteral("The Timer"), QStringLiteral("Setting the Time")}
        << HelpTopics::settingTheTime()
        << lines({QStringLiteral("The default time limit is 10 minutes."), QString(),
                  QStringLiteral("To change the time limit, go to the Timer menu and select 'Set "
                                 "Timer'.  Use the up/down arrows to set the desired time and "
                                 "press the OK button.")});
    QTest::newRow("s_tmr")
        << QStringList{QStringLiteral("The Timer"), QStringLiteral("Start/Stop the Timer")}
        << HelpTopics::startingAndStopping()
        << lines({QStringLiteral("TO START THE TIMER"),
                  QStringLiteral(
                      "From the Timer menu, select 'Start Timer' and the timer will begin."),
                  QString(), QStringLiteral("TO STOP THE TIMER"),
                  QStringLiteral(
                      "From the Timer menu, select 'Stop Timer' and the timer will stop.")});
    QTest::newRow("sec") << QStringList{QStringLiteral("Security")} << HelpTopics::security()
                         << lines({QStringLiteral("All settings are password protected to "
                                                  "prevent kids from stopping the timer or "
                                                  "changing the timer length."),
                                   QString(),
                                   QStringLiteral("See 'Changing the Password' in this help file "
                                                  "for directions on setting the password")});
    QTest::newRow("c_sec")
        << QStringList{QStringLiteral("Security"), QStringLiteral("Changing the Password")}
        << HelpTopics::changingThePassword()
        << lines({QStringLiteral("The default password is 'playfairly'."), QString(),
                  QStringLiteral("To change the password, go to the Parents menu and select "
                                 "'Security'.  Enter the new password in both text boxes to "
                                 "verify.  Next, press the OK button.")});
    QTest::newRow("about")
        << QStringList{QStringLiteral("About TurnKeeper")} << HelpTopics::about(expectedName())
        << lines({expectedName(), QStringLiteral("By Rowan Ashdale"), QString(),
                  QStringLiteral("This product was developed out of personal necessity.  My "
                                 "three daughters fight over computer time and this seamed to be "
                                 "the only feasible solution.  I hope you enjoy this application "
                                 "as our family has."),
                  QString(), QStringLiteral("              - Enjoy!")});
}

void TestHelp::topics()
{
    QFETCH(QStringList, clicks);
    QFETCH(QString, built);
    QFETCH(QString, text);

    Session session;
    QString heading;
    QString seen;
    QVERIFY(session.openHelp([&](QWidget *help) {
        for (const QString &text : std::as_const(clicks))
            click(help, text);
        heading = help->findChild<QLabel *>(QStringLiteral("lblCaption"))->text();
        seen = textBox(help)->toPlainText();
        help->close();
    }));

    QCOMPARE(built, text);
    QCOMPARE(seen, shownAs(text));
    QCOMPARE(heading, clicks.constLast());
}

void TestHelp::renamedExecutableIsShown()
{
    // A renamed copy of this test runs the "about" row, expecting its own name there.
    QTemporaryDir dir;
    const QString copy = dir.filePath(QStringLiteral("Kid Clock.run"));
    QVERIFY(QFile::copy(QCoreApplication::applicationFilePath(), copy));
    QVERIFY(QFile::setPermissions(copy, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));

    QProcess run;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("TST_HELP_EXPECTED_NAME"), QStringLiteral("Kid Clock"));
    run.setProcessEnvironment(environment);
    run.setProcessChannelMode(QProcess::MergedChannels);
    run.start(copy, {QStringLiteral("topics:about")});
    QVERIFY(run.waitForFinished(60000));
    const QString output = QString::fromLocal8Bit(run.readAll());
    QVERIFY2(run.exitCode() == 0 &&
                 output.contains(QStringLiteral("PASS   : TestHelp::topics(about)")),
             qPrintable(output));
}

void TestHelp::clicksAndKeysChooseTopics()
{
    Session session;
    QStringList states;
    QVERIFY(session.openHelp([&](QWidget *help) {
        const auto step = [&](const char *text, bool onButton = false) {
            click(help, QString::fromLatin1(text), onButton);
            states << state(help);
        };
        step("General");
        step("The Timer");
        step("The Timer");
        step("The Timer", true); // collapsed by the user...
        step("The Timer");       // ...and expanded again by a click on the selected node
        step("Setting the Time");
        step("The Timer", true); // the user may fold away the selected sub-topic
        step("Security");
        QTest::keyClick(tree(help), Qt::Key_Left);
        states << state(help);
        step("Security");
        step("Changing the Password");
        step("About TurnKeeper");
        // Choosing with the keyboard counts as a click.
        for (const Qt::Key key : {Qt::Key_Home, Qt::Key_Down, Qt::Key_Down}) {
            QTest::keyClick(tree(help), key);
            states << state(help);
        }
        // Clicking a topic again keeps it expanded, whatever the number of clicks.
        for (const char *text : {"The Timer", "Security"}) {
            doubleClick(help, QString::fromLatin1(text));
            states << state(help);
        }
        help->close();
    }));

    QCOMPARE(states, QStringList({
                         QStringLiteral("tmr- sec- General"),
                         QStringLiteral("tmr+ sec- The Timer"),
                         QStringLiteral("tmr+ sec- The Timer"),
                         QStringLiteral("tmr- sec- The Timer"),
                         QStringLiteral("tmr+ sec- The Timer"),
                         QStringLiteral("tmr+ sec- Setting the Time"),
                         QStringLiteral("tmr- sec- Setting the Time"),
                         QStringLiteral("tmr- sec+ Security"),
                         QStringLiteral("tmr- sec- Security"),
                         QStringLiteral("tmr- sec+ Security"),
                         QStringLiteral("tmr- sec+ Changing the Password"),
                         QStringLiteral("tmr- sec+ About TurnKeeper"),
                         QStringLiteral("tmr- sec+ General"),
                         QStringLiteral("tmr+ sec+ The Timer"),
                         QStringLiteral("tmr+ sec+ Setting the Time"),
                         QStringLiteral("tmr+ sec+ The Timer"),
                         QStringLiteral("tmr+ sec+ Security"),
                     }));
}

void TestHelp::topicFacesFollowTheSelection()
{
    // Image 1, the open red mouth, while selected; image 2, the closed black smile, otherwise.
    const auto redPixels = [](const QIcon &icon, QIcon::Mode mode) {
        const QImage image = icon.pixmap(16, mode).toImage().convertToFormat(QImage::Format_ARGB32);
        int count = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const QRgb p = image.pixel(x, y);
                count += qAlpha(p) > 128 && qRed(p) > 160 && qGreen(p) < 90 && qBlue(p) < 90;
            }
        }
        return count;
    };
    Session session;
    QStringList faces;
    QVERIFY(session.openHelp([&](QWidget *help) {
        for (QTreeWidgetItemIterator it(tree(help)); *it; ++it) {
            const QIcon icon = (*it)->icon(0);
            faces << (icon.isNull()
                          ? QStringLiteral("none")
                          : QString::number(redPixels(icon, QIcon::Normal)) + QLatin1Char('/') +
                                QString::number(redPixels(icon, QIcon::Selected) > 3));
        }
        help->close();
    }));
    const QString topic =
        QStringLiteral("0/1"); // no red when not selected, a red mouth when selected
    const QString none = QStringLiteral("none");
    QCOMPARE(faces, QStringList({topic, topic, none, none, topic, none, topic}));
}

void TestHelp::helpTextTakesNoTyping()
{
    Session session;
    QString before;
    QString after;
    int caret = -1;
    bool openAfterEscape = false;
    const bool closed = session.openHelp([&](QWidget *help) {
        QPlainTextEdit *text = textBox(help);
        before = text->toPlainText();
        QTest::keyClicks(text, QStringLiteral("Hello 42"));
        QGuiApplication::clipboard()->setText(QStringLiteral("pasted"));
        for (const QKeyCombination key :
             {QKeyCombination(Qt::Key_Backspace), QKeyCombination(Qt::Key_Delete),
              Qt::ControlModifier | Qt::Key_V, Qt::ShiftModifier | Qt::Key_Insert,
              Qt::ControlModifier | Qt::Key_Return, Qt::ControlModifier | Qt::Key_X})
            QTest::keyClick(text, key.key(), key.keyboardModifiers());
        text->selectAll();
        QTest::keyClick(text, Qt::Key_Delete);
        after = text->toPlainText();

        text->moveCursor(QTextCursor::Start);
        QTest::keyClick(text, Qt::Key_Down); // the caret still moves through the text
        caret = text->textCursor().position();

        QTest::keyClick(text, Qt::Key_Escape);
        QTest::keyClick(tree(help), Qt::Key_Escape);
        openAfterEscape = help->isVisible();
        QTest::keyClick(text, Qt::Key_Return);
    });

    QVERIFY(closed); // by Enter
    QCOMPARE(after, before);
    QVERIFY(caret > 0);
    QVERIFY(openAfterEscape);
}

QTEST_MAIN(TestHelp)
#include "tst_help.moc"
