// SPDX-License-Identifier: GPL-3.0-or-later
// turnkeeper-lock: sets, removes and reports the administrator's lock on TurnKeeper's
// parent password and length, for every account of the computer.
#include "buildinfo.h"
#include "lock/LockFile.h"
#include "logic/NumberText.h"
#include "logic/PasswordHash.h"
#include "logic/SystemLock.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <optional>
#include <termios.h>
#include <unistd.h>

namespace {

// The lock is for the program as installed, whatever this tool is called.
const QString program = QString::fromLatin1(BuildInfo::title);

void say(std::FILE *stream, const QString &text)
{
    std::fprintf(stream, "%s\n", text.toLocal8Bit().constData());
    std::fflush(stream);
}

int fail(const QString &text)
{
    say(stderr, QCoreApplication::applicationName() + QStringLiteral(": ") + text);
    return 1;
}

// The terminal as it was, put back should a signal end the tool while echo is off.
termios savedTerminal;
volatile std::sig_atomic_t echoIsOff = 0;

void restoreTerminalAndDie(int signalNumber)
{
    if (echoIsOff)
        ::tcsetattr(STDIN_FILENO, TCSANOW, &savedTerminal);
    std::signal(signalNumber, SIG_DFL);
    std::raise(signalNumber);
}

// One line of standard input without its line end; nothing at the end of the input.
std::optional<QByteArray> readLine()
{
    QByteArray line;
    for (;;) {
        char character = 0;
        const ssize_t count = ::read(STDIN_FILENO, &character, 1);
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0) {
            if (line.isEmpty())
                return std::nullopt;
            break;
        }
        if (character == '\n')
            break;
        line.append(character);
    }
    if (line.endsWith('\r'))
        line.chop(1);
    return line;
}

std::optional<QByteArray> readWithoutEcho(const char *prompt)
{
    std::fputs(prompt, stderr);
    std::fflush(stderr);
    termios quiet = savedTerminal;
    quiet.c_lflag &= ~tcflag_t(ECHO);
    quiet.c_lflag |= ECHONL;
    echoIsOff = 1;
    ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet);
    const std::optional<QByteArray> line = readLine();
    ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &savedTerminal);
    echoIsOff = 0;
    return line;
}

// The new password: typed twice without echo on a terminal, else one line of input.
std::optional<QString> readNewPassword(QString *error)
{
    std::optional<QByteArray> password;
    if (::isatty(STDIN_FILENO) && ::tcgetattr(STDIN_FILENO, &savedTerminal) == 0) {
        for (const int signalNumber : {SIGINT, SIGTERM, SIGHUP, SIGQUIT})
            std::signal(signalNumber, restoreTerminalAndDie);
        password = readWithoutEcho("New parent password: ");
        const std::optional<QByteArray> again = readWithoutEcho("Type it again: ");
        if (password && again != password) {
            *error = QStringLiteral("the two entries differ");
            return std::nullopt;
        }
    } else {
        password = readLine();
    }
    if (!password || password->isEmpty()) {
        *error = QStringLiteral("no password was given");
        return std::nullopt;
    }
    return QString::fromLocal8Bit(*password);
}

QString minutesText(qint32 seconds)
{
    return writeNumber(seconds / 60.0);
}

int refuseWithoutRights(const QString &folder)
{
    return fail(QStringLiteral("this user cannot write %1; run it as root: sudo %2")
                    .arg(folder, QCoreApplication::arguments().join(QLatin1Char(' '))));
}

// The lock in force: the one file given, or the first of the config folders.
SystemLock readLock(const QString &lockFile)
{
    return lockFile.isEmpty() ? SystemLock::read(SystemLock::Reporting::Quiet)
                              : SystemLock::readFile(lockFile, SystemLock::Reporting::Quiet);
}

