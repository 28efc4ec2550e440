// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "logic/SystemLock.h"

#include <QDialog>

class Line;
class QLabel;
class QLineEdit;
class QPushButton;

// The gate in front of every protected command: asks for the parent password and
// tells the caller, through LoginSucceeded, whether it was given. Under the
// administrator's lock, the password is the one the lock's hash stands for.
class frmLogin : public QDialog
{
    Q_OBJECT
public:
    explicit frmLogin(QWidget *parent = nullptr);

    // True once a showing has ended with the right password; false otherwise.
    bool LoginSucceeded = false;

    // Cancel, Escape and the close box all end up here.
    void reject() override;

private:
    void Form_Load();
    void CMDok_Click();
    void cmdCancel_Click();

    bool passwordMatches(const QString &typed) const;

    QString mstrPassword;
    SystemLock m_lock;

    QLabel *lblLabels = nullptr;
    QLineEdit *txtPassword = nullptr;
    Line *Line2 = nullptr;
    Line *Line1 = nullptr;
    QPushButton *cmdOK = nullptr;
    QPushButton *cmdCancel = nullptr;
};
