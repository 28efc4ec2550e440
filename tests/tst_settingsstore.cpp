// SPDX-License-Identifier: GPL-3.0-or-later
#include "logic/SettingsStore.h"
#include "support/CoreSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/resource.h>

class TestSettingsStore : public QObject
{
    Q_OBJECT
private slots:
    void fileIsNamedAfterTheExecutable();
    void missingKeyGivesTheDefault();
    void passwordsRoundTripExactly_data();
    void passwordsRoundTripExactly();
    void everyReadSeesTheFile();
    void handEditedValues_data();
    void handEditedValues();
    void writeThatCannotReachTheDiskIsReported_data();
    void writeThatCannotReachTheDiskIsReported();
    void writeCutShortIsReported();
    void textsTheFileCannotKeep_data();
    void textsTheFileCannotKeep();
    void savesLeaveNoCopies_data();
    void savesLeaveNoCopies();
};

void TestSettingsStore::fileIsNamedAfterTheExecutable()
{
    TestHome home;
    QCOMPARE(applicationName(), QStringLiteral("tst_settingsstore"));
    QCOMPARE(settingsFilePath(),
             home.configHome() + QStringLiteral("/tst_settingsstore/tst_settingsstore.conf"));

    QVERIFY(SaveSetting(Settings::section, Settings::maxTimeKey, QStringLiteral("600")));
    QCOMPARE(home.readSettingsFile(), QStringLiteral("[Settings]\nMaxTime=600\n"));

    // A service keeping several accounts' values names each one's file around its use.
    const QString account = home.dataHome() + QStringLiteral("/61.conf");
    {
        const SettingsFileScope scope(account);
        QCOMPARE(settingsFilePath(), account);
        QVERIFY(SaveSetting(Settings::section, Settings::maxTimeKey, QStringLiteral("120")));
        QCOMPARE(GetSetting(Settings::section, Settings::maxTimeKey, QString()), "120");
    }
    QCOMPARE(GetSetting(Settings::section, Settings::maxTimeKey, QString()), "600");
    QCOMPARE(home.readSettingsFile(), QStringLiteral("[Settings]\nMaxTime=600\n"));
}

void TestSettingsStore::missingKeyGivesTheDefault()
{
    TestHome home;
    QCOMPARE(GetSetting(Settings::section, Settings::passwordKey, Settings::defaultPassword),
             QStringLiteral("playfairly"));
    home.writeSettingsFile("[Settings]\nMaxTime=90\n");
    QCOMPARE(GetSetting(Settings::section, Settings::passwordKey, Settings::defaultPassword),
             QStringLiteral("playfairly"));
    QCOMPARE(GetSetting(QStringLiteral("Other"), Settings::maxTimeKey, QStringLiteral("600")),
             QStringLiteral("600"));
}

void TestSettingsStore::passwordsRoundTripExactly_data()
{
    QTest::addColumn<QString>("password");
    QTest::newRow("blanks") << QStringLiteral("  two  blanks ");
    QTest::newRow("equals, semicolon, hash") << QStringLiteral("a=b;c#d");
    QTest::newRow("comma") << QStringLiteral("a,b");
    QTest::newRow("quotes and backslashes") << QStringLiteral("\"q\" 'r' \\s\\");
    QTest::newRow("leading at") << QStringLiteral("@Variant(x)");
    QTest::newRow("non-ASCII") << QStringLiteral("Grüße, 子供 🎮");
    QTest::newRow("empty") << QString();
}

void TestSettingsStore::passwordsRoundTripExactly()
{
    QFETCH(QString, password);
    TestHome home;
    QString error;
    QVERIFY2(SaveSetting(Settings::section, Settings::passwordKey, password, &error),
             qPrintable(error));
    QCOMPARE(GetSetting(Settings::section, Settings::passwordKey, Settings::defaultPassword),
             password);
}

