// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "logic/SystemLock.h"

#include <QDialog>

#include <optional>

class GuardLink;
class Line;
class QLabel;
class QLineEdit;
class QPushButton;

// The gate in front of every protected command: asks for the parent password and
// tells the caller, through LoginSucceeded, whether it was given. Under the
// administrator's lock, the password is the one the lock's hash stands for; where the
// guard keeps the turn, the guard checks it, and slows down a run of wrong ones.
class frmLogin : public QDialog
{
    Q_OBJECT
public:
    explicit frmLogin(QWidget *parent = nullptr, GuardLink *guard = nullptr);

    // True once a showing has ended with the right password; false otherwise.
    bool LoginSucceeded = false;
    // The right password, once given: the guard checks it again with the command.
    QString password() const { return LoginSucceeded ? m_given : QString(); }

    // Cancel, Escape and the close box all end up here.
    void reject() override;

private:
    void Form_Load();
    void CMDok_Click();
    void cmdCancel_Click();

    bool passwordMatches(const QString &typed) const;
    // Asks the guard; nothing when it refused to check (too many wrong tries, no
    // answer), which is told here.
    std::optional<bool> guardAccepts(const QString &typed);

    QString mstrPassword;
    SystemLock m_lock;
    GuardLink *m_guard = nullptr;
    QString m_given;

    QLabel *lblLabels = nullptr;
    QLineEdit *txtPassword = nullptr;
    Line *Line2 = nullptr;
    Line *Line1 = nullptr;
    QPushButton *cmdOK = nullptr;
    QPushButton *cmdCancel = nullptr;
};
