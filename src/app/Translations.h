// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLocale>
#include <QString>

#include <memory>

class QTranslator;

// The program speaks the family's language: while this lives, the application has the
// catalogue of the program's own texts for the first of the locale's languages that
// has one (built into the program under :/i18n/), and Qt's own texts for the standard
// dialogs in that language, where Debian's qt6-translations-l10n provides them. The
// texts are written in English: an English locale, or none of the locale's languages
// with a catalogue, installs nothing. main.cpp makes one from the system locale before
// the first window; tests make one the same way.
class Translations
{
public:
    // The first of the locale's languages, in the family's order, that has a catalogue,
    // or English where it comes first. The system locale follows LANGUAGE, LC_ALL,
    // LC_MESSAGES and LANG, also where the C library has no such locale installed.
    explicit Translations(const QLocale &locale = QLocale::system());
    ~Translations();
    Translations(const Translations &) = delete;
    Translations &operator=(const Translations &) = delete;

    // The language of the program's catalogue in use ("de"); empty when there is none.
    QString language() const { return m_language; }
    // Whether Qt's own texts in that language are in use as well.
    bool hasQtTexts() const { return m_qt != nullptr; }

private:
    std::unique_ptr<QTranslator> m_program;
    std::unique_ptr<QTranslator> m_qt;
    QString m_language;
};
