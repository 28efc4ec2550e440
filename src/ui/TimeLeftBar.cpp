// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/TimeLeftBar.h"

#include <QAccessible>
#include <QAccessibleValueInterface>
#include <QAccessibleWidget>
#include <QHelpEvent>
#include <QPaintEvent>
#include <QStyleOptionProgressBar>
#include <QStylePainter>
#include <QToolTip>

namespace {

// What a screen reader is told about the bar: the stock progress bar's role and
// value, and as description the text shown at the moment it asks.
class AccessibleTimeLeftBar : public QAccessibleWidget, public QAccessibleValueInterface
{
public:
    explicit AccessibleTimeLeftBar(TimeLeftBar *bar) : QAccessibleWidget(bar, QAccessible::ProgressBar) {}

    void *interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::ValueInterface)
            return static_cast<QAccessibleValueInterface *>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    QString text(QAccessible::Text which) const override
    {
        if (which == QAccessible::Description && bar()->isTextVisible())
            return bar()->text();
        if (which == QAccessible::Value)
            return bar()->isTextVisible() ? bar()->text() : QString::number(bar()->value());
        return QAccessibleWidget::text(which);
    }

    QVariant currentValue() const override { return bar()->value(); }
    void setCurrentValue(const QVariant &) override {}
    QVariant maximumValue() const override { return bar()->maximum(); }
    QVariant minimumValue() const override { return bar()->minimum(); }
    QVariant minimumStepSize() const override { return 0; }

private:
    TimeLeftBar *bar() const { return static_cast<TimeLeftBar *>(widget()); }
};

QAccessibleInterface *accessibleTimeLeftBar(const QString &className, QObject *object)
{
    if (className == QLatin1String("TimeLeftBar") && object && object->isWidgetType())
        return new AccessibleTimeLeftBar(static_cast<TimeLeftBar *>(object));
    return nullptr;
}

} // namespace

TimeLeftBar::TimeLeftBar(QWidget *parent) : QProgressBar(parent)
{
    static const bool factoryInstalled = [] {
        QAccessible::installFactory(accessibleTimeLeftBar);
        return true;
    }();
    Q_UNUSED(factoryInstalled);
    // The bar paints its own text: the stock one, a percentage, never shows.
    setFormat(QString());
    setTextVisible(false);
    m_shaped.setTextFormat(Qt::PlainText);
    m_shaped.setPerformanceHint(QStaticText::AggressiveCaching);
}

void TimeLeftBar::showValue(int value, const QString &text, bool bold)
{
    const QRect before = textRect();
    const bool textChanges = text != m_text || bold != font().bold();
    if (bold != font().bold()) {
        QFont shown = font();
        shown.setBold(bold);
        setFont(shown);
    }
    if (text != m_text) {
        m_text = text;
        m_shaped.setText(text);
        m_shaped.prepare(QTransform(), font());
    }
    setTextVisible(!text.isEmpty());
    // The stock bar repaints itself, at once, when the value moves a pixel of the bar;
    // otherwise only the text is painted again, also at once rather than later.
    const int paintsBefore = m_paints;
    setValue(value);
    if (textChanges && m_paints == paintsBefore && isVisible())
        repaint(before.united(textRect()));
    if (QToolTip::isVisible() && underMouse())
        QToolTip::showText(QCursor::pos(), m_text, this);
}

QString TimeLeftBar::text() const
{
    return isTextVisible() ? m_text : QString();
}

bool TimeLeftBar::event(QEvent *event)
{
    // With no text, the bar has no tool tip of its own either.
    if (event->type() == QEvent::ToolTip && isTextVisible() && !m_text.isEmpty()) {
        QToolTip::showText(static_cast<QHelpEvent *>(event)->globalPos(), m_text, this);
        return true;
    }
    return QProgressBar::event(event);
}

// Where the text stands: centred in the style's place for the label, as the stock bar
// centres its own.
QRect TimeLeftBar::textRect() const
{
    if (m_text.isEmpty())
        return QRect();
    QStyleOptionProgressBar option;
    initStyleOption(&option);
    const QRect label = style()->subElementRect(QStyle::SE_ProgressBarLabel, &option, this);
    const QSize size = m_shaped.size().toSize() + QSize(2, 2);
    QRect placed(QPoint(), size);
    placed.moveCenter(label.center());
    return placed;
}

void TimeLeftBar::paintEvent(QPaintEvent *)
{
    ++m_paints;
    QStylePainter painter(this);
    QStyleOptionProgressBar option;
    initStyleOption(&option);
    option.textVisible = false;
    painter.drawControl(QStyle::CE_ProgressBar, option);
    if (!isTextVisible() || m_text.isEmpty())
        return;

    // As the style writes a bar's text: in the text colour over the empty part, in the
    // highlighted text colour over the filled part.
    const QRect label = style()->subElementRect(QStyle::SE_ProgressBarLabel, &option, this);
    const qint64 steps = qMax<qint64>(1, qint64(maximum()) - minimum());
    const qint64 filled = (qint64(value()) - minimum()) * label.width() / steps;
    QRect done;
    if (filled >= 0 && filled <= label.width())
        done = QRect(label.left(), label.top(), int(filled), label.height());
    if (layoutDirection() == Qt::RightToLeft && !done.isNull())
        done.moveRight(label.right());
    const QSizeF size = m_shaped.size();
    const QPointF at(label.left() + (label.width() - size.width()) / 2.0,
                     label.top() + (label.height() - size.height()) / 2.0);
    painter.setFont(font());
    painter.setClipRegion(QRegion(label).subtracted(done));
    painter.setPen(palette().color(QPalette::Text));
    painter.drawStaticText(at, m_shaped);
    if (!done.isNull()) {
        painter.setClipRect(done);
        painter.setPen(palette().color(QPalette::HighlightedText));
        painter.drawStaticText(at, m_shaped);
    }
}
