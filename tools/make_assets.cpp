// SPDX-License-Identifier: GPL-3.0-or-later
// make_assets: draws the program's icons and synthesizes the horn sound, and
// optionally the smiling face as the desktop icon in the icon theme's sizes.
// Usage: make_assets <output-folder> [<desktop-icon-folder>]

#include <QBuffer>
#include <QByteArray>
#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <QImageWriter>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QtEndian>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iterator>
#include <vector>

namespace {

enum class Mouth { Straight, Smile, Frown, OpenRed };

const QColor kOutline(0x1a, 0x1a, 0x1a);
const QColor kYellowLight(0xff, 0xf0, 0x6a);
const QColor kYellow(0xff, 0xd4, 0x1c);
const QColor kYellowDark(0xf0, 0xb0, 0x10);
const QColor kMouthRed(0xd8, 0x22, 0x22);

// Where the features of a face go, in pixels of a grid of the given size. Each size
// the program shows has a grid of its own, drawn one to one: the eyes and the
// straight mouth sit on whole pixels, and the lines get relatively finer as the face
// grows, so that the 16 pixel icon stays crisp instead of turning into grey smudges
// and the 192 pixel face does not look drawn with a felt pen.
struct FaceLayout
{
    double grid;
    double outline;     // pen width of the face's rim
    double line;        // pen width of a drawn mouth
    double eyeDx, eyeY; // eye centres sit at grid / 2 -+ eyeDx
    double eyeRx, eyeRy;
    double eyeRoundness; // corner radius as a fraction of eyeRx
    double mouthLeft;    // mouths are symmetric around grid / 2
    double straightY;    // the straight mouth
    double curveEndY;    // corners of the smile; the frown mirrors it
    double curveDepth;   // how far the middle of the curve sits from its corners
    double openTop;      // upper lip of the open mouth
    double openDepth;
};

// From the smallest grid to the largest.
const FaceLayout kLayouts[] = {
    {16, 1.3, 1.3, 2.0, 6.5, 1.0, 1.5, 0.3, 5.0, 11.5, 9.6, 2.2, 9.5, 3.2},
    {32, 2.0, 2.0, 4.5, 12.2, 1.8, 2.6, 1.0, 9.0, 21.8, 18.6, 4.8, 18.2, 6.6},
    {48, 2.5, 3.0, 6.5, 18.0, 2.5, 4.0, 1.0, 13.5, 32.5, 28.0, 7.0, 27.5, 10.0},
    {96, 4.0, 5.0, 13.5, 36.0, 5.5, 8.0, 1.0, 27.0, 65.5, 56.0, 14.5, 54.5, 20.0},
    {192, 7.0, 9.0, 27.0, 72.0, 11.0, 16.0, 1.0, 54.0, 131.5, 112.0, 29.0, 109.0, 40.0},
};

// The grid drawn for size; for a size without one, the largest grid that divides it,
// scaled by a whole number so that whole pixels stay whole; else the smallest, scaled.
const FaceLayout &layoutFor(int size)
{
    const FaceLayout *chosen = &kLayouts[0];
    for (const FaceLayout &layout : kLayouts) {
        const int grid = int(layout.grid);
        if (grid <= size && size % grid == 0)
            chosen = &layout;
    }
    return *chosen;
}

QImage drawFace(int size, Mouth mouth)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);

    const FaceLayout &f = layoutFor(size);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / f.grid, size / f.grid);

    const double mid = f.grid / 2.0;
    const double radius = mid - f.outline / 2.0 - 0.1;
    QRadialGradient shade(QPointF(f.grid * 0.38, f.grid * 0.32), radius * 1.4);
    shade.setColorAt(0.0, kYellowLight);
    shade.setColorAt(0.55, kYellow);
    shade.setColorAt(1.0, kYellowDark);
    p.setBrush(shade);
    p.setPen(QPen(kOutline, f.outline));
    p.drawEllipse(QPointF(mid, mid), radius, radius);

    p.setPen(Qt::NoPen);
    p.setBrush(kOutline);
    // Rounded bars rather than ellipses: at 16 pixels an ellipse only two pixels
    // wide loses its top and bottom rows to antialiasing.
    for (double x : {mid - f.eyeDx, mid + f.eyeDx}) {
        const QRectF eye(x - f.eyeRx, f.eyeY - f.eyeRy, 2.0 * f.eyeRx, 2.0 * f.eyeRy);
        p.drawRoundedRect(eye, f.eyeRx * f.eyeRoundness, f.eyeRx * f.eyeRoundness);
    }

    const double right = f.grid - f.mouthLeft;
    QPainterPath path;
    switch (mouth) {
    case Mouth::Straight:
        path.moveTo(f.mouthLeft, f.straightY);
        path.lineTo(right, f.straightY);
        // Whole pixels wide, so that the line fills its rows exactly.
        p.strokePath(path, QPen(kOutline, std::round(f.line), Qt::SolidLine, Qt::FlatCap));
        break;
    case Mouth::Smile:
    case Mouth::Frown: {
        // A quadratic curve's middle lies halfway to its control point.
        const double depth = mouth == Mouth::Smile ? f.curveDepth : -f.curveDepth;
        const double endY = mouth == Mouth::Smile ? f.curveEndY : f.curveEndY + f.curveDepth;
        path.moveTo(f.mouthLeft, endY);
        path.quadTo(mid, endY + 2.0 * depth, right, endY);
        p.strokePath(path, QPen(kOutline, f.line, Qt::SolidLine, Qt::RoundCap));
        break;
    }
    case Mouth::OpenRed:
        path.moveTo(f.mouthLeft - 0.5, f.openTop);
        path.lineTo(right + 0.5, f.openTop);
        path.quadTo(mid, f.openTop + 2.0 * f.openDepth, f.mouthLeft - 0.5, f.openTop);
        path.closeSubpath();
        p.setBrush(kMouthRed);
        p.setPen(QPen(kOutline, f.line * 0.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPath(path);
        break;
    }
    p.end();
    return image;
}

// Qt's ICO writer leaves the padding at the end of each row of the transparency
// mask uninitialised; zero it so that the same pictures give the same file.
bool clearMaskPadding(QByteArray &dib)
{
    if (dib.size() < 40 || qFromLittleEndian<quint32>(dib.constData()) != 40)
        return false;
    const qint32 width = qFromLittleEndian<qint32>(dib.constData() + 4);
    const qint32 height = qFromLittleEndian<qint32>(dib.constData() + 8) / 2; // colour + mask
    const quint16 bitCount = qFromLittleEndian<quint16>(dib.constData() + 14);
    if (width <= 0 || height <= 0 || bitCount != 32)
        return false;
    const int colourStride = width * 4;
    const int maskStride = (width + 31) / 32 * 4;
    const int maskStart = 40 + colourStride * height;
    if (dib.size() < maskStart + maskStride * height)
        return false;
    for (int row = 0; row < height; ++row) {
        char *line = dib.data() + maskStart + row * maskStride;
        if (width % 8)
            line[width / 8] = char(line[width / 8] & (0xff00 >> (width % 8)));
        for (int i = (width + 7) / 8; i < maskStride; ++i)
            line[i] = 0;
    }
    return true;
}

// Qt's ICO writer stores a single picture per file; this encodes each picture
// separately and then stitches the entries together into one icon directory.
QByteArray encodeIcon(const std::vector<QImage> &images)
{
    constexpr int dirSize = 6;
    constexpr int entrySize = 16;
    std::vector<QByteArray> entries;
    std::vector<QByteArray> payloads;
    for (const QImage &image : images) {
        QByteArray single;
        QBuffer buffer(&single);
        buffer.open(QIODevice::WriteOnly);
        QImageWriter writer(&buffer, "ico");
        if (!writer.write(image)) {
            std::fprintf(stderr, "ICO encoding failed: %s\n", qPrintable(writer.errorString()));
            return {};
        }
        if (single.size() < dirSize + entrySize ||
            qFromLittleEndian<quint16>(single.constData() + 4) != 1) {
            std::fprintf(stderr, "unexpected ICO stream from Qt\n");
            return {};
        }
        const char *entry = single.constData() + dirSize;
        const quint32 length = qFromLittleEndian<quint32>(entry + 8);
        const quint32 offset = qFromLittleEndian<quint32>(entry + 12);
        if (offset + quint64(length) > quint64(single.size())) {
            std::fprintf(stderr, "truncated ICO stream from Qt\n");
            return {};
        }
        QByteArray payload = single.mid(offset, length);
        if (!clearMaskPadding(payload)) {
            std::fprintf(stderr, "unexpected bitmap layout in Qt's ICO stream\n");
            return {};
        }
        entries.emplace_back(entry, entrySize);
        payloads.push_back(payload);
    }

    QByteArray out(dirSize, '\0');
    qToLittleEndian<quint16>(0, out.data());
    qToLittleEndian<quint16>(1, out.data() + 2); // 1 = icon
    qToLittleEndian<quint16>(quint16(images.size()), out.data() + 4);

    quint32 offset = dirSize + entrySize * quint32(images.size());
    for (std::size_t i = 0; i < entries.size(); ++i) {
        QByteArray entry = entries[i];
        qToLittleEndian<quint32>(offset, entry.data() + 12);
        out += entry;
        offset += quint32(payloads[i].size());
    }
    for (const QByteArray &payload : payloads)
        out += payload;
    return out;
}

bool writeFile(const QString &path, const QByteArray &data)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size()) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

