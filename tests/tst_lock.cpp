// SPDX-License-Identifier: GPL-3.0-or-later
#include "logic/PasswordHash.h"
#include "logic/SettingsStore.h"
#include "logic/SystemLock.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QProcess>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <QTest>

#include <unistd.h>

namespace {

// Made apart from the program: Python's hashlib.pbkdf2_hmac("sha256", the password in
// UTF-8, the bytes 0x10 to 0x1f, 200000, 32).
const QString vectorPassword = QStringLiteral("Kätzchen im Schnee");
const QString vector = QStringLiteral("pbkdf2-sha256$200000$EBESExQVFhcYGRobHB0eHw==$"
                                      "Qb5oB+eY4fQ4o0+/cs1mIf7S3aZef7S3DIO6vDlINIU=");
const QString name = QStringLiteral("TurnKeeper");

QString withField(int index, const QString &value)
{
    QStringList fields = vector.split(QLatin1Char('$'));
    fields[index] = value;
    return fields.join(QLatin1Char('$'));
}

SystemLock readLockIn(const QString &folders)
{
    qputenv("XDG_CONFIG_DIRS", QFile::encodeName(folders));
    const SystemLock lock = SystemLock::read(name, SystemLock::Reporting::Quiet);
    qunsetenv("XDG_CONFIG_DIRS");
    return lock;
}

struct Run
{
    int exitCode = -1; // -1: crashed or did not end
    QString out;
    QString err;
};

// Runs command with XDG_CONFIG_DIRS set to folder and input on its standard input.
Run run(const QString &folder, QStringList command, const QByteArray &input = "pw\n")
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_CONFIG_DIRS"), folder);
    process.setProcessEnvironment(environment);
    process.start(command.takeFirst(), command);
    process.write(input);
    process.closeWriteChannel();
    Run result;
    if (process.waitForFinished(120000) && process.exitStatus() == QProcess::NormalExit)
        result.exitCode = process.exitCode();
    result.out = QString::fromLocal8Bit(process.readAllStandardOutput());
    result.err = QString::fromLocal8Bit(process.readAllStandardError());
    return result;
}

Run tool(const QString &folder, const QStringList &arguments, const QByteArray &input = "pw\n")
{
    return run(folder, QStringList{QStringLiteral(TURNKEEPER_LOCK_TOOL)} + arguments, input);
}

} // namespace

class TestLock : public QObject
{
    Q_OBJECT
private slots:
    void hashes_data();
    void hashes();
    void madeHashesAreSalted();
    void precedence_data();
    void precedence();
    void brokenOrWritableLockIsReportedOnce();
    void toolSetsReportsAndRemovesTheLock();
    void toolLengthBounds_data();
    void toolLengthBounds();
    void toolRefusesAUserWhoCannotWrite();
};

void TestLock::hashes_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("password");
    QTest::addColumn<bool>("parses");
    QTest::addColumn<bool>("accepted");
    const QString hash = vector.section(QLatin1Char('$'), 3);
    const auto damaged = [&](const char *row, const QString &text) {
        QTest::newRow(row) << text << vectorPassword << false << false;
    };
    QTest::newRow("right") << vector << vectorPassword << true << true;
    QTest::newRow("one letter's case") << vector << "Kätzchen im schnee" << true << false;
    QTest::newRow("UTF-8, not Latin-1") << vector << "Katzchen im Schnee" << true << false;
    damaged("empty", QString());
    damaged("other scheme", withField(0, QStringLiteral("pbkdf2-sha1")));
    damaged("fewer iterations", withField(1, QStringLiteral("199999")));
    damaged("iterations with a leading zero", withField(1, QStringLiteral("0200000")));
    damaged("too many iterations", withField(1, QStringLiteral("10000001")));
    damaged("salt of 15 bytes", withField(2, QStringLiteral("AAAAAAAAAAAAAAAAAAAA")));
    damaged("hash without padding", withField(3, hash.chopped(1)));
    damaged("hash in the URL alphabet", withField(3, QString(hash).replace('+', '-')));
    damaged("a field missing", vector.section(QLatin1Char('$'), 0, 2));
    damaged("a field more", vector + QStringLiteral("$AAAA"));
}

void TestLock::hashes()
{
    QFETCH(QString, text);
    QFETCH(QString, password);
    QFETCH(bool, parses);
    QFETCH(bool, accepted);
    const std::optional<PasswordHash::Parts> parts = PasswordHash::parse(text);
    QCOMPARE(parts.has_value(), parses);
    if (parts)
        QCOMPARE(PasswordHash::format(*parts), text);
    QCOMPARE(PasswordHash::verify(password, text), accepted);
}

