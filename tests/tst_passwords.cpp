// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/frmMain.h"
#include "logic/SettingsStore.h"
#include "security/frmPasswords.h"
#include "settings/frmSetTime.h"
#include "support/TestSupport.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <functional>
#include <memory>
#include <optional>

namespace {

// What happened when Security was chosen from the menu.
struct Visit
{
    std::optional<QString> accepted; // the password the prompt took, if any
    QStringList windows;             // the windows that opened, in order
    bool timedOut = false;
};

// Chooses Security and answers the prompt with each try in turn until one is taken;
// then act runs on the password window, and must close it.
Visit chooseSecurity(const MainWindowFixture &main, const QStringList &tries,
                     const std::function<void(QWidget *)> &act)
{
    Visit visit;
    ModalDriver driver(5000);
    driver
        .then([&](QWidget *prompt) {
            for (const QString &password : tries) {
                typePassword(password)(prompt);
                if (!prompt->isVisible()) {
                    visit.accepted = password;
                    return;
                }
            }
            cancelPrompt()(prompt);
        })
        .then(act);
    main.trigger("mnuPasswords");
    visit.windows = driver.seen();
    visit.timedOut = driver.timedOut();
    return visit;
}

QLineEdit *box(QWidget *dialog, const char *name)
{
    return dialog->findChild<QLineEdit *>(QString::fromLatin1(name));
}

void typeEntries(QWidget *dialog, const QString &newPassword, const QString &verification)
{
    QTest::keyClicks(box(dialog, "txtNewPass"), newPassword);
    QTest::keyClicks(box(dialog, "txtVerPass"), verification);
}

// The stored password, or nothing when none is stored.
std::optional<QString> storedPassword()
{
    const QString absent = QStringLiteral("<absent>");
    const QString stored = GetSetting(Settings::section, Settings::passwordKey, absent);
    return stored == absent ? std::nullopt : std::optional<QString>(stored);
}

const QString defaultPassword = QStringLiteral("playfairly");
const QStringList opened = {QStringLiteral("frmLogin"), QStringLiteral("frmPasswords")};

} // namespace

class TestPasswords : public QObject
{
    Q_OBJECT
private slots:
    void showsTheStoredPassword_data();
    void showsTheStoredPassword();
    void differingEntriesAreRefused_data();
    void differingEntriesAreRefused();
    void newPasswordAppliesAtTheNextPrompt_data();
    void newPasswordAppliesAtTheNextPrompt();
    void enterEscapeAndCloseBoxStoreNothing();
    void enterPressesTheFocusedButton_data();
    void enterPressesTheFocusedButton();
    void unwritableStoreKeepsTheOldPassword();
};

void TestPasswords::showsTheStoredPassword_data()
{
    QTest::addColumn<QString>("stored"); // null: a fresh account
    QTest::addColumn<QString>("shown");
    QTest::newRow("fresh account") << QString() << defaultPassword;
    QTest::newRow("stored with blanks")
        << QStringLiteral(" my pass ") << QStringLiteral(" my pass ");
}

void TestPasswords::showsTheStoredPassword()
{
    QFETCH(QString, stored);
    QFETCH(QString, shown);
    MainWindowFixture main;
    if (!stored.isNull())
        QVERIFY(SaveSetting(Settings::section, Settings::passwordKey, stored));

    QString current;
    QString focus;
    const Visit visit = chooseSecurity(main, {shown}, [&](QWidget *dialog) {
        current = box(dialog, "txtCurrPass")->text();
        if (const QWidget *focused = QApplication::focusWidget())
            focus = focused->objectName();
        // What is typed here counts for nothing.
        QTest::keyClicks(box(dialog, "txtCurrPass"), QStringLiteral("zz"));
        typeEntries(dialog, QStringLiteral("n3w"), QStringLiteral("n3w"));
        click(dialog, "cmdOK");
    });

    QCOMPARE(visit.windows, opened);
    QCOMPARE(current, shown);
    QCOMPARE(focus, QStringLiteral("txtCurrPass"));
    QCOMPARE(storedPassword(), std::optional<QString>(QStringLiteral("n3w")));
    QVERIFY(main.recorder.messages.isEmpty());
}

