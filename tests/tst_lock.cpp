// SPDX-License-Identifier: GPL-3.0-or-later
#include "logic/PasswordHash.h"
#include "logic/SettingsStore.h"
#include "logic/SystemLock.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QProcess>
#include <QScopeGuard>
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

const QFile::Permissions readOnly = QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup |
                                    QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther;

QString withField(int index, const QString &value)
{
    QStringList fields = vector.split(QLatin1Char('$'));
    fields[index] = value;
    return fields.join(QLatin1Char('$'));
}

// Runs command, by default turnkeeper-lock, with arguments and input, by default the
// password "pw"; it inherits XDG_CONFIG_DIRS from the test's home. The exit status (-1
// when it crashed or hung) and all it wrote.
std::pair<int, QString> run(const QStringList &arguments,
                            QStringList command = {TURNKEEPER_LOCK_TOOL},
                            const QByteArray &input = "pw\n")
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    const QString program = command.takeFirst();
    process.start(program, command + arguments);
    process.write(input);
    process.closeWriteChannel();
    const bool ended =
        process.waitForFinished(120000) && process.exitStatus() == QProcess::NormalExit;
    return {ended ? process.exitCode() : -1, QString::fromLocal8Bit(process.readAll())};
}

// turnkeeper-lock as run by a user without root's rights: as root, a copy in bin run as
// nobody (the build may lie in a folder that nobody can enter); else the tool itself.
// Empty when root has no runuser.
QStringList toolWithoutRights(const QTemporaryDir &bin)
{
    if (::geteuid() != 0)
        return {TURNKEEPER_LOCK_TOOL};
    const QString runuser = QStandardPaths::findExecutable(QStringLiteral("runuser"));
    const QStringList command = {runuser, "-u", "nobody", "--", bin.filePath("turnkeeper-lock")};
    if (runuser.isEmpty() || !QFile::copy(TURNKEEPER_LOCK_TOOL, command.last()) ||
        !QFile::setPermissions(bin.path(), readOnly))
        return {};
    return command;
}

SystemLock installedLock()
{
    return SystemLock::read(SystemLock::Reporting::Quiet);
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
    void toolRefusesAUserWhoCannotWrite();
    void unreadableLockAcceptsNoPassword_data();
    void unreadableLockAcceptsNoPassword();
    void hashApart_data();
    void hashApart();
    void toolKeepsTheHashApartForTheGuard();
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
    damaged("fewer iterations", withField(1, QStringLiteral("199999")));
    damaged("iterations with a leading zero", withField(1, QStringLiteral("0200000")));
    damaged("salt of 15 bytes", withField(2, QStringLiteral("AAAAAAAAAAAAAAAAAAAA")));
    damaged("hash without padding", withField(3, hash.chopped(1)));
    damaged("hash in the URL alphabet", withField(3, QString(hash).replace('+', '-')));
    damaged("a field missing", vector.section(QLatin1Char('$'), 0, 2));
    damaged("a field too many", vector + QStringLiteral("$AAAA"));
    // Well formed, but one bit away from the password's digest: every byte is compared.
    const auto oneBitOff = [&](int index) {
        QByteArray digest = QByteArray::fromBase64(hash.toLatin1());
        digest[index] = char(digest.at(index) ^ 1);
        return withField(3, QString::fromLatin1(digest.toBase64()));
    };
    QTest::newRow("digest's first byte off") << oneBitOff(0) << vectorPassword << true << false;
    QTest::newRow("digest's last byte off") << oneBitOff(31) << vectorPassword << true << false;
}

void TestLock::hashes()
{
    QFETCH(QString, text);
    QFETCH(QString, password);
    QFETCH(bool, parses);
    QFETCH(bool, accepted);
    const std::optional<PasswordHash::Parts> parts = PasswordHash::parse(text);
    QCOMPARE(parts ? PasswordHash::format(*parts) : QString(), parses ? text : QString());
    QCOMPARE(PasswordHash::verify(password, text), accepted);
}

