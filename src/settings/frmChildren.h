// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "logic/Children.h"

#include <QDialog>

class QGridLayout;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

// Where a parent enters the first names of the children who take turns, in turn order,
// and chooses whose turn is next. It opens with the list its opener gives it and, once
// closed with OK, hands back the list as edited; Cancel and the close box keep
// everything as it was. A list the administrator's lock sets is only shown.
class frmChildren : public QDialog
{
    Q_OBJECT
public:
    enum class Editing { Allowed, SetByLock };

    explicit frmChildren(const Children &children, QWidget *parent = nullptr,
                         Editing editing = Editing::Allowed);

    // The list as edited.
    Children children() const;

private:
    void cmdAdd_Click();
    void cmdRename_Click();
    void cmdRemove_Click();
    void move(int by);
    void cmdNext_Click();
    void refresh(int selected);
    int selectedRow() const;
    // Says why a name was refused, and hands the box back for another try.
    void refuse(const QString &reason);
    void showOnly(QGridLayout *grid);

    QStringList m_names;
    QString m_next;
    Editing m_editing;

    QListWidget *lstNames = nullptr;
    QLabel *lblNext = nullptr;
    QLabel *lblName = nullptr;
    QLineEdit *txtName = nullptr;
    QPushButton *cmdAdd = nullptr;
    QPushButton *cmdRename = nullptr;
    QPushButton *cmdRemove = nullptr;
    QPushButton *cmdUp = nullptr;
    QPushButton *cmdDown = nullptr;
    QPushButton *cmdNext = nullptr;
    QPushButton *CMDok = nullptr;
    QPushButton *cmdCancel = nullptr;
};