void TestPasswords::differingEntriesAreRefused_data()
{
    QTest::addColumn<QString>("newPassword");
    QTest::addColumn<QString>("verification");
    QTest::newRow("letter case") << QStringLiteral("Secret") << QStringLiteral("secret");
    QTest::newRow("trailing blank") << QStringLiteral("secret") << QStringLiteral("secret ");
    QTest::newRow("verification empty") << QStringLiteral("secret") << QString();
}

void TestPasswords::differingEntriesAreRefused()
{
    QFETCH(QString, newPassword);
    QFETCH(QString, verification);
    MainWindowFixture main;

    bool stillOpen = false;
    QString focus;
    QString selected;
    int selectionStart = -1;
    QString verificationAfter;
    const Visit visit = chooseSecurity(main, {defaultPassword}, [&](QWidget *dialog) {
        typeEntries(dialog, newPassword, verification);
        click(dialog, "cmdOK");
        stillOpen = dialog->isVisible();
        if (const QWidget *focused = QApplication::focusWidget())
            focus = focused->objectName();
        selected = box(dialog, "txtNewPass")->selectedText();
        selectionStart = box(dialog, "txtNewPass")->selectionStart();
        verificationAfter = box(dialog, "txtVerPass")->text();
        click(dialog, "cmdCancel");
    });

    QCOMPARE(visit.windows, opened);
    QVERIFY(stillOpen);
    QCOMPARE(main.recorder.messages.size(), 1);
    QCOMPARE(main.recorder.messages[0].text, QStringLiteral("Passwords Do Not Match."));
    QCOMPARE(main.recorder.messages[0].title, ui().applicationName());
    QCOMPARE(main.recorder.messages[0].icon, UiService::MessageIcon::Exclamation);
    QCOMPARE(focus, QStringLiteral("txtNewPass"));
    QCOMPARE(selected, newPassword);
    QCOMPARE(selectionStart, 0);
    QCOMPARE(verificationAfter, verification);
    QCOMPARE(storedPassword(), std::nullopt);
}

void TestPasswords::newPasswordAppliesAtTheNextPrompt_data()
{
    QTest::addColumn<QString>("newPassword");
    QTest::newRow("words and blanks") << QStringLiteral("Tr1cky pass");
    QTest::newRow("empty") << QString();
}

// The prompt is offered the old password first: only the new one may open the way,
// in the same run and after the program has been started again.
void TestPasswords::newPasswordAppliesAtTheNextPrompt()
{
    QFETCH(QString, newPassword);
    MainWindowFixture main;

    bool closedByOk = false;
    Visit visit = chooseSecurity(main, {defaultPassword}, [&](QWidget *dialog) {
        typeEntries(dialog, newPassword, newPassword);
        click(dialog, "cmdOK");
        closedByOk = !dialog->isVisible();
    });
    QCOMPARE(visit.windows, opened);
    QVERIFY(closedByOk);
    QCOMPARE(storedPassword(), std::optional<QString>(newPassword));

    for (const char *when : {"same run", "after a restart"}) {
        if (QByteArray(when) == "after a restart") {
            main.restart();
        }
        main.recorder.messages.clear();
        QString shown;
        visit = chooseSecurity(main, {defaultPassword, newPassword}, [&](QWidget *dialog) {
            shown = box(dialog, "txtCurrPass")->text();
            click(dialog, "cmdCancel");
        });
        QVERIFY2(!visit.timedOut, when);
        QVERIFY2(visit.accepted == newPassword, when);
        QCOMPARE(shown, newPassword);
        QCOMPARE(main.recorder.messages.size(), 1);
        QCOMPARE(main.recorder.messages[0].text, QStringLiteral("Login Failed: Invalid Password"));
    }
}

