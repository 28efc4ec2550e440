// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "logic/SystemLock.h"

#include <QString>

#include <optional>

// Writes the administrator's lock, the one way turnkeeper-lock and the guard both do:
// each file replaced whole once it is on the disk (LockFile), the password's hash apart
// where only root reads it.
namespace LockWriter {

// The lock for a guard, with rules; the hash of password beside it when one is given
// (the hash first: until the lock file is replaced, an old one stays as it was and in
// force), else the hash already there is kept. False, with the reason, when a file did
// not reach the disk.
bool write(const QString &lockFile, const SystemLock::Rules &rules,
           const std::optional<QString> &password, QString *error);
// The lock for a program without a guard, which reads the hash inside it.
bool writeWithHashInside(const QString &lockFile, std::optional<qint32> maxTime,
                         const QString &password, QString *error);
// Removes the lock and its hash.
bool remove(const QString &lockFile, QString *error);

} // namespace LockWriter
