// SPDX-License-Identifier: GPL-3.0-or-later
// Checks the pictures and the horn shipped in resources/.

#include <QDir>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QTest>
#include <QtEndian>

#include <algorithm>
#include <cstdlib>

class TestAssets : public QObject
{
    Q_OBJECT

private slots:
    void icon_data();
    void icon();
    void horn();

private:
    static QString resource(const char *name)
    {
        return QDir(QStringLiteral(TURNKEEPER_RESOURCES_DIR)).filePath(QString::fromLatin1(name));
    }
};

void TestAssets::icon_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("redMouth");
    QTest::newRow("face") << resource("face.ico") << false;
    QTest::newRow("smile") << resource("smile.ico") << false;
    QTest::newRow("frown") << resource("frown.ico") << false;
    QTest::newRow("topic") << resource("topic.ico") << false;
    QTest::newRow("topic_selected") << resource("topic_selected.ico") << true;
}

void TestAssets::icon()
{
    QFETCH(QString, path);
    QFETCH(bool, redMouth);

    QImageReader reader(path, "ico");
    QCOMPARE(reader.imageCount(), 2);

    QList<int> sizes;
    for (int i = 0; i < 2; ++i) {
        QVERIFY(reader.jumpToImage(i));
        const QImage image = reader.read().convertToFormat(QImage::Format_ARGB32);
        QVERIFY2(!image.isNull(), qPrintable(reader.errorString()));
        QCOMPARE(image.width(), image.height());
        const int n = image.width();
        sizes << n;

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
    }
    std::sort(sizes.begin(), sizes.end());
    QCOMPARE(sizes, QList<int>({16, 32}));
}

void TestAssets::horn()
{
    QFile file(resource("horn.wav"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray wav = file.readAll();
    QVERIFY(wav.size() > 44);
    QCOMPARE(wav.left(4), QByteArray("RIFF"));
    QCOMPARE(wav.mid(8, 4), QByteArray("WAVE"));
    QCOMPARE(qFromLittleEndian<quint32>(wav.constData() + 4), quint32(wav.size() - 8));

    QByteArray format;
    QByteArray samples;
    for (qsizetype at = 12; at + 8 <= wav.size();) {
        const QByteArray id = wav.mid(at, 4);
        const quint32 length = qFromLittleEndian<quint32>(wav.constData() + at + 4);
        QVERIFY(at + 8 + qsizetype(length) <= wav.size());
        if (id == "fmt ")
            format = wav.mid(at + 8, length);
        else if (id == "data")
            samples = wav.mid(at + 8, length);
        at += 8 + length + (length & 1);
    }
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
    QVERIFY2(seconds >= 1.0 && seconds <= 2.0, qPrintable(QString::number(seconds)));

    int peak = 0;
    for (qsizetype i = 0; i + 1 < samples.size(); i += 2)
        peak = std::max(peak, std::abs(int(qFromLittleEndian<qint16>(samples.constData() + i))));
    QVERIFY2(peak > 8000, qPrintable(QStringLiteral("peak %1").arg(peak)));
}

QTEST_GUILESS_MAIN(TestAssets)
#include "tst_assets.moc"