// One icon file holding the picture drawn at each of sizes, in that order.
bool writeIcon(const QString &path, Mouth mouth, const std::vector<int> &sizes)
{
    std::vector<QImage> images;
    for (int size : sizes)
        images.push_back(drawFace(size, mouth));
    const QByteArray data = encodeIcon(images);
    if (data.isEmpty() || !writeFile(path, data))
        return false;

    QImageReader reader(path, "ico");
    if (reader.imageCount() != int(sizes.size())) {
        std::fprintf(stderr, "%s: reads back with %d images\n", qPrintable(path),
                     reader.imageCount());
        return false;
    }
    for (std::size_t i = 0; i < sizes.size(); ++i) {
        const int size = sizes[i];
        const QImage image = reader.jumpToImage(int(i)) ? reader.read() : QImage();
        if (image.size() != QSize(size, size)) {
            std::fprintf(stderr, "%s: expected a %dx%d image\n", qPrintable(path), size, size);
            return false;
        }
    }
    return true;
}

// The program's icon in menus and launchers: the smiling face as icon-<size>.png.
bool writeDesktopIcons(const QDir &dir)
{
    for (int size : {16, 32, 48, 64}) {
        const QString path = dir.filePath(QStringLiteral("icon-%1.png").arg(size));
        QImageWriter writer(path, "png");
        if (!writer.write(drawFace(size, Mouth::Smile))) {
            std::fprintf(stderr, "%s: %s\n", qPrintable(path), qPrintable(writer.errorString()));
            return false;
        }
    }
    return true;
}