void TestSettingsStore::everyReadSeesTheFile()
{
    TestHome home;
    QVERIFY(SaveSetting(Settings::section, Settings::passwordKey, QStringLiteral("first")));
    QCOMPARE(GetSetting(Settings::section, Settings::passwordKey, QString()),
             QStringLiteral("first"));
    home.writeSettingsFile("[Settings]\nPassword=second\n");
    QCOMPARE(GetSetting(Settings::section, Settings::passwordKey, QString()),
             QStringLiteral("second"));
}

void TestSettingsStore::handEditedValues_data()
{
    QTest::addColumn<QByteArray>("contents");
    QTest::addColumn<QString>("password");

    QTest::newRow("unquoted comma is not an empty password")
        << QByteArray("[Settings]\nPassword=a,b\n") << QStringLiteral("a,b");
    QTest::newRow("unquoted comma keeps its blanks")
        << QByteArray("[Settings]\nPassword=a, b\n") << QStringLiteral("a, b");
    QTest::newRow("blanks around an unquoted list are dropped")
        << QByteArray("[Settings]\nPassword=  a , b  \n") << QStringLiteral("a , b");
    QTest::newRow("quoted value with a comma")
        << QByteArray("[Settings]\nPassword=\" a, b \"\n") << QStringLiteral(" a, b ");
    QTest::newRow("everything inside the outer quotes")
        << QByteArray("[Settings]\nPassword=\"a\", \"b\"\n") << QStringLiteral("a\", \"b");
    QTest::newRow("a list in another group is not this one")
        << QByteArray("[Other]\nPassword=x, y\n[Settings]\nPassword=p, q\n[Later]\nPassword=z, w\n")
        << QStringLiteral("p, q");
    QTest::newRow("broken variant gives the default")
        << QByteArray("[Settings]\nPassword=@Variant(garbage)\n") << QStringLiteral("playfairly");
    QTest::newRow("garbage lines around the value")
        << QByteArray("junk\n[Settings]\n%%%\nPassword=kept\n") << QStringLiteral("kept");
    QTest::newRow("group names are case-sensitive")
        << QByteArray("[settings]\nPassword=lower\n") << QStringLiteral("playfairly");
    QTest::newRow("empty value is an empty password")
        << QByteArray("[Settings]\nPassword=\n") << QString();
}

void TestSettingsStore::handEditedValues()
{
    QFETCH(QByteArray, contents);
    QFETCH(QString, password);
    TestHome home;
    home.writeSettingsFile(contents);
    QCOMPARE(GetSetting(Settings::section, Settings::passwordKey, Settings::defaultPassword),
             password);
}

void TestSettingsStore::writeThatCannotReachTheDiskIsReported_data()
{
    QTest::addColumn<QString>("blocker");
    // Root ignores file permissions, so the store is blocked by putting the wrong
    // kind of thing where a folder or the file should be.
    QTest::newRow("file where the config folder should be") << QStringLiteral("config");
    QTest::newRow("file where the program's folder should be") << QStringLiteral("folder");
    QTest::newRow("folder where the file should be") << QStringLiteral("file");
}

void TestSettingsStore::writeThatCannotReachTheDiskIsReported()
{
    QFETCH(QString, blocker);
    TestHome home;
    const QString file = settingsFilePath();
    const QString folder = QFileInfo(file).absolutePath();
    QString blocked = file;
    if (blocker == QLatin1String("config")) {
        const QString config = home.configHome() + QStringLiteral("/plain");
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(config));
        blocked = config;
    } else if (blocker == QLatin1String("folder")) {
        blocked = folder;
    }
    if (blocker == QLatin1String("file")) {
        QVERIFY(QDir().mkpath(file));
    } else {
        QFile plain(blocked);
        QVERIFY(plain.open(QIODevice::WriteOnly));
    }

    QString error;
    QVERIFY(!SaveSetting(Settings::section, Settings::passwordKey, QStringLiteral("new"), &error));
    QVERIFY2(error.contains(QStringLiteral("Password")), qPrintable(error));
    QCOMPARE(GetSetting(Settings::section, Settings::passwordKey, Settings::defaultPassword),
             QStringLiteral("playfairly"));
}

