// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

class QLineEdit;
class QToolButton;

// A pair of small arrow buttons, one above the other, that only reports presses:
// the window that owns it decides what a step means. Holding an arrow repeats it,
// and with the focus on the control the Up and Down keys press the arrows too. Screen
// readers meet it as a spin box whose value is the number in its buddy box.
class UpDown : public QWidget
{
    Q_OBJECT
public:
    explicit UpDown(QWidget *parent = nullptr);

    QToolButton *upButton() const { return m_up; }
    QToolButton *downButton() const { return m_down; }

    // The box whose number the arrows step, as the owner answers them: after each press
    // screen readers hear its new number.
    void setBuddy(QLineEdit *box);
    QLineEdit *buddy() const { return m_buddy; }

signals:
    void upClicked();
    void downClicked();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    QToolButton *makeArrow(Qt::ArrowType arrow, const QString &name);
    void report(QToolButton *arrow, void (UpDown::*signal)());
    void stepped();

    QToolButton *m_up = nullptr;
    QToolButton *m_down = nullptr;
    QLineEdit *m_buddy = nullptr;
    bool m_reporting = false;
};
