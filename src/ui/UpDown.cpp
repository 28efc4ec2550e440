// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/UpDown.h"

#include <QKeyEvent>
#include <QStyleOptionFocusRect>
#include <QStylePainter>
#include <QToolButton>
#include <QVBoxLayout>

UpDown::UpDown(QWidget *parent) : QWidget(parent)
{
    setFocusPolicy(Qt::TabFocus);

    m_up = makeArrow(Qt::UpArrow, QStringLiteral("upButton"));
    //: Accessible name (read by screen readers) of the arrow that makes the number larger.
    m_up->setAccessibleName(tr("Up"));
    m_down = makeArrow(Qt::DownArrow, QStringLiteral("downButton"));
    //: Accessible name of the arrow that makes the number smaller.
    m_down->setAccessibleName(tr("Down"));

    auto *layout = new QVBoxLayout(this);
    // Room for the focus frame around the arrows.
    layout->setContentsMargins(1, 1, 1, 1);
    layout->setSpacing(0);
    layout->addWidget(m_up);
    layout->addWidget(m_down);

    connect(m_up, &QToolButton::clicked, this, [this] { report(m_up, &UpDown::upClicked); });
    connect(m_down, &QToolButton::clicked, this, [this] { report(m_down, &UpDown::downClicked); });
}

QToolButton *UpDown::makeArrow(Qt::ArrowType arrow, const QString &name)
{
    auto *button = new QToolButton(this);
    button->setObjectName(name);
    button->setArrowType(arrow);
    button->setAutoRepeat(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    return button;
}

void UpDown::report(QToolButton *arrow, void (UpDown::*signal)())
{
    // A held arrow repeats from a timer, which keeps running while a message box that
    // answers one press is open and would stack box upon box; the release of the mouse
    // button is never seen then either. A press that comes while the previous one is
    // still being answered lets the arrow go instead.
    if (m_reporting) {
        arrow->setDown(false);
        return;
    }
    m_reporting = true;
    emit(this->*signal)();
    m_reporting = false;
}

void UpDown::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Up && event->modifiers() == Qt::NoModifier) {
        emit upClicked();
    } else if (event->key() == Qt::Key_Down && event->modifiers() == Qt::NoModifier) {
        emit downClicked();
    } else {
        QWidget::keyPressEvent(event);
    }
}

void UpDown::paintEvent(QPaintEvent *)
{
    if (!hasFocus())
        return;
    QStylePainter painter(this);
    QStyleOptionFocusRect option;
    option.initFrom(this);
    painter.drawPrimitive(QStyle::PE_FrameFocusRect, option);
}
