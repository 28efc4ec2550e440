// SPDX-License-Identifier: GPL-3.0-or-later
#include "security/frmPasswords.h"

#include "logic/SettingsStore.h"
#include "logic/SystemLock.h"
#include "ui/Controls.h"
#include "ui/UiService.h"

#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>

#include <limits>

namespace {

QLabel *makeLabel(QWidget *parent, const QString &caption, const QString &name, int top)
{
    auto *label = new QLabel(caption, parent);
    label->setObjectName(name);
    label->setGeometry(Twips::rect(240, top, 1695, 255));
    return label;
}

QLineEdit *makeBox(QWidget *parent, const QString &name, int top)
{
    auto *box = new QLineEdit(parent);
    box->setObjectName(name);
    box->setGeometry(Twips::rect(240, top, 1935, 285));
    // A password has no length limit; QLineEdit would cut it at 32767 characters, and
    // a pasted password would then be stored cut short without a word.
    box->setMaxLength(std::numeric_limits<int>::max());
    return box;
}

QPushButton *makeButton(QWidget *parent, const QString &caption, const QString &name, int left)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setGeometry(Twips::rect(left, 2760, 735, 375));
    // Not a default button: Enter and Escape typed in a box press neither button.
    button->setAutoDefault(false);
    button->setDefault(false);
    return button;
}

} // namespace

frmPasswords::frmPasswords(QWidget *parent) : QDialog(parent, fixedDialogFlags)
{
    setObjectName(QStringLiteral("frmPasswords"));
    //: The title of the window where a parent changes the password.
    setWindowTitle(tr("Modify Security Settings"));
    setFixedSize(Twips::size(2655, 3255));

    //: The frame around the three password boxes.
    Frame2 = new QGroupBox(tr("Password"), this);
    Frame2->setObjectName(QStringLiteral("Frame2"));
    Frame2->setGeometry(Twips::rect(120, 120, 2415, 2535));

    //: Above the box that shows the password in use now.
    Label1_3 = makeLabel(Frame2, tr("Current Password:"), QStringLiteral("Label1_3"), 360);
    txtCurrPass = makeBox(Frame2, QStringLiteral("txtCurrPass"), 600);
    // Only shown: nothing reads it back, so an edit there would mislead.
    txtCurrPass->setReadOnly(true);

    Line2 = new Line(Frame2, QStringLiteral("Line2"), {240, 1080}, {2160, 1080},
                     ui().systemColor(UiService::SystemColor::InactiveCaption));
    Line1 = new Line(Frame2, QStringLiteral("Line1"), {2160, 1080}, {240, 1080},
                     ui().systemColor(UiService::SystemColor::Window));

    //: Above the box for the new password.
    Label1_4 = makeLabel(Frame2, tr("New Password:"), QStringLiteral("Label1_4"), 1200);
    txtNewPass = makeBox(Frame2, QStringLiteral("txtNewPass"), 1440);
    //: Above the box where the new password is typed a second time, to check it.
    Label1_5 = makeLabel(Frame2, tr("Verify Password:"), QStringLiteral("Label1_5"), 1800);
    txtVerPass = makeBox(Frame2, QStringLiteral("txtVerPass"), 2040);
    // Each box is known to screen readers by its own label, not by the frame's title.
    Label1_3->setBuddy(txtCurrPass);
    Label1_4->setBuddy(txtNewPass);
    Label1_5->setBuddy(txtVerPass);

    //: Saves the new password.
    cmdOK = makeButton(this, tr("OK"), QStringLiteral("cmdOK"), 960);
    //: Closes the window, keeping the password as it was.
    cmdCancel = makeButton(this, tr("Cancel"), QStringLiteral("cmdCancel"), 1800);

    // Cancel comes before OK in the tab order, though it stands to its right.
    setTabOrder(txtCurrPass, txtNewPass);
    setTabOrder(txtNewPass, txtVerPass);
    setTabOrder(txtVerPass, cmdCancel);
    setTabOrder(cmdCancel, cmdOK);
    txtCurrPass->setFocus();

    connect(cmdOK, &QPushButton::clicked, this, &frmPasswords::CMDok_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmPasswords::cmdCancel_Click);

    Form_Load();
}

void frmPasswords::Form_Load()
{
    setWindowIcon(ui().icon(QStringLiteral("face.ico")));
    Line1->setEnds({Line1->from().x(), Line2->from().y() - 10},
                   {Line1->to().x(), Line2->to().y() - 10});
    // Under a lock no password is shown: the user's own one counts for nothing, and
    // the administrator's is not known.
    m_passwordLocked = SystemLock::read().isLocked();
    if (!m_passwordLocked)
        txtCurrPass->setText(
            GetSetting(Settings::section, Settings::passwordKey, Settings::defaultPassword));
}

void frmPasswords::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    // Once on the screen, so that the message stands over the window it explains.
    if (m_passwordLocked && !event->spontaneous())
        QMetaObject::invokeMethod(this, &frmPasswords::sayLockedAndClose, Qt::QueuedConnection);
}

void frmPasswords::sayLockedAndClose()
{
    //: A message when the computer's administrator has locked the password.
    ui().message(this, tr("The password is set by the administrator."),
                 UiService::MessageIcon::Exclamation, ui().applicationName());
    reject();
}

void frmPasswords::keyPressEvent(QKeyEvent *event)
{
    if (!plainDialogKey(event, focusWidget()))
        QDialog::keyPressEvent(event);
}

void frmPasswords::CMDok_Click()
{
    if (m_passwordLocked) {
        reject();
        return;
    }
    if (txtVerPass->text() != txtNewPass->text()) {
        //: A message when the new password and its second typing differ.
        ui().message(this, tr("Passwords Do Not Match."), UiService::MessageIcon::Exclamation,
                     ui().applicationName());
        txtNewPass->setFocus();
        txtNewPass->setSelection(0, txtNewPass->text().size());
        return;
    }
    // A password that did not reach the disk has not been changed: say so and keep
    // both entries, so the parent can try again or cancel.
    QString error;
    if (!SaveSetting(Settings::section, Settings::passwordKey, txtNewPass->text(), &error)) {
        ui().message(this, error, UiService::MessageIcon::Exclamation, ui().applicationName());
        return;
    }
    accept();
}

void frmPasswords::cmdCancel_Click()
{
    reject();
}
