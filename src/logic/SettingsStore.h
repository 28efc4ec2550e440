// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The program keeps two values per user, the timer length and the parent password,
// in an INI file named after the running executable. Nothing is cached: every read
// reads the file and every write reaches the disk before it returns.

// Where the two values live and what they are when nothing is stored.
namespace Settings {
inline const QString section = QStringLiteral("Settings");
inline const QString maxTimeKey = QStringLiteral("MaxTime");
inline const QString passwordKey = QStringLiteral("Password");
inline const QString defaultPassword = QStringLiteral("playfairly");
} // namespace Settings

// The executable's file name without folder and extension, read afresh at each call,
// so a renamed copy of the program has settings of its own.
QString applicationName();

// <config folder>/<application name>/<application name>.conf
QString settingsFilePath();

// The stored text of key in section, or defaultValue when the key is missing or
// holds nothing that reads as text.
QString GetSetting(const QString &section, const QString &key, const QString &defaultValue);

// Stores value and confirms it by reading it back. Answers false, with a reason for
// the user in errorMessage when given, when the value did not reach the disk.
[[nodiscard]] bool SaveSetting(const QString &section, const QString &key, const QString &value,
                               QString *errorMessage = nullptr);
