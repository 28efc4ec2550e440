// SPDX-License-Identifier: GPL-3.0-or-later
#include "logic/LockWriter.h"

#include "logic/LockFile.h"
#include "logic/PasswordHash.h"

namespace LockWriter {

bool write(const QString &lockFile, const SystemLock::Rules &rules,
           const std::optional<QString> &password, QString *error)
{
    return (!password ||
            LockFile::write(SystemLock::hashFileFor(lockFile),
                            PasswordHash::make(*password).toUtf8() + '\n', error, 0600)) &&
           LockFile::write(lockFile, SystemLock::contentsWithoutHash(rules), error);
}

bool writeWithHashInside(const QString &lockFile, std::optional<qint32> maxTime,
                         const QString &password, QString *error)
{
    if (!LockFile::write(lockFile, SystemLock::contents(PasswordHash::make(password), maxTime),
                         error))
        return false;
    QString ignored;
    LockFile::remove(SystemLock::hashFileFor(lockFile), &ignored);
    return true;
}

bool remove(const QString &lockFile, QString *error)
{
    return LockFile::remove(lockFile, error) &&
           LockFile::remove(SystemLock::hashFileFor(lockFile), error);
}

} // namespace LockWriter