void TestSettingsStore::writeCutShortIsReported()
{
    TestHome home;
    QVERIFY(SaveSetting(Settings::section, Settings::passwordKey, QStringLiteral("old")));

    // A file-size limit cuts the write short as a full disk would.
    const QString longPassword(200000, QLatin1Char('x'));
    struct rlimit previous = {};
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &previous), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit limited = previous;
    limited.rlim_cur = 4096;
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &limited), 0);
    QString error;
    const bool saved = SaveSetting(Settings::section, Settings::passwordKey, longPassword, &error);
    setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, previousHandler);

    QVERIFY(!saved);
    QVERIFY(!error.isEmpty());
    QCOMPARE(GetSetting(Settings::section, Settings::passwordKey, Settings::defaultPassword),
             QStringLiteral("old"));
}

void TestSettingsStore::textsTheFileCannotKeep_data()
{
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("reason"); // empty: stored exactly
    QTest::newRow("leading U+FEFF")
        << QString(QChar(0xFEFF)) + QStringLiteral("pw") << QStringLiteral("U+FEFF");
    QTest::newRow("lone surrogate") << QStringLiteral("p") + QChar(0xD800) + QStringLiteral("w")
                                    << QStringLiteral("broken character");
    QTest::newRow("U+FEFF inside is kept")
        << QStringLiteral("p") + QChar(0xFEFF) + QStringLiteral("w") << QString();
    QTest::newRow("a whole surrogate pair is kept") << QStringLiteral("p🎮w") << QString();
}

// Such a text is refused for what it is, not as a full disk, and the old one stays.
void TestSettingsStore::textsTheFileCannotKeep()
{
    QFETCH(QString, password);
    QFETCH(QString, reason);
    TestHome home;
    QVERIFY(SaveSetting(Settings::section, Settings::passwordKey, QStringLiteral("old")));

    QString error;
    const bool saved = SaveSetting(Settings::section, Settings::passwordKey, password, &error);
    QCOMPARE(saved, reason.isEmpty());
    QCOMPARE(GetSetting(Settings::section, Settings::passwordKey, QString()),
             reason.isEmpty() ? password : QStringLiteral("old"));
    QVERIFY2(error.contains(reason) && !error.contains(QLatin1String("disk")), qPrintable(error));
}

void TestSettingsStore::savesLeaveNoCopies_data()
{
    QTest::addColumn<QStringList>("leftBehind"); // by saves that were cut short
    QTest::newRow("nothing") << QStringList();
    QTest::newRow("a copy and its lock")
        << QStringList{QStringLiteral("AbC12z"), QStringLiteral("AbC12z.lock")};
    QTest::newRow("several copies")
        << QStringList{QStringLiteral("x1y2z3"), QStringLiteral("QWERTY")};
}

// The password is written nowhere but in the settings folder, and what a save killed
// half-way left there goes at the next save.
void TestSettingsStore::savesLeaveNoCopies()
{
    QFETCH(QStringList, leftBehind);
    TestHome home;
    QTemporaryDir temporaryFolder;
    const QByteArray previousTemporary = qgetenv("TMPDIR");
    qputenv("TMPDIR", QFile::encodeName(temporaryFolder.path()));
    home.writeSettingsFile("[Settings]\nMaxTime=90\n");
    const QString file = settingsFilePath();
    for (const QString &suffix : leftBehind)
        home.writeFile(file + QLatin1Char('.') + suffix, "Password=secret\n");
    const QString unrelated = file + QStringLiteral(".keep");
    home.writeFile(unrelated, "mine\n");

    const bool saved =
        SaveSetting(Settings::section, Settings::passwordKey, QStringLiteral("secret"));
    qputenv("TMPDIR", previousTemporary);

    QVERIFY(saved);
    const QString name = QFileInfo(file).fileName();
    QCOMPARE(QFileInfo(file).dir().entryList(QDir::Files | QDir::Hidden),
             QStringList({name, name + QStringLiteral(".keep")}));
    QCOMPARE(QDir(temporaryFolder.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
             QStringList());
}

QTEST_GUILESS_MAIN(TestSettingsStore)
#include "tst_settingsstore.moc"