void TestLock::madeHashesAreSalted()
{
    const QString made = PasswordHash::make(vectorPassword);
    QVERIFY(PasswordHash::verify(vectorPassword, made));
    QVERIFY2(made.startsWith(QStringLiteral("pbkdf2-sha256$200000$")), qPrintable(made));
    // Every byte of the salt is random: none is the same in five salts (by chance, one
    // time in 2^28).
    QList<QByteArray> salts = {PasswordHash::parse(made).value_or(PasswordHash::Parts()).salt};
    for (int i = 1; i < 5; ++i)
        salts.append(PasswordHash::parse(PasswordHash::make(vectorPassword))
                         .value_or(PasswordHash::Parts())
                         .salt);
    for (int byte = 0; byte < PasswordHash::SaltBytes; ++byte) {
        int same = 0;
        for (const QByteArray &salt : std::as_const(salts))
            same += salt.size() == PasswordHash::SaltBytes && salt[byte] == salts.first()[byte];
        QVERIFY2(same < salts.size(), qPrintable(QStringLiteral("salt byte %1").arg(byte)));
    }
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
    const QByteArray no;
    QTest::newRow("no file") << no << no << 0 << false << false << -1;
    QTest::newRow("hash and length") << lock + "MaxTime=300" << no << 1 << true << true << 300;
    QTest::newRow("no hash") << QByteArray("[Settings]\nLocked=true\nMaxTime=300") << no << 1
                             << true << false << 300;
    QTest::newRow("broken hash") << QByteArray(lock).replace("$200000$", "$0200000$") << no << 1
                                 << true << false << -1;
    QTest::newRow("Locked=false") << QByteArray(lock).replace("true", "false") + "MaxTime=300" << no
                                  << 1 << false << false << -1;
    QTest::newRow("no Locked key")
        << QByteArray(lock).replace("Locked=true\n", "") << no << 1 << false << false << -1;
    QTest::newRow("Locked=1") << QByteArray(lock).replace("true", "1") << no << 1 << true << true
                              << -1;
    QTest::newRow("Locked=FALSE") << QByteArray(lock).replace("true", "FALSE") << no << 1 << false
                                  << false << -1;
    QTest::newRow("Locked=0") << QByteArray(lock).replace("true", "0") << no << 1 << false << false
                              << -1;
    QTest::newRow("mistyped yes") << QByteArray(lock).replace("true", "yes") << no << 1 << true
                                  << true << -1;
    QTest::newRow("one minute") << lock + "MaxTime=60" << no << 1 << true << true << 60;
    QTest::newRow("under a minute") << lock + "MaxTime=59" << no << 1 << true << true << -1;
    QTest::newRow("over 3600 minutes") << lock + "MaxTime=216001" << no << 1 << true << true << -1;
    QTest::newRow("later folder") << no << lock << 2 << true << true << -1;
    QTest::newRow("first folder wins")
        << lock + "MaxTime=120" << lock + "MaxTime=300" << 1 << true << true << 120;
    QTest::newRow("an unlocked first file takes no lock away")
        << QByteArray("[Settings]\nLocked=false") << lock << 2 << true << true << -1;
}

void TestLock::precedence()
{
    QFETCH(QByteArray, first);
    QFETCH(QByteArray, second);
    QFETCH(int, foundIn);
    QFETCH(bool, locked);
    QFETCH(bool, opens);
    QFETCH(int, maxTime);
    TestHome home; // puts XDG_CONFIG_DIRS back at the end
    QTemporaryDir folders[2];
    const QByteArray files[2] = {first, second};
    QStringList paths = {QStringLiteral("relative")}; // no folder at all
    for (int i = 0; i < 2; ++i) {
        paths.append(SystemLock::fileIn(folders[i].path()));
        QDir().mkpath(QFileInfo(paths.last()).path());
        QFile file(paths.last());
        QVERIFY(files[i].isNull() || (file.open(QIODevice::WriteOnly) && file.write(files[i])));
    }
    qputenv("XDG_CONFIG_DIRS",
            QFile::encodeName("relative:" + folders[0].path() + ':' + folders[1].path()));
    const SystemLock lock = installedLock();
    QCOMPARE(lock.file(), foundIn ? paths[foundIn] : QString());
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
        SystemLock::read();
    ::dup2(saved, STDERR_FILENO);
    ::close(saved);
    capture.seek(0);

    const QStringList lines =
        QString::fromLocal8Bit(capture.readAll()).split('\n', Qt::SkipEmptyParts);
    // Once that no password opens it, once that this user, who made it, can change it.
    QCOMPARE(lines.filter(home.systemLockFile()).size(), 2);
    QCOMPARE(lines.filter(QStringLiteral("missing or damaged")).size(), 1);
    QCOMPARE(lines.filter(QStringLiteral("can be changed by this user")).size(), 1);
}

