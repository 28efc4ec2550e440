// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFont>
#include <QHash>
#include <QImage>
#include <QList>
#include <QRegion>
#include <QStaticText>
#include <QStyle>
#include <QWidget>

#include <optional>

class QPainter;
class QStyleOptionProgressBar;

// The main window's progress bar, with a text of its own ("9:57", "Ann: 9:57"). A
// running turn changes the bar and its text every second; a stock progress bar would
// paint all of itself twice for it, measuring and shaping the text at each paint, and
// have the style draw the whole bar each time. This bar keeps the style's drawing of the
// bar, asks the style again only where the filled part's end has moved, paints over it
// a text whose pieces are shaped once, and shows a new value and text in one paint of
// the pixels that change. Screen readers get its value, range and value changes as from a
// stock progress bar; its tool tip and the description they hear are the text of the
// moment, read when asked for rather than rewritten at every tick.
class TimeLeftBar : public QWidget
{
    Q_OBJECT
public:
    explicit TimeLeftBar(QWidget *parent = nullptr);

    int minimum() const { return m_minimum; }
    int maximum() const { return m_maximum; }
    int value() const { return m_value; }
    void setRange(int minimum, int maximum);
    void setMaximum(int maximum) { setRange(qMin(m_minimum, maximum), maximum); }
    // A value outside the range is ignored, as a stock progress bar ignores it.
    void setValue(int value);

    // Shows a new value and text together, at once; an empty text shows none.
    void showValue(int value, const QString &text, bool bold);
    QString text() const { return m_text; }
    bool isTextVisible() const { return !m_text.isEmpty(); }

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    struct Places
    {
        QRect contents;
        QRect label;
    };
    QStyleOptionProgressBar styleOption() const;
    const Places &places() const;
    void drawBar(const QStyleOptionProgressBar &option);
    int filledEnd(int value) const;
    QRect moveTo(int value);
    QRect textRect() const;

    int m_minimum = 0;
    int m_maximum = 100;
    int m_value = 0;
    struct Piece
    {
        QString text;
        QStaticText shaped;
        qreal x;
        qreal width;
    };
    void layOutText();
    QPointF textOrigin() const;
    QRect pieceRect(const Piece &piece) const;
    void drawText(QPainter &painter, const QRegion &region) const;

    QString m_text;
    QFont m_textFont;
    // The text in pieces, each shaped once and kept: a run of letters (a name), and
    // each digit and colon of the time on its own, so that a new second shapes nothing.
    QHash<QString, QStaticText> m_shapedPieces;
    QList<Piece> m_pieces;
    QSizeF m_textSize;
    mutable std::optional<Places> m_places;

    // What the style drew for the bar, without the text: for which options but the
    // value, and where new values have changed it since.
    struct BarLook
    {
        QRect rect;
        QStyle::State state;
        Qt::LayoutDirection direction;
        qint64 palette;
        QPalette::ColorGroup colorGroup;
        int minimum;
        int maximum;
        qreal pixelRatio;
        bool operator==(const BarLook &other) const;
    };
    QImage m_barPicture;
    BarLook m_barLook{};
    QRect m_barOutOfDate;
};
