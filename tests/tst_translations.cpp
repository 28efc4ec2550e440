// SPDX-License-Identifier: GPL-3.0-or-later
// The program's catalogues: each text translated in each language, with the same
// placeholders and access keys, and fitting the windows designed for the English; the
// catalogues up to date with the code and built into the program; and the language
// chosen from a locale.
#include "app/Translations.h"
#include "buildinfo.h"
#include "help/frmAbout.h"
#include "help/frmHelp.h"
#include "logic/Countdown.h"
#include "security/frmLogin.h"
#include "security/frmPasswords.h"
#include "settings/frmSetTime.h"
#include "support/TestSupport.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLibraryInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStyleOptionButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTranslator>
#include <QTreeWidget>
#include <QXmlStreamReader>

#include <map>

namespace {

const QStringList languages = {QStringLiteral("de"), QStringLiteral("fr"), QStringLiteral("es"),
                               QStringLiteral("nl")};

struct Message
{
    QString context;
    QString source;
    QString translation;
    QString type; // "unfinished", "vanished", "obsolete", or empty for a finished one

    bool operator==(const Message &other) const
    {
        return context == other.context && source == other.source &&
               translation == other.translation && type == other.type;
    }
};

QString tsFile(const QString &language)
{
    return QStringLiteral(TURNKEEPER_TRANSLATIONS_DIR "/turnkeeper_%1.ts").arg(language);
}

// The messages of a .ts file in order, and its language; nothing when it cannot be read.
QList<Message> readTs(const QString &path, QString *language = nullptr)
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
        if (xml.name() == QLatin1String("TS") && language) {
            *language = xml.attributes().value(QLatin1String("language")).toString();
        } else if (xml.name() == QLatin1String("name")) {
            message.context = xml.readElementText();
        } else if (xml.name() == QLatin1String("source")) {
            message.source = xml.readElementText();
        } else if (xml.name() == QLatin1String("translation")) {
            // The last element of a message.
            message.type = xml.attributes().value(QLatin1String("type")).toString();
            message.translation = xml.readElementText();
            messages.append(message);
        }
    }
    return xml.hasError() ? QList<Message>() : messages;
}

// The placeholders (%1, %2...) of a text, sorted.
QStringList placeholders(const QString &text)
{
    static const QRegularExpression placeholder(QStringLiteral("%[1-9]"));
    QStringList found;
    for (const QRegularExpressionMatch &match : placeholder.globalMatch(text))
        found.append(match.captured());
    found.sort();
    return found;
}

// The access keys a text marks: an & before a character other than &.
int accessKeys(const QString &text)
{
    static const QRegularExpression accessKey(QStringLiteral("&[^&\\s]"));
    return int(text.count(accessKey));
}

// Room needed and room given, in pixels, for a text of a window of fixed size: a width,
// or a height for a label that wraps its words.
struct Room
{
    int needed;
    int given;
};
using Rooms = std::map<QString, Room>; // by control, and text where one control shows several

// The rooms of the texts of the windows that are laid out at a fixed size, in the
// language installed now. The status line of the main window and the help window's
// heading show several texts in turn.
Rooms fixedRooms()
{
    const TestHome home;
    Rooms rooms;
    const auto measure = [&](QWidget *window) {
        for (const QLabel *label : window->findChildren<QLabel *>()) {
            if (label->text().isEmpty())
                continue;
            const QString key = window->objectName() + QLatin1Char('.') + label->objectName();
            rooms[key] = label->wordWrap()
                             ? Room{label->heightForWidth(label->width()), label->height()}
                             : Room{label->sizeHint().width(), label->width()};
        }
        for (const QAbstractButton *button : window->findChildren<QAbstractButton *>()) {
            if (button->text().isEmpty())
                continue;
            QStyleOptionButton option;
            option.initFrom(button);
            const QRect inside =
                button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
            const QString shown = QString(button->text()).remove(QLatin1Char('&'));
            rooms[window->objectName() + QLatin1Char('.') + button->objectName()] =
                Room{button->fontMetrics().horizontalAdvance(shown), inside.width()};
        }
    };
    const auto measureTexts = [&](const QLabel *label, const QStringList &texts) {
        for (int i = 0; i < texts.size(); ++i)
            rooms[label->window()->objectName() + QLatin1Char('.') + label->objectName() +
                  QStringLiteral(" text %1").arg(i + 1)] =
                Room{label->fontMetrics().horizontalAdvance(texts.at(i)), label->width()};
    };

    frmLogin login;
    measure(&login);
    frmPasswords passwords;
    measure(&passwords);
    frmSetTime setTime(600);
    measure(&setTime);
    frmAbout about;
    measure(&about);
    frmHelp help;
    measure(&help);
    QStringList topics;
    for (QTreeWidgetItemIterator node(help.findChild<QTreeWidget *>()); *node; ++node)
        topics.append((*node)->text(0));
    measureTexts(help.findChild<QLabel *>(QStringLiteral("lblCaption")), topics);
    MainWindowFixture main;
    measureTexts(main.label,
                 {Countdown::readyText(), Countdown::startedText(), Countdown::timeUpText()});
    return rooms;
}

} // namespace