// A brass section in miniature: a major triad, each note from two slightly
// detuned band-limited sawtooths. The tone brightens as it swells, starts a
// touch flat and scoops up to pitch, and gets a gentle vibrato once it holds.
std::vector<double> synthesizeHorn(int sampleRate, double seconds)
{
    const int count = int(std::lround(sampleRate * seconds));
    const double notes[] = {233.08, 293.66, 349.23}; // B flat major
    const double noteLevels[] = {1.0, 0.75, 0.65};
    const double detune[] = {-4.0, 4.0}; // cents
    const double attack = 0.06;
    const double release = 0.25;
    const double maxHarmonicHz = 7000.0;
    const double twoPi = 2.0 * M_PI;

    // Spread the starting phases so the oscillators' wave crests don't all pile
    // up in the first cycle.
    std::vector<double> phases(std::size(notes) * std::size(detune));
    for (std::size_t i = 0; i < phases.size(); ++i)
        phases[i] = std::fmod(2.39996 * double(i), twoPi);
    std::vector<double> samples(count, 0.0);
    for (int n = 0; n < count; ++n) {
        const double t = double(n) / sampleRate;
        // Swell quickly, sag a little while held, then fade out from wherever
        // the sag left off.
        const double sustainTime = seconds - attack - release;
        const double sag = 0.12;
        double env;
        if (t < attack)
            env = std::sin(0.5 * M_PI * t / attack);
        else if (t < seconds - release)
            env = 1.0 - sag * (t - attack) / sustainTime;
        else
            env = (1.0 - sag) * std::max(0.0, (seconds - t) / release);

        // A louder horn has relatively stronger upper harmonics.
        const double tilt = 2.1 - 0.9 * env;
        const double scoop = 1.0 - 0.03 * std::exp(-t / 0.04);
        const double vibrato = 1.0 + 0.003 * std::min(1.0, std::max(0.0, (t - 0.35) / 0.3)) *
                                         std::sin(twoPi * 5.5 * t);

        double value = 0.0;
        std::size_t osc = 0;
        for (std::size_t i = 0; i < std::size(notes); ++i) {
            for (double cents : detune) {
                const double freq = notes[i] * std::pow(2.0, cents / 1200.0) * scoop * vibrato;
                double &phase = phases[osc++];
                for (int k = 1; k * freq < maxHarmonicHz; ++k)
                    value += noteLevels[i] * std::sin(k * phase) / std::pow(k, tilt);
                phase = std::fmod(phase + twoPi * freq / sampleRate, twoPi);
            }
        }
        samples[n] = value * env;
    }

    // A soft saturation adds some bite and lifts the quieter parts, then the
    // loudest sample is put at -3 dBFS.
    const auto scaleToPeak = [&samples](double target) {
        double peak = 0.0;
        for (double v : samples)
            peak = std::max(peak, std::abs(v));
        const double gain = peak > 0.0 ? target / peak : 0.0;
        for (double &v : samples)
            v *= gain;
    };
    const double drive = 2.0;
    scaleToPeak(1.0);
    for (double &v : samples)
        v = std::tanh(drive * v);
    scaleToPeak(std::pow(10.0, -3.0 / 20.0));
    return samples;
}

