// SPDX-License-Identifier: GPL-3.0-or-later
// Checks the pictures and the horn shipped in resources/, and that they are what
// tools/make_assets draws today.

#include "support/PictureDifference.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include <algorithm>
#include <cstdlib>

namespace {

struct Wave
{
    QByteArray format;  // the fmt chunk
    QByteArray samples; // the data chunk
};

// The chunks of a RIFF WAVE file; empty when it is none.
Wave readWave(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray wav = file.readAll();
    if (wav.size() <= 44 || wav.left(4) != "RIFF" || wav.mid(8, 4) != "WAVE" ||
        qFromLittleEndian<quint32>(wav.constData() + 4) != quint32(wav.size() - 8))
        return {};
    Wave wave;
    for (qsizetype at = 12; at + 8 <= wav.size();) {
        const QByteArray id = wav.mid(at, 4);
        const quint32 length = qFromLittleEndian<quint32>(wav.constData() + at + 4);
        if (at + 8 + qsizetype(length) > wav.size())
            return {};
        if (id == "fmt ")
            wave.format = wav.mid(at + 8, length);
        else if (id == "data")
            wave.samples = wav.mid(at + 8, length);
        at += 8 + length + (length & 1);
    }
    return wave;
}

QList<QImage> readImages(const QString &path)
{
    QList<QImage> images;
    QImageReader reader(path);
    for (int i = 0; i < std::max(1, reader.imageCount()); ++i) {
        if (!reader.jumpToImage(i) && i > 0)
            break;
        images.append(reader.read().convertToFormat(QImage::Format_ARGB32));
    }
    return images;
}

// Another machine's maths library may round a sample of the horn the other way: so
// much may differ, no more.
constexpr int sampleTolerance = 2;

QString waveDifference(const Wave &kept, const Wave &drawn)
{
    if (kept.format != drawn.format || kept.samples.size() != drawn.samples.size())
        return QStringLiteral("another format or length");
    int largest = 0;
    for (qsizetype i = 0; i + 1 < kept.samples.size(); i += 2)
        largest =
            std::max(largest, std::abs(qFromLittleEndian<qint16>(kept.samples.constData() + i) -
                                       qFromLittleEndian<qint16>(drawn.samples.constData() + i)));
    return largest <= sampleTolerance ? QString()
                                      : QStringLiteral("samples differ by up to %1").arg(largest);
}

QString resource(const char *name)
{
    return QDir(QStringLiteral(TURNKEEPER_RESOURCES_DIR)).filePath(QString::fromLatin1(name));
}

} // namespace

class TestAssets : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void icon_data();
    void icon();
    void sounds_data();
    void sounds();
    void drawnAgainMatchesKeptFiles_data();
    void drawnAgainMatchesKeptFiles();

private:
    QTemporaryDir m_drawn;
};

// make_assets draws everything afresh once, for the comparison with the kept files.
void TestAssets::initTestCase()
{
    QProcess make;
    make.start(QStringLiteral(MAKE_ASSETS), {m_drawn.filePath(QStringLiteral("resources")),
                                             m_drawn.filePath(QStringLiteral("icons"))});
    QVERIFY(make.waitForFinished(120000));
    QVERIFY2(make.exitStatus() == QProcess::NormalExit && make.exitCode() == 0,
             make.readAllStandardError().constData());
}

void TestAssets::icon_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("redMouth");
    QTest::addColumn<QList<int>>("sizes");
    // The faces at every size they are shown at, up to a 96-pixel box on a screen
    // scaled twice; the help's topic faces only small.
    const QList<int> faceSizes{16, 32, 48, 96, 192};
    const QList<int> topicSizes{16, 32};
    QTest::newRow("face") << resource("face.ico") << false << faceSizes;
    QTest::newRow("smile") << resource("smile.ico") << false << faceSizes;
    QTest::newRow("frown") << resource("frown.ico") << false << faceSizes;
    QTest::newRow("topic") << resource("topic.ico") << false << topicSizes;
    QTest::newRow("topic_selected") << resource("topic_selected.ico") << true << topicSizes;
}

void TestAssets::icon()
{
    QFETCH(QString, path);
    QFETCH(bool, redMouth);
    QFETCH(QList<int>, sizes);

    QImageReader reader(path, "ico");
    QCOMPARE(reader.imageCount(), sizes.size());

    QList<int> found;
    for (int i = 0; i < sizes.size(); ++i) {
        QVERIFY(reader.jumpToImage(i));
        const QImage image = reader.read().convertToFormat(QImage::Format_ARGB32);
        QVERIFY2(!image.isNull(), qPrintable(reader.errorString()));
        QCOMPARE(image.width(), image.height());
        const int n = image.width();
        found << n;

        for (const QPoint corner :
             {QPoint(0, 0), QPoint(n - 1, 0), QPoint(0, n - 1), QPoint(n - 1, n - 1)})
            QCOMPARE(qAlpha(image.pixel(corner)), 0);

        int yellow = 0;
        int red = 0;
        for (int y = 0; y < n; ++y) {
            for (int x = 0; x < n; ++x) {
                const QRgb c = image.pixel(x, y);
                if (qAlpha(c) < 255)
                    continue;
                const bool central = x >= n / 4 && x < 3 * n / 4 && y >= n / 4 && y < 3 * n / 4;
                if (central && qRed(c) > 200 && qGreen(c) > 160 && qBlue(c) < 120)
                    ++yellow;
                if (qRed(c) > 160 && qGreen(c) < 90 && qBlue(c) < 90)
                    ++red;
            }
        }
        QVERIFY2(yellow >= n * n / 16, qPrintable(QStringLiteral("%1 yellow pixels").arg(yellow)));
        QCOMPARE(red > 0, redMouth);

        // Drawn at its own size, not enlarged from a smaller one: across the middle
        // row, the rim goes from clear to solid within two pixels.
        int blurred = 0;
        for (int x = 0; x < n / 2 && qAlpha(image.pixel(x, n / 2)) < 255; ++x)
            blurred += qAlpha(image.pixel(x, n / 2)) > 0;
        QVERIFY2(blurred <= 2, qPrintable(QStringLiteral("%1 pixels of blurred rim").arg(blurred)));
    }
    std::sort(found.begin(), found.end());
    QCOMPARE(found, sizes);
}

