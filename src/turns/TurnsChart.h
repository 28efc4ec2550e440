// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "logic/TurnLog.h"

#include <QDate>
#include <QList>
#include <QWidget>

// A grouped bar chart of the minutes each child used on each of a few days, drawn in
// the palette and font of its window so that it reads like the rest of the desktop and
// grows with the font.
class TurnsChart : public QWidget
{
    Q_OBJECT
public:
    explicit TurnsChart(QWidget *parent = nullptr);

    // The days shown, oldest first, the last being today, and one series per child
    // with a figure for each day.
    void setFigures(const QList<QDate> &days, const QList<TurnFigures::Series> &series);
    QList<QDate> days() const { return m_days; }
    QList<TurnFigures::Series> series() const { return m_series; }

    // The whole minutes between two ticks of the value axis, so that values up to
    // largest take at most ticks steps: 1, 2 or 5 times a power of ten.
    static int tickStep(double largest, int ticks);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    QString dayLabel(int index) const;
    QColor seriesColor(int index) const;
    void describe();

    QList<QDate> m_days;
    QList<TurnFigures::Series> m_series;
};
