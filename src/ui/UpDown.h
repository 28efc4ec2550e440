// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

class QToolButton;

// A pair of small arrow buttons, one above the other, that only reports presses:
// the window that owns it decides what a step means. Holding an arrow repeats it,
// and with the focus on the control the Up and Down keys press the arrows too.
class UpDown : public QWidget
{
    Q_OBJECT
public:
    explicit UpDown(QWidget *parent = nullptr);

    QToolButton *upButton() const { return m_up; }
    QToolButton *downButton() const { return m_down; }

signals:
    void upClicked();
    void downClicked();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    QToolButton *makeArrow(Qt::ArrowType arrow, const QString &name);
    void report(QToolButton *arrow, void (UpDown::*signal)());

    QToolButton *m_up = nullptr;
    QToolButton *m_down = nullptr;
    bool m_reporting = false;
};