// With the guard installed, the password's hash goes where only root (and so the guard)
// reads it, and the program asks the guard. A build run from its folder has no guard
// beside it and keeps the hash in the lock file, where the program reads it itself. A
// lock file named on the command line is one for the guard.
bool hashGoesApart(bool fileGiven)
{
    return fileGiven || QFileInfo(QCoreApplication::applicationDirPath() + QLatin1Char('/') +
                                  QLatin1String(TURNKEEPER_GUARD_FROM_LOCK))
                            .isExecutable();
}

int showStatus(const QString &lockFile)
{
    const SystemLock lock = readLock(lockFile);
    if (!lock.isLocked()) {
        if (lock.file().isEmpty())
            say(stdout, QStringLiteral("No lock is in force: neither %1 nor a folder of %2 holds "
                                       "%3/%3.conf.")
                            .arg(SystemLock::installedFile(),
                                 SystemLock::configFolders().join(QLatin1Char(':')), program));
        else
            say(stdout, QStringLiteral("No lock is in force: %1 does not say %2=true.")
                            .arg(lock.file(), SystemLock::lockedKey));
        return 0;
    }
    const QString what = lock.maxTime() ? QStringLiteral("the password and a turn of %1 minutes")
                                              .arg(minutesText(*lock.maxTime()))
                                        : QStringLiteral("the password");
    say(stdout, QStringLiteral("A lock is in force from %1: %2.").arg(lock.file(), what));
    if (lock.breakSeconds())
        say(stdout,
            QStringLiteral("After a time's up, a new turn needs the password for %1 minutes.")
                .arg(*lock.breakSeconds() / 60));
    if (!lock.problem().isEmpty())
        say(stdout, QStringLiteral("Warning: %1.").arg(lock.problem()));
    // Root can write anything; the warning is for the accounts the lock is meant for.
    if (lock.writableByUser() && ::geteuid() != 0)
        say(stdout, QStringLiteral("Warning: this user can change %1 or its folder, so the lock "
                                   "locks nothing here.")
                        .arg(lock.file()));
    return 0;
}

int removeLock(const QString &target, const QString &lockFile)
{
    const QString folder = QFileInfo(target).absolutePath();
    if (!LockFile::canWrite(folder))
        return refuseWithoutRights(folder);
    if (!QFileInfo::exists(target)) {
        say(stdout, QStringLiteral("There is no lock in %1.").arg(target));
    } else {
        QString error;
        if (!LockFile::remove(target, &error))
            return fail(error);
        say(stdout, QStringLiteral("Removed %1: the lock is off.").arg(target));
    }
    QString error;
    if (!LockFile::remove(SystemLock::hashFileFor(target), &error))
        return fail(error);
    const SystemLock remaining = readLock(lockFile);
    if (remaining.isLocked())
        return fail(QStringLiteral("a lock is still in force from %1; remove that file too")
                        .arg(remaining.file()));
    return 0;
}

struct Extras
{
    std::optional<qint32> breakSeconds;
    bool logoutUnseen = false;
};