class TestTranslations : public QObject
{
    Q_OBJECT
private slots:
    void everyTextIsTranslated_data();
    void everyTextIsTranslated();
    void catalogueHasEveryTextOfTheCode_data();
    void catalogueHasEveryTextOfTheCode();
    void builtInCatalogueIsTheTranslation_data();
    void builtInCatalogueIsTheTranslation();
    void textsFitTheWindowsOfFixedSize_data();
    void textsFitTheWindowsOfFixedSize();
    void desktopFilesSayTheDescriptionInEachLanguage_data();
    void desktopFilesSayTheDescriptionInEachLanguage();
    void languageFromLocale_data();
    void languageFromLocale();
    void systemLocaleCInstallsNothing();
};

void TestTranslations::everyTextIsTranslated_data()
{
    QTest::addColumn<QString>("language");
    for (const QString &language : languages)
        QTest::newRow(qPrintable(language)) << language;
}

void TestTranslations::everyTextIsTranslated()
{
    QFETCH(QString, language);
    QString declared;
    const QList<Message> messages = readTs(tsFile(language), &declared);
    QVERIFY2(messages.size() > 100, qPrintable(tsFile(language)));
    QCOMPARE(declared, language);

    QStringList faults;
    for (const Message &message : messages) {
        const QString where =
            message.context + QStringLiteral(" \"") + message.source + QStringLiteral("\": ");
        if (!message.type.isEmpty() || message.translation.trimmed().isEmpty())
            faults.append(where + QStringLiteral("not translated (%1)").arg(message.type));
        if (placeholders(message.translation) != placeholders(message.source))
            faults.append(where + QStringLiteral("placeholders differ"));
        if (accessKeys(message.translation) != accessKeys(message.source))
            faults.append(where + QStringLiteral("access keys differ"));
        // The program's name and the password are the same in every language.
        for (const QLatin1String kept :
             {QLatin1String("TurnKeeper"), QLatin1String("playfairly")}) {
            if (message.source.contains(kept) && !message.translation.contains(kept))
                faults.append(where + QStringLiteral("%1 is missing").arg(kept));
        }
    }
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));
}

void TestTranslations::catalogueHasEveryTextOfTheCode_data()
{
    everyTextIsTranslated_data();
}

// lupdate, run on the code as the update_translations target runs it, changes nothing:
// no text of the code is missing from the catalogue, none is left over.
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
    QVERIFY2(lupdate.exitStatus() == QProcess::NormalExit && lupdate.exitCode() == 0,
             qPrintable(output));

    const QList<Message> committed = readTs(tsFile(language));
    const QList<Message> updated = readTs(copy);
    QVERIFY(!committed.isEmpty());
    QVERIFY2(updated == committed,
             qPrintable(QStringLiteral("run the update_translations target:\n") + output));
}

void TestTranslations::builtInCatalogueIsTheTranslation_data()
{
    everyTextIsTranslated_data();
}

// The catalogue compiled into the program gives each translation of the .ts file.
void TestTranslations::builtInCatalogueIsTheTranslation()
{
    QFETCH(QString, language);
    QTranslator translator;
    QVERIFY(translator.load(QStringLiteral(":/i18n/turnkeeper_%1.qm").arg(language)));
    QCOMPARE(translator.language(), language);
    QStringList faults;
    for (const Message &message : readTs(tsFile(language))) {
        const QString found =
            translator.translate(qPrintable(message.context), message.source.toUtf8().constData());
        if (found != message.translation)
            faults.append(message.context + QStringLiteral(": ") + message.source);
    }
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));
}

void TestTranslations::textsFitTheWindowsOfFixedSize_data()
{
    everyTextIsTranslated_data();
}

// A translated text needs no more room than its control gives, or than the English
// text needs there: the desktop's font may make the English too wide as well.
void TestTranslations::textsFitTheWindowsOfFixedSize()
{
    QFETCH(QString, language);
    RecordingUi recorder;
    const Rooms english = fixedRooms();
    const Translations translations{QLocale(language)};
    QCOMPARE(translations.language(), language);
    const Rooms translated = fixedRooms();
    QCOMPARE(translated.size(), english.size());

    QStringList faults;
    for (const auto &[control, room] : translated) {
        const int allowed = std::max(room.given, english.at(control).needed);
        if (room.needed > allowed)
            faults.append(QStringLiteral("%1 needs %2 pixels, has %3")
                              .arg(control)
                              .arg(room.needed)
                              .arg(allowed));
    }
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));
}

void TestTranslations::desktopFilesSayTheDescriptionInEachLanguage_data()
{
    everyTextIsTranslated_data();
}

