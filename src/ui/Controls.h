// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPointF>
#include <QRect>
#include <QWidget>

class QKeyEvent;

// Windows are laid out in twips, 15 to a logical pixel.
namespace Twips {
inline constexpr double perPixel = 15.0;

inline int toPixels(double twips)
{
    return qRound(twips / perPixel);
}

inline QRect rect(int left, int top, int width, int height)
{
    return QRect(toPixels(left), toPixels(top), toPixels(width), toPixels(height));
}

inline QSize size(int width, int height)
{
    return QSize(toPixels(width), toPixels(height));
}
} // namespace Twips

// Every dialog of the program: a fixed frame with a title, a window menu and a close box.
inline constexpr Qt::WindowFlags fixedDialogFlags = Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint |
                                                    Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                                                    Qt::WindowCloseButtonHint;

// The keys of a dialog that has neither a default nor a cancel button, as this desktop
// treats them: Enter presses the button that has the focus and nothing else, Escape
// closes nothing. Answers whether it took the key; the dialog's own keyPressEvent
// passes every other key on.
bool plainDialogKey(QKeyEvent *event, QWidget *focused);

// A straight horizontal line between two points given in twips, drawn in one colour.
// Two of them, one pixel apart, make an etched separator.
class Line : public QWidget
{
    Q_OBJECT
public:
    Line(QWidget *parent, const QString &name, QPointF fromTwips, QPointF toTwips, QColor color,
         int thicknessPixels = 1);

    QPointF from() const { return m_from; }
    QPointF to() const { return m_to; }
    void setEnds(QPointF fromTwips, QPointF toTwips);

private:
    QPointF m_from;
    QPointF m_to;
    int m_thickness;
};
