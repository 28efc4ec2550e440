// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "logic/SystemLock.h"

#include <QDialog>
#include <QMap>
#include <QString>
#include <QStringList>

#include <optional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTreeWidget;

// Where a parent sees and changes the family's rules that the lock keeps on every account:
// whether it stands, the turn's length, the break after a time's up, the desktop locked
// outside turns, the children in turn order with each one's time a day, and the parent
// password. It opens with the rules in force and what each child has had today, and once
// closed with OK hands back the change asked for; its opener takes it to the guard.
// Cancel and the close box keep everything as it was.
class frmFamilyRules : public QDialog
{
    Q_OBJECT
public:
    // usedToday: the seconds of turns each child has had today, shown beside each child.
    frmFamilyRules(const SystemLock::Change &inForce, const QMap<QString, qint32> &usedToday,
                   QWidget *parent = nullptr);

    // The change asked for, once accepted; until then the rules in force.
    SystemLock::Change change() const { return m_change; }

private:
    void CMDok_Click();
    void cmdAdd_Click();
    void cmdRemove_Click();
    void move(int by);
    void spnAllowance_Change(int minutes);
    void chkLocked_Click();
    void refresh(int selected);
    void showChosen();
    QString allowanceText(const QString &child) const;
    // Why name cannot stand in the list after names; empty when it can.
    static QString childRefusal(const QString &name, const QStringList &names);
    int selectedRow() const;
    // The change as the window stands now; nothing, after saying why, when OK cannot take it.
    std::optional<SystemLock::Change> edited();
    // Says why something was refused, and hands the field back for another try.
    void refuse(QWidget *field, const QString &reason);

    SystemLock::Change m_change;
    QMap<QString, qint32> m_usedToday;
    QStringList m_names;
    // Seconds a day by child, as they came until a parent changes them.
    QMap<QString, qint32> m_allowance;
    // The minutes the length box showed at first: left so, the length stays as it came.
    int m_lengthShown = 0;

    QCheckBox *chkLocked = nullptr;
    QWidget *fraRules = nullptr;
    QSpinBox *spnLength = nullptr;
    QSpinBox *spnBreak = nullptr;
    QCheckBox *chkOutsideTurns = nullptr;
    QLineEdit *txtAccounts = nullptr;
    QTreeWidget *lstChildren = nullptr;
    QPushButton *cmdUp = nullptr;
    QPushButton *cmdDown = nullptr;
    QPushButton *cmdRemove = nullptr;
    QLabel *lblAllowance = nullptr;
    QSpinBox *spnAllowance = nullptr;
    QLineEdit *txtName = nullptr;
    QPushButton *cmdAdd = nullptr;
    QLineEdit *txtPassword = nullptr;
    QLineEdit *txtVerify = nullptr;
    QPushButton *CMDok = nullptr;
    QPushButton *cmdCancel = nullptr;
};
