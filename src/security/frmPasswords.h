// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

class Line;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

// Where the parent replaces the password that guards the protected commands: shows
// the stored one and stores a new one once it has been typed the same way twice.
// Under the administrator's lock it only says so and closes.
class frmPasswords : public QDialog
{
    Q_OBJECT
public:
    explicit frmPasswords(QWidget *parent = nullptr);

protected:
    // Enter presses only the button that has the focus; Escape closes nothing.
    void keyPressEvent(QKeyEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void Form_Load();
    void CMDok_Click();
    void cmdCancel_Click();
    void sayLockedAndClose();

    bool m_passwordLocked = false;

    QGroupBox *Frame2 = nullptr;
    QLabel *Label1_3 = nullptr;
    QLineEdit *txtCurrPass = nullptr;
    Line *Line2 = nullptr;
    Line *Line1 = nullptr;
    QLabel *Label1_4 = nullptr;
    QLineEdit *txtNewPass = nullptr;
    QLabel *Label1_5 = nullptr;
    QLineEdit *txtVerPass = nullptr;
    QPushButton *cmdOK = nullptr;
    QPushButton *cmdCancel = nullptr;
};
