// SPDX-License-Identifier: GPL-3.0-or-later
// Whose turn it is: the children's names, who is next, and the warning a minute
// before the end of a turn.
#include "app/frmMain.h"
#include "logic/Children.h"
#include "logic/SettingsStore.h"
#include "logic/TurnRecord.h"
#include "settings/frmChildren.h"
#include "support/PictureDifference.h"
#include "support/TestSupport.h"
#include "ui/TimeLeftBar.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace {

const QByteArray threeChildren =
    "[Settings]\nMaxTime=180\n[Children]\nNames=Ann, Ben, Cy\nNext=Ben\n";

QString barText(const MainWindowFixture &main)
{
    return main.bar->isTextVisible() ? main.bar->text() : QString();
}

// The weight the bar's text is drawn in, told by its pixels: those of a stock bar of
// the same size, value and text in bold or in the normal weight; else how it differs.
QString drawnWeight(const MainWindowFixture &main)
{
    const auto picture = [](QWidget &widget) {
        return widget.grab().toImage().convertToFormat(QImage::Format_RGB32);
    };
    const QImage drawn = picture(*main.bar);
    QString differences;
    for (const bool bold : {false, true}) {
        // In the bar's place, on the window's colour of the moment.
        QProgressBar stock(main.bar->parentWidget());
        stock.setGeometry(main.bar->geometry());
        stock.setRange(main.bar->minimum(), main.bar->maximum());
        stock.setValue(main.bar->value());
        stock.setFormat(barText(main));
        stock.setTextVisible(main.bar->isTextVisible());
        QFont font = main.bar->font();
        font.setBold(bold);
        stock.setFont(font);
        const QString difference = pictureDifference(drawn, picture(stock));
        if (difference.isEmpty())
            return bold ? QStringLiteral("bold") : QStringLiteral("normal");
        differences += difference + QLatin1Char(';');
    }
    return differences;
}

} // namespace

class TestChildren : public QObject
{
    Q_OBJECT
private slots:
    void refusals_data();
    void refusals();
    void storedList_data();
    void storedList();
    void editingTheList();
    void menuNeedsThePasswordAndOkSaves_data();
    void menuNeedsThePasswordAndOkSaves();
    void turnsPassOnAtTimeUpOnly();
    void barTextsWithoutNamesAreAsBefore();
    void warningAMinuteBeforeTheEnd_data();
    void warningAMinuteBeforeTheEnd();
};

void TestChildren::refusals_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("except");      // the row being renamed, or -1
    QTest::addColumn<QString>("refusal"); // a word of the reason; empty: taken
    QTest::newRow("a new name") << "Dee" << -1 << QString();
    QTest::newRow("blanks around are dropped") << "  Dee " << -1 << QString();
    QTest::newRow("empty") << "" << -1 << "letter";
    QTest::newRow("blanks only") << "   " << -1 << "letter";
    QTest::newRow("40 characters") << QString(40, QLatin1Char('x')) << -1 << QString();
    QTest::newRow("41 characters") << QString(41, QLatin1Char('x')) << -1 << "40";
    QTest::newRow("the same name in other letters") << "bEN" << -1 << "Ben is already";
    QTest::newRow("renamed to itself in other letters") << "BEN" << 1 << QString();
    QTest::newRow("renamed to another's name") << "ann" << 1 << "Ann is already";
    QTest::newRow("a character the file cannot keep")
        << QString(QChar(0xFEFF)) + QStringLiteral("Dee") << -1 << "cannot be kept";
    // What would turn the bar's text, the record of turns or the export around.
    const QString invisible = QStringLiteral("invisible");
    QTest::newRow("a line break") << "De\ne" << -1 << invisible;
    QTest::newRow("a tab") << "De\te" << -1 << invisible;
    QTest::newRow("a right-to-left override") << "\u202eDee" << -1 << invisible;
    QTest::newRow("a zero-width space") << "De\u200be" << -1 << invisible;
    QTest::newRow("a line separator") << "De\u2028e" << -1 << invisible;
    QTest::newRow("a tag beyond the first plane")
        << "Dee" + QString::fromUcs4(U"\U000E0041") << -1 << invisible;
    QTest::newRow("letters of any script are names") << "Zoë Ñandú 明" << -1 << QString();
}

