// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Translations.h"
#include "app/frmMain.h"
#include "logic/SystemLock.h"
#include "security/frmPasswords.h"
#include "settings/frmFamilyRules.h"
#include "support/TestSupport.h"

#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QSet>
#include <QSpinBox>
#include <QTest>
#include <QTreeWidget>

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

// The administrator's message: the application's name for title, an exclamation mark,
// over its window.
bool isAdministratorsMessage(const RecordingUi &recorder, const QString &text)
{
    return recorder.messages.size() == 1 && recorder.messages[0].text == text &&
           recorder.messages[0].title == ui().applicationName() &&
           recorder.messages[0].icon == UiService::MessageIcon::Exclamation &&
           recorder.messages[0].parentVisible;
}

// The family's rules as a lock for the guard holds them, with what the window does not
// show (how unseen time's ups end, the guard's bus) and what it shows rounded (a length
// and a time a day that are no whole minutes).
SystemLock::Change familyRules()
{
    SystemLock::Change rules;
    rules.rules.maxTime = 90;
    rules.rules.breakSeconds = 300;
    rules.rules.logoutUnseen = true;
    rules.rules.accounts = QStringList{"ann"};
    rules.rules.children = QStringList{"Ann", "Ben"};
    rules.rules.allowance = {{"Ann", 150}};
    rules.rules.guardBus = QStringLiteral("unix:path=/run/turnkeeper-test/bus");
    return rules;
}

QString described(const SystemLock::Change &change)
{
    const SystemLock::Rules &rules = change.rules;
    const auto seconds = [](std::optional<qint32> value) {
        return value ? QString::number(*value) : QStringLiteral("none");
    };
    QStringList allowance;
    for (auto child = rules.allowance.begin(); child != rules.allowance.end(); ++child)
        allowance.append(child.key() + QLatin1Char('=') + QString::number(child.value()));
    return QStringList{change.locked ? "locked" : "open",
                       "length " + seconds(rules.maxTime),
                       "break " + seconds(rules.breakSeconds),
                       (rules.lockOutsideTurns ? "lock " : "allow ") + rules.accounts.join(','),
                       "children " + rules.children.join(','),
                       "allowance " + allowance.join(','),
                       "password " + change.password.value_or(QStringLiteral("kept")),
                       rules.logoutUnseen ? "logout unseen" : "lock unseen",
                       "bus " + rules.guardBus}
        .join(QStringLiteral("; "));
}

// One step of a parent in the family rules window: "control=value" types the value into a
// box (as pasted), sets a check box "on" or "off", or chooses that row of the list;
// "control" alone clicks a button.
void act(QWidget *window, const QString &step)
{
    const QString name = step.section(QLatin1Char('='), 0, 0);
    const QString value = step.section(QLatin1Char('='), 1);
    QWidget *control = window->findChild<QWidget *>(name);
    QVERIFY2(control, qPrintable(name));
    if (auto *check = qobject_cast<QCheckBox *>(control)) {
        if (check->isChecked() != (value == QLatin1String("on")))
            QTest::keyClick(check, Qt::Key_Space);
    } else if (auto *spin = qobject_cast<QSpinBox *>(control)) {
        spin->selectAll();
        QTest::keyClicks(spin, value);
    } else if (auto *box = qobject_cast<QLineEdit *>(control)) {
        box->selectAll();
        box->insert(value);
    } else if (auto *list = qobject_cast<QTreeWidget *>(control)) {
        list->setCurrentItem(list->topLevelItem(value.toInt()));
    } else {
        QTest::mouseClick(control, Qt::LeftButton);
    }
}