void TestLock::toolSetsReportsAndRemovesTheLock()
{
    TestHome home;
    const QString file = SystemLock::fileIn(home.systemConfigDir());
    // Refused, with nothing written: lengths out of bounds, no password, two actions.
    const QList<std::pair<QStringList, QByteArray>> refused = {
        {{"--length", "0.5"}, "pw\n"},
        {{"--length", "3601"}, "pw\n"},
        {{"--length", "ten"}, "pw\n"},
        {{}, "\n"},
        {{"--length", "5"}, ""},
        {{"--off", "--length", "5"}, "pw\n"},
        {{"--status", "--length", "5"}, "pw\n"}};
    for (const auto &[arguments, input] : refused) {
        const auto [status, output] = run(arguments, {TURNKEEPER_LOCK_TOOL}, input);
        QVERIFY2(status > 0, qPrintable(arguments.join(' ') + QStringLiteral(": ") + output));
    }
    QVERIFY(!QFile::exists(file));

    const auto [status, output] = run({QStringLiteral("--length"), QStringLiteral("1.5")});
    QCOMPARE(status, 0);
    QVERIFY2(output.contains(file), qPrintable(output));
    QCOMPARE(QFileInfo(file).permissions() & 0x7777, QFile::ReadOwner | QFile::WriteOwner |
                                                         QFile::ReadUser | QFile::WriteUser |
                                                         QFile::ReadGroup | QFile::ReadOther);
    // The lock the program reads keeps its hash inside; no temporary copy is left.
    QCOMPARE(QDir(QFileInfo(file).path()).entryList(QDir::Files | QDir::Hidden),
             QStringList(QFileInfo(file).fileName()));
    QVERIFY(installedLock().acceptsPassword(QStringLiteral("pw")));
    QCOMPARE(installedLock().maxTime().value_or(-1), 90);

    const QString report = run({QStringLiteral("--status")}).second;
    QVERIFY2(report.contains("in force from " + file + ": the password and a turn of 1.5 "),
             qPrintable(report));
    const QString hash =
        QSettings(file, QSettings::IniFormat).value("Settings/PasswordHash").toString();
    QVERIFY(PasswordHash::parse(hash.trimmed()));
    QVERIFY(!report.contains(hash.section(QLatin1Char('$'), 3)));

    QCOMPARE(run({QStringLiteral("--off")}).first, 0);
    QVERIFY(!QFile::exists(file));
    QVERIFY(run({QStringLiteral("--status")}).second.startsWith("No lock is in force"));
}

void TestLock::toolRefusesAUserWhoCannotWrite()
{
    // Root can write anything, so root runs the tool as nobody, from a copy in a
    // folder that nobody can enter.
    TestHome home;
    QTemporaryDir bin;
    QVERIFY(QFile::setPermissions(home.systemConfigDir(), readOnly));
    const QStringList command = toolWithoutRights(bin);
    if (command.isEmpty())
        QSKIP("running as root without runuser: no user to run the tool as");
    const auto [status, output] = run({}, command);
    QVERIFY2(status > 0 && output.contains(QStringLiteral("sudo")), qPrintable(output));
    QVERIFY(QDir(home.systemConfigDir()).isEmpty());
}

void TestLock::unreadableLockAcceptsNoPassword_data()
{
    QTest::addColumn<bool>("folderClosed"); // else the file itself is closed to the user
    QTest::newRow("the file") << false;
    QTest::newRow("its folder") << true;
}

// A lock that the user cannot read is in force all the same, and no password opens it:
// said by the tool's report, which reads the lock as the program does.
void TestLock::unreadableLockAcceptsNoPassword()
{
    QFETCH(bool, folderClosed);
    TestHome home;
    QTemporaryDir bin;
    const QString file = SystemLock::fileIn(home.systemConfigDir());
    home.writeFile(file, SystemLock::contents(vector, std::nullopt));
    const QString closed = folderClosed ? QFileInfo(file).path() : file;
    QVERIFY(QFile::setPermissions(home.systemConfigDir(), readOnly));
    QVERIFY(QFile::setPermissions(closed, QFile::Permissions()));
    // Open again for the folder's removal.
    const auto reopen = qScopeGuard([&] { QFile::setPermissions(closed, readOnly); });
    const QStringList command = toolWithoutRights(bin);
    if (command.isEmpty())
        QSKIP("running as root without runuser: no user to run the tool as");

    const auto [status, output] = run({QStringLiteral("--status")}, command);
    QCOMPARE(status, 0);
    QVERIFY2(output.contains("A lock is in force from " + file) &&
                 output.contains(file + " cannot be read, so no password opens the lock"),
             qPrintable(output));
}

