// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QProgressBar>
#include <QStaticText>

// The main window's progress bar with a text of its own ("9:57", "Ann: 9:57"). A
// running turn changes both the bar and its text every second, and a plain progress
// bar would measure and shape the text at every paint and paint twice, once for the
// value and once for the new text. This one shapes each new text once, paints it over
// the bar the style draws, and shows a new value and text in one paint of what changed.
// Its tool tip and the description screen readers hear are the text of the moment,
// read when asked for rather than rewritten at every tick.
class TimeLeftBar : public QProgressBar
{
    Q_OBJECT
public:
    explicit TimeLeftBar(QWidget *parent = nullptr);

    // Shows a new value and text together; an empty text hides the text.
    void showValue(int value, const QString &text, bool bold);

    QString text() const override;

    // How many times the bar was painted: a tick costs one paint.
    int paintCount() const { return m_paints; }

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    QRect textRect() const;

    QString m_text;
    QStaticText m_shaped;
    int m_paints = 0;
};
