// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/Controls.h"

#include <QKeyEvent>
#include <QPalette>
#include <QPushButton>

bool plainDialogKey(QKeyEvent *event, QWidget *focused)
{
    if (event->key() == Qt::Key_Escape) {
        event->ignore();
        return true;
    }
    // Enter typed in a text box or on the arrows reaches here too, and presses nothing.
    auto *button = qobject_cast<QPushButton *>(focused);
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && button) {
        button->click();
        return true;
    }
    return false;
}

Line::Line(QWidget *parent, const QString &name, QPointF fromTwips, QPointF toTwips, QColor color,
           int thicknessPixels)
    : QWidget(parent), m_thickness(thicknessPixels)
{
    setObjectName(name);
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, color);
    setPalette(palette);
    setEnds(fromTwips, toTwips);
}

void Line::setEnds(QPointF fromTwips, QPointF toTwips)
{
    m_from = fromTwips;
    m_to = toTwips;
    const int left = Twips::toPixels(qMin(m_from.x(), m_to.x()));
    const int right = Twips::toPixels(qMax(m_from.x(), m_to.x()));
    const int top = Twips::toPixels(qMin(m_from.y(), m_to.y()));
    setGeometry(left, top, qMax(1, right - left), m_thickness);
}
