// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QString>

#include <algorithm>
#include <cstdlib>

// Another CPU may draw an anti-aliased pixel a level or two apart (Qt's raster engine
// picks its SIMD code at run time): so much may differ, no more. Header only, for the
// tests that do not link the windows too.
inline constexpr int pictureLevelTolerance = 4;
inline constexpr double pictureShareTolerance = 0.02;

// Empty when the two pictures match within the tolerance, else what differs.
inline QString pictureDifference(const QImage &actual, const QImage &expected)
{
    if (actual.size() != expected.size())
        return QStringLiteral("size %1x%2 against %3x%4")
            .arg(actual.width())
            .arg(actual.height())
            .arg(expected.width())
            .arg(expected.height());
    int differing = 0;
    int largest = 0;
    for (int y = 0; y < actual.height(); ++y) {
        for (int x = 0; x < actual.width(); ++x) {
            const QRgb a = actual.pixel(x, y);
            const QRgb b = expected.pixel(x, y);
            const int level =
                std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                          std::abs(qBlue(a) - qBlue(b)), std::abs(qAlpha(a) - qAlpha(b))});
            largest = std::max(largest, level);
            differing += level > 0;
        }
    }
    const int allowed = std::max(16, int(pictureShareTolerance * actual.width() * actual.height()));
    if (largest <= pictureLevelTolerance && differing <= allowed)
        return QString();
    return QStringLiteral("%1 pixels differ, by up to %2 levels").arg(differing).arg(largest);
}
