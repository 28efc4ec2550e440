// SPDX-License-Identifier: GPL-3.0-or-later
#include "logic/SettingsStore.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QRegularExpression>
#include <QSettings>
#include <QStandardPaths>
#include <QStringList>
#include <QTemporaryFile>

#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace {

QString groupKey(const QString &section, const QString &key)
{
    return section + QLatin1Char('/') + key;
}

// The translators' context of the store's messages.
class SettingsStore
{
    Q_DECLARE_TR_FUNCTIONS(SettingsStore)
};

// How the messages name a stored value. The English texts name the key itself, as the
// settings file spells it; a translation names what it holds.
QString displayName(const QString &key)
{
    static const char *const names[] = {
        //: What could not be saved, in "%1 could not be saved in %2: %3.": the length of a
        //: turn (the English names the settings file's key).
        QT_TRANSLATE_NOOP("SettingsStore", "MaxTime"),
        //: What could not be saved, in "%1 could not be saved in %2: %3.": the parent
        //: password (the English names the settings file's key).
        QT_TRANSLATE_NOOP("SettingsStore", "Password"),
    };
    for (const char *name : names) {
        if (key == QLatin1String(name))
            return SettingsStore::tr(name);
    }
    return key;
}

// The text after "key=" in the [section] group of an INI file, as written there, or a
// null text when there is none. Qt reads the same group and key names exactly.
QString rawValue(const QString &path, const QString &section, const QString &key)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    const QString header = QLatin1Char('[') + section + QLatin1Char(']');
    QString value;
    bool inSection = false;
    const QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    for (QString line : lines) {
        line = line.trimmed();
        if (line.startsWith(QLatin1Char('['))) {
            inSection = line == header;
            continue;
        }
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (inSection && equals > 0 && line.left(equals).trimmed() == key)
            value = line.mid(equals + 1).trimmed();
    }
    return value;
}