int setLock(const QString &target, std::optional<qint32> seconds, const Extras &extras, bool apart)
{
    const QString folder = QFileInfo(target).absolutePath();
    if (!LockFile::canWrite(folder))
        return refuseWithoutRights(folder);
    QString error;
    const std::optional<QString> password = readNewPassword(&error);
    if (!password)
        return fail(error + QStringLiteral("; nothing was changed"));
    const QString hash = PasswordHash::make(*password);
    if (apart) {
        // The hash first: until the lock file is replaced, an old one with the hash
        // inside stays as it was and in force.
        if (!LockFile::write(SystemLock::hashFileFor(target), hash.toUtf8() + '\n', &error, 0600) ||
            !LockFile::write(
                target,
                SystemLock::contentsWithoutHash(seconds, extras.breakSeconds, extras.logoutUnseen),
                &error))
            return fail(error);
    } else {
        if (extras.breakSeconds || extras.logoutUnseen)
            return fail(QStringLiteral("--break and --unseen need the guard, which is not "
                                       "installed; nothing was changed"));
        if (!LockFile::write(target, SystemLock::contents(hash, seconds), &error))
            return fail(error);
        QString ignored;
        LockFile::remove(SystemLock::hashFileFor(target), &ignored);
    }
    const QString what =
        seconds
            ? QStringLiteral("the new password and a turn of %1 minutes").arg(minutesText(*seconds))
            : QStringLiteral("the new password");
    say(stdout, QStringLiteral("Locked %1 with %2 in %3.").arg(program, what, target));
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("turnkeeper-lock"));
    QCoreApplication::setApplicationVersion(QString::fromLatin1(BuildInfo::version));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Locks %1's parent password, and if asked the length of a turn, for "
                       "every account of this computer. Run it with sudo. It asks for the new "
                       "password twice without echo, or reads one line when its input is not a "
                       "terminal, and writes %1/%1.conf in the first folder of XDG_CONFIG_DIRS "
                       "(/etc/xdg by default).")
            .arg(program));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption length(
        QStringLiteral("length"),
        QStringLiteral("Also lock the length of a turn, from 1 to 3600 minutes."),
        QStringLiteral("minutes"));
    const QCommandLineOption off(QStringLiteral("off"), QStringLiteral("Remove the lock."));
    const QCommandLineOption status(
        QStringLiteral("status"),
        QStringLiteral("Say whether a lock is in force and from which file; needs no root."));
    const QCommandLineOption lockFile(
        QStringLiteral("lock-file"),
        QStringLiteral("Use this lock file instead of the one in XDG_CONFIG_DIRS; the password's "
                       "hash goes beside it."),
        QStringLiteral("path"));
    const QCommandLineOption breakOption(
        QStringLiteral("break"),
        QStringLiteral("After a time's up, refuse a new turn without the password for this many "
                       "minutes, from 1 to 1440 (with the guard)."),
        QStringLiteral("minutes"));
    const QCommandLineOption unseen(
        QStringLiteral("unseen"),
        QStringLiteral("What the guard does with the desktop sessions when no window shows a "
                       "time's up: lock (the default) or logout, for desktops without a screen "
                       "locker."),
        QStringLiteral("lock|logout"));
    parser.addOptions({length, off, status, lockFile, breakOption, unseen});
    parser.process(app);

    if (!parser.positionalArguments().isEmpty())
        return fail(QStringLiteral("unexpected argument %1; see --help")
                        .arg(parser.positionalArguments().constFirst()));
    if (int(parser.isSet(length)) + int(parser.isSet(off)) + int(parser.isSet(status)) > 1)
        return fail(QStringLiteral("--length, --off and --status go one at a time"));
    const QString givenFile =
        parser.isSet(lockFile) ? QFileInfo(parser.value(lockFile)).absoluteFilePath() : QString();
    if (parser.isSet(status))
        return showStatus(givenFile);

    const QStringList folders = SystemLock::configFolders();
    if (givenFile.isEmpty() && folders.isEmpty())
        return fail(QStringLiteral("XDG_CONFIG_DIRS names no absolute folder"));
    const QString target =
        givenFile.isEmpty() ? SystemLock::fileIn(folders.constFirst()) : givenFile;
    if (parser.isSet(off))
        return removeLock(target, givenFile);

    Extras extras;
    if (parser.isSet(breakOption)) {
        extras.breakSeconds = SystemLock::breakFromMinutes(parser.value(breakOption));
        if (!extras.breakSeconds)
            return fail(QStringLiteral("--break takes a whole number of minutes from 1 to 1440"));
    }
    if (parser.isSet(unseen)) {
        const QString way = parser.value(unseen);
        if (way != QLatin1String("lock") && way != QLatin1String("logout"))
            return fail(QStringLiteral("--unseen takes lock or logout"));
        extras.logoutUnseen = way == QLatin1String("logout");
    }

    std::optional<qint32> seconds;
    if (parser.isSet(length)) {
        seconds = SystemLock::secondsFromMinutes(parser.value(length));
        if (!seconds)
            return fail(QStringLiteral("--length takes a number of minutes from 1 to 3600"));
    }
    return setLock(target, seconds, extras, hashGoesApart(!givenFile.isEmpty()));
}
