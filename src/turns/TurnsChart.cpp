// SPDX-License-Identifier: GPL-3.0-or-later
#include "turns/TurnsChart.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QEvent>
#include <QFontMetrics>
#include <QLocale>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

// At most this many steps up the value axis.
constexpr int axisSteps = 5;

// The share of a day's width that its bars take together; the rest parts the days.
constexpr double barsShare = 0.8;

// Screen readers know a chart; a plain widget they would meet as a filler.
QAccessibleInterface *accessibleChart(const QString &className, QObject *object)
{
    if (className == QLatin1String("TurnsChart") && object && object->isWidgetType())
        return new QAccessibleWidget(static_cast<QWidget *>(object), QAccessible::Chart);
    return nullptr;
}

} // namespace

TurnsChart::TurnsChart(QWidget *parent) : QWidget(parent)
{
    static const bool factoryInstalled = [] {
        QAccessible::installFactory(accessibleChart);
        return true;
    }();
    Q_UNUSED(factoryInstalled);
    setObjectName(QStringLiteral("chrTurns"));
    //: Accessible name (read by screen readers) of the chart in the Turns window.
    setAccessibleName(tr("Minutes per day"));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    describe();
}

void TurnsChart::setFigures(const QList<QDate> &days, const QList<TurnFigures::Series> &series)
{
    m_days = days;
    m_series = series;
    describe();
    updateGeometry();
    update();
}

int TurnsChart::tickStep(double largest, int ticks)
{
    const double least = largest / std::max(ticks, 1);
    if (least <= 1)
        return 1;
    const double magnitude = std::pow(10.0, std::floor(std::log10(least)));
    for (int multiple : {1, 2, 5}) {
        if (multiple * magnitude >= least)
            return int(std::lround(multiple * magnitude));
    }
    return int(std::lround(10 * magnitude));
}

QSize TurnsChart::minimumSizeHint() const
{
    const QFontMetrics metrics(font());
    const int day =
        metrics.horizontalAdvance(QStringLiteral("Wed 30")) + 2 * metrics.averageCharWidth();
    return QSize(metrics.horizontalAdvance(QStringLiteral("0000")) + 7 * day, 9 * metrics.height());
}

QSize TurnsChart::sizeHint() const
{
    const QSize least = minimumSizeHint();
    return QSize(least.width() * 3 / 2, QFontMetrics(font()).height() * 16);
}

void TurnsChart::changeEvent(QEvent *event)
{
    switch (event->type()) {
    case QEvent::FontChange:
    case QEvent::LocaleChange:
    case QEvent::PaletteChange:
        describe();
        updateGeometry();
        update();
        break;
    default:
        break;
    }
    QWidget::changeEvent(event);
}

QString TurnsChart::dayLabel(int index) const
{
    if (index == m_days.size() - 1)
        //: Under the chart's last group of bars, in place of the day's name and date.
        return tr("Today");
    const QDate day = m_days.at(index);
    return locale().dayName(day.dayOfWeek(), QLocale::ShortFormat) + QLatin1Char(' ') +
           QString::number(day.day());
}

// Hues spread around the circle from the palette's highlight, with its strength but
// never washed out, so that neighbouring bars differ.
QColor TurnsChart::seriesColor(int index) const
{
    const QColor highlight = palette().color(QPalette::Highlight).toHsv();
    const int hue = highlight.hsvHue() < 0 ? 210 : highlight.hsvHue();
    return QColor::fromHsv((hue + index * 137) % 360, std::max(highlight.hsvSaturation(), 150),
                           std::clamp(highlight.value(), 150, 220));
}

void TurnsChart::describe()
{
    QStringList today;
    for (const TurnFigures::Series &series : std::as_const(m_series)) {
        if (!series.minutes.isEmpty())
            //: Read by screen readers, describing the chart: %1 is a child's name (or
            //: "Everyone"), %2 the minutes that child had today ("Ann 12.5 minutes").
            today.append(tr("%1 %2 minutes")
                             .arg(series.name, locale().toString(series.minutes.last(), 'f', 1)));
    }
    setAccessibleDescription(today.isEmpty()
                                 //: Read by screen readers, describing the chart.
                                 ? tr("No turns today.")
                                 //: Read by screen readers, describing the chart. %1 lists
                                 //: each child's "%1 %2 minutes", separated by commas.
                                 : tr("Today: %1.").arg(today.join(QStringLiteral(", "))));
}

