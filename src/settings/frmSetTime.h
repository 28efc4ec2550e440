// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <QLineEdit>

class Line;
class QLabel;
class QPushButton;
class UpDown;

// A text box that shows each typed character to its owner before inserting it. The
// owner may let it through, replace it, or discard it by setting the code to 0.
// Edits that type no character (Delete, clipboard keys, the context menu) pass as usual.
class KeyFilteredLineEdit : public QLineEdit
{
    Q_OBJECT
public:
    using QLineEdit::QLineEdit;

signals:
    void keyPress(int &keyAscii);

protected:
    void keyPressEvent(QKeyEvent *event) override;
};

// Where the parent sets how long a turn lasts, in minutes from 1 to 3600. It opens
// with the length its opener gives it, in seconds, and once closed with OK hands back
// the length chosen; the opener writes it. A length the administrator has locked is
// shown, but OK refuses it.
class frmSetTime : public QDialog
{
    Q_OBJECT
public:
    // Shows seconds as minutes; a length out of range is answered and corrected here,
    // before the dialog is on the screen.
    explicit frmSetTime(qint32 seconds, QWidget *parent = nullptr, bool lengthLocked = false);

    // The length in minutes that the box holds, read afresh; after OK, the one chosen.
    double minutes() const;

protected:
    // Enter presses only the button that has the focus; Escape closes nothing.
    void keyPressEvent(QKeyEvent *event) override;

private:
    void Form_Load(qint32 seconds);
    void Text1_KeyPress(int &keyAscii);
    void Text1_Change();
    void UpDown1_UpClick();
    void UpDown1_DownClick();
    void CMDok_Click();
    void cmdCancel_Click();

    void refuse(const QString &text);

    bool m_lengthLocked = false;

    UpDown *UpDown1 = nullptr;
    KeyFilteredLineEdit *Text1 = nullptr;
    QLabel *Label1 = nullptr;
    QPushButton *CMDok = nullptr;
    QPushButton *cmdCancel = nullptr;
    QLabel *Label2 = nullptr;
    Line *Line2 = nullptr;
    Line *Line1 = nullptr;
};
