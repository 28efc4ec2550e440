// SPDX-License-Identifier: GPL-3.0-or-later
#include "logic/Children.h"

#include "logic/SettingsStore.h"

#include <QCoreApplication>
#include <QVariantMap>

namespace {

const QString section = QStringLiteral("Children");
const QString namesKey = QStringLiteral("Children/Names");
const QString nextKey = QStringLiteral("Children/Next");

QString tr(const char *text)
{
    return QCoreApplication::translate("Children", text);
}

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
    const QString what = tr("The children's names");
    if (m_names.isEmpty())
        return SaveSettings({{section, QVariant()}}, what, errorMessage);
    return SaveSettings({{namesKey, m_names}, {nextKey, next()}}, what, errorMessage);
}

QString Children::refusal(const QString &name, const QStringList &names, int except)
{
    const QString trimmed = name.trimmed();
    if (trimmed.isEmpty())
        return tr("A name needs at least one letter.");
    if (trimmed.size() > LongestName)
        return tr("A name can be at most %1 characters long.").arg(LongestName);
    for (int i = 0; i < names.size(); ++i) {
        if (i != except && names.at(i).compare(trimmed, Qt::CaseInsensitive) == 0)
            return tr("%1 is already in the list.").arg(names.at(i));
    }
    const QString unstorable = Settings::whyNotStorable(trimmed);
    if (!unstorable.isEmpty())
        return tr("This name cannot be kept: %1.").arg(unstorable);
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
    return tr("Next: %1").arg(name);
}
