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
// only root can write, /etc/xdg/TurnKeeper/TurnKeeper.conf, beside the user's own
// settings file, which the child using the account can edit. The file is the same
// whatever the program's file name, its folder or the environment; a folder of
// XDG_CONFIG_DIRS may add a lock in TurnKeeper/TurnKeeper.conf, never take one away. Where that
// file holds Locked=true, its password hash replaces the user's password and its MaxTime, when
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

    // The name the lock goes by, whatever the program's file is called.
    static inline const QString programName = QStringLiteral("TurnKeeper");
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

    // <folder>/TurnKeeper/TurnKeeper.conf
    static QString fileIn(const QString &folder);
    // The administrator's file, which always counts.
    static QString installedFile();

    // Reads the lock afresh: the administrator's file when it locks, else the first file
    // of the config folders that locks, else the first file found, which does not. With
    // OnStandardError, a locked file that accepts no password, or that the running user
    // could change, is said on standard error, once per process.
    static SystemLock read(Reporting reporting = Reporting::OnStandardError);

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
