// SPDX-License-Identifier: GPL-3.0-or-later
#include "security/frmLogin.h"

#include "guard/GuardLink.h"
#include "logic/SettingsStore.h"
#include "logic/SystemLock.h"
#include "ui/Controls.h"
#include "ui/ScreenReaders.h"
#include "ui/UiService.h"

#include <QApplication>
#include <QEventLoop>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QThread>

#include <limits>
#include <memory>

namespace {
// The window's own vertical unit, in twips; the separator is moved in it.
constexpr double verticalUnit = 1.692524;
} // namespace

frmLogin::frmLogin(QWidget *parent, GuardLink *guard)
    : QDialog(parent, fixedDialogFlags), m_guard(guard)
{
    setObjectName(QStringLiteral("frmLogin"));
    //: The title of the small window that asks for the parent password.
    //: TurnKeeper is the program's name.
    setWindowTitle(tr("TurnKeeper Security"));
    setFixedSize(Twips::size(2775, 1575));

    //: Above the box where a parent types the password.
    lblLabels = new QLabel(tr("Enter Password:"), this);
    lblLabels->setObjectName(QStringLiteral("lblLabels"));
    lblLabels->setGeometry(Twips::rect(240, 240, 2280, 270));

    txtPassword = new QLineEdit(this);
    txtPassword->setObjectName(QStringLiteral("txtPassword"));
    txtPassword->setGeometry(Twips::rect(240, 480, 2325, 255));
    txtPassword->setEchoMode(QLineEdit::Password);
    // A password has no length limit; QLineEdit would cut it at 32767 characters.
    txtPassword->setMaxLength(std::numeric_limits<int>::max());
    txtPassword->setStyleSheet(QStringLiteral("lineedit-password-character: 42;"));
    txtPassword->setAttribute(Qt::WA_InputMethodEnabled, false);
    lblLabels->setBuddy(txtPassword);
    ScreenReaders::hideTyping(txtPassword);

    Line2 = new Line(this, QStringLiteral("Line2"), {240, 840}, {2520, 840},
                     ui().systemColor(UiService::SystemColor::Window));
    Line1 = new Line(this, QStringLiteral("Line1"), {240, 840}, {2520, 840},
                     ui().systemColor(UiService::SystemColor::InactiveCaption));

    //: Checks the password typed.
    cmdOK = new QPushButton(tr("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setGeometry(Twips::rect(960, 960, 780, 390));
    cmdOK->setDefault(true);

    //: Closes the window without a password.
    cmdCancel = new QPushButton(tr("Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdCancel->setGeometry(Twips::rect(1800, 960, 780, 390));

    setTabOrder(txtPassword, cmdOK);
    setTabOrder(cmdOK, cmdCancel);
    txtPassword->setFocus();

    connect(cmdOK, &QPushButton::clicked, this, &frmLogin::CMDok_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmLogin::cmdCancel_Click);

    Form_Load();
}

void frmLogin::Form_Load()
{
    setWindowIcon(ui().icon(QStringLiteral("face.ico")));
    const double drop = 10 * verticalUnit;
    Line1->setEnds({Line1->from().x(), Line2->from().y() + drop},
                   {Line1->to().x(), Line2->to().y() + drop});
    // Under a lock the user's own file is not even read for the password.
    m_lock = SystemLock::read();
    if (!m_lock.isLocked())
        mstrPassword =
            GetSetting(Settings::section, Settings::passwordKey, Settings::defaultPassword);
}

bool frmLogin::passwordMatches(const QString &typed) const
{
    if (!m_lock.isLocked())
        return typed == mstrPassword;
    // The hash is slow on purpose. It is worked out beside the window's thread, so that
    // the countdown and the window go on meanwhile; the window takes no input until the
    // answer is there.
    QApplication::setOverrideCursor(Qt::WaitCursor);
    bool matches = false;
    QEventLoop waiting;
    std::unique_ptr<QThread> check(QThread::create(
        [lock = m_lock, typed, &matches] { matches = lock.acceptsPassword(typed); }));
    connect(check.get(), &QThread::finished, &waiting, &QEventLoop::quit);
    check->start();
    waiting.exec(QEventLoop::ExcludeUserInputEvents);
    check->wait();
    QApplication::restoreOverrideCursor();
    return matches;
}

std::optional<bool> frmLogin::guardAccepts(const QString &typed)
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const GuardLink::Answer answer = m_guard->checkPassword(typed);
    QApplication::restoreOverrideCursor();
    if (answer.kind != GuardLink::Answer::Kind::Refused)
        return answer.done();
    //: Said when wrong passwords came too fast and the next try must wait.
    const QString tooMany = tr("Too many wrong passwords. Wait a little and try again.");
    const QString text = answer.error == GuardLink::tooManyTriesError ? tooMany : answer.reason;
    ui().message(this, text, UiService::MessageIcon::Exclamation,
                 tr("%1 Login").arg(ui().applicationName()));
    return std::nullopt;
}

void frmLogin::CMDok_Click()
{
    const QString typed = txtPassword->text();
    const std::optional<bool> matches =
        m_guard ? guardAccepts(typed) : std::optional(passwordMatches(typed));
    if (matches == true) {
        LoginSucceeded = true;
        m_given = typed;
        accept();
        return;
    }
    if (matches == false)
        //: A message when the password typed is wrong.
        ui().message(this, tr("Login Failed: Invalid Password"),
                     UiService::MessageIcon::Exclamation,
                     //: The title of that message. %1 is the program's name (TurnKeeper).
                     tr("%1 Login").arg(ui().applicationName()));
    txtPassword->setFocus();
    txtPassword->selectAll();
}

void frmLogin::cmdCancel_Click()
{
    reject();
}

void frmLogin::reject()
{
    LoginSucceeded = false;
    QDialog::reject();
}