// A soft two-note chime, high then lower, like a doorbell heard from another room:
// each note a struck bell (a pure tone with two quiet inharmonic partials) that dies
// away on its own. Quiet and short beside the horn, and nothing like it.
std::vector<double> synthesizeChime(int sampleRate, double seconds)
{
    const int count = int(std::lround(sampleRate * seconds));
    struct Note
    {
        double start;
        double frequency;
    };
    const Note notes[] = {{0.0, 1318.51}, {0.32, 1046.50}};                // E6, then C6
    const double partials[][2] = {{1.0, 1.0}, {2.76, 0.18}, {5.40, 0.06}}; // ratio, level
    const double decay = 0.28;   // seconds for a note to fall to 1/e
    const double strike = 0.004; // a soft mallet: no click at the start
    const double twoPi = 2.0 * M_PI;

    std::vector<double> samples(count, 0.0);
    for (int n = 0; n < count; ++n) {
        const double t = double(n) / sampleRate;
        for (const Note &note : notes) {
            const double age = t - note.start;
            if (age < 0.0)
                continue;
            const double envelope = std::min(1.0, age / strike) * std::exp(-age / decay);
            double value = 0.0;
            for (const auto &[ratio, level] : partials) {
                // Higher partials die away sooner, as on a real bell.
                value += level * std::exp(-age * (ratio - 1.0) * 2.0) *
                         std::sin(twoPi * note.frequency * ratio * age);
            }
            samples[n] += envelope * value;
        }
    }
    // Fade the last tenth of a second to silence, then a peak of -12 dBFS: soft.
    const int fade = sampleRate / 10;
    for (int n = std::max(0, count - fade); n < count; ++n)
        samples[n] *= double(count - n) / fade;
    double peak = 0.0;
    for (double v : samples)
        peak = std::max(peak, std::abs(v));
    const double gain = peak > 0.0 ? std::pow(10.0, -12.0 / 20.0) / peak : 0.0;
    for (double &v : samples)
        v *= gain;
    return samples;
}

