// SPDX-License-Identifier: GPL-3.0-or-later
// The program as a family with LANG=de_DE.UTF-8 meets it (CTest sets no other locale
// variable): the catalogue is chosen from the system locale as main.cpp chooses it.
#include "app/Translations.h"
#include "app/frmMain.h"
#include "support/TestSupport.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

class TestGerman : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void menusReadInGerman();
    void timesUpReadsInGerman();
    void startThenStopWithThePassword();
    void helpReadsInGerman();

private:
    std::unique_ptr<Translations> m_translations;
};

void TestGerman::initTestCase()
{
    // LANG reaches Qt also where the C library has no German locale generated.
    QCOMPARE(QLocale::system().name(), QStringLiteral("de_DE"));
    m_translations = std::make_unique<Translations>();
    QCOMPARE(m_translations->language(), QStringLiteral("de"));
}

void TestGerman::menusReadInGerman()
{
    MainWindowFixture main;
    QStringList captions;
    for (const char *name : {"mnuParents", "mnuTimer", "mnuHelp"}) {
        const auto *menu = main.window->findChild<QMenu *>(QString::fromLatin1(name));
        captions.append(menu->title());
        for (const QAction *entry : menu->actions()) {
            if (!entry->isSeparator())
                captions.append(entry->text());
        }
    }
    QCOMPARE(captions,
             QString::fromUtf8("&Eltern|&Sicherheit|&Kinder...|&Runden...|&Beenden|&Timer|"
                               "&Zeit einstellen|Timer &starten|&Hilfe|&Inhalt|Ü&ber")
                 .split(QLatin1Char('|')));
}

void TestGerman::timesUpReadsInGerman()
{
    MainWindowFixture main("[Settings]\nMaxTime=60\n[Children]\nNames=Ann, Ben\n");
    QCOMPARE(main.label->text(), QStringLiteral("Timer bereit!"));
    main.runToAlarm();
    QCOMPARE(main.label->text(), QStringLiteral("Die Zeit ist um!"));
    QCOMPARE(main.recorder.notifications,
             QStringList{QStringLiteral("Die Zeit ist um!\nAls Nächstes: Ben")});
}

// The Start and Stop entry tells what it does by its caption: in German too.
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
    QCOMPARE(driver.seen(), QStringList{QStringLiteral("frmLogin")});
    QVERIFY(!main.timer->isActive());
    QCOMPARE(main.label->text(), QStringLiteral("Timer bereit!"));
    QCOMPARE(main.stopStart->text(), QStringLiteral("Timer &starten"));
    main.stopStart->trigger();
    QVERIFY(main.timer->isActive());
}

// The tree's nodes come from a table of texts marked for translation.
void TestGerman::helpReadsInGerman()
{
    MainWindowFixture main;
    QStringList texts;
    QVERIFY(main.open("mnuContents", [&](QWidget *help) {
        texts.append(help->windowTitle());
        for (QTreeWidgetItemIterator node(help->findChild<QTreeWidget *>()); *node; ++node)
            texts.append((*node)->text(0));
        texts.append(
            help->findChild<QPlainTextEdit *>()->toPlainText().section(QLatin1Char('\n'), 0, 2));
        help->close();
    }));
    QCOMPARE(texts, QString::fromUtf8("TurnKeeper-Hilfe|Allgemeines|Der Timer|Zeit einstellen|"
                                      "Starten/Anhalten|Sicherheit|Passwort ändern|Über TurnKeeper|"
                                      "Mit TurnKeeper legen Eltern fest, wie lange ihre Kinder am "
                                      "Computer sitzen. Alle Einstellungen sind mit einem Passwort "
                                      "geschützt.\n\nDas Passwort ist am Anfang playfairly")
                        .split(QLatin1Char('|')));
}

QTEST_MAIN(TestGerman)
#include "tst_german.moc"