void TestChildren::refusals()
{
    QFETCH(QString, name);
    QFETCH(int, except);
    QFETCH(QString, refusal);
    const QString reason = Children::refusal(name, {"Ann", "Ben", "Cy"}, except);
    QVERIFY2(refusal.isEmpty() ? reason.isEmpty() : reason.contains(refusal), qPrintable(reason));
}

void TestChildren::storedList_data()
{
    QTest::addColumn<QByteArray>("children");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QString>("next");
    QTest::newRow("no group") << QByteArray() << QStringList() << QString();
    QTest::newRow("as Qt writes a list") << QByteArray("[Children]\nNames=Ann, Ben, Cy\nNext=Cy")
                                         << QStringList{"Ann", "Ben", "Cy"} << "Cy";
    QTest::newRow("one name") << QByteArray("[Children]\nNames=Ann") << QStringList{"Ann"} << "Ann";
    QTest::newRow("next not in the list: the first")
        << QByteArray("[Children]\nNames=Ann, Ben\nNext=Zoe") << QStringList{"Ann", "Ben"} << "Ann";
    QTest::newRow("names that break the rules are left out")
        << QByteArray("[Children]\nNames=Ann, , ann, Ben\nNext=Ben") << QStringList{"Ann", "Ben"}
        << "Ben";
    QTest::newRow("unreadable") << QByteArray("[Children]\nNames=@Variant(garbage)\nNext=Ann")
                                << QStringList() << QString();
}

void TestChildren::storedList()
{
    QFETCH(QByteArray, children);
    QFETCH(QStringList, names);
    QFETCH(QString, next);
    TestHome home;
    home.writeSettingsFile("[Settings]\nMaxTime=60\n" + children + "\n");
    const Children read = Children::read();
    QCOMPARE(read.names(), names);
    QCOMPARE(read.next(), next);

    // What is written reads back the same; no names leave no group behind.
    QVERIFY(read.write());
    QCOMPARE(Children::read(), read);
    QCOMPARE(home.readSettingsFile().contains(QLatin1String("[Children]")), !names.isEmpty());
}

// Add, rename, remove, move and choose who is next, as a parent would with the mouse.
void TestChildren::editingTheList()
{
    TestHome home;
    RecordingUi recorder;
    frmChildren dialog(Children({"Ann", "Ben"}, "Ben"));
    dialog.show();
    auto *name = dialog.findChild<QLineEdit *>(QStringLiteral("txtName"));
    auto *list = dialog.findChild<QListWidget *>(QStringLiteral("lstNames"));
    const auto type = [&](const QString &text) {
        name->selectAll();
        QTest::keyClicks(name, text);
    };

    type(QStringLiteral(" Cy "));
    click(&dialog, "cmdAdd"); // Ann, Ben, Cy
    type(QStringLiteral("ann"));
    QTest::keyClick(name, Qt::Key_Return); // refused: already in the list
    list->setCurrentRow(0);
    type(QStringLiteral("Anna"));
    click(&dialog, "cmdRename"); // Anna, Ben, Cy
    click(&dialog, "cmdDown");   // Ben, Anna, Cy
    list->setCurrentRow(1);
    click(&dialog, "cmdNext"); // Anna is next
    list->setCurrentRow(0);
    click(&dialog, "cmdRemove"); // Anna, Cy
    list->setCurrentRow(1);
    click(&dialog, "cmdUp"); // Cy, Anna
    // What would turn the bar or the record of turns around is refused aloud, pasted (a
    // tab, a line break) or typed (a right-to-left override).
    for (const QString &pasted : {QStringLiteral("De\te"), QStringLiteral("De\ne")}) {
        QGuiApplication::clipboard()->setText(pasted);
        name->clear();
        name->paste();
        click(&dialog, "cmdAdd");
    }
    name->clear();
    typeText(name, QStringLiteral("\u202eDee"));
    click(&dialog, "cmdAdd");

    QCOMPARE(dialog.children().names(), QStringList({"Cy", "Anna"}));
    QCOMPARE(dialog.children().next(), QStringLiteral("Anna"));
    QStringList told;
    for (const RecordingUi::Message &message : std::as_const(recorder.messages)) {
        QCOMPARE(message.icon, UiService::MessageIcon::Exclamation);
        told << message.text;
    }
    const QString invisible =
        QStringLiteral("A name cannot hold line breaks, tabs or invisible characters.");
    QCOMPARE(told, QStringList({"Ann is already in the list.", invisible, invisible, invisible}));
}