bool writeWav(const QString &path, const std::vector<double> &samples, int sampleRate)
{
    const quint16 channels = 1;
    const quint16 bitsPerSample = 16;
    const quint16 blockAlign = channels * bitsPerSample / 8;
    const quint32 dataSize = quint32(samples.size()) * blockAlign;

    QByteArray data;
    QDataStream out(&data, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    out.writeRawData("RIFF", 4);
    out << quint32(36 + dataSize);
    out.writeRawData("WAVE", 4);
    out.writeRawData("fmt ", 4);
    out << quint32(16) << quint16(1) << channels << quint32(sampleRate)
        << quint32(sampleRate * blockAlign) << blockAlign << bitsPerSample;
    out.writeRawData("data", 4);
    out << dataSize;
    for (double v : samples)
        out << qint16(std::lround(std::clamp(v, -1.0, 1.0) * 32767.0));
    return writeFile(path, data);
}

} // namespace

int main(int argc, char *argv[])
{
    // Everything is drawn into images; no window system is needed.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2 && argc != 3) {
        std::fprintf(stderr, "usage: %s <output-folder> [<desktop-icon-folder>]\n", argv[0]);
        return 2;
    }
    const QDir dir(QString::fromLocal8Bit(argv[1]));
    if (!dir.mkpath(QStringLiteral("."))) {
        std::fprintf(stderr, "cannot create %s\n", argv[1]);
        return 1;
    }
    if (argc == 3) {
        const QDir iconDir(QString::fromLocal8Bit(argv[2]));
        if (!iconDir.mkpath(QStringLiteral("."))) {
            std::fprintf(stderr, "cannot create %s\n", argv[2]);
            return 1;
        }
        if (!writeDesktopIcons(iconDir))
            return 1;
    }

    // The main window's faces are shown in boxes of 96 and 80 pixels, as window icons
    // and on screens scaled twice: each size they are shown at is drawn, largest
    // first. The help's topic faces are only shown at 16 pixels.
    const std::vector<int> faceSizes{192, 96, 48, 32, 16};
    const std::vector<int> topicSizes{32, 16};
    struct IconJob
    {
        const char *name;
        Mouth mouth;
        const std::vector<int> &sizes;
    };
    const IconJob icons[] = {
        {"face.ico", Mouth::Straight, faceSizes},
        {"smile.ico", Mouth::Smile, faceSizes},
        {"frown.ico", Mouth::Frown, faceSizes},
        {"topic_selected.ico", Mouth::OpenRed, topicSizes},
        {"topic.ico", Mouth::Smile, topicSizes},
    };
    for (const IconJob &job : icons) {
        if (!writeIcon(dir.filePath(QString::fromLatin1(job.name)), job.mouth, job.sizes))
            return 1;
    }

    const int sampleRate = 44100;
    if (!writeWav(dir.filePath(QStringLiteral("horn.wav")), synthesizeHorn(sampleRate, 1.5),
                  sampleRate))
        return 1;
    if (!writeWav(dir.filePath(QStringLiteral("chime.wav")), synthesizeChime(sampleRate, 1.2),
                  sampleRate))
        return 1;
    return 0;
}
