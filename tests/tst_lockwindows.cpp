// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/frmMain.h"
#include "logic/SystemLock.h"
#include "security/frmPasswords.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTest>

namespace {

const QString parentPassword = QStringLiteral("n3w parent");
const QByteArray usersOwnFile = "[Settings]\nMaxTime=120\nPassword=mine\n";

// A user's program with a password and a length of their own, started again once
// turnkeeper-lock has set the lock with lockArguments, or lockFile has been written.
struct LockedProgram : MainWindowFixture
{
    explicit LockedProgram(const QStringList &lockArguments, const QByteArray &lockFile = {})
        : MainWindowFixture(usersOwnFile)
    {
        if (!lockFile.isNull()) {
            home.writeSystemLock(lockFile);
        } else {
            // Into the home's own config folder, where the program finds a lock too.
            QProcess tool;
            tool.start(QStringLiteral(TURNKEEPER_LOCK_TOOL),
                       QStringList{QStringLiteral("--lock-file"), home.systemLockFile()} +
                           lockArguments);
            tool.write(parentPassword.toUtf8() + '\n');
            tool.closeWriteChannel();
            lockSet = tool.waitForFinished(120000) && tool.exitCode() == 0 &&
                      QFile::exists(home.systemLockFile());
        }
        restart();
    }

    // Chooses entry, types password at the prompt, cancels it when refused, and runs
    // act on the window that opens next. The windows seen.
    QStringList through(const char *entry, const QString &password,
                        const ModalDriver::Action &act) const
    {
        ModalDriver driver(60000);
        driver
            .then([password](QWidget *prompt) {
                typePassword(password)(prompt);
                if (prompt->isVisible())
                    cancelPrompt()(prompt);
            })
            .then(act);
        trigger(entry);
        return driver.timedOut() ? QStringList{QStringLiteral("timed out")} : driver.seen();
    }

    bool lockSet = true;
};

void click(QWidget *dialog, const char *button)
{
    dialog->findChild<QPushButton *>(QString::fromLatin1(button))->click();
}

// The administrator's message: the application's name for title, an exclamation mark,
// over its window.
bool isAdministratorsMessage(const RecordingUi &recorder, const QString &text)
{
    return recorder.messages.size() == 1 && recorder.messages[0].text == text &&
           recorder.messages[0].title == ui().applicationName() &&
           recorder.messages[0].icon == UiService::MessageIcon::Exclamation &&
           recorder.messages[0].parentVisible;
}

} // namespace

class TestLockWindows : public QObject
{
    Q_OBJECT
private slots:
    void promptTakesOnlyTheLocksPassword_data();
    void promptTakesOnlyTheLocksPassword();
    void lockedLengthOutlastsTheUsersEdit_data();
    void lockedLengthOutlastsTheUsersEdit();
    void securityShowsNoPasswordAndWritesNothing();
};

void TestLockWindows::promptTakesOnlyTheLocksPassword_data()
{
    QTest::addColumn<QByteArray>("lockFile"); // null: set by turnkeeper-lock
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("accepted");
    const QByteArray noHash = "[Settings]\nLocked=true\n";
    QTest::newRow("the lock's password") << QByteArray() << parentPassword << true;
    QTest::newRow("the default password") << QByteArray() << QStringLiteral("playfairly") << false;
    QTest::newRow("the user's own password") << QByteArray() << QStringLiteral("mine") << false;
    QTest::newRow("no hash, the default") << noHash << QStringLiteral("playfairly") << false;
    QTest::newRow("no hash, the user's own") << noHash << QStringLiteral("mine") << false;
}

void TestLockWindows::promptTakesOnlyTheLocksPassword()
{
    QFETCH(QByteArray, lockFile);
    QFETCH(QString, typed);
    QFETCH(bool, accepted);
    LockedProgram program({}, lockFile);
    QVERIFY(program.lockSet);

    const QStringList seen =
        program.through("mnuSetTime", typed, [](QWidget *dialog) { click(dialog, "cmdCancel"); });
    QCOMPARE(seen, accepted ? QStringList({"frmLogin", "frmSetTime"}) : QStringList("frmLogin"));
    QCOMPARE(program.messageTexts(),
             accepted ? QStringList() : QStringList("Login Failed: Invalid Password"));
}

void TestLockWindows::lockedLengthOutlastsTheUsersEdit_data()
{
    QTest::addColumn<QStringList>("lockArguments");
    QTest::addColumn<int>("inUse");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("savedLine"); // in the user's file after Exit
    QTest::newRow("length locked")
        << QStringList({"--length", "5"}) << 300 << "5" << QStringLiteral("MaxTime=60");
    QTest::newRow("password locked only")
        << QStringList() << 120 << "2" << QStringLiteral("MaxTime=120");
}

void TestLockWindows::lockedLengthOutlastsTheUsersEdit()
{
    QFETCH(QStringList, lockArguments);
    QFETCH(int, inUse);
    QFETCH(QString, shown);
    QFETCH(QString, savedLine);
    LockedProgram program(lockArguments);
    QVERIFY(program.lockSet);
    QCOMPARE(program.window->MaxTime(), inUse);
    // The child edits the user's own file while the program runs.
    program.home.writeSettingsFile("[Settings]\nMaxTime=60\n");

    QString text;
    bool openAfterOk = false;
    const QStringList seen = program.through("mnuSetTime", parentPassword, [&](QWidget *dialog) {
        text = dialog->findChild<QLineEdit *>(QStringLiteral("Text1"))->text();
        click(dialog, "CMDok");
        openAfterOk = dialog->isVisible();
        if (openAfterOk)
            click(dialog, "cmdCancel");
    });
    QCOMPARE(seen, QStringList({"frmLogin", "frmSetTime"}));
    QCOMPARE(text, shown);
    const bool locked = !lockArguments.isEmpty();
    QCOMPARE(openAfterOk, locked);
    QCOMPARE(
        isAdministratorsMessage(program.recorder, "The timer length is set by the administrator."),
        locked);
    QCOMPARE(program.window->MaxTime(), inUse);

    program.trigger("mnuExit");
    QVERIFY(program.home.readSettingsFile().split('\n').contains(savedLine));
    program.restart();
    QCOMPARE(program.window->MaxTime(), inUse);
}

void TestLockWindows::securityShowsNoPasswordAndWritesNothing()
{
    LockedProgram program({});
    QVERIFY(program.lockSet);
    QCOMPARE(frmPasswords().findChild<QLineEdit *>(QStringLiteral("txtCurrPass"))->text(), "");

    // The window must close by itself: nothing here closes it.
    const QStringList seen = program.through("mnuPasswords", parentPassword, [](QWidget *) {});
    QCOMPARE(seen.value(0), QStringLiteral("frmLogin"));
    QVERIFY(isAdministratorsMessage(program.recorder, "The password is set by the administrator."));
    QCOMPARE(program.home.readSettingsFile(), QString::fromLatin1(usersOwnFile));
}

QTEST_MAIN(TestLockWindows)
#include "tst_lockwindows.moc"
