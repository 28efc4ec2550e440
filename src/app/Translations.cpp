// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace {

// turnkeeper_de.qm and its kind, compiled from translations/*.ts.
const QString catalogue = QStringLiteral("turnkeeper");
const QString catalogueFolder = QStringLiteral(":/i18n");

} // namespace

Translations::Translations(const QLocale &locale)
{
    auto program = std::make_unique<QTranslator>();
    // In the order the family prefers (LANGUAGE=nl:de gives Dutch, then German), as Qt
    // lists them: each name, then the fuller forms of it ("de", "de-Latn-DE", "de-DE").
    for (const QString &name : locale.uiLanguages()) {
        const QLocale wanted(name);
        // The C locale is no language: it is the C or POSIX locale itself, which leaves
        // the choice to the names after it, or what Qt puts after a name it does not
        // know (LANGUAGE=xx:de lists "xx", "C", "de", ...).
        if (wanted.language() == QLocale::C)
            continue;
        // The program's own texts are English.
        if (wanted.language() == QLocale::English)
            return;
        // turnkeeper_de_AT.qm, then turnkeeper_de.qm.
        if (program->load(wanted, catalogue, QStringLiteral("_"), catalogueFolder))
            break;
    }
    if (program->isEmpty())
        return;
    QCoreApplication::installTranslator(program.get());
    m_program = std::move(program);
    m_language = m_program->language();

    auto qt = std::make_unique<QTranslator>();
    if (qt->load(QLocale(m_language), QStringLiteral("qtbase"), QStringLiteral("_"),
                 QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QCoreApplication::installTranslator(qt.get());
        m_qt = std::move(qt);
    }
}

Translations::~Translations()
{
    if (m_qt)
        QCoreApplication::removeTranslator(m_qt.get());
    if (m_program)
        QCoreApplication::removeTranslator(m_program.get());
}