// The list of children as shown: name, minutes a day and minutes today.
QString listed(QWidget *window)
{
    auto *list = window->findChild<QTreeWidget *>(QStringLiteral("lstChildren"));
    QStringList rows;
    for (int row = 0; row < list->topLevelItemCount(); ++row) {
        const QTreeWidgetItem *item = list->topLevelItem(row);
        rows.append(QStringList{item->text(0), item->text(1), item->text(2)}.join('/'));
    }
    return rows.join(QStringLiteral("; "));
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
    void familyRulesWindow_data();
    void familyRulesWindow();
    void familyRulesAccessKeysApart_data();
    void familyRulesAccessKeysApart();
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

void TestLockWindows::familyRulesWindow_data()
{
    QTest::addColumn<bool>("lockedBefore"); // false: no lock stands, no rule is set
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QString>("refusal"); // a part of the one message; empty: none
    QTest::addColumn<QString>("focused"); // the field given back with it
    QTest::addColumn<bool>("accepted");   // whether OK closed the window
    QTest::addColumn<QString>("change");  // handed back; when not accepted, as in force
    QTest::addColumn<QString>("shown");   // the list of children at OK; null: not checked
    const QString asTheyCame = described(familyRules());
    const QString none = QStringLiteral(
        "open; length none; break none; allow ; children ; allowance ; password kept; "
        "lock unseen; bus ");
    const QStringList newPassword{"txtPassword=n3w parent", "txtVerify=n3w parent"};

    QTest::newRow("nothing touched keeps every rule as it came")
        << true << QStringList() << QString() << QString() << true << asTheyCame
        << "Ann/3/50; Ben/No limit/0";
    QTest::newRow("the edits become the change")
        << true
        << QStringList{"spnLength=45",       "spnBreak=0",
                       "chkOutsideTurns=on", "txtAccounts=ann, ben,ann",
                       "txtName=Cy",         "cmdAdd",
                       "spnAllowance=90",    "cmdUp",
                       "lstChildren=0",      "cmdRemove",
                       "lstChildren=1",      "spnAllowance=20"} +
               newPassword
        << QString() << QString() << true
        << "locked; length 2700; break none; lock ann,ben; children Cy,Ben; allowance "
           "Ben=1200,Cy=5400; password n3w parent; logout unseen; bus "
           "unix:path=/run/turnkeeper-test/bus"
        << "Cy/90/0; Ben/20/0";
    QTest::newRow("passwords that differ")
        << true << QStringList{"txtPassword=n3w parent", "txtVerify=n3w parent!"} << "differ"
        << "txtPassword" << false << asTheyCame << QString();
    QTest::newRow("a child's name with a tab")
        << true << QStringList{"txtName=De\te", "cmdAdd"} << "invisible"
        << "txtName" << true << asTheyCame << "Ann/3/50; Ben/No limit/0";
    QTest::newRow("a child's name given twice")
        << true << QStringList{"txtName= ben", "cmdAdd"} << "Ben is already"
        << "txtName" << true << asTheyCame << QString();
    QTest::newRow("a child's name with a comma")
        << true << QStringList{"txtName=Dee, Eve", "cmdAdd"} << "cannot hold"
        << "txtName" << true << asTheyCame << QString();
    QTest::newRow("an account's name refused")
        << true << QStringList{"txtAccounts=ann, 9 lives"} << "\"9 lives\" is not"
        << "txtAccounts" << false << asTheyCame << QString();
    QTest::newRow("outside turns with no account")
        << true << QStringList{"chkOutsideTurns=on", "txtAccounts= , "} << "at least one account"
        << "txtAccounts" << false << asTheyCame << QString();
    QTest::newRow("the lock switched off")
        << true << QStringList{"txtPassword=n3w parent", "chkLocked=off"} << QString() << QString()
        << true << QString(asTheyCame).replace("locked", "open") << QString();
    QTest::newRow("a new lock without a password")
        << false << QStringList{"chkLocked=on"} << "needs a parent password"
        << "txtPassword" << false << none << QString();
    QTest::newRow("a new lock with a password")
        << false << QStringList{"chkLocked=on", "spnLength=20"} + newPassword << QString()
        << QString() << true
        << "locked; length 1200; break none; allow ; children ; allowance ; password n3w "
           "parent; lock unseen; bus "
        << QString();
}

// The window opened with the rules in force and what each child had today, edited as a
// parent would, then OK.
void TestLockWindows::familyRulesWindow()
{
    QFETCH(bool, lockedBefore);
    QFETCH(QStringList, steps);
    QFETCH(QString, refusal);
    QFETCH(QString, focused);
    QFETCH(bool, accepted);
    QFETCH(QString, change);
    QFETCH(QString, shown);
    TestHome home;
    RecordingUi recorder;
    SystemLock::Change inForce;
    inForce.locked = false;
    if (lockedBefore)
        inForce = familyRules();
    frmFamilyRules window(inForce, {{"Ann", 3000}, {"Ben", 59}});

    QString focusedAtRefusal;
    QString shownAtOk;
    bool openAfterOk = false;
    ModalDriver driver;
    driver.then([&](QWidget *dialog) {
        for (const QString &step : steps + QStringList{"CMDok"}) {
            shownAtOk = listed(dialog);
            const qsizetype messages = recorder.messages.size();
            act(dialog, step);
            if (recorder.messages.size() > messages)
                focusedAtRefusal = dialog->focusWidget()->objectName();
        }
        openAfterOk = dialog->isVisible();
        if (openAfterOk)
            click(dialog, "cmdCancel");
    });
    const int result = window.exec();

    QVERIFY(!driver.timedOut());
    QCOMPARE(openAfterOk, !accepted);
    QCOMPARE(result, accepted ? QDialog::Accepted : QDialog::Rejected);
    QCOMPARE(described(window.change()), change);
    if (!shown.isNull())
        QCOMPARE(shownAtOk, shown);
    QCOMPARE(recorder.messages.size(), refusal.isEmpty() ? 0 : 1);
    if (!refusal.isEmpty()) {
        QVERIFY2(recorder.messages[0].text.contains(refusal),
                 qPrintable(recorder.messages[0].text));
        QVERIFY(isAdministratorsMessage(recorder, recorder.messages[0].text));
        QCOMPARE(focusedAtRefusal, focused);
    }
}

void TestLockWindows::familyRulesAccessKeysApart_data()
{
    QTest::addColumn<QString>("locale");
    for (const char *locale : {"en", "de", "fr", "es", "nl"})
        QTest::newRow(locale) << QString::fromLatin1(locale);
}

// Each access key of the family rules window belongs to one control, in every language.
void TestLockWindows::familyRulesAccessKeysApart()
{
    QFETCH(QString, locale);
    TestHome home;
    RecordingUi recorder;
    const Translations translations{QLocale(locale)};
    frmFamilyRules window(familyRules(), {});
    QStringList keys;
    for (const QWidget *control : window.findChildren<QWidget *>()) {
        QString text;
        if (const auto *button = qobject_cast<const QAbstractButton *>(control))
            text = button->text();
        else if (const auto *label = qobject_cast<const QLabel *>(control))
            text = label->text();
        const QKeySequence key = QKeySequence::mnemonic(text);
        if (!key.isEmpty())
            keys.append(key.toString());
    }
    keys.sort();
    QCOMPARE(keys.size(), 14);
    QVERIFY2(QSet<QString>(keys.begin(), keys.end()).size() == keys.size(),
             qPrintable(keys.join(QLatin1Char(' '))));
}

QTEST_MAIN(TestLockWindows)
#include "tst_lockwindows.moc"
