// SPDX-License-Identifier: GPL-3.0-or-later
#include "logic/SettingsStore.h"
#include "security/frmLogin.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

namespace {

// Shows a new prompt as the main window's gate does and returns its answer.
bool showPrompt(ModalDriver &driver)
{
    frmLogin prompt;
    prompt.exec();
    return !driver.timedOut() && prompt.LoginSucceeded;
}

void storePassword(const QString &password)
{
    QVERIFY(SaveSetting(Settings::section, Settings::passwordKey, password));
}

} // namespace

class TestLogin : public QObject
{
    Q_OBJECT
private slots:
    void comparisonIsExact_data();
    void comparisonIsExact();
    void wrongPasswordIsReportedAndSelected();
    void cancelEscapeAndCloseBoxRefuse_data();
    void cancelEscapeAndCloseBoxRefuse();
    void storedPasswordIsReadAtEachShowing();
    void realMessageBoxIsDismissedByOk();
};

void TestLogin::comparisonIsExact_data()
{
    QTest::addColumn<QString>("stored"); // null: nothing stored
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("default") << QString() << QStringLiteral("playfairly") << true;
    QTest::newRow("upper-case letter") << QString() << QStringLiteral("playFairly") << false;
    QTest::newRow("blank before") << QString() << QStringLiteral(" playfairly") << false;
    QTest::newRow("blank after") << QString() << QStringLiteral("playfairly ") << false;
    QTest::newRow("empty against default") << QString() << QString() << false;
    QTest::newRow("stored with blanks")
        << QStringLiteral(" a b ") << QStringLiteral(" a b ") << true;
    QTest::newRow("stored empty, empty typed") << QStringLiteral("") << QString() << true;
    QTest::newRow("stored empty, blank typed")
        << QStringLiteral("") << QStringLiteral(" ") << false;
    QTest::newRow("non-ASCII") << QStringLiteral("Kätzchen") << QStringLiteral("Kätzchen") << true;
}

void TestLogin::comparisonIsExact()
{
    QFETCH(QString, stored);
    QFETCH(QString, typed);
    QFETCH(bool, accepted);
    TestHome home;
    RecordingUi recorder;
    if (!stored.isNull())
        storePassword(stored);

    ModalDriver driver;
    driver.then([typed](QWidget *prompt) {
        typePassword(typed)(prompt);
        if (prompt->isVisible())
            cancelPrompt()(prompt);
    });
    QCOMPARE(showPrompt(driver), accepted);
    QCOMPARE(recorder.messages.size(), accepted ? 0 : 1);
}

void TestLogin::wrongPasswordIsReportedAndSelected()
{
    TestHome home;
    RecordingUi recorder;
    QString selected;
    bool focused = false;
    bool masked = false;
    ModalDriver driver;
    driver.then([&](QWidget *prompt) {
        auto *box = prompt->findChild<QLineEdit *>(QStringLiteral("txtPassword"));
        masked = box->echoMode() == QLineEdit::Password;
        typePassword(QStringLiteral("wrong one"))(prompt);
        selected = box->selectedText();
        focused = box->hasFocus();
        // Typing replaces the selected entry.
        QTest::keyClicks(box, QStringLiteral("playfairly"));
        QTest::keyClick(box, Qt::Key_Return);
    });
    QVERIFY(showPrompt(driver));

    QVERIFY(masked);
    QCOMPARE(selected, QStringLiteral("wrong one"));
    QVERIFY(focused);
    QCOMPARE(recorder.messages.size(), 1);
    const RecordingUi::Message &message = recorder.messages.first();
    QCOMPARE(message.text, QStringLiteral("Login Failed: Invalid Password"));
    QCOMPARE(message.title, applicationName() + QStringLiteral(" Login"));
    QCOMPARE(message.icon, UiService::MessageIcon::Exclamation);
}

void TestLogin::cancelEscapeAndCloseBoxRefuse_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("Cancel") << QStringLiteral("cancel");
    QTest::newRow("Escape") << QStringLiteral("escape");
    QTest::newRow("close box") << QStringLiteral("close");
}

void TestLogin::cancelEscapeAndCloseBoxRefuse()
{
    QFETCH(QString, how);
    TestHome home;
    RecordingUi recorder;
    ModalDriver driver;
    // The right password is typed, then the prompt is abandoned.
    driver.then([how](QWidget *window) {
        auto *box = window->findChild<QLineEdit *>(QStringLiteral("txtPassword"));
        typeText(box, QStringLiteral("playfairly"));
        if (how == QLatin1String("cancel"))
            window->findChild<QPushButton *>(QStringLiteral("cmdCancel"))->click();
        else if (how == QLatin1String("escape"))
            QTest::keyClick(box, Qt::Key_Escape);
        else
            window->close();
    });
    frmLogin prompt;
    prompt.LoginSucceeded = true; // as left by an earlier, accepted showing
    prompt.exec();
    QVERIFY(!driver.timedOut());
    QCOMPARE(driver.handled(), 1);
    QVERIFY(!prompt.LoginSucceeded);
    QVERIFY(recorder.messages.isEmpty());
}

void TestLogin::storedPasswordIsReadAtEachShowing()
{
    TestHome home;
    RecordingUi recorder;
    storePassword(QStringLiteral("first"));
    {
        ModalDriver driver;
        driver.then(typePassword(QStringLiteral("first")));
        QVERIFY(showPrompt(driver));
    }
    storePassword(QStringLiteral("second"));
    ModalDriver driver;
    driver.then([](QWidget *prompt) {
        typePassword(QStringLiteral("first"))(prompt);
        typePassword(QStringLiteral("second"))(prompt);
    });
    QVERIFY(showPrompt(driver));
    QCOMPARE(recorder.messages.size(), 1);
}

void TestLogin::realMessageBoxIsDismissedByOk()
{
    TestHome home;
    QString text;
    QString title;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    ModalDriver driver;
    driver
        .then([](QWidget *prompt) {
            // The message box opens and is dismissed inside the first attempt.
            typePassword(QStringLiteral("nope"))(prompt);
            typePassword(QStringLiteral("playfairly"))(prompt);
        })
        .then([&](QWidget *window) {
            if (auto *box = qobject_cast<QMessageBox *>(window)) {
                text = box->text();
                title = box->windowTitle();
                icon = box->icon();
                QTest::keyClick(box, Qt::Key_Return);
            } else {
                window->close();
            }
        });
    QVERIFY(showPrompt(driver));
    QCOMPARE(text, QStringLiteral("Login Failed: Invalid Password"));
    QCOMPARE(title, applicationName() + QStringLiteral(" Login"));
    QCOMPARE(icon, QMessageBox::Warning);
}

QTEST_MAIN(TestLogin)
#include "tst_login.moc"
