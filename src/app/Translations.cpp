// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace {

// turnkeeper_de.qm and its kind, compiled from translations/*.ts.
const QString catalogue = QStringLiteral("turnkeeper");
const QString catalogueFolder = QStringLiteral(":/i18n");

bool isEnglishOrC(const QLocale &locale)
{
    return locale.language() == QLocale::English || locale.language() == QLocale::C;
}

} // namespace

Translations::Translations(const QLocale &locale) : Translations(locale.uiLanguages()) {}

Translations::Translations(const QStringList &languages)
{
    auto program = std::make_unique<QTranslator>();
    // In the order the family prefers (LANGUAGE=nl:de gives Dutch, then German); an
    // English one before any other means English.
    for (const QString &name : languages) {
        const QLocale wanted(name);
        // Qt reads a name it does not know as the C locale: passed over, not English.
        const bool known = wanted.language() != QLocale::C || name == QLatin1String("C") ||
                           name == QLatin1String("POSIX");
        if (!known)
            continue;
        if (isEnglishOrC(wanted))
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
