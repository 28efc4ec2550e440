// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// Finds and starts the machine's system-information program for the About window.
// There is no registry here, so the program is looked for by name on the PATH and
// then through the desktop's application entries.
namespace SysInfoLauncher {

struct Command
{
    QString program;
    QStringList arguments;
};

// Programs looked for on the PATH, in order; each is started without arguments.
QStringList programNames();

// Application entry ids (under applications/ in the XDG data folders), in order.
QStringList desktopEntryIds();

// The first of programNames() that the PATH holds, as a full path.
std::optional<Command> findOnPath();

// The command of the first known application entry whose program file exists. An
// entry in an earlier data folder hides one of the same id in a later folder.
std::optional<Command> findInDesktopEntries();

// Starts the command without waiting for it; false when it could not be started.
bool start(const Command &command);

} // namespace SysInfoLauncher