// The menus and software centres show the name and the description the program shows.
void TestTranslations::desktopFilesSayTheDescriptionInEachLanguage()
{
    QFETCH(QString, language);
    QString description;
    for (const Message &message : readTs(tsFile(language))) {
        if (message.source == QLatin1String(BuildInfo::description))
            description = message.translation;
    }
    QVERIFY(!description.isEmpty());

    QFile entry(QStringLiteral(TURNKEEPER_DESKTOP_FILE));
    QVERIFY(entry.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(entry.readAll()).split(QLatin1Char('\n'));
    QVERIFY(lines.contains(QStringLiteral("Name[%1]=TurnKeeper").arg(language)));
    QVERIFY2(lines.contains(QStringLiteral("Comment[%1]=%2").arg(language, description)),
             qPrintable(description));

    QFile metainfo(QStringLiteral(TURNKEEPER_METAINFO_FILE));
    QVERIFY(metainfo.open(QIODevice::ReadOnly));
    QStringList names;
    QStringList summaries;
    QXmlStreamReader xml(&metainfo);
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement ||
            xml.attributes().value(QLatin1String("xml:lang")) != language)
            continue;
        if (xml.name() == QLatin1String("name"))
            names.append(xml.readElementText());
        else if (xml.name() == QLatin1String("summary"))
            summaries.append(xml.readElementText());
    }
    QVERIFY(!xml.hasError());
    QCOMPARE(names, QStringList{QStringLiteral("TurnKeeper")});
    QCOMPARE(summaries, QStringList{description});
}

void TestTranslations::languageFromLocale_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("language"); // empty: the English texts
    QTest::addColumn<QString>("timeUp");

    const QString english = QStringLiteral("Time's Up!");
    QTest::newRow("C") << QLocale::c() << QString() << english;
    QTest::newRow("en_US") << QLocale(QStringLiteral("en_US")) << QString() << english;
    QTest::newRow("en_GB") << QLocale(QStringLiteral("en_GB")) << QString() << english;
    QTest::newRow("ja_JP, no catalogue")
        << QLocale(QStringLiteral("ja_JP")) << QString() << english;
    QTest::newRow("de_DE") << QLocale(QStringLiteral("de_DE")) << QStringLiteral("de")
                           << QStringLiteral("Zeit ist um!");
    QTest::newRow("de_AT") << QLocale(QStringLiteral("de_AT")) << QStringLiteral("de")
                           << QStringLiteral("Zeit ist um!");
    QTest::newRow("fr_FR") << QLocale(QStringLiteral("fr_FR")) << QStringLiteral("fr")
                           << QStringLiteral("Temps écoulé\u00a0!");
    QTest::newRow("fr_CA") << QLocale(QStringLiteral("fr_CA")) << QStringLiteral("fr")
                           << QStringLiteral("Temps écoulé\u00a0!");
    QTest::newRow("es_ES") << QLocale(QStringLiteral("es_ES")) << QStringLiteral("es")
                           << QStringLiteral("¡Se acabó!");
    QTest::newRow("es_MX") << QLocale(QStringLiteral("es_MX")) << QStringLiteral("es")
                           << QStringLiteral("¡Se acabó!");
    QTest::newRow("nl_NL") << QLocale(QStringLiteral("nl_NL")) << QStringLiteral("nl")
                           << QStringLiteral("Tijd is om!");
    QTest::newRow("nl_BE") << QLocale(QStringLiteral("nl_BE")) << QStringLiteral("nl")
                           << QStringLiteral("Tijd is om!");
}

void TestTranslations::languageFromLocale()
{
    QFETCH(QLocale, locale);
    QFETCH(QString, language);
    QFETCH(QString, timeUp);
    const auto timeUpText = [] { return QCoreApplication::translate("Countdown", "Time's Up!"); };
    {
        const Translations translations(locale);
        QCOMPARE(translations.language(), language);
        QCOMPARE(timeUpText(), timeUp);
        // Qt's own texts come along, in the same language, where Debian installed them.
        const bool qtTexts = !language.isEmpty() &&
                             QFile::exists(QLibraryInfo::path(QLibraryInfo::TranslationsPath) +
                                           QStringLiteral("/qtbase_%1.qm").arg(language));
        QCOMPARE(translations.hasQtTexts(), qtTexts);
        if (language == QLatin1String("de") && qtTexts)
            QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"),
                     QStringLiteral("Abbrechen"));
    }
    QCOMPARE(timeUpText(), QStringLiteral("Time's Up!"));
}

// Run with LANG=C and no other locale variable: the program as the tests run it.
void TestTranslations::systemLocaleCInstallsNothing()
{
    QCOMPARE(QLocale::system().language(), QLocale::C);
    const Translations translations;
    QCOMPARE(translations.language(), QString());
    QVERIFY(!translations.hasQtTexts());
    QCOMPARE(QCoreApplication::translate("Countdown", "&Start Timer"),
             QStringLiteral("&Start Timer"));
}

QTEST_MAIN(TestTranslations)
#include "tst_translations.moc"