void TestLock::hashApart_data()
{
    QTest::addColumn<QByteArray>("lock");
    QTest::addColumn<QByteArray>("hashFile"); // null: none beside the lock
    QTest::addColumn<bool>("opens");          // whether the vector's password opens it
    QTest::addColumn<int>("breakSeconds");    // -1: none
    QTest::addColumn<bool>("logout");

    const QByteArray bare = "[Settings]\nLocked=true\n";
    const QByteArray hash = vector.toUtf8() + "\n";
    const QByteArray other = PasswordHash::make(QStringLiteral("other")).toUtf8();
    const QByteArray no;
    QTest::newRow("hash beside") << bare << hash << true << -1 << false;
    QTest::newRow("no hash anywhere") << bare << no << false << -1 << false;
    QTest::newRow("damaged hash beside")
        << bare << QByteArray("pbkdf2-sha256$1$2$3") << false << -1 << false;
    QTest::newRow("hash inside wins")
        << bare + "PasswordHash=" + vector.toUtf8() << other << true << -1 << false;
    QTest::newRow("break and logout")
        << bare + "Break=15\nUnseen=Logout" << hash << true << 900 << true;
    QTest::newRow("break of a day") << bare + "Break=1440" << hash << true << 86400 << false;
    QTest::newRow("break too long") << bare + "Break=1441" << hash << true << -1 << false;
    QTest::newRow("break in parts")
        << bare + "Break=1.5\nUnseen=lock" << hash << true << -1 << false;
}

void TestLock::hashApart()
{
    QFETCH(QByteArray, lock);
    QFETCH(QByteArray, hashFile);
    QFETCH(bool, opens);
    QFETCH(int, breakSeconds);
    QFETCH(bool, logout);
    TestHome home;
    home.writeSystemLock(lock);
    if (!hashFile.isNull())
        home.writeFile(SystemLock::hashFileFor(home.systemLockFile()), hashFile);
    const SystemLock read =
        SystemLock::readFile(home.systemLockFile(), SystemLock::Reporting::Quiet);
    QVERIFY(read.isLocked());
    QCOMPARE(read.acceptsPassword(vectorPassword), opens);
    QCOMPARE(read.breakSeconds().value_or(-1), breakSeconds);
    QCOMPARE(read.logoutUnseen(), logout);
    QCOMPARE(read.problem().isEmpty(), opens);
}

void TestLock::toolKeepsTheHashApartForTheGuard()
{
    TestHome home;
    // An old lock file with the hash inside, replaced by one for the guard.
    home.writeSystemLock("[Settings]\nLocked=true\nPasswordHash=" + vector.toUtf8() + "\n");
    const QString file = home.systemLockFile();
    const QString option = QStringLiteral("--lock-file");
    QVERIFY(run({option, file, QStringLiteral("--break"), QStringLiteral("0")}).first > 0);
    QVERIFY(
        SystemLock::readFile(file, SystemLock::Reporting::Quiet).acceptsPassword(vectorPassword));

    const auto [status, output] =
        run({option, file, QStringLiteral("--break"), QStringLiteral("20"),
             QStringLiteral("--unseen"), QStringLiteral("logout")});
    QVERIFY2(status == 0, qPrintable(output));
    const QString hashFile = SystemLock::hashFileFor(file);
    QCOMPARE(QFileInfo(hashFile).permissions() & 0x7777,
             QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser);
    QFile written(file);
    QVERIFY(written.open(QIODevice::ReadOnly));
    QVERIFY(!written.readAll().contains("pbkdf2"));
    const SystemLock lock = SystemLock::readFile(file, SystemLock::Reporting::Quiet);
    QVERIFY(lock.hashKeptApart());
    QVERIFY(lock.acceptsPassword(QStringLiteral("pw")));
    QCOMPARE(lock.breakSeconds().value_or(-1), 1200);
    QVERIFY(lock.logoutUnseen());

    QCOMPARE(run({option, file, QStringLiteral("--off")}).first, 0);
    QVERIFY(!QFile::exists(file));
    QVERIFY(!QFile::exists(hashFile));
}

QTEST_GUILESS_MAIN(TestLock)
#include "tst_lock.moc"
