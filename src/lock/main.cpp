// SPDX-License-Identifier: GPL-3.0-or-later
// turnkeeper-lock: sets, removes and reports the administrator's lock on TurnKeeper's
// parent password and length, for every account of the computer.
#include "buildinfo.h"
#include "logic/Accounts.h"
#include "logic/LockFile.h"
#include "logic/LockWriter.h"
#include "logic/NumberText.h"
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
// beside it and keeps the hash in the lock file, where the program reads it itself, unless
// a test names the bus of a guard of its own.
bool forGuard(bool guardBusGiven)
{
    return guardBusGiven || QFileInfo(QCoreApplication::applicationDirPath() + QLatin1Char('/') +
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
    const SystemLock::Rules &rules = lock.rules();
    if (rules.lockOutsideTurns && !rules.accounts.isEmpty())
        say(stdout, QStringLiteral("Outside turns, the desktop is locked for: %1.")
                        .arg(rules.accounts.join(QStringLiteral(", "))));
    if (!rules.children.isEmpty())
        say(stdout, QStringLiteral("The children take turns in this order: %1.")
                        .arg(rules.children.join(QStringLiteral(", "))));
    for (auto child = rules.allowance.begin(); child != rules.allowance.end(); ++child)
        say(stdout, QStringLiteral("%1 may have %2 minutes of turns a day.")
                        .arg(child.key(), minutesText(child.value())));
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
    const bool there = QFileInfo::exists(target);
    QString error;
    if (!LockWriter::remove(target, &error))
        return fail(error);
    say(stdout, there ? QStringLiteral("Removed %1: the lock is off.").arg(target)
                      : QStringLiteral("There is no lock in %1.").arg(target));
    const SystemLock remaining = readLock(lockFile);
    if (remaining.isLocked())
        return fail(QStringLiteral("a lock is still in force from %1; remove that file too")
                        .arg(remaining.file()));
    return 0;
}

int setLock(const QString &target, const SystemLock::Rules &rules, bool forGuard, bool guardOnly)
{
    const QString folder = QFileInfo(target).absolutePath();
    if (!LockFile::canWrite(folder))
        return refuseWithoutRights(folder);
    if (!forGuard && guardOnly)
        return fail(QStringLiteral("--break, --unseen, --outside-turns, --children, --allowance "
                                   "and --guard-bus need the guard, which is not installed; "
                                   "nothing was changed"));
    QString error;
    const std::optional<QString> password = readNewPassword(&error);
    if (!password)
        return fail(error + QStringLiteral("; nothing was changed"));
    const std::optional<qint32> seconds = rules.maxTime;
    if (!(forGuard ? LockWriter::write(target, rules, password, &error)
                   : LockWriter::writeWithHashInside(target, seconds, *password, &error)))
        return fail(error);
    const QString what =
        seconds
            ? QStringLiteral("the new password and a turn of %1 minutes").arg(minutesText(*seconds))
            : QStringLiteral("the new password");
    say(stdout, QStringLiteral("Locked %1 with %2 in %3.").arg(program, what, target));
    return 0;
}

// --outside-turns and its --account names, checked: each one an account of this
// computer, named once.
QString readOutsideTurns(const QString &way, const QStringList &accounts, SystemLock::Rules *rules)
{
    if (!way.isEmpty() && way != QLatin1String("allow") && way != QLatin1String("lock"))
        return QStringLiteral("--outside-turns takes allow or lock");
    rules->lockOutsideTurns = way == QLatin1String("lock");
    if (rules->lockOutsideTurns && accounts.isEmpty())
        return QStringLiteral("--outside-turns lock needs at least one --account");
    if (!rules->lockOutsideTurns && !accounts.isEmpty())
        return QStringLiteral("--account goes with --outside-turns lock");
    for (const QString &name : accounts) {
        if (const QString refusal = SystemLock::accountRefusal(name); !refusal.isEmpty())
            return QStringLiteral("--account: ") + refusal;
        const std::optional<Accounts::Account> found = Accounts::find(name);
        if (!found)
            return QStringLiteral("--account: there is no account %1 on this computer").arg(name);
        if (rules->accounts.contains(name))
            return QStringLiteral("--account: %1 is named twice").arg(name);
        if (found->administrator)
            say(stderr, QStringLiteral("Note: %1 is an administrator, whom the guard never locks "
                                       "outside turns.")
                            .arg(name));
        rules->accounts.append(name);
    }
    return QString();
}

// The names as typed, apart by commas, each one a name the program keeps.
QString readChildren(const QString &typed, QStringList *names)
{
    for (const QString &name : typed.split(QLatin1Char(','))) {
        const QString trimmed = name.trimmed();
        if (const QString refusal = SystemLock::nameRefusal(trimmed); !refusal.isEmpty())
            return QStringLiteral("--children: \"%1\": %2").arg(trimmed, refusal);
        if (names->contains(trimmed, Qt::CaseInsensitive))
            return QStringLiteral("--children: %1 is named twice").arg(trimmed);
        names->append(trimmed);
    }
    return QString();
}

// "Ann=120, Ben=90": minutes a day by child, in seconds.
QString readAllowance(const QString &typed, QMap<QString, qint32> *allowance)
{
    for (const QString &entry : typed.split(QLatin1Char(','))) {
        const QString child = entry.section(QLatin1Char('='), 0, 0).trimmed();
        bool read = false;
        const int minutes = entry.section(QLatin1Char('='), 1).trimmed().toInt(&read);
        if (!entry.contains(QLatin1Char('=')) || !read || minutes < 0 || minutes > 24 * 60)
            return QStringLiteral("--allowance takes names with minutes from 0 to 1440, as "
                                  "\"Ann=120, Ben=90\"");
        if (allowance->contains(child))
            return QStringLiteral("--allowance: %1 is named twice").arg(child);
        allowance->insert(child, minutes * 60);
    }
    return QString();
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
                       "terminal, and writes %2.")
            .arg(program, SystemLock::installedFile()));
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
    const QCommandLineOption lockFile(QStringLiteral("lock-file"),
                                      QStringLiteral("For tests: use this lock file instead of %1.")
                                          .arg(SystemLock::installedFile()),
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
    const QCommandLineOption outsideTurns(
        QStringLiteral("outside-turns"),
        QStringLiteral("allow (the default) or lock: with lock, the guard locks the desktop of "
                       "each account named with --account whenever no turn runs, a minute after "
                       "the turn ended and a minute after each unlock. Administrators (root and "
                       "the sudo group) are never locked so."),
        QStringLiteral("allow|lock"));
    const QCommandLineOption account(
        QStringLiteral("account"),
        QStringLiteral("An account locked outside turns; give it once for each account."),
        QStringLiteral("name"));
    const QCommandLineOption children(
        QStringLiteral("children"),
        QStringLiteral("The children's first names in turn order, apart by commas: the guard "
                       "then decides whose turn starts, and the program shows the order without "
                       "letting it be changed."),
        QStringLiteral("names"));
    const QCommandLineOption allowance(
        QStringLiteral("allowance"),
        QStringLiteral("Minutes of turns a day for the children named with --children, as "
                       "\"Ann=120, Ben=90\"; a child not given has no daily limit."),
        QStringLiteral("minutes"));
    const QCommandLineOption guardBus(
        QStringLiteral("guard-bus"),
        QStringLiteral("For tests: the address (unix:path=/...) of the bus where the program "
                       "finds the guard, instead of the system bus; the lock is then one for a "
                       "guard even where none is installed."),
        QStringLiteral("address"));
    parser.addOptions({length, off, status, lockFile, breakOption, unseen, outsideTurns, account,
                       children, allowance, guardBus});
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

    // The administrator's file, which the program and the guard always read; the
    // environment of whoever runs the tool has no say.
    const QString target = givenFile.isEmpty() ? SystemLock::installedFile() : givenFile;
    if (parser.isSet(off))
        return removeLock(target, givenFile);

    SystemLock::Rules rules;
    if (parser.isSet(breakOption)) {
        rules.breakSeconds = SystemLock::breakFromMinutes(parser.value(breakOption));
        if (!rules.breakSeconds)
            return fail(QStringLiteral("--break takes a whole number of minutes from 1 to 1440"));
    }
    if (parser.isSet(unseen)) {
        const QString way = parser.value(unseen);
        if (way != QLatin1String("lock") && way != QLatin1String("logout"))
            return fail(QStringLiteral("--unseen takes lock or logout"));
        rules.logoutUnseen = way == QLatin1String("logout");
    }
    if (const QString refusal =
            readOutsideTurns(parser.value(outsideTurns), parser.values(account), &rules);
        !refusal.isEmpty())
        return fail(refusal);
    if (parser.isSet(children)) {
        if (const QString refusal = readChildren(parser.value(children), &rules.children);
            !refusal.isEmpty())
            return fail(refusal);
    }
    if (parser.isSet(allowance)) {
        if (const QString refusal = readAllowance(parser.value(allowance), &rules.allowance);
            !refusal.isEmpty())
            return fail(refusal);
    }
    if (parser.isSet(guardBus)) {
        rules.guardBus = parser.value(guardBus);
        if (const QString refusal = SystemLock::busRefusal(rules.guardBus); !refusal.isEmpty())
            return fail(QStringLiteral("--guard-bus: ") + refusal);
    }
    if (parser.isSet(length)) {
        rules.maxTime = SystemLock::secondsFromMinutes(parser.value(length));
        if (!rules.maxTime)
            return fail(QStringLiteral("--length takes a number of minutes from 1 to 3600"));
    }
    if (const QString refusal = SystemLock::rulesRefusal(rules); !refusal.isEmpty())
        return fail(refusal);
    const bool guardOnly = parser.isSet(breakOption) || parser.isSet(unseen) ||
                           parser.isSet(outsideTurns) || parser.isSet(account) ||
                           parser.isSet(children) || parser.isSet(allowance) ||
                           parser.isSet(guardBus);
    return setLock(target, rules, forGuard(parser.isSet(guardBus)), guardOnly);
}
