// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/SettingsStore.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QStringList>

namespace {

QString groupKey(const QString &section, const QString &key)
{
    return section + QLatin1Char('/') + key;
}

// A hand-edited value may come back as something other than a string: an unquoted
// "a,b" reads as a list, and a broken "@Variant(...)" as nothing at all.
QString textOf(const QVariant &value, const QString &defaultValue)
{
    switch (value.typeId()) {
    case QMetaType::QString:
        return value.toString();
    case QMetaType::QStringList:
        return value.toStringList().join(QLatin1Char(','));
    case QMetaType::QByteArray:
        return QString::fromUtf8(value.toByteArray());
    default:
        return value.canConvert<QString>() ? value.toString() : defaultValue;
    }
}


} // namespace

QString applicationName()
{
    return QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
}

QString settingsFilePath()
{
    const QString name = applicationName();
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return folder + QLatin1Char('/') + name + QLatin1Char('/') + name + QStringLiteral(".conf");
}

QString GetSetting(const QString &section, const QString &key, const QString &defaultValue)
{
    const QSettings settings(settingsFilePath(), QSettings::IniFormat);
    const QVariant value = settings.value(groupKey(section, key));
    if (!value.isValid())
        return defaultValue;
    return textOf(value, defaultValue);
}

bool SaveSetting(const QString &section, const QString &key, const QString &value,
                 QString *errorMessage)
{
    const QString path = settingsFilePath();
    const auto fail = [&](const QString &reason) {
        if (errorMessage)
            *errorMessage = QCoreApplication::translate("SettingsStore", "%1 could not be saved in %2: %3.")
                                .arg(key, QDir::toNativeSeparators(path), reason);
        return false;
    };

    const QString folder = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(folder))
        return fail(QCoreApplication::translate("SettingsStore", "the folder cannot be created"));

    QSettings::Status status;
    {
        QSettings settings(path, QSettings::IniFormat);
        settings.setValue(groupKey(section, key), value);
        settings.sync();
        status = settings.status();
    }
    // Garbage lines written by hand set FormatError, yet the value is written;
    // the read-back below decides.
    if (status == QSettings::AccessError)
        return fail(QCoreApplication::translate("SettingsStore", "the file cannot be written"));

    // A write cut short by a full disk can still report success; only reading the
    // file again shows whether the value arrived.
    const QSettings check(path, QSettings::IniFormat);
    const QVariant stored = check.value(groupKey(section, key));
    if (stored.typeId() != QMetaType::QString || stored.toString() != value)
        return fail(QCoreApplication::translate("SettingsStore", "the file was not written completely; the disk may be full"));
    return true;
}
