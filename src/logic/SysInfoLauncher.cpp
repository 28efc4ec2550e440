// SPDX-License-Identifier: GPL-3.0-or-later
#include "logic/SysInfoLauncher.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTextStream>

namespace {

// The value of Exec in the [Desktop Entry] group, with the escapes of string values
// (\s, \n, \t, \r, \\) undone; empty when there is none.
QString execOf(const QString &entryFile)
{
    QFile file(entryFile);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return QString();
    QTextStream in(&file);
    bool inMainGroup = false;
    while (!in.atEnd()) {
        const QString line = in.readLine().trimmed();
        if (line.startsWith(QLatin1Char('['))) {
            inMainGroup = line == QLatin1String("[Desktop Entry]");
            continue;
        }
        if (!inMainGroup)
            continue;
        const int equals = line.indexOf(QLatin1Char('='));
        if (equals < 0 || line.left(equals).trimmed() != QLatin1String("Exec"))
            continue;
        const QString raw = line.mid(equals + 1).trimmed();
        QString value;
        for (int i = 0; i < raw.size(); ++i) {
            const QChar c = raw.at(i);
            if (c != QLatin1Char('\\') || i + 1 == raw.size()) {
                value += c;
                continue;
            }
            const QChar next = raw.at(++i);
            if (next == QLatin1Char('s'))
                value += QLatin1Char(' ');
            else if (next == QLatin1Char('n'))
                value += QLatin1Char('\n');
            else if (next == QLatin1Char('t'))
                value += QLatin1Char('\t');
            else if (next == QLatin1Char('r'))
                value += QLatin1Char('\r');
            else if (next == QLatin1Char('\\'))
                value += QLatin1Char('\\');
            else
                value += QLatin1Char('\\') + QString(next);
        }
        return value;
    }
    return QString();
}

// The command line of an Exec value, split by its quoting rules, without the field
// codes for files, addresses and the like (none are given) and with "%%" made "%".
QStringList splitExec(const QString &exec)
{
    static const QRegularExpression fieldCode(QStringLiteral("^%[a-zA-Z]$"));
    QStringList command;
    for (QString word : QProcess::splitCommand(exec)) {
        if (!fieldCode.match(word).hasMatch())
            command.append(word.replace(QStringLiteral("%%"), QStringLiteral("%")));
    }
    return command;
}

} // namespace

namespace SysInfoLauncher {

QStringList programNames()
{
    return {
        QStringLiteral("hardinfo2"),   QStringLiteral("hardinfo"), QStringLiteral("kinfocenter"),
        QStringLiteral("xfce4-about"), QStringLiteral("lshw-gtk"),
    };
}

QStringList desktopEntryIds()
{
    return {
        QStringLiteral("hardinfo.desktop"),
        QStringLiteral("org.kde.kinfocenter.desktop"),
        QStringLiteral("xfce4-about.desktop"),
        QStringLiteral("gnome-info-overview-panel.desktop"),
    };
}

std::optional<Command> findOnPath()
{
    for (const QString &name : programNames()) {
        const QString path = QStandardPaths::findExecutable(name);
        if (!path.isEmpty())
            return Command{path, {}};
    }
    return std::nullopt;
}

std::optional<Command> findInDesktopEntries()
{
    const QStringList folders =
        QStandardPaths::standardLocations(QStandardPaths::ApplicationsLocation);
    for (const QString &id : desktopEntryIds()) {
        QString entry;
        for (const QString &folder : folders) {
            const QString candidate = QDir(folder).filePath(id);
            if (QFileInfo(candidate).isFile()) {
                entry = candidate;
                break;
            }
        }
        if (entry.isEmpty())
            continue;

        QStringList words = splitExec(execOf(entry));
        if (words.isEmpty())
            continue;
        QString program = words.takeFirst();
        if (program.contains(QLatin1Char('/'))) {
            if (!QFileInfo(program).isAbsolute() || !QFileInfo(program).isFile())
                continue;
        } else {
            program = QStandardPaths::findExecutable(program);
            if (program.isEmpty())
                continue;
        }
        return Command{program, words};
    }
    return std::nullopt;
}

bool start(const Command &command)
{
    return QProcess::startDetached(command.program, command.arguments);
}

} // namespace SysInfoLauncher
