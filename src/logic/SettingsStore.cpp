// SPDX-License-Identifier: GPL-3.0-or-later
#include "logic/SettingsStore.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QStringList>
#include <QTemporaryFile>

#include <cstdio>

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

// Copies the bytes of the file at path, if there is one, into target.
bool copyFile(const QString &path, QFileDevice &target)
{
    QFile source(path);
    if (!source.exists())
        return true;
    if (!source.open(QIODevice::ReadOnly))
        return false;
    const QByteArray contents = source.readAll();
    return target.write(contents) == contents.size() && target.flush();
}

// Qt keeps parsed settings files in a process-wide cache by path, which would show the
// values it meant to write rather than those on the disk. A private copy under a new
// name is parsed from what is really there.
QVariant valueOnDisk(const QString &path, const QString &key)
{
    QTemporaryFile copy(QDir::tempPath() + QStringLiteral("/settings-check-XXXXXX.conf"));
    if (!copy.open() || !copyFile(path, copy))
        return QVariant();
    copy.close();
    return QSettings(copy.fileName(), QSettings::IniFormat).value(key);
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
            *errorMessage =
                QCoreApplication::translate("SettingsStore", "%1 could not be saved in %2: %3.")
                    .arg(key, QDir::toNativeSeparators(path), reason);
        return false;
    };
    const QString cannotWrite =
        QCoreApplication::translate("SettingsStore", "the file cannot be written");

    const QFileInfo target(path);
    if (!QDir().mkpath(target.absolutePath()))
        return fail(QCoreApplication::translate("SettingsStore", "the folder cannot be created"));
    if (target.exists() && (!target.isFile() || !target.isWritable()))
        return fail(cannotWrite);

    // Qt can report success for a write cut short by a full disk and then put the
    // short file in place of the good one. So the change is made in a copy beside the
    // file, checked, and only then moved over the file in one step: a failed save
    // leaves the earlier values untouched.
    QTemporaryFile staging(path + QStringLiteral(".XXXXXX"));
    if (!staging.open() || !copyFile(path, staging))
        return fail(cannotWrite);
    staging.close();

    QSettings::Status status;
    {
        QSettings settings(staging.fileName(), QSettings::IniFormat);
        settings.setValue(groupKey(section, key), value);
        settings.sync();
        status = settings.status();
    }
    // Garbage lines written by hand set FormatError, yet the value is written; the
    // check below decides.
    if (status == QSettings::AccessError)
        return fail(cannotWrite);

    const QVariant stored = valueOnDisk(staging.fileName(), groupKey(section, key));
    if (stored.typeId() != QMetaType::QString || stored.toString() != value)
        return fail(QCoreApplication::translate(
            "SettingsStore", "the file was not written completely; the disk may be full"));

    if (::rename(QFile::encodeName(staging.fileName()).constData(),
                 QFile::encodeName(path).constData()) != 0)
        return fail(cannotWrite);
    staging.setAutoRemove(false);
    return true;
}
