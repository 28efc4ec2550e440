// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "logic/PasswordHash.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <optional>

// What an administrator imposes on every account of the machine through a file that
// only root can write, <XDG config folder>/<name>/<name>.conf, beside the user's own
// settings file, which the child using the account can edit. Where that file holds
// Locked=true, its password hash replaces the user's password and its MaxTime, when
// valid, the user's length. A lock never opens by being damaged: a locked file with
// a missing or broken hash, or one that cannot be read, accepts no password at all.
class SystemLock
{
    Q_DECLARE_TR_FUNCTIONS(SystemLock)

public:
    enum class Reporting { Quiet, OnStandardError };

    // The lengths the timer length dialog allows, in seconds: 1 to 3600 minutes.
    static constexpr qint32 ShortestSeconds = 60;
    static constexpr qint32 LongestSeconds = 216000;

    static inline const QString lockedKey = QStringLiteral("Locked");
    static inline const QString passwordHashKey = QStringLiteral("PasswordHash");
    // The break after a time's up, in minutes, and what the guard does when nobody shows
    // a time's up: lock (the default) or logout.
    static inline const QString breakKey = QStringLiteral("Break");
    static inline const QString unseenKey = QStringLiteral("Unseen");
    static constexpr qint32 LongestBreakMinutes = 1440;

    // The absolute folders of XDG_CONFIG_DIRS in order; /etc/xdg when it is unset or
    // empty. Relative entries are ignored, as the XDG rules ask.
    static QStringList configFolders();

    // <folder>/<name>/<name>.conf
    static QString fileIn(const QString &folder, const QString &name);

    // Reads afresh the lock for the program called name from the first config folder
    // that holds a file for it. With OnStandardError, a locked file that accepts no
    // password, or that the running user could change, is said on standard error,
    // once per process.
    static SystemLock read(const QString &name, Reporting reporting = Reporting::OnStandardError);

    // Reads afresh the lock of that one file, as read() does.
    static SystemLock readFile(const QString &file,
                               Reporting reporting = Reporting::OnStandardError);

    // The file beside a lock file that holds its password hash alone, readable by root
    // only, for a lock file without PasswordHash: <folder>/<base name>.hash.
    static QString hashFileFor(const QString &lockFile);

    // The text of a lock file whose hash is kept in the file beside it, with the length
    // and the break in seconds when given.
    static QByteArray contentsWithoutHash(std::optional<qint32> maxTime,
                                          std::optional<qint32> breakSeconds, bool logoutUnseen);

    // A break as typed, in whole minutes from 1 to LongestBreakMinutes, in seconds.
    static std::optional<qint32> breakFromMinutes(const QString &minutes);

    // The whole text of a lock file for a password hash and, when given, a length in
    // seconds.
    static QByteArray contents(const QString &passwordHash, std::optional<qint32> maxTime);

    // A length in minutes as typed, a decimal number, in seconds; nothing for any
    // other text and for lengths out of the dialog's range.
    static std::optional<qint32> secondsFromMinutes(const QString &minutes);

    // The file found; empty when no config folder holds one.
    QString file() const { return m_file; }
    bool isLocked() const { return m_locked; }
    // Whether the lock has a password that can open it.
    bool hasUsableHash() const { return m_hash.has_value(); }
    // True only for the password of a usable hash, and only under a lock.
    bool acceptsPassword(const QString &typed) const;
    // The length imposed under the lock, when the file gives a valid one.
    std::optional<qint32> maxTime() const { return m_maxTime; }
    // The break after a time's up, when the lock sets one.
    std::optional<qint32> breakSeconds() const { return m_break; }
    // Whether sessions where nobody shows a time's up are ended rather than locked.
    bool logoutUnseen() const { return m_logoutUnseen; }
    // Whether the hash is kept apart, in hashFileFor(file()).
    bool hashKeptApart() const { return m_hashApart; }
    // Whether the running user could change or replace the file.
    bool writableByUser() const { return m_writable; }
    // Why a lock accepts no password, for people; empty when it has a usable hash
    // or there is no lock.
    QString problem() const { return m_problem; }

private:
    // Reads the file found; visible is false when the running user cannot even look at it.
    void load(const QString &file, bool visible);
    void reportOnce() const;

    QString m_file;
    bool m_locked = false;
    std::optional<PasswordHash::Parts> m_hash;
    std::optional<qint32> m_maxTime;
    std::optional<qint32> m_break;
    bool m_logoutUnseen = false;
    bool m_hashApart = false;
    bool m_writable = false;
    QString m_problem;
};
