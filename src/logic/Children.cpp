// SPDX-License-Identifier: GPL-3.0-or-later
#include "logic/Children.h"

#include "logic/SettingsStore.h"

#include <QVariantMap>

namespace {

const QString section = QStringLiteral("Children");
const QString namesKey = QStringLiteral("Children/Names");
const QString nextKey = QStringLiteral("Children/Next");

} // namespace

Children Children::read()
{
    const QVariant stored = GetSettingValue(namesKey);
    QStringList names;
    // A list of one name is stored as a plain text; anything else is no list of names.
    if (stored.typeId() == QMetaType::QStringList || stored.typeId() == QMetaType::QString) {
        for (const QString &written : stored.toStringList()) {
            const QString name = written.trimmed();
            if (refusal(name, names).isEmpty())
                names.append(name);
        }
    }
    return Children(names, GetSetting(section, QStringLiteral("Next"), QString()));
}

bool Children::write(QString *errorMessage) const
{
    //: What could not be saved, in "%1 could not be saved in %2: %3." (see there).
    const QString what = tr("The children's names");
    if (m_names.isEmpty())
        return SaveSettings({{section, QVariant()}}, what, errorMessage);
    return SaveSettings({{namesKey, m_names}, {nextKey, next()}}, what, errorMessage);
}

QString Children::refusal(const QString &name, const QStringList &names, int except)
{
    const QString trimmed = name.trimmed();
    if (trimmed.isEmpty())
        //: A message when a parent adds an empty name in the Children window.
        return tr("A name needs at least one letter.");
    if (trimmed.size() > LongestName)
        //: A message when a name is too long. %1 is the number of characters (40).
        return tr("A name can be at most %1 characters long.").arg(LongestName);
    for (int i = 0; i < names.size(); ++i) {
        if (i != except && names.at(i).compare(trimmed, Qt::CaseInsensitive) == 0)
            //: A message when a name is given twice. %1 is the child's name.
            return tr("%1 is already in the list.").arg(names.at(i));
    }
    const QString unstorable = Settings::whyNotStorable(trimmed);
    if (!unstorable.isEmpty())
        //: A message when a name holds a character the settings file loses. %1 says which
        //: (a text of the context SettingsStore beginning with "it ...").
        return tr("This name cannot be kept: %1.").arg(unstorable);
    for (const char32_t c : trimmed.toUcs4()) {
        const QChar::Category category = QChar::category(c);
        if (category == QChar::Other_Control || category == QChar::Other_Format ||
            category == QChar::Separator_Line || category == QChar::Separator_Paragraph)
            //: A message when a name holds a line break, a tab or an invisible character
            //: that changes how text runs (such as a right-to-left mark).
            return tr("A name cannot hold line breaks, tabs or invisible characters.");
    }
    return QString();
}

QString Children::next() const
{
    if (m_names.contains(m_next))
        return m_next;
    return m_names.value(0);
}

QString Children::after(const QString &name) const
{
    const qsizetype at = m_names.indexOf(name);
    if (at < 0)
        return next();
    return m_names.at((at + 1) % m_names.size());
}

QString Children::nextText(const QString &name)
{
    //: On the main window's bar and in the Children window: whose turn comes next.
    //: %1 is a child's first name.
    return tr("Next: %1").arg(name);
}
