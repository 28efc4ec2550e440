// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/TimeLeftBar.h"

#include <QAccessible>
#include <QAccessibleValueInterface>
#include <QAccessibleWidget>
#include <QHelpEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QStyleOptionProgressBar>
#include <QToolTip>

namespace {

// The style may draw the end of the filled part, its edge and its shading, a few
// pixels either side of where the value puts it.
constexpr int filledEndMargin = 4;

// What a screen reader is told about the bar: what it is told of a stock progress bar
// (its role, and as value the seconds counted between the minimum and the maximum,
// which Orca says as a percentage), and as description the text shown at the moment it
// asks ("Ann: 9:57", the time left).
class AccessibleTimeLeftBar : public QAccessibleWidget, public QAccessibleValueInterface
{
public:
    explicit AccessibleTimeLeftBar(TimeLeftBar *bar)
        : QAccessibleWidget(bar, QAccessible::ProgressBar)
    {}

    void *interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::ValueInterface)
            return static_cast<QAccessibleValueInterface *>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    QString text(QAccessible::Text which) const override
    {
        if (which == QAccessible::Description || which == QAccessible::Value)
            return bar()->text();
        return QAccessibleWidget::text(which);
    }

    QVariant currentValue() const override { return bar()->value(); }
    // As on a stock progress bar, the Increase and Decrease actions Qt offers for any
    // value change nothing: only the turn moves the bar.
    void setCurrentValue(const QVariant &) override {}
    QVariant maximumValue() const override { return bar()->maximum(); }
    QVariant minimumValue() const override { return bar()->minimum(); }
    // A hundredth of the range, as a stock progress bar answers: screen readers take
    // from it how finely to say the value.
    QVariant minimumStepSize() const override
    {
        return (bar()->maximum() - bar()->minimum()) / 100.0;
    }

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

TimeLeftBar::TimeLeftBar(QWidget *parent) : QWidget(parent)
{
    static const bool factoryInstalled = [] {
        QAccessible::installFactory(accessibleTimeLeftBar);
        return true;
    }();
    Q_UNUSED(factoryInstalled);
    // Each paint covers every pixel it is asked for, background included.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    m_textFont = font();
}

void TimeLeftBar::setRange(int minimum, int maximum)
{
    if (minimum == m_minimum && maximum == m_maximum)
        return;
    m_minimum = minimum;
    m_maximum = qMax(minimum, maximum);
    if (m_value < m_minimum || m_value > m_maximum)
        m_value = m_minimum;
    update();
}

void TimeLeftBar::setValue(int value)
{
    update(moveTo(value));
}

// Takes a value in the range and answers the pixels it changes: those around the
// filled part's old and new end. Nothing changes for a value outside the range.
QRect TimeLeftBar::moveTo(int value)
{
    if (value == m_value || value < m_minimum || value > m_maximum)
        return QRect();
    const int before = filledEnd(m_value);
    const bool wasEmptyOrFull = m_value == m_minimum || m_value == m_maximum;
    m_value = value;
    // Screen readers hear of it as of a stock progress bar's new value.
    if (isVisible() && QAccessible::isActive()) {
        QAccessibleValueChangeEvent changed(this, m_value);
        QAccessible::updateAccessibility(&changed);
    }
    const int after = filledEnd(m_value);
    const QRect changed(qMin(before, after) - filledEndMargin, 0,
                        qAbs(after - before) + 2 * filledEndMargin, height());
    // The style draws a value by where the filled part ends, an empty and a full bar
    // each its own way: only those change its drawing.
    if (after != before || wasEmptyOrFull || value == m_minimum || value == m_maximum)
        m_barOutOfDate |= changed;
    return changed;
}

void TimeLeftBar::showValue(int value, const QString &text, bool bold)
{
    QRegion changed;
    if (text != m_text || bold != m_textFont.bold()) {
        const QList<Piece> before = m_pieces;
        const QSizeF sizeBefore = m_textSize;
        const QRect placeBefore = textRect();
        const bool newFont = bold != m_textFont.bold();
        if (newFont) {
            m_textFont = font();
            m_textFont.setBold(bold);
            m_shapedPieces.clear();
        }
        m_text = text;
        layOutText();
        if (!newFont && m_textSize == sizeBefore && m_pieces.size() == before.size()) {
            // The text stands where it stood: only the pieces that differ change, as a
            // rule the last digit of the seconds.
            for (qsizetype i = 0; i < m_pieces.size(); ++i) {
                if (m_pieces[i].text != before[i].text || m_pieces[i].x != before[i].x)
                    changed += pieceRect(m_pieces[i]) | pieceRect(before[i]);
            }
        } else {
            changed += placeBefore;
            changed += textRect();
        }
    }
    changed += moveTo(value);
    changed &= rect();
    if (changed.isEmpty() || !isVisible())
        return;
    // At once, rather than in a paint posted for later: the tick has nothing else to do.
    repaint(changed);
    if (QToolTip::isVisible() && underMouse())
        QToolTip::showText(QCursor::pos(), m_text, this);
}

bool TimeLeftBar::event(QEvent *event)
{
    // With no text, the bar has no tool tip of its own either.
    if (event->type() == QEvent::ToolTip && isTextVisible()) {
        QToolTip::showText(static_cast<QHelpEvent *>(event)->globalPos(), m_text, this);
        return true;
    }
    switch (event->type()) {
    case QEvent::FontChange: {
        const bool bold = m_textFont.bold();
        m_textFont = font();
        m_textFont.setBold(bold);
        m_shapedPieces.clear();
        layOutText();
        m_places.reset();
        break;
    }
    case QEvent::Resize:
    case QEvent::StyleChange:
    case QEvent::LayoutDirectionChange:
        m_places.reset();
        break;
    default:
        break;
    }
    return QWidget::event(event);
}

void TimeLeftBar::layOutText()
{
    // Glyphs keep their advances across pieces: the digits of a time are as wide
    // whatever stands beside them.
    static const QString ownPieces = QStringLiteral("0123456789:");
    const auto shape = [this](const QString &piece) {
        QStaticText prepared(piece);
        prepared.setTextFormat(Qt::PlainText);
        prepared.setPerformanceHint(QStaticText::AggressiveCaching);
        prepared.prepare(QTransform(), m_textFont);
        return m_shapedPieces.insert(piece, prepared);
    };
    // Every digit is shaped at the first text, so that no later second shapes one.
    if (m_shapedPieces.isEmpty() || m_shapedPieces.size() > 64) {
        m_shapedPieces.clear();
        for (const QChar digit : ownPieces)
            shape(QString(digit));
    }
    m_pieces.clear();
    qreal x = 0;
    qreal height = 0;
    for (qsizetype start = 0; start < m_text.size();) {
        qsizetype end = start + 1;
        if (!ownPieces.contains(m_text.at(start)))
            while (end < m_text.size() && !ownPieces.contains(m_text.at(end)))
                ++end;
        const QString piece = m_text.mid(start, end - start);
        auto shaped = m_shapedPieces.find(piece);
        if (shaped == m_shapedPieces.end())
            shaped = shape(piece);
        m_pieces.append({piece, shaped.value(), x, shaped->size().width()});
        x += shaped->size().width();
        height = qMax(height, shaped->size().height());
        start = end;
    }
    m_textSize = QSizeF(x, height);
}

// The options a stock progress bar hands the style, with no text of the style's own.
QStyleOptionProgressBar TimeLeftBar::styleOption() const
{
    QStyleOptionProgressBar option;
    option.initFrom(this);
    option.state |= QStyle::State_Horizontal;
    option.minimum = m_minimum;
    option.maximum = m_maximum;
    option.progress = m_value;
    option.textAlignment = Qt::AlignLeft;
    option.textVisible = false;
    return option;
}

// Where the style puts a progress bar's parts, asked once for each size, style, font
// and direction.
const TimeLeftBar::Places &TimeLeftBar::places() const
{
    if (!m_places) {
        const QStyleOptionProgressBar option = styleOption();
        m_places = Places{style()->subElementRect(QStyle::SE_ProgressBarContents, &option, this),
                          style()->subElementRect(QStyle::SE_ProgressBarLabel, &option, this)};
    }
    return *m_places;
}

// Where the filled part of the bar ends, at a value, in the bar's own pixels.
int TimeLeftBar::filledEnd(int value) const
{
    const QRect contents = places().contents;
    const qint64 steps = qMax<qint64>(1, qint64(m_maximum) - m_minimum);
    const qint64 filled = (qint64(value) - m_minimum) * contents.width() / steps;
    return layoutDirection() == Qt::RightToLeft ? contents.right() - int(filled)
                                                : contents.left() + int(filled);
}

// Where the text stands: centred in the style's place for a progress bar's label.
QRect TimeLeftBar::textRect() const
{
    if (m_text.isEmpty())
        return QRect();
    const QRect label = places().label;
    QRect placed(QPoint(), m_textSize.toSize() + QSize(4, 4));
    placed.moveCenter(label.center());
    return placed;
}

bool TimeLeftBar::BarLook::operator==(const BarLook &other) const
{
    return rect == other.rect && state == other.state && direction == other.direction &&
           palette == other.palette && colorGroup == other.colorGroup && minimum == other.minimum &&
           maximum == other.maximum && pixelRatio == other.pixelRatio;
}

// Brings the style's drawing of the bar up to date for option: all of it for a new look,
// else only where a new value has changed it. That part is drawn on a picture of its own
// size: the style sets clips of its own, which would undo one set here. The picture holds
// the background too (the window's colour, which the bar takes from its parent), so that
// a paint of the bar is one copy of it, with nothing painted beneath.
void TimeLeftBar::drawBar(const QStyleOptionProgressBar &option)
{
    const BarLook look{option.rect,
                       option.state,
                       option.direction,
                       option.palette.cacheKey(),
                       option.palette.currentColorGroup(),
                       option.minimum,
                       option.maximum,
                       devicePixelRatioF()};
    QRect redrawn = m_barOutOfDate & rect();
    if (m_barPicture.isNull() || !(look == m_barLook)) {
        m_barPicture = QImage(size() * look.pixelRatio, QImage::Format_RGB32);
        m_barPicture.setDevicePixelRatio(look.pixelRatio);
        m_barLook = look;
        redrawn = rect();
    }
    m_barOutOfDate = QRect();
    if (redrawn.isEmpty())
        return;
    QImage part(redrawn.size() * look.pixelRatio, QImage::Format_RGB32);
    part.setDevicePixelRatio(look.pixelRatio);
    QPainter partPainter(&part);
    partPainter.translate(-redrawn.topLeft());
    partPainter.fillRect(redrawn, palette().window());
    style()->drawControl(QStyle::CE_ProgressBar, &option, &partPainter, this);
    partPainter.end();
    QPainter painter(&m_barPicture);
    painter.drawImage(redrawn.topLeft(), part);
}

void TimeLeftBar::paintEvent(QPaintEvent *event)
{
    drawBar(styleOption());
    QPainter painter(this);
    painter.drawImage(0, 0, m_barPicture);
    if (m_text.isEmpty())
        return;

    // As the style writes a progress bar's text: in the text colour over the empty
    // part of the bar, in the highlighted text colour over the filled part.
    const QRect label = places().label;
    const qint64 steps = qMax<qint64>(1, qint64(m_maximum) - m_minimum);
    const qint64 filled = (qint64(m_value) - m_minimum) * label.width() / steps;
    QRect done;
    if (filled > 0 && filled <= label.width())
        done = QRect(label.left(), label.top(), int(filled), label.height());
    if (layoutDirection() == Qt::RightToLeft && !done.isNull())
        done.moveRight(label.right());
    const QRect textPlace = textRect();
    painter.setFont(m_textFont);
    if (done.isNull() || !done.intersects(textPlace)) {
        painter.setPen(palette().color(QPalette::Text));
        drawText(painter, event->region());
    } else if (done.contains(textPlace)) {
        painter.setPen(palette().color(QPalette::HighlightedText));
        drawText(painter, event->region());
    } else {
        painter.setClipRegion(event->region() & QRegion(label).subtracted(done));
        painter.setPen(palette().color(QPalette::Text));
        drawText(painter, event->region());
        painter.setClipRegion(event->region() & done);
        painter.setPen(palette().color(QPalette::HighlightedText));
        drawText(painter, event->region());
    }
}

// Where the text begins: centred in the style's place for a progress bar's label.
QPointF TimeLeftBar::textOrigin() const
{
    const QRect label = places().label;
    return QPointF(label.left() + (label.width() - m_textSize.width()) / 2.0,
                   label.top() + (label.height() - m_textSize.height()) / 2.0);
}

// Where a piece of the text stands, with the margin textRect() gives the whole text.
QRect TimeLeftBar::pieceRect(const Piece &piece) const
{
    const QRectF place(textOrigin() + QPointF(piece.x, 0),
                       QSizeF(piece.width, m_textSize.height()));
    return place.toAlignedRect().adjusted(-2, -2, 2, 2);
}

// The pieces of the text side by side, those that region holds.
void TimeLeftBar::drawText(QPainter &painter, const QRegion &region) const
{
    const QPointF at = textOrigin();
    for (const Piece &piece : m_pieces) {
        if (region.intersects(pieceRect(piece)))
            painter.drawStaticText(at + QPointF(piece.x, 0), piece.shaped);
    }
}