void TestLock::madeHashesAreSalted()
{
    const QString made = PasswordHash::make(QStringLiteral("n3w parent"));
    QVERIFY(made != PasswordHash::make(QStringLiteral("n3w parent")));
    QCOMPARE(PasswordHash::parse(made)->iterations, 200000);
    QCOMPARE(PasswordHash::parse(made)->salt.size(), 16);
    QVERIFY(PasswordHash::verify(QStringLiteral("n3w parent"), made));
}

void TestLock::precedence_data()
{
    QTest::addColumn<QByteArray>("first");  // the first folder's file; null: none
    QTest::addColumn<QByteArray>("second"); // the second folder's
    QTest::addColumn<int>("foundIn");       // 0: no file found
    QTest::addColumn<bool>("locked");
    QTest::addColumn<bool>("opens");  // whether the vector's password opens it
    QTest::addColumn<int>("maxTime"); // -1: the user's length applies

    const QByteArray lock = "[Settings]\nLocked=true\nPasswordHash=" + vector.toUtf8() + "\n";
    const QByteArray broken = "[Settings]\nLocked=true\nPasswordHash=" +
                              withField(1, QStringLiteral("0200000")).toUtf8() + "\n";
    const QByteArray no;
    QTest::newRow("no file") << no << no << 0 << false << false << -1;
    QTest::newRow("hash and length") << lock + "MaxTime=300" << no << 1 << true << true << 300;
    QTest::newRow("hash only") << lock << no << 1 << true << true << -1;
    QTest::newRow("no hash") << QByteArray("[Settings]\nLocked=true\nMaxTime=300") << no << 1
                             << true << false << 300;
    QTest::newRow("broken hash") << broken + "MaxTime=300" << no << 1 << true << false << 300;
    QTest::newRow("Locked=false") << QByteArray(lock).replace("true", "false") + "MaxTime=300" << no
                                  << 1 << false << false << -1;
    QTest::newRow("no Locked key")
        << QByteArray(lock).replace("Locked=true\n", "") << no << 1 << false << false << -1;
    QTest::newRow("mistyped yes") << QByteArray(lock).replace("true", "yes") << no << 1 << true
                                  << true << -1;
    QTest::newRow("one minute") << lock + "MaxTime=60" << no << 1 << true << true << 60;
    QTest::newRow("under a minute") << lock + "MaxTime=59" << no << 1 << true << true << -1;
    QTest::newRow("over 3600 minutes") << lock + "MaxTime=216001" << no << 1 << true << true << -1;
    QTest::newRow("length not a number") << lock + "MaxTime=ten" << no << 1 << true << true << -1;
    QTest::newRow("later folder") << no << lock << 2 << true << true << -1;
    QTest::newRow("first folder wins")
        << lock + "MaxTime=120" << lock + "MaxTime=300" << 1 << true << true << 120;
    QTest::newRow("unlocked first file hides a lock")
        << QByteArray("[Settings]\nLocked=false") << lock << 1 << false << false << -1;
}

void TestLock::precedence()
{
    QFETCH(QByteArray, first);
    QFETCH(QByteArray, second);
    QFETCH(int, foundIn);
    QFETCH(bool, locked);
    QFETCH(bool, opens);
    QFETCH(int, maxTime);
    QTemporaryDir folders[2];
    const QByteArray files[2] = {first, second};
    for (int i = 0; i < 2; ++i) {
        QDir().mkpath(folders[i].filePath(name));
        QFile file(SystemLock::fileIn(folders[i].path(), name));
        QVERIFY(files[i].isNull() || (file.open(QIODevice::WriteOnly) && file.write(files[i])));
    }
    // A relative entry is no folder at all.
    const SystemLock lock =
        readLockIn(QStringLiteral("relative:%1:%2").arg(folders[0].path(), folders[1].path()));

    QCOMPARE(lock.file(), foundIn ? SystemLock::fileIn(folders[foundIn - 1].path(), name) : "");
    QCOMPARE(lock.isLocked(), locked);
    QCOMPARE(lock.acceptsPassword(vectorPassword), opens);
    QCOMPARE(lock.maxTime().value_or(-1), maxTime);
    // A lock that no password opens says why.
    QCOMPARE(lock.problem().isEmpty(), !locked || opens);
}

