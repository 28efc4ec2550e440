// SPDX-License-Identifier: GPL-3.0-or-later
// The program in German, as a family with LANG=de_DE.UTF-8 meets it: the catalogue is
// chosen from the system locale exactly as main.cpp chooses it. CTest runs this with
// that locale and no other locale variable.
#include "app/Translations.h"
#include "app/frmMain.h"
#include "support/TestSupport.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

class TestGerman : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void menusReadInGerman_data();
    void menusReadInGerman();
    void timesUpReadsInGerman();
    void startThenStopWithThePassword();
    void wrongPasswordKeepsTheTurnRunning();
    void windowsReadInGerman_data();
    void windowsReadInGerman();

private:
    std::unique_ptr<Translations> m_translations;
};

void TestGerman::initTestCase()
{
    // LANG reaches Qt also where the C library has no German locale installed.
    QCOMPARE(QLocale::system().name(), QStringLiteral("de_DE"));
    m_translations = std::make_unique<Translations>();
    QCOMPARE(m_translations->language(), QStringLiteral("de"));
}

void TestGerman::menusReadInGerman_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    const auto row = [](const char *name, const char *caption) {
        QTest::newRow(name) << QString::fromLatin1(name) << QString::fromUtf8(caption);
    };
    row("mnuParents", "&Eltern");
    row("mnuPasswords", "&Sicherheit");
    row("mnuChildren", "&Kinder...");
    row("mnuTurns", "&Runden...");
    row("mnuExit", "&Beenden");
    row("mnuTimer", "&Timer");
    row("mnuSetTime", "&Zeit einstellen");
    row("mnuStopStart", "Timer &starten");
    row("mnuHelp", "&Hilfe");
    row("mnuContents", "&Inhalt");
    row("mnuAbout", "Ü&ber");
}

void TestGerman::menusReadInGerman()
{
    QFETCH(QString, name);
    QFETCH(QString, caption);
    MainWindowFixture main;
    if (const auto *menu = main.window->findChild<QMenu *>(name))
        QCOMPARE(menu->title(), caption);
    else
        QCOMPARE(main.action(qPrintable(name))->text(), caption);
}

void TestGerman::timesUpReadsInGerman()
{
    MainWindowFixture main("[Settings]\nMaxTime=60\n[Children]\nNames=Ann, Ben\n");
    QCOMPARE(main.label->text(), QStringLiteral("Timer bereit!"));
    QCOMPARE(main.bar->text(), QStringLiteral("Als Nächstes: Ann"));
    main.runToAlarm();
    QCOMPARE(main.label->text(), QStringLiteral("Zeit ist um!"));
    QCOMPARE(main.recorder.notifications,
             QStringList{QStringLiteral("Zeit ist um!\nAls Nächstes: Ben")});
    QCOMPARE(main.stopStart->text(), QStringLiteral("Timer &starten"));
}

// The Start and Stop entry knows what it does from its caption: in German too.
void TestGerman::startThenStopWithThePassword()
{
    MainWindowFixture main;
    main.stopStart->trigger();
    QVERIFY(main.timer->isActive());
    QCOMPARE(main.label->text(), QStringLiteral("Timer läuft!"));
    QCOMPARE(main.stopStart->text(), QStringLiteral("Timer &anhalten"));

    ModalDriver driver;
    driver.then(typePassword(QStringLiteral("playfairly")));
    main.stopStart->trigger();
    QVERIFY(!driver.timedOut());
    QCOMPARE(driver.seen(), QStringList{QStringLiteral("frmLogin")});
    QVERIFY(!main.timer->isActive());
    QCOMPARE(main.label->text(), QStringLiteral("Timer bereit!"));
    QCOMPARE(main.stopStart->text(), QStringLiteral("Timer &starten"));

    main.stopStart->trigger();
    QVERIFY(main.timer->isActive());
}

void TestGerman::wrongPasswordKeepsTheTurnRunning()
{
    MainWindowFixture main;
    main.stopStart->trigger();
    ModalDriver driver;
    driver.then([](QWidget *prompt) {
        typePassword(QStringLiteral("falsch"))(prompt);
        cancelPrompt()(prompt);
    });
    main.stopStart->trigger();
    QVERIFY(!driver.timedOut());
    QVERIFY(main.timer->isActive());
    QCOMPARE(main.stopStart->text(), QStringLiteral("Timer &anhalten"));
    QCOMPARE(main.messageTexts(),
             QStringList{QStringLiteral("Das hat nicht geklappt: Das Passwort stimmt nicht.")});
}

void TestGerman::windowsReadInGerman_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<bool>("guarded");
    QTest::addColumn<QString>("title");
    QTest::newRow("help") << QStringLiteral("mnuContents") << false
                          << QStringLiteral("TurnKeeper-Hilfe");
    QTest::newRow("about") << QStringLiteral("mnuAbout") << false
                           << QStringLiteral("Über TurnKeeper");
    QTest::newRow("turns") << QStringLiteral("mnuTurns") << false << QStringLiteral("Runden");
    QTest::newRow("timer length") << QStringLiteral("mnuSetTime") << true
                                  << QStringLiteral("TurnKeeper-Timer einstellen");
    QTest::newRow("password change")
        << QStringLiteral("mnuPasswords") << true << QStringLiteral("Sicherheit einstellen");
    QTest::newRow("children") << QStringLiteral("mnuChildren") << true << QStringLiteral("Kinder");
}

void TestGerman::windowsReadInGerman()
{
    QFETCH(QString, command);
    QFETCH(bool, guarded);
    QFETCH(QString, title);
    MainWindowFixture main;
    QString shown;
    QString promptTitle;
    QStringList topics;
    QString topicText;
    ModalDriver driver;
    if (guarded)
        driver.then([&](QWidget *prompt) {
            promptTitle = prompt->windowTitle();
            typePassword(QStringLiteral("playfairly"))(prompt);
        });
    driver.then([&](QWidget *window) {
        shown = window->windowTitle();
        if (auto *tree = window->findChild<QTreeWidget *>(QStringLiteral("treHelp"))) {
            for (QTreeWidgetItemIterator node(tree); *node; ++node)
                topics.append((*node)->text(0));
            topicText = window->findChild<QPlainTextEdit *>()->toPlainText();
        }
        window->close();
    });
    main.trigger(qPrintable(command));
    QVERIFY(!driver.timedOut());
    QCOMPARE(shown, title);
    if (guarded)
        QCOMPARE(promptTitle, QStringLiteral("TurnKeeper-Sicherheit"));
    if (command == QLatin1String("mnuContents")) {
        QCOMPARE(topics, (QStringList{
                             QStringLiteral("Allgemeines"),
                             QStringLiteral("Der Timer"),
                             QStringLiteral("Zeit einstellen"),
                             QStringLiteral("Starten/Anhalten"),
                             QStringLiteral("Sicherheit"),
                             QStringLiteral("Passwort ändern"),
                             QStringLiteral("Über TurnKeeper"),
                         }));
        // The paragraphs are translated one by one; the line breaks stay the program's.
        QVERIFY2(topicText.startsWith(QStringLiteral("Mit TurnKeeper legen Eltern fest")),
                 qPrintable(topicText));
        QVERIFY(topicText.contains(QStringLiteral("\n\nDas Passwort ist am Anfang playfairly\n")));
    }
}

QTEST_MAIN(TestGerman)
#include "tst_german.moc"
