// SPDX-License-Identifier: GPL-3.0-or-later
// The program's catalogues, by language: every text translated with the same
// placeholders and access keys, and up to date with the code; and the language a
// locale chooses.
#include "app/Translations.h"

#include <QFile>
#include <QLibraryInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

namespace {

struct Message
{
    QString context, source, translation, type; // type: "unfinished"... or empty

    bool operator==(const Message &o) const
    {
        return context == o.context && source == o.source && translation == o.translation &&
               type == o.type;
    }
};

QString tsFile(const QString &language)
{
    return QStringLiteral(TURNKEEPER_TRANSLATIONS_DIR "/turnkeeper_%1.ts").arg(language);
}

QList<Message> readTs(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QList<Message> messages;
    Message message;
    QXmlStreamReader xml(&file);
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == QLatin1String("name")) {
            message.context = xml.readElementText();
        } else if (xml.name() == QLatin1String("source")) {
            message.source = xml.readElementText();
        } else if (xml.name() == QLatin1String("translation")) { // a message's last element
            message.type = xml.attributes().value(QLatin1String("type")).toString();
            message.translation = xml.readElementText();
            messages.append(message);
        }
    }
    return xml.hasError() ? QList<Message>() : messages;
}

// What must match between a text and its translation: the placeholders (%1...), sorted,
// and the number of access keys (an & before a character other than & or a blank).
QString marks(const QString &text)
{
    static const QRegularExpression placeholder(QStringLiteral("%[1-9]"));
    static const QRegularExpression accessKey(QStringLiteral("&[^&\\s]"));
    QStringList found;
    for (const QRegularExpressionMatch &match : placeholder.globalMatch(text))
        found.append(match.captured());
    found.sort();
    return QStringLiteral("placeholders {%1} and %2 access keys")
        .arg(found.join(QLatin1Char(' ')))
        .arg(text.count(accessKey));
}

} // namespace

class TestTranslations : public QObject
{
    Q_OBJECT
private slots:
    void everyTextIsTranslated_data();
    void everyTextIsTranslated();
    void catalogueHasEveryTextOfTheCode_data() { everyTextIsTranslated_data(); }
    void catalogueHasEveryTextOfTheCode();
    void languageFromLocale_data();
    void languageFromLocale();
};

void TestTranslations::everyTextIsTranslated_data()
{
    QTest::addColumn<QString>("language");
    for (const char *language : {"de", "fr", "es", "nl"})
        QTest::newRow(language) << QString::fromLatin1(language);
}

void TestTranslations::everyTextIsTranslated()
{
    QFETCH(QString, language);
    const QList<Message> messages = readTs(tsFile(language));
    QVERIFY2(messages.size() > 100, qPrintable(tsFile(language)));
    QStringList faults;
    for (const Message &message : messages) {
        const QString where = message.context + QStringLiteral(" \"%1\": ").arg(message.source);
        if (!message.type.isEmpty() || message.translation.trimmed().isEmpty())
            faults.append(where + QStringLiteral("not translated"));
        if (marks(message.translation) != marks(message.source))
            faults.append(where + QStringLiteral("has ") + marks(message.translation));
        // The program's name and the default password are the same in every language.
        // The timer length window's title leaves the name out: the title bar of that
        // narrow window has no room for it beside a longer word than "Set".
        const bool titleWithoutName = message.context == QLatin1String("frmSetTime") &&
                                      message.source == QLatin1String("Set TurnKeeper Timer");
        for (const QLatin1String kept :
             {QLatin1String("TurnKeeper"), QLatin1String("playfairly")}) {
            if (message.source.contains(kept) && !message.translation.contains(kept) &&
                !(titleWithoutName && kept == QLatin1String("TurnKeeper")))
                faults.append(where + QStringLiteral("lacks ") + kept);
        }
    }
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));
}

// lupdate, run on the code as the update_translations target runs it, changes nothing.
void TestTranslations::catalogueHasEveryTextOfTheCode()
{
    QFETCH(QString, language);
    QTemporaryDir work;
    const QString copy = work.filePath(QStringLiteral("turnkeeper_%1.ts").arg(language));
    QVERIFY(QFile::copy(tsFile(language), copy));
    QFile::setPermissions(copy, QFile::ReadOwner | QFile::WriteOwner);
    QProcess lupdate;
    lupdate.setProcessChannelMode(QProcess::MergedChannels);
    lupdate.start(QStringLiteral(TURNKEEPER_LUPDATE),
                  QString::fromUtf8(TURNKEEPER_LUPDATE_OPTIONS).split(QLatin1Char(' ')) +
                      QStringList{QStringLiteral("@" TURNKEEPER_LUPDATE_SOURCES),
                                  QStringLiteral("-ts"), copy});
    QVERIFY(lupdate.waitForFinished(60000));
    const QString output = QString::fromLocal8Bit(lupdate.readAll());
    QVERIFY2(lupdate.exitCode() == 0, qPrintable(output));
    QVERIFY(!readTs(copy).isEmpty());
    QVERIFY2(readTs(copy) == readTs(tsFile(language)),
             qPrintable(QStringLiteral("build the update_translations target:\n") + output));
}

void TestTranslations::languageFromLocale_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("language"); // empty: the English texts, no catalogue
    for (const char *english : {"C", "en_US", "en_GB", "ja_JP"})
        QTest::newRow(english) << QString::fromLatin1(english) << QString();
    for (const char *locale :
         {"de_DE", "de_AT", "fr_FR", "fr_CA", "es_ES", "es_MX", "nl_NL", "nl_BE"})
        QTest::newRow(locale) << QString::fromLatin1(locale) << QString::fromLatin1(locale, 2);
    // A list as LANGUAGE gives it: the first known language with a catalogue.
    QTest::newRow("unknown, then German") << QStringLiteral("xx:de") << QStringLiteral("de");
    QTest::newRow("Dutch, then German") << QStringLiteral("nl:de") << QStringLiteral("nl");
    QTest::newRow("English, then German") << QStringLiteral("en:de") << QString();
}

void TestTranslations::languageFromLocale()
{
    QFETCH(QString, locale);
    QFETCH(QString, language);
    const QString english = QStringLiteral("Time's Up!");
    const auto timeUp = [] { return QCoreApplication::translate("Countdown", "Time's Up!"); };
    {
        const Translations translations =
            locale.contains(QLatin1Char(':'))
                ? Translations(locale.split(QLatin1Char(':')))
                : Translations(QLocale(locale));
        QCOMPARE(translations.language(), language);
        QCOMPARE(timeUp() == english, language.isEmpty());
        // Qt's own texts in the same language, where Debian installed them.
        const bool qtTexts = !language.isEmpty() &&
                             QFile::exists(QLibraryInfo::path(QLibraryInfo::TranslationsPath) +
                                           QStringLiteral("/qtbase_%1.qm").arg(language));
        QCOMPARE(translations.hasQtTexts(), qtTexts);
    }
    QCOMPARE(timeUp(), english);
}

QTEST_GUILESS_MAIN(TestTranslations)
#include "tst_translations.moc"
