// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/UpDown.h"

#include <QAccessible>
#include <QAccessibleValueInterface>
#include <QAccessibleWidget>
#include <QKeyEvent>
#include <QLineEdit>
#include <QStyleOptionFocusRect>
#include <QStylePainter>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

// What a screen reader is told about the arrows: a spin box whose value is the number
// in the buddy box, and whose Increase and Decrease actions press the arrows.
class AccessibleUpDown : public QAccessibleWidget, public QAccessibleValueInterface
{
public:
    explicit AccessibleUpDown(UpDown *upDown) : QAccessibleWidget(upDown, QAccessible::SpinBox) {}

    void *interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::ValueInterface && upDown()->buddy())
            return static_cast<QAccessibleValueInterface *>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    QString text(QAccessible::Text which) const override
    {
        if (which == QAccessible::Value && upDown()->buddy())
            return upDown()->buddy()->text();
        return QAccessibleWidget::text(which);
    }

    QVariant currentValue() const override
    {
        bool isNumber = false;
        const double number = upDown()->buddy()->text().toDouble(&isNumber);
        return isNumber ? number : 0.0;
    }
    // The owner alone decides what the number may be: the arrows are the way to change it.
    void setCurrentValue(const QVariant &) override {}
    QVariant maximumValue() const override { return QVariant(); }
    QVariant minimumValue() const override { return QVariant(); }
    QVariant minimumStepSize() const override { return 1; }

    QStringList actionNames() const override
    {
        QStringList names = QAccessibleWidget::actionNames();
        if (upDown()->isEnabled())
            names << increaseAction() << decreaseAction();
        return names;
    }
    void doAction(const QString &name) override
    {
        if (name == increaseAction())
            upDown()->upButton()->click();
        else if (name == decreaseAction())
            upDown()->downButton()->click();
        else
            QAccessibleWidget::doAction(name);
    }

private:
    UpDown *upDown() const { return static_cast<UpDown *>(widget()); }
};

QAccessibleInterface *accessibleUpDown(const QString &className, QObject *object)
{
    if (className == QLatin1String("UpDown") && object && object->isWidgetType())
        return new AccessibleUpDown(static_cast<UpDown *>(object));
    return nullptr;
}

} // namespace

UpDown::UpDown(QWidget *parent) : QWidget(parent)
{
    static const bool factoryInstalled = [] {
        QAccessible::installFactory(accessibleUpDown);
        return true;
    }();
    Q_UNUSED(factoryInstalled);
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
    stepped();
}

void UpDown::setBuddy(QLineEdit *box)
{
    m_buddy = box;
}

void UpDown::stepped()
{
    if (!m_buddy || !QAccessible::isActive())
        return;
    QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(this);
    if (!accessible || !accessible->valueInterface())
        return;
    QAccessibleValueChangeEvent changed(this, accessible->valueInterface()->currentValue());
    QAccessible::updateAccessibility(&changed);
}

void UpDown::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Up && event->modifiers() == Qt::NoModifier) {
        emit upClicked();
        stepped();
    } else if (event->key() == Qt::Key_Down && event->modifiers() == Qt::NoModifier) {
        emit downClicked();
        stepped();
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
