// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The texts of the help window's seven topics. They are built into the program (there
// are no help files); lines are separated by a carriage return and a line feed, and
// the last line has no break after it.
namespace HelpTopics {
QString general();
QString timer();
QString settingTheTime();
QString startingAndStopping();
QString security();
QString changingThePassword();
// The first line names the program as it was started (its executable's base name).
QString about(const QString &applicationName);
} // namespace HelpTopics
