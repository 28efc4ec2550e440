// SPDX-License-Identifier: GPL-3.0-or-later
#include "logic/LockFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace LockFile {

namespace {

QByteArray native(const QString &path)
{
    return QFile::encodeName(path);
}

QString reason()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

// The folder and every missing one above it, each readable and enterable by
// everyone whatever the umask: the program runs as the child and must find the file.
bool makeFolders(const QString &folder, QString *error)
{
    const QString parent = QFileInfo(folder).absolutePath();
    if (QFileInfo::exists(folder))
        return true;
    if (parent != folder && !makeFolders(parent, error))
        return false;
    if (::mkdir(native(folder).constData(), 0755) != 0 && errno != EEXIST) {
        *error = QStringLiteral("cannot create %1: %2").arg(folder, reason());
        return false;
    }
    ::chmod(native(folder).constData(), 0755);
    return true;
}

bool syncFolder(const QString &folder, QString *error)
{
    const int fd = ::open(native(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    const bool synced = fd >= 0 && ::fsync(fd) == 0;
    if (!synced)
        *error = QStringLiteral("cannot flush %1: %2").arg(folder, reason());
    if (fd >= 0)
        ::close(fd);
    return synced;
}

bool writeAll(int fd, const QByteArray &contents)
{
    qsizetype done = 0;
    while (done < contents.size()) {
        const ssize_t written = ::write(fd, contents.constData() + done, contents.size() - done);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        done += written;
    }
    return true;
}

} // namespace

bool canWrite(const QString &folder)
{
    QString existing = QDir::cleanPath(folder);
    while (!QFileInfo::exists(existing) && QFileInfo(existing).absolutePath() != existing)
        existing = QFileInfo(existing).absolutePath();
    return ::access(native(existing).constData(), W_OK | X_OK) == 0;
}

bool write(const QString &path, const QByteArray &contents, QString *error, mode_t mode)
{
    const QString folder = QFileInfo(path).absolutePath();
    if (!makeFolders(folder, error))
        return false;
    // Whoever made the program's folder, the program running as the child must be
    // able to enter it.
    ::chmod(native(folder).constData(), 0755);

    QByteArray staging = native(path) + ".XXXXXX";
    const int fd = ::mkstemp(staging.data());
    if (fd < 0) {
        *error = QStringLiteral("cannot create a file in %1: %2").arg(folder, reason());
        return false;
    }
    bool written = writeAll(fd, contents) && ::fchmod(fd, mode) == 0 && ::fsync(fd) == 0;
    QString why = written ? QString() : reason();
    if (::close(fd) != 0 && written) {
        written = false;
        why = reason();
    }
    if (!written) {
        *error = QStringLiteral("cannot write %1: %2").arg(QFile::decodeName(staging), why);
        ::unlink(staging.constData());
        return false;
    }
    if (::rename(staging.constData(), native(path).constData()) != 0) {
        *error = QStringLiteral("cannot replace %1: %2").arg(path, reason());
        ::unlink(staging.constData());
        return false;
    }
    return syncFolder(folder, error);
}

bool remove(const QString &path, QString *error)
{
    if (::unlink(native(path).constData()) != 0) {
        if (errno == ENOENT)
            return true;
        *error = QStringLiteral("cannot remove %1: %2").arg(path, reason());
        return false;
    }
    return syncFolder(QFileInfo(path).absolutePath(), error);
}

} // namespace LockFile