void TestChildren::menuNeedsThePasswordAndOkSaves_data()
{
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("close"); // how the window closes: CMDok, cmdCancel, box
    QTest::addColumn<QStringList>("stored");
    const QStringList before{"Ann", "Ben", "Cy"};
    const QStringList after{"Ann", "Ben", "Cy", "Dee"};
    QTest::newRow("OK saves") << "playfairly"
                              << "CMDok" << after;
    QTest::newRow("Cancel keeps") << "playfairly"
                                  << "cmdCancel" << before;
    QTest::newRow("the close box keeps") << "playfairly"
                                         << "box" << before;
    QTest::newRow("a wrong password opens nothing") << "wrong" << QString() << before;
}

void TestChildren::menuNeedsThePasswordAndOkSaves()
{
    QFETCH(QString, password);
    QFETCH(QString, close);
    QFETCH(QStringList, stored);
    MainWindowFixture main(threeChildren);
    ModalDriver driver;
    driver
        .then([&](QWidget *prompt) {
            typePassword(password)(prompt);
            if (prompt->isVisible())
                cancelPrompt()(prompt);
        })
        .then([&](QWidget *dialog) {
            QTest::keyClicks(dialog->findChild<QLineEdit *>(QStringLiteral("txtName")), "Dee");
            click(dialog, "cmdAdd");
            if (close == QLatin1String("box"))
                dialog->close();
            else
                click(dialog, qPrintable(close));
        });
    main.trigger("mnuChildren");

    QCOMPARE(driver.seen().size(), close.isEmpty() ? 1 : 2);
    QCOMPARE(Children::read().names(), stored);
    // The bar says who is next, as the list now stands.
    QCOMPARE(barText(main), QStringLiteral("Next: Ben"));
}

// Ann, Ben, Cy with Ben next: a stopped turn keeps Ben next; a turn that reaches its
// time's up passes the next one on, and after the last comes the first.
void TestChildren::turnsPassOnAtTimeUpOnly()
{
    MainWindowFixture main(threeChildren);
    QCOMPARE(barText(main), QStringLiteral("Next: Ben"));
    QCOMPARE(main.action("mnuChildren")->text(), QStringLiteral("&Children..."));

    main.stopStart->trigger();
    QCOMPARE(barText(main), QStringLiteral("Ben: 3:00"));
    QCOMPARE(TurnRecord::read()->child, QStringLiteral("Ben"));
    // Taken up by a new start, the turn is still Ben's.
    main.restart();
    QVERIFY2(barText(main).startsWith(QLatin1String("Ben: ")), qPrintable(barText(main)));
    ModalDriver driver;
    driver.then(typePassword(QStringLiteral("playfairly")));
    main.stopStart->trigger();
    QCOMPARE(barText(main), QStringLiteral("Next: Ben"));

    QStringList seen;
    for (int turn = 0; turn < 3; ++turn) {
        main.stopStart->trigger();
        main.ticks(3);
        seen << barText(main);
        main.ticks(177);
        seen << barText(main) << Children::read().next();
    }
    QCOMPARE(seen, QStringList({"Ben: 2:57", "Next: Cy", "Cy", "Cy: 2:57", "Next: Ann", "Ann",
                                "Ann: 2:57", "Next: Ben", "Ben"}));
    QCOMPARE(main.recorder.notifications.first(), QStringLiteral("Time's Up!\nNext: Cy"));
    QCOMPARE(main.recorder.descriptions.last(), QStringLiteral("Next: Ben"));
    QCOMPARE(main.label->text(), QStringLiteral("Time's Up!"));
}

