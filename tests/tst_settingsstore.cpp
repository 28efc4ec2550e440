// SPDX-License-Identifier: GPL-3.0-or-later
#include "logic/SettingsStore.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
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
};

void TestSettingsStore::fileIsNamedAfterTheExecutable()
{
    TestHome home;
    QCOMPARE(applicationName(), QStringLiteral("tst_settingsstore"));
    QCOMPARE(settingsFilePath(),
             home.configHome() + QStringLiteral("/tst_settingsstore/tst_settingsstore.conf"));

    QVERIFY(SaveSetting(Settings::section, Settings::maxTimeKey, QStringLiteral("600")));
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

QTEST_GUILESS_MAIN(TestSettingsStore)
#include "tst_settingsstore.moc"
