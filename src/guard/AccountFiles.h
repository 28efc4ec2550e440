// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "guard/PasswordBackoff.h"

#include <QDateTime>
#include <QList>
#include <QString>

// What the guard keeps of each account in its state folder, where only root reaches it:
// <uid>.conf (the account's turn as the program keeps its own, its children, and the
// guard's group below) and <uid>.turns (the record of turns). The guard's own part
// outlives a restart and a reboot: the time's up that stands, the end of the break (in
// wall-clock time), the wrong passwords' slowing down, and how far the running turn had
// counted (exactly in the same boot, from the last save after a reboot).
class AccountFiles
{
public:
    struct Kept
    {
        bool timeUpStands = false;
        QDateTime breakEnds; // UTC; none when not valid
        PasswordBackoff backoff;
    };

    explicit AccountFiles(const QString &stateDir);

    QString settings(uint uid) const;
    QString record(uint uid) const;
    // The accounts with files, by uid.
    QList<uint> accounts() const;

    // Reads what the account's files keep, and sets the running turn's start from what was
    // counted, so that the turn is taken up where it was; error says what could not be
    // written.
    Kept load(uint uid, QString *error) const;
    bool save(uint uid, const Kept &kept, QString *error) const;
    // How far the running turn, begun at origin on the monotonic clock, has counted.
    bool saveProgress(uint uid, qint64 originMs, QString *error) const;

private:
    QString m_stateDir;
    QString m_bootId;
};