// Neither button is a default or cancel button; the close box is Cancel.
void TestPasswords::enterEscapeAndCloseBoxStoreNothing()
{
    MainWindowFixture main;

    QStringList openAfter;
    bool openAtEnd = true;
    const Visit visit = chooseSecurity(main, {defaultPassword}, [&](QWidget *dialog) {
        typeEntries(dialog, QStringLiteral("abc"), QStringLiteral("abc"));
        for (const char *name : {"txtNewPass", "txtVerPass"}) {
            for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
                QTest::keyClick(box(dialog, name), key);
                if (dialog->isVisible())
                    openAfter.append(QString::fromLatin1(name));
            }
        }
        dialog->close();
        openAtEnd = dialog->isVisible();
    });

    QCOMPARE(visit.windows, opened);
    QCOMPARE(openAfter.size(), 6);
    QVERIFY(!openAtEnd);
    QCOMPARE(storedPassword(), std::nullopt);
    QVERIFY(main.recorder.messages.isEmpty());
}

void TestPasswords::enterPressesTheFocusedButton_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("result");
    const int ok = QDialog::Accepted;
    const int cancel = QDialog::Rejected;
    QTest::newRow("password change, Enter on OK") << "frmPasswords"
                                                  << "cmdOK" << int(Qt::Key_Return) << ok;
    QTest::newRow("password change, keypad Enter on Cancel")
        << "frmPasswords"
        << "cmdCancel" << int(Qt::Key_Enter) << cancel;
    QTest::newRow("timer length, Enter on OK") << "frmSetTime"
                                               << "CMDok" << int(Qt::Key_Return) << ok;
    QTest::newRow("timer length, Enter on Cancel") << "frmSetTime"
                                                   << "cmdCancel" << int(Qt::Key_Return) << cancel;
}

// Neither window has a default button, yet on this desktop Enter presses the button
// that has the focus, as Space does.
void TestPasswords::enterPressesTheFocusedButton()
{
    QFETCH(QString, window);
    QFETCH(QString, button);
    QFETCH(int, key);
    QFETCH(int, result);
    TestHome home;
    RecordingUi recorder;
    std::unique_ptr<QDialog> dialog;
    if (window == QLatin1String("frmSetTime"))
        dialog = std::make_unique<frmSetTime>(600);
    else
        dialog = std::make_unique<frmPasswords>();
    dialog->show();
    QWidget *focused = dialog->findChild<QPushButton *>(button);
    focused->setFocus();

    QTest::keyClick(focused, Qt::Key(key));
    QVERIFY(!dialog->isVisible());
    QCOMPARE(dialog->result(), result);
    QVERIFY(recorder.messages.isEmpty());
}

// A password that could not be stored has not been changed, and the window says so.
void TestPasswords::unwritableStoreKeepsTheOldPassword()
{
    MainWindowFixture main;
    // A plain file where the settings folder belongs: not even root can write there.
    QFile blocker(QDir(main.home.configHome()).filePath(ui().applicationName()));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();

    bool stillOpen = false;
    QString newAfter;
    QString verificationAfter;
    Visit visit = chooseSecurity(main, {defaultPassword}, [&](QWidget *dialog) {
        typeEntries(dialog, QStringLiteral("n3w"), QStringLiteral("n3w"));
        click(dialog, "cmdOK");
        stillOpen = dialog->isVisible();
        newAfter = box(dialog, "txtNewPass")->text();
        verificationAfter = box(dialog, "txtVerPass")->text();
        click(dialog, "cmdCancel");
    });

    QCOMPARE(visit.windows, opened);
    QVERIFY(stillOpen);
    QCOMPARE(newAfter, QStringLiteral("n3w"));
    QCOMPARE(verificationAfter, QStringLiteral("n3w"));
    QCOMPARE(main.recorder.messages.size(), 1);
    QVERIFY(!main.recorder.messages[0].text.isEmpty());
    QVERIFY(main.recorder.messages[0].text != QStringLiteral("Passwords Do Not Match."));
    QCOMPARE(main.recorder.messages[0].title, ui().applicationName());
    QCOMPARE(main.recorder.messages[0].icon, UiService::MessageIcon::Exclamation);

    main.recorder.messages.clear();
    visit = chooseSecurity(main, {QStringLiteral("n3w"), defaultPassword},
                           [](QWidget *dialog) { click(dialog, "cmdCancel"); });
    QVERIFY(visit.accepted == defaultPassword);
}

QTEST_MAIN(TestPasswords)
#include "tst_passwords.moc"