void TestAssets::sounds_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<double>("shortest");
    QTest::addColumn<double>("longest");
    QTest::addColumn<int>("quietestPeak");
    QTest::addColumn<int>("loudestPeak");
    // The horn is loud; the chime a minute before it soft and short.
    QTest::newRow("horn") << resource("horn.wav") << 1.0 << 2.0 << 20000 << 32767;
    QTest::newRow("chime") << resource("chime.wav") << 0.5 << 1.5 << 4000 << 12000;
}

void TestAssets::sounds()
{
    QFETCH(QString, path);
    QFETCH(double, shortest);
    QFETCH(double, longest);
    QFETCH(int, quietestPeak);
    QFETCH(int, loudestPeak);
    const Wave wave = readWave(path);
    const QByteArray &format = wave.format;
    const QByteArray &samples = wave.samples;
    QVERIFY(format.size() >= 16);
    QVERIFY(!samples.isEmpty());

    const char *fmt = format.constData();
    QCOMPARE(qFromLittleEndian<quint16>(fmt), quint16(1)); // PCM
    const quint16 channels = qFromLittleEndian<quint16>(fmt + 2);
    const quint32 rate = qFromLittleEndian<quint32>(fmt + 4);
    QCOMPARE(qFromLittleEndian<quint16>(fmt + 14), quint16(16));
    QVERIFY(channels >= 1);
    QCOMPARE(qFromLittleEndian<quint32>(fmt + 8), rate * channels * 2);

    const double seconds = double(samples.size()) / (rate * channels * 2.0);
    QVERIFY2(seconds >= shortest && seconds <= longest, qPrintable(QString::number(seconds)));

    int peak = 0;
    for (qsizetype i = 0; i + 1 < samples.size(); i += 2)
        peak = std::max(peak, std::abs(int(qFromLittleEndian<qint16>(samples.constData() + i))));
    QVERIFY2(peak >= quietestPeak && peak <= loudestPeak,
             qPrintable(QStringLiteral("peak %1").arg(peak)));
}

void TestAssets::drawnAgainMatchesKeptFiles_data()
{
    QTest::addColumn<QString>("kept");
    QTest::addColumn<QString>("drawn");
    const QString source = QStringLiteral(TURNKEEPER_RESOURCES_DIR "/../");
    for (const char *name : {"face.ico", "smile.ico", "frown.ico", "topic.ico",
                             "topic_selected.ico", "horn.wav", "chime.wav"}) {
        const QString file = QString::fromLatin1(name);
        QTest::newRow(name) << source + QStringLiteral("resources/") + file
                            << m_drawn.filePath(QStringLiteral("resources/") + file);
    }
    for (int size : {16, 32, 48, 64}) {
        const QString file = QStringLiteral("icon-%1.png").arg(size);
        QTest::newRow(qPrintable(file)) << source + QStringLiteral("packaging/icons/") + file
                                        << m_drawn.filePath(QStringLiteral("icons/") + file);
    }
}

// A change to the drawing must not leave the shipped files behind; regenerate them with
// build/tools/make_assets resources packaging/icons.
void TestAssets::drawnAgainMatchesKeptFiles()
{
    QFETCH(QString, kept);
    QFETCH(QString, drawn);
    if (kept.endsWith(QLatin1String(".wav"))) {
        const Wave keptWave = readWave(kept);
        QVERIFY(!keptWave.samples.isEmpty());
        const QString difference = waveDifference(keptWave, readWave(drawn));
        QVERIFY2(difference.isEmpty(), qPrintable(difference));
        return;
    }
    const QList<QImage> keptImages = readImages(kept);
    const QList<QImage> drawnImages = readImages(drawn);
    QCOMPARE(drawnImages.size(), keptImages.size());
    for (qsizetype i = 0; i < keptImages.size(); ++i) {
        QVERIFY(!keptImages[i].isNull());
        const QString difference = pictureDifference(keptImages[i], drawnImages[i]);
        QVERIFY2(difference.isEmpty(),
                 qPrintable(QStringLiteral("picture %1: %2").arg(i).arg(difference)));
    }
}

QTEST_GUILESS_MAIN(TestAssets)
#include "tst_assets.moc"