void TestLock::brokenOrWritableLockIsReportedOnce()
{
    TestHome home;
    home.writeSystemLock("[Settings]\nLocked=true\nPasswordHash=pbkdf2-sha256$1$2$3\n");
    QTemporaryFile capture;
    QVERIFY(capture.open());
    const int saved = ::dup(STDERR_FILENO);
    ::dup2(capture.handle(), STDERR_FILENO);
    for (int i = 0; i < 3; ++i)
        SystemLock::read(applicationName());
    ::dup2(saved, STDERR_FILENO);
    ::close(saved);
    capture.seek(0);

    const QStringList lines =
        QString::fromLocal8Bit(capture.readAll()).split('\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 2);
    QCOMPARE(lines.filter(QStringLiteral("missing or damaged")).size(), 1);
    // This user made the file, so it can change it.
    QCOMPARE(lines.filter(QStringLiteral("can be changed by this user")).size(), 1);
    QCOMPARE(lines.filter(home.systemLockFile()).size(), 2);
}

void TestLock::toolSetsReportsAndRemovesTheLock()
{
    QTemporaryDir system;
    const QString file = SystemLock::fileIn(system.path(), name);
    const Run set =
        tool(system.path(), {QStringLiteral("--length"), QStringLiteral("10")}, "n3w parent\n");
    QCOMPARE(set.exitCode, 0);
    QVERIFY2(set.out.contains(file), qPrintable(set.out));
    QCOMPARE(QFileInfo(file).permissions() & 0x7777, QFile::ReadOwner | QFile::WriteOwner |
                                                         QFile::ReadUser | QFile::WriteUser |
                                                         QFile::ReadGroup | QFile::ReadOther);
    // No temporary copy is left beside it.
    QCOMPARE(QDir(system.filePath(name)).entryList(QDir::Files | QDir::Hidden).size(), 1);
    const SystemLock lock = readLockIn(system.path());
    QVERIFY(lock.acceptsPassword(QStringLiteral("n3w parent")));
    QCOMPARE(lock.maxTime().value_or(-1), 600);

    const Run status = tool(system.path(), {QStringLiteral("--status")});
    QCOMPARE(status.exitCode, 0);
    QVERIFY2(status.out.contains(QStringLiteral("in force from ") + file), qPrintable(status.out));
    QVERIFY2(status.out.contains(QStringLiteral("10 minutes")), qPrintable(status.out));
    const QString hash =
        QSettings(file, QSettings::IniFormat).value("Settings/PasswordHash").toString();
    QVERIFY(!(status.out + status.err).contains(hash.section(QLatin1Char('$'), 3)));

    QCOMPARE(tool(system.path(), {QStringLiteral("--off")}).exitCode, 0);
    QVERIFY(!QFile::exists(file));
    const Run after = tool(system.path(), {QStringLiteral("--status")});
    QVERIFY2(after.out.startsWith(QStringLiteral("No lock is in force")), qPrintable(after.out));
}

void TestLock::toolLengthBounds_data()
{
    QTest::addColumn<QString>("minutes");
    QTest::addColumn<int>("seconds"); // -1: refused
    QTest::newRow("1") << QStringLiteral("1") << 60;
    QTest::newRow("3600") << QStringLiteral("3600") << 216000;
    QTest::newRow("1.5") << QStringLiteral("1.5") << 90;
    QTest::newRow("half a minute") << QStringLiteral("0.5") << -1;
    QTest::newRow("3601") << QStringLiteral("3601") << -1;
    QTest::newRow("not a number") << QStringLiteral("ten") << -1;
}

void TestLock::toolLengthBounds()
{
    QFETCH(QString, minutes);
    QFETCH(int, seconds);
    QTemporaryDir system;
    QCOMPARE(tool(system.path(), {QStringLiteral("--length"), minutes}).exitCode == 0, seconds > 0);
    const SystemLock lock = readLockIn(system.path());
    QCOMPARE(lock.isLocked(), seconds > 0);
    QCOMPARE(lock.maxTime().value_or(-1), seconds);
}

void TestLock::toolRefusesAUserWhoCannotWrite()
{
    // Root can write anything, so root runs the tool as nobody, from a copy in a
    // folder that nobody can enter.
    QTemporaryDir system;
    QTemporaryDir bin;
    const QFile::Permissions readOnly = QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup |
                                        QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther;
    QVERIFY(QFile::setPermissions(system.path(), readOnly));
    QStringList command = {QStringLiteral(TURNKEEPER_LOCK_TOOL)};
    if (::geteuid() == 0) {
        const QString runuser = QStandardPaths::findExecutable(QStringLiteral("runuser"));
        if (runuser.isEmpty())
            QSKIP("running as root without runuser: no user to run the tool as");
        const QString copy = bin.filePath(QStringLiteral("turnkeeper-lock"));
        QVERIFY(QFile::copy(command.first(), copy));
        QVERIFY(QFile::setPermissions(bin.path(), readOnly));
        command = QStringList{runuser, QStringLiteral("-u"), QStringLiteral("nobody"),
                              QStringLiteral("--"), copy};
    }
    const Run set = run(system.path(), command);
    QVERIFY2(set.exitCode > 0, qPrintable(set.err));
    QVERIFY2(set.err.contains(QStringLiteral("sudo")), qPrintable(set.err));
    QVERIFY(!QFile::exists(SystemLock::fileIn(system.path(), name)));
}

QTEST_GUILESS_MAIN(TestLock)
#include "tst_lock.moc"