// A hand-edited value may come back as something other than a text: an unquoted
// "a, b" reads as a list and a broken "@Variant(...)" as nothing at all. A list is read
// again as the text it was written as.
QString textOf(const QVariant &value, const QString &section, const QString &key,
               const QString &defaultValue)
{
    switch (value.typeId()) {
    case QMetaType::QString:
        return value.toString();
    case QMetaType::QStringList:
    case QMetaType::QVariantList: {
        const QString raw = rawValue(settingsFilePath(), section, key);
        if (raw.size() >= 2 && raw.startsWith(QLatin1Char('"')) && raw.endsWith(QLatin1Char('"')))
            return raw.mid(1, raw.size() - 2);
        return raw;
    }
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

// Asks the system to put what has been written to path on the disk; for a folder,
// the names it holds.
bool syncToDisk(const QString &path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool synced = ::fsync(fd) == 0;
    ::close(fd);
    return synced;
}

// The copies a save makes beside the file ("<file>.XXXXXX", and Qt's lock for it),
// which a save cut short leaves behind.
QRegularExpression copyPattern(const QString &fileName)
{
    return QRegularExpression(QLatin1Char('^') + QRegularExpression::escape(fileName) +
                              QStringLiteral("\\.[A-Za-z0-9]{6}(\\.lock)?$"));
}

void removeStaleCopies(const QFileInfo &target)
{
    const QRegularExpression copy = copyPattern(target.fileName());
    const QDir folder = target.absoluteDir();
    for (const QString &name : folder.entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        if (copy.match(name).hasMatch())
            QFile::remove(folder.filePath(name));
    }
}

// Qt keeps parsed settings files in a process-wide cache by path, which would show the
// values it meant to write rather than those on the disk. A private copy under a new
// name, beside the file, is parsed from what is really there.
QVariantMap valuesOnDisk(const QString &path, const QStringList &keys)
{
    QTemporaryFile copy(path + QStringLiteral(".XXXXXX"));
    if (!copy.open() || !copyFile(path, copy))
        return {};
    copy.close();
    const QSettings settings(copy.fileName(), QSettings::IniFormat);
    QVariantMap values;
    for (const QString &key : keys)
        values.insert(key, settings.value(key));
    return values;
}

// A list of one text reads back as that text, and an empty list as nothing.
bool sameValue(const QVariant &stored, const QVariant &wanted)
{
    if (!wanted.isValid())
        return !stored.isValid();
    if (wanted.typeId() == QMetaType::QStringList)
        return stored.toStringList() == wanted.toStringList();
    return stored.typeId() == QMetaType::QString && stored.toString() == wanted.toString();
}

} // namespace

namespace Settings {

QString whyNotStorable(const QString &text)
{
    if (text.startsWith(QChar(0xFEFF)))
        //: Why a text cannot be saved (%3 of "%1 could not be saved in %2: %3.", or %1 of
        //: "This name cannot be kept: %1."). "it" is the text typed.
        return SettingsStore::tr(
            "it begins with an invisible character (U+FEFF) that a settings file drops");
    if (!text.isValidUtf16())
        //: Why a text cannot be saved; "it" is the text typed.
        return SettingsStore::tr("it holds a broken character that a settings file cannot keep");
    return QString();
}

} // namespace Settings

QString applicationName()
{
    return QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
}

namespace {
QString scopedFile;
} // namespace

SettingsFileScope::SettingsFileScope(const QString &path) : m_previous(scopedFile)
{
    scopedFile = path;
}

SettingsFileScope::~SettingsFileScope()
{
    scopedFile = m_previous;
}

QString settingsFilePath()
{
    if (!scopedFile.isEmpty())
        return scopedFile;
    const QString name = applicationName();
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return folder + QLatin1Char('/') + name + QLatin1Char('/') + name + QStringLiteral(".conf");
}

QString GetSetting(const QString &section, const QString &key, const QString &defaultValue)
{
    const QVariant value = GetSettingValue(groupKey(section, key));
    if (!value.isValid())
        return defaultValue;
    return textOf(value, section, key, defaultValue);
}

QVariant GetSettingValue(const QString &groupKey)
{
    return QSettings(settingsFilePath(), QSettings::IniFormat).value(groupKey);
}

bool SaveSetting(const QString &section, const QString &key, const QString &value,
                 QString *errorMessage)
{
    return SaveSettings({{groupKey(section, key), value}}, displayName(key), errorMessage);
}

bool SaveSettings(const QVariantMap &changes, const QString &what, QString *errorMessage)
{
    const QString path = settingsFilePath();
    const auto fail = [&](const QString &reason) {
        if (errorMessage)
            //: A message when a save fails. %1 is what was saved (the children's names,
            //: the password, the length of a turn...: a text of its own, translated to
            //: fit here), %2 the settings file's path, %3 why (a text beginning "the ...").
            *errorMessage = SettingsStore::tr("%1 could not be saved in %2: %3.")
                                .arg(what, QDir::toNativeSeparators(path), reason);
        return false;
    };
    //: Why a save failed (%3 of "%1 could not be saved in %2: %3.").
    const QString cannotWrite = SettingsStore::tr("the file cannot be written");

    for (const QVariant &value : changes) {
        const QStringList texts = value.typeId() == QMetaType::QStringList
                                      ? value.toStringList()
                                      : QStringList(value.toString());
        for (const QString &text : texts) {
            const QString reason = Settings::whyNotStorable(text);
            if (!reason.isEmpty())
                return fail(reason);
        }
    }

    const QFileInfo target(path);
    if (!QDir().mkpath(target.absolutePath()))
        //: Why a save failed (%3 of "%1 could not be saved in %2: %3.").
        return fail(SettingsStore::tr("the folder cannot be created"));
    if (target.exists() && (!target.isFile() || !target.isWritable()))
        return fail(cannotWrite);

    // One save at a time among the program's copies; under the lock, any copy left
    // beside the file is a save that was cut short.
    QLockFile lock(path + QStringLiteral(".lock"));
    if (!lock.tryLock(10000))
        return fail(lock.error() == QLockFile::LockFailedError
                        //: Why a save failed (%3 of "%1 could not be saved in %2: %3.").
                        ? SettingsStore::tr("another copy of the program is saving it")
                        : cannotWrite);
    removeStaleCopies(target);

    // Qt can report success for a write cut short by a full disk and then put the
    // short file in place of the good one. So the change is made in a copy beside the
    // file, checked, put on the disk, and only then moved over the file in one step: a
    // failed save leaves the earlier values untouched.
    QTemporaryFile staging(path + QStringLiteral(".XXXXXX"));
    if (!staging.open() || !copyFile(path, staging))
        return fail(cannotWrite);
    staging.close();

    QSettings::Status status;
    {
        QSettings settings(staging.fileName(), QSettings::IniFormat);
        for (auto change = changes.cbegin(); change != changes.cend(); ++change) {
            if (change.value().isValid())
                settings.setValue(change.key(), change.value());
            else
                settings.remove(change.key());
        }
        settings.sync();
        status = settings.status();
    }
    // Garbage lines written by hand set FormatError, yet the values are written; the
    // check below decides.
    if (status == QSettings::AccessError)
        return fail(cannotWrite);

    const QVariantMap stored = valuesOnDisk(staging.fileName(), changes.keys());
    for (auto change = changes.cbegin(); change != changes.cend(); ++change) {
        if (!sameValue(stored.value(change.key()), change.value()))
            //: Why a save failed (%3 of "%1 could not be saved in %2: %3.").
            return fail(
                SettingsStore::tr("the file was not written completely; the disk may be full"));
    }

    if (!syncToDisk(staging.fileName()))
        return fail(cannotWrite);
    if (::rename(QFile::encodeName(staging.fileName()).constData(),
                 QFile::encodeName(path).constData()) != 0)
        return fail(cannotWrite);
    staging.setAutoRemove(false);
    // The new name reaches the disk with its folder; the values are in place either way.
    syncToDisk(target.absolutePath());
    return true;
}
