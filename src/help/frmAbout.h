// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

class Line;
class QLabel;
class QPushButton;

// Shows the program's title, version and description beside the face, and starts the
// machine's system-information program for a parent who wants to know more.
class frmAbout : public QDialog
{
    Q_OBJECT
public:
    explicit frmAbout(QWidget *parent = nullptr);

    // Finds and starts the system-information program, or says that there is none.
    void StartSysInfo();

    // Reads one text value of the system registry into KeyVal and answers whether it
    // could. There is no registry on this platform: KeyVal is emptied and the answer
    // is false. (Where there is one, the key is opened for reading only.)
    bool GetKeyValue(quint32 KeyRoot, const QString &KeyName, const QString &SubKeyRef,
                     QString &KeyVal);

private:
    void Form_Load();
    void cmdSysInfo_Click();
    void CMDok_Click();

    QPushButton *cmdOK = nullptr;
    QPushButton *cmdSysInfo = nullptr;
    QLabel *lblDescription = nullptr;
    QLabel *lblTitle = nullptr;
    QLabel *lblVersion = nullptr;
    QLabel *Image1 = nullptr;
    Line *Line1_1 = nullptr;
    Line *Line1_0 = nullptr;
};
