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

#include <cstdio>
#include <cstring>

namespace {

// Started with this argument, the test program only says what a start of the program
// in its environment chooses: the catalogue's language, whether Qt's own texts came
// with it, and a text as translated.
const char chosenLanguageArgument[] = "--chosen-language";

int sayChosenLanguage(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const Translations translations;
    std::printf("%s|%d|%s", qPrintable(translations.language()), int(translations.hasQtTexts()),
                qPrintable(QCoreApplication::translate("Countdown", "Time's Up!")));
    return 0;
}

// What a start of the program chooses under these values of LANGUAGE and LANG, as
// sayChosenLanguage() tells it: "language|Qt texts|Time's Up!".
QString chosenIn(const QString &languageVariable, const QString &lang)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *variable : {"LC_ALL", "LC_MESSAGES", "LANGUAGE", "LANG"})
        environment.remove(QString::fromLatin1(variable));
    environment.insert(QStringLiteral("LANGUAGE"), languageVariable);
    environment.insert(QStringLiteral("LANG"), lang);
    QProcess child;
    child.setProcessEnvironment(environment);
    child.start(QCoreApplication::applicationFilePath(),
                {QString::fromLatin1(chosenLanguageArgument)});
    if (!child.waitForFinished(60000) || child.exitCode() != 0)
        return QStringLiteral("(no answer: %1)")
            .arg(QString::fromLocal8Bit(child.readAllStandardError()));
    return QString::fromUtf8(child.readAllStandardOutput());
}

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
    QTest::addColumn<QString>("languageVariable"); // LANGUAGE in a started program; none: in here
    QTest::addColumn<QString>("language");         // empty: the English texts, no catalogue
    for (const char *english : {"C", "en_US", "en_GB", "ja_JP"})
        QTest::newRow(english) << QString::fromLatin1(english) << QString() << QString();
    for (const char *locale :
         {"de_DE", "de_AT", "fr_FR", "fr_CA", "es_ES", "es_MX", "nl_NL", "nl_BE"})
        QTest::newRow(locale) << QString::fromLatin1(locale) << QString()
                              << QString::fromLatin1(locale, 2);
    // LANGUAGE as the desktop sets it, in a program started with it: the first language
    // with a catalogue, past names of no language and languages without one, English
    // where it comes first, and English after all where none has a catalogue.
    const auto started = [](const char *name, const char *languageVariable, const char *language) {
        QTest::newRow(name) << QStringLiteral("C.UTF-8") << QString::fromLatin1(languageVariable)
                            << QString::fromLatin1(language);
    };
    started("unknown, then German", "xx:de", "de");
    started("Esperanto, then Dutch", "eo:nl", "nl");
    started("Dutch, then German", "nl:de", "nl");
    started("English, then German", "en:de", "");
    started("unknown, then Esperanto", "xx:eo", "");
}

void TestTranslations::languageFromLocale()
{
    QFETCH(QString, locale);
    QFETCH(QString, languageVariable);
    QFETCH(QString, language);
    const QString english = QStringLiteral("Time's Up!");
    const auto timeUp = [] { return QCoreApplication::translate("Countdown", "Time's Up!"); };
    // Qt's own texts in the same language, where Debian installed them.
    const bool qtTexts =
        !language.isEmpty() && QFile::exists(QLibraryInfo::path(QLibraryInfo::TranslationsPath) +
                                             QStringLiteral("/qtbase_%1.qm").arg(language));
    if (!languageVariable.isEmpty()) {
        const QString answer = chosenIn(languageVariable, locale);
        const QStringList chosen = answer.split(QLatin1Char('|'));
        QVERIFY2(chosen.size() == 3, qPrintable(answer));
        QCOMPARE(chosen[0], language);
        QCOMPARE(chosen[1] == QLatin1String("1"), qtTexts);
        QCOMPARE(chosen[2] == english, language.isEmpty());
        return;
    }
    {
        const Translations translations{QLocale(locale)};
        QCOMPARE(translations.language(), language);
        QCOMPARE(timeUp() == english, language.isEmpty());
        QCOMPARE(translations.hasQtTexts(), qtTexts);
    }
    QCOMPARE(timeUp(), english);
}

int main(int argc, char *argv[])
{
    if (argc == 2 && std::strcmp(argv[1], chosenLanguageArgument) == 0)
        return sayChosenLanguage(argc, argv);
    QCoreApplication app(argc, argv);
    TestTranslations test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_translations.moc"
