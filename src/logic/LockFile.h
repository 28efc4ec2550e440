// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

#include <sys/types.h>

// The administrator's lock file must never be seen half written, and must stay
// written once the tool has said so, through a crash or a power cut: it is replaced
// in one step by a complete copy that has reached the disk, and the folder's change
// is flushed too.
namespace LockFile {

// Whether the running user can create or replace files in folder, or create the
// folder where it is missing.
bool canWrite(const QString &folder);

// Writes contents to path, with mode (0644: everyone reads it), through a temporary copy in the
// same folder, flushed, renamed over path, then the folder flushed. Missing folders are made with
// mode 0755. On failure, says why in error and leaves any earlier file as it was.
bool write(const QString &path, const QByteArray &contents, QString *error, mode_t mode = 0644);

// Removes path, when there, and flushes its folder. Answers false, with the reason in
// error, when the file stays.
bool remove(const QString &path, QString *error);

} // namespace LockFile
