// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QVariantMap>

// The program keeps its values per user in an INI file named after the running
// executable. Nothing is cached: every read reads the file, and every save reaches the
// disk (the file's contents and its name in the folder) before it answers true.

// Where the values live and what they are when nothing is stored.
namespace Settings {
inline const QString section = QStringLiteral("Settings");
inline const QString maxTimeKey = QStringLiteral("MaxTime");
inline const QString passwordKey = QStringLiteral("Password");
inline const QString defaultPassword = QStringLiteral("playfairly");

// Why the file could not keep text exactly as it is, or nothing when it can: it
// loses a leading U+FEFF and any broken (lone surrogate) character.
QString whyNotStorable(const QString &text);
} // namespace Settings

// The executable's file name without folder and extension, read afresh at each call,
// so a renamed copy of the program has settings of its own.
QString applicationName();

// <config folder>/<application name>/<application name>.conf, or the file of the
// innermost SettingsFileScope alive.
QString settingsFilePath();

// While it lives, every read and save goes to path instead of the user's own file: a
// service that keeps several accounts' values, one file each, names the account's
// around each use. For one thread.
class SettingsFileScope
{
public:
    explicit SettingsFileScope(const QString &path);
    ~SettingsFileScope();
    SettingsFileScope(const SettingsFileScope &) = delete;
    SettingsFileScope &operator=(const SettingsFileScope &) = delete;

private:
    QString m_previous;
};

// The stored text of key in section, or defaultValue when the key is missing or
// holds nothing that reads as text. A value written by hand reads as it stands:
// without quotes, as the text between the first and last character that is not a
// blank (commas included); within quotes, as everything inside them.
QString GetSetting(const QString &section, const QString &key, const QString &defaultValue);

// The stored value of "section/key" as Qt reads it (a text or a list of texts), or an
// invalid value when there is none.
QVariant GetSettingValue(const QString &groupKey);

// Stores value and confirms it by reading it back. Answers false, with a reason for
// the user in errorMessage when given, when the value did not reach the disk.
[[nodiscard]] bool SaveSetting(const QString &section, const QString &key, const QString &value,
                               QString *errorMessage = nullptr);

// Stores all changes or none: each "section/key" (or a whole "section") gets its value,
// a text or a list of texts; an invalid value removes it. what names the changes in
// the reason given in errorMessage.
[[nodiscard]] bool SaveSettings(const QVariantMap &changes, const QString &what,
                                QString *errorMessage = nullptr);