void TurnsChart::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QPalette colors = palette();
    const QColor ink = colors.color(QPalette::Text);
    painter.fillRect(rect(), colors.color(QPalette::Base));
    painter.setFont(font());
    const QFontMetrics metrics(font());
    const int line = metrics.height();
    const int gap = std::max(2, line / 2);
    const int swatch = metrics.ascent();

    // The legend, over as many rows as the width needs.
    int x = gap;
    int y = gap;
    for (int index = 0; index < m_series.size(); ++index) {
        const QString &name = m_series.at(index).name;
        const int width = swatch + gap / 2 + metrics.horizontalAdvance(name);
        if (x > gap && x + width > this->width() - gap) {
            x = gap;
            y += line;
        }
        const QRect box(x, y + (line - swatch) / 2, swatch, swatch);
        painter.fillRect(box, seriesColor(index));
        painter.setPen(ink);
        painter.drawRect(box.adjusted(0, 0, -1, -1));
        painter.drawText(QRect(x + swatch + gap / 2, y, width, line),
                         Qt::AlignLeft | Qt::AlignVCenter, name);
        x += width + 2 * gap;
    }
    const int unitTop = y + line + gap;

    // The value axis, in whole minutes from 0, with no more ticks than the height has
    // room for.
    const int plotTop = unitTop + line + line / 2;
    const int plotBottom = height() - gap - line - gap / 2;
    const int roomFor = std::clamp((plotBottom - plotTop) / (line + line / 2), 1, axisSteps);
    double largest = 0;
    for (const TurnFigures::Series &series : std::as_const(m_series)) {
        for (double minutes : series.minutes)
            largest = std::max(largest, minutes);
    }
    const int step = tickStep(largest, roomFor);
    const int top = std::max(step, int(std::ceil(largest / step)) * step);
    const QLocale here = locale();
    int labelWidth = 0;
    for (int value = 0; value <= top; value += step)
        labelWidth = std::max(labelWidth, metrics.horizontalAdvance(here.toString(value)));
    painter.setPen(ink);
    painter.drawText(QRect(gap, unitTop, width() - 2 * gap, line), Qt::AlignLeft | Qt::AlignTop,
                     //: Above the chart's axis of values: the unit.
                     tr("Minutes"));

    const QRect plot(QPoint(gap + labelWidth + gap, plotTop),
                     QPoint(width() - gap - 1, plotBottom));
    if (plot.width() < 1 || plot.height() < 1 || m_days.isEmpty())
        return;
    const auto heightOf = [&](double value) {
        return int(std::lround(value / top * plot.height()));
    };
    for (int value = 0; value <= top; value += step) {
        const int at = plot.bottom() - heightOf(value);
        painter.setPen(colors.color(QPalette::Mid));
        painter.drawLine(plot.left(), at, plot.right(), at);
        painter.setPen(ink);
        painter.drawText(QRect(gap, at - line / 2, labelWidth, line),
                         Qt::AlignRight | Qt::AlignVCenter, here.toString(value));
    }

    // A group of bars per day, a bar per series.
    const double dayWidth = double(plot.width()) / m_days.size();
    const double barWidth = dayWidth * barsShare / std::max<qsizetype>(1, m_series.size());
    for (int day = 0; day < m_days.size(); ++day) {
        const double left = plot.left() + day * dayWidth + dayWidth * (1 - barsShare) / 2;
        for (int index = 0; index < m_series.size(); ++index) {
            const double minutes = m_series.at(index).minutes.value(day);
            if (minutes <= 0)
                continue;
            const int height = std::max(1, heightOf(minutes));
            const QRectF bar(left + index * barWidth, plot.bottom() + 1 - height, barWidth, height);
            painter.fillRect(bar, seriesColor(index));
            painter.setPen(seriesColor(index).darker(150));
            painter.drawRect(bar.adjusted(0, 0, -1, -1));
        }
        const QRect label(int(plot.left() + day * dayWidth), plot.bottom() + gap / 2, int(dayWidth),
                          line);
        painter.setPen(ink);
        painter.drawText(label, Qt::AlignHCenter | Qt::AlignTop,
                         metrics.elidedText(dayLabel(day), Qt::ElideRight, label.width()));
    }
    painter.drawLine(plot.bottomLeft(), plot.bottomRight());
    painter.drawLine(plot.topLeft(), plot.bottomLeft());
}