// With no names, every text is what it has always been.
void TestChildren::barTextsWithoutNamesAreAsBefore()
{
    MainWindowFixture main("[Settings]\nMaxTime=2\n");
    QCOMPARE(barText(main), QString());
    main.stopStart->trigger();
    main.tick();
    QCOMPARE(barText(main), QStringLiteral("0:01"));
    main.tick();
    QCOMPARE(barText(main), QString());
    QCOMPARE(main.recorder.notifications, QStringList{QStringLiteral("Time's Up!")});
    QVERIFY(main.recorder.descriptions.isEmpty());
    QVERIFY(!main.home.readSettingsFile().contains(QLatin1String("Child")));
}

void TestChildren::warningAMinuteBeforeTheEnd_data()
{
    QTest::addColumn<int>("length");
    QTest::addColumn<int>("resumedAt"); // seconds gone at a new start; -1: started here
    QTest::addColumn<int>("chimeAt");   // the count at which the chime sounds; 0: never
    QTest::addColumn<int>("readAt");    // the count at which the sounds are read ahead
    QTest::newRow("a minute") << 60 << -1 << 0 << 0;
    QTest::newRow("two minutes: no warning") << 120 << -1 << 0 << 45;
    QTest::newRow("two minutes and a second") << 121 << -1 << 61 << 46;
    QTest::newRow("ten minutes") << 600 << -1 << 540 << 525;
    QTest::newRow("resumed before the last minute") << 600 << 500 << 540 << 525;
    QTest::newRow("resumed inside the last minute") << 600 << 560 << 0 << 560;
}

// A chime, once, a minute before the end of a turn of more than two minutes; from then
// on the bar's text is bold, and nothing else of the window changes.
void TestChildren::warningAMinuteBeforeTheEnd()
{
    QFETCH(int, length);
    QFETCH(int, resumedAt);
    QFETCH(int, chimeAt);
    QFETCH(int, readAt);
    QByteArray settings = "[Settings]\nMaxTime=" + QByteArray::number(length) + "\n";
    if (resumedAt >= 0) {
        settings += turnGroup(QDateTime::currentDateTimeUtc().addSecs(-resumedAt), length);
    }
    MainWindowFixture main(settings);
    if (resumedAt < 0)
        main.stopStart->trigger();
    const int from = main.window->CurrentTime();
    const auto weightAt = [&](int count) {
        return QLatin1String(count >= length - 60 && length > 120 ? "bold" : "normal");
    };
    QCOMPARE(drawnWeight(main), weightAt(from));
    // The sounds are read once, after the tick that brings the end near.
    const QStringList turnSounds{QStringLiteral("horn.wav"), QStringLiteral("chime.wav")};
    const auto readBy = [&](int count) {
        QCoreApplication::processEvents();
        return main.recorder.prepared == turnSounds ? count : -1;
    };
    int soundsReadAt = readBy(from);

    int chimedAt = 0;
    for (int count = from + 1; count < length; ++count) {
        main.tick();
        if (soundsReadAt < 0)
            soundsReadAt = readBy(count);
        if (!chimedAt && main.recorder.sounds.contains(QStringLiteral("chime.wav")))
            chimedAt = count;
        // Bold from the second of the chime on, not a second later.
        if (count == length - 61 || count == length - 60)
            QCOMPARE(drawnWeight(main), weightAt(count));
    }
    QCOMPARE(chimedAt, chimeAt);
    QCOMPARE(soundsReadAt, readAt);
    QCOMPARE(main.recorder.prepared, turnSounds);
    QCOMPARE(main.recorder.sounds.count(QStringLiteral("chime.wav")), chimeAt ? 1 : 0);
    QCOMPARE(drawnWeight(main), weightAt(length - 1));
    QCOMPARE(main.label->text(), QStringLiteral("Timer Started!"));
    main.tick();
    QCOMPARE(main.label->text(), QStringLiteral("Time's Up!"));
    QCOMPARE(drawnWeight(main), QStringLiteral("normal"));
}

QTEST_MAIN(TestChildren)
#include "tst_children.moc"
