// SPDX-License-Identifier: GPL-3.0-or-later
#include "logic/SystemLock.h"

#include "logic/Children.h"
#include "logic/SettingsStore.h"
#include "logic/TimerLength.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QMutex>
#include <QRegularExpression>
#include <QSet>
#include <QSettings>

#include <cerrno>
#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

namespace {

enum class Presence { Absent, Present, Unreadable };

// A file that the running user cannot even look for, in a folder of the program's
// own that is there, counts as a lock that cannot be read rather than as none.
Presence presenceOf(const QString &file)
{
    struct stat info;
    if (::stat(QFile::encodeName(file).constData(), &info) == 0)
        return Presence::Present;
    if (errno == EACCES &&
        ::stat(QFile::encodeName(QFileInfo(file).absolutePath()).constData(), &info) == 0)
        return Presence::Unreadable;
    return Presence::Absent;
}

bool writable(const QString &path)
{
    return ::access(QFile::encodeName(path).constData(), W_OK) == 0;
}

// An unquoted value with commas reads as a list.
QString textOf(const QVariant &value)
{
    if (value.typeId() == QMetaType::QStringList)
        return value.toStringList().join(QLatin1Char(','));
    return value.toString();
}

// Anything but a plain no locks: a mistyped value must not open the lock.
bool isLockedText(const QString &text)
{
    static const QStringList no = {QString(), QStringLiteral("0"), QStringLiteral("false"),
                                   QStringLiteral("no"), QStringLiteral("off")};
    return !no.contains(text.trimmed().toLower());
}

} // namespace

QStringList SystemLock::configFolders()
{
    QStringList folders;
    const QString variable = qEnvironmentVariable("XDG_CONFIG_DIRS");
    for (const QString &folder : variable.split(QLatin1Char(':'), Qt::SkipEmptyParts)) {
        if (QDir::isAbsolutePath(folder))
            folders.append(QDir::cleanPath(folder));
    }
    if (variable.isEmpty())
        folders.append(QStringLiteral("/etc/xdg"));
    return folders;
}

QString SystemLock::fileIn(const QString &folder)
{
    return folder + QLatin1Char('/') + programName + QLatin1Char('/') + programName +
           QStringLiteral(".conf");
}

QString SystemLock::installedFile()
{
    return fileIn(QStringLiteral("/etc/xdg"));
}

SystemLock SystemLock::read(Reporting reporting)
{
    QStringList files = {installedFile()};
    for (const QString &folder : configFolders()) {
        if (!files.contains(fileIn(folder)))
            files.append(fileIn(folder));
    }
    SystemLock lock;
    for (const QString &file : std::as_const(files)) {
        const Presence presence = presenceOf(file);
        if (presence == Presence::Absent)
            continue;
        SystemLock found;
        found.load(file, presence == Presence::Present);
        if (lock.m_file.isEmpty() || found.isLocked())
            lock = found;
        if (lock.isLocked())
            break;
    }
    if (reporting == Reporting::OnStandardError)
        lock.reportOnce();
    return lock;
}

SystemLock SystemLock::readFile(const QString &file, Reporting reporting)
{
    SystemLock lock;
    const Presence presence = presenceOf(file);
    if (presence != Presence::Absent)
        lock.load(file, presence == Presence::Present);
    if (reporting == Reporting::OnStandardError)
        lock.reportOnce();
    return lock;
}

QString SystemLock::hashFileFor(const QString &lockFile)
{
    const QFileInfo info(lockFile);
    return info.absolutePath() + QLatin1Char('/') + info.completeBaseName() +
           QStringLiteral(".hash");
}

void SystemLock::load(const QString &file, bool visible)
{
    m_file = file;
    const QString where = QDir::toNativeSeparators(file);
    QFile probe(file);
    if (!visible || !probe.open(QIODevice::ReadOnly)) {
        m_locked = true;
        //: On standard error (after the program's name and ": "), for a parent or an
        //: administrator. %1 is the path of the administrator's lock file.
        m_problem = tr("%1 cannot be read, so no password opens the lock").arg(where);
    } else {
        probe.close();
        const QSettings settings(file, QSettings::IniFormat);
        const auto value = [&](const QString &key) {
            return textOf(settings.value(Settings::section + QLatin1Char('/') + key));
        };
        m_locked = isLockedText(value(lockedKey));
        if (!m_locked)
            return;
        QString hash = value(passwordHashKey);
        // A lock written for the guard keeps its hash where only root reads it; one
        // written before keeps it inside, and that one wins.
        bool hashUnreadable = false;
        if (hash.isEmpty() && presenceOf(hashFileFor(file)) != Presence::Absent) {
            m_hashApart = true;
            QFile hashFile(hashFileFor(file));
            if (hashFile.open(QIODevice::ReadOnly))
                hash = QString::fromUtf8(hashFile.read(1024)).trimmed();
            else
                hashUnreadable = true;
        }
        m_hash = PasswordHash::parse(hash);
        const QString breakText = value(breakKey);
        if (!breakText.isEmpty())
            m_rules.breakSeconds = breakFromMinutes(breakText);
        m_rules.logoutUnseen = value(unseenKey).trimmed().toLower() == QLatin1String("logout");
        m_guard = isLockedText(value(guardKey));
        if (busRefusal(value(guardBusKey).trimmed()).isEmpty())
            m_rules.guardBus = value(guardBusKey).trimmed();
        // Anything but a plain allow locks, as for Locked.
        const QString outside = value(outsideTurnsKey).trimmed().toLower();
        m_rules.lockOutsideTurns = !outside.isEmpty() && outside != QLatin1String("allow");
        // A name that breaks the rules counts for nothing; the rest keep their order.
        // Accounts' names are told apart by case, children's are not.
        const auto names = [&](const QString &key, QString (*refusal)(const QString &),
                               Qt::CaseSensitivity twice) {
            QStringList kept;
            for (const QString &name : value(key).split(QLatin1Char(','), Qt::SkipEmptyParts)) {
                const QString trimmed = name.trimmed();
                if (refusal(trimmed).isEmpty() && !kept.contains(trimmed, twice))
                    kept.append(trimmed);
            }
            return kept;
        };
        m_rules.accounts = names(accountsKey, accountRefusal, Qt::CaseSensitive);
        m_rules.children = names(childrenKey, nameRefusal, Qt::CaseInsensitive);
        // Ann=7200, Ben=5400: seconds a day of the children listed.
        for (const QString &entry : value(allowanceKey).split(QLatin1Char(','))) {
            const QString child = entry.section(QLatin1Char('='), 0, 0).trimmed();
            bool read = false;
            const int seconds = entry.section(QLatin1Char('='), 1).trimmed().toInt(&read);
            if (read && m_rules.children.contains(child) && seconds > 0 &&
                seconds <= LongestAllowanceSeconds)
                m_rules.allowance.insert(child, seconds);
        }
        if (!m_hash && hashUnreadable)
            //: On standard error. %1 is the path of the file with the administrator's
            //: password hash, which only root can read.
            m_problem = tr("only the guard can read %1, so without it no password opens the "
                           "lock")
                            .arg(QDir::toNativeSeparators(hashFileFor(file)));
        else if (!m_hash)
            //: On standard error. %1 is the path of the administrator's lock file, %2 the
            //: name of its key PasswordHash (keep it as it is).
            m_problem = tr("%1 locks the program, but its %2 is missing or damaged, so no "
                           "password opens the lock")
                            .arg(where, passwordHashKey);
        const std::optional<qint32> seconds = TimerLength::fromText(value(Settings::maxTimeKey));
        if (seconds && *seconds >= ShortestSeconds && *seconds <= LongestSeconds)
            m_rules.maxTime = seconds;
    }
    m_writable = writable(file) || writable(QFileInfo(file).absolutePath());
}

QByteArray SystemLock::contents(const QString &passwordHash, std::optional<qint32> maxTime)
{
    QStringList lines = {
        QStringLiteral("; The parent lock for every account of this computer. Only root may write"),
        QStringLiteral("; this file; everyone must be able to read it."),
        QLatin1Char('[') + Settings::section + QLatin1Char(']'),
        lockedKey + QStringLiteral("=true"),
        passwordHashKey + QLatin1Char('=') + passwordHash,
    };
    if (maxTime)
        lines.append(Settings::maxTimeKey + QLatin1Char('=') + TimerLength::toText(*maxTime));
    return (lines.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8();
}

QByteArray SystemLock::contentsWithoutHash(const Rules &rules)
{
    QStringList lines = {
        QStringLiteral("; The parent lock for every account of this computer. Only root may write"),
        QStringLiteral("; this file; everyone must be able to read it. The password's hash is in"),
        QStringLiteral("; the .hash file beside it, which only root may read."),
        QLatin1Char('[') + Settings::section + QLatin1Char(']'),
        lockedKey + QStringLiteral("=true"),
        guardKey + QStringLiteral("=true"),
    };
    const auto line = [&lines](const QString &key, const QString &value) {
        lines.append(key + QLatin1Char('=') + value);
    };
    if (rules.maxTime)
        line(Settings::maxTimeKey, TimerLength::toText(*rules.maxTime));
    if (rules.breakSeconds)
        line(breakKey, QString::number(*rules.breakSeconds / 60));
    if (rules.logoutUnseen)
        line(unseenKey, QStringLiteral("logout"));
    if (rules.lockOutsideTurns)
        line(outsideTurnsKey, QStringLiteral("lock"));
    if (!rules.accounts.isEmpty())
        line(accountsKey, rules.accounts.join(QStringLiteral(", ")));
    if (!rules.children.isEmpty())
        line(childrenKey, rules.children.join(QStringLiteral(", ")));
    QStringList allowance;
    for (const QString &child : rules.children) {
        if (rules.allowance.value(child) > 0)
            allowance.append(child + QLatin1Char('=') +
                             QString::number(rules.allowance.value(child)));
    }
    if (!allowance.isEmpty())
        line(allowanceKey, allowance.join(QStringLiteral(", ")));
    if (!rules.guardBus.isEmpty())
        line(guardBusKey, rules.guardBus);
    return (lines.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8();
}

QString SystemLock::nameRefusal(const QString &name)
{
    const QString refusal = Children::refusal(name, QStringList());
    if (!refusal.isEmpty())
        return refusal;
    // The lock file lists names apart by commas, and reads these as its own.
    for (const QChar c : {u',', u';', u'=', u'#', u'"', u'\\'}) {
        if (name.contains(c))
            return QStringLiteral("A name in the lock cannot hold %1.").arg(c);
    }
    return QString();
}

// What the system's tools take for an account: letters, digits, _, . and -, beginning
// with a letter or _, at most 32 characters.
QString SystemLock::accountRefusal(const QString &name)
{
    static const QRegularExpression valid(QStringLiteral("^[A-Za-z_][A-Za-z0-9_.-]{0,31}$"));
    if (!valid.match(name).hasMatch())
        return QStringLiteral("%1 is no account name").arg(name);
    return QString();
}

// An absolute socket path alone: the one bus address that names no network and holds no
// character the lock file reads as its own.
QString SystemLock::busRefusal(const QString &address)
{
    static const QString prefix = QStringLiteral("unix:path=/");
    if (address.isEmpty() ||
        (address.startsWith(prefix) && !address.contains(QLatin1Char(',')) &&
         !address.contains(QLatin1Char(';')) && !address.contains(QLatin1Char('#')) &&
         QDir::cleanPath(address.mid(prefix.size() - 1)) == address.mid(prefix.size() - 1)))
        return QString();
    return QStringLiteral("%1 is no unix:path=/... address").arg(address);
}

QString SystemLock::rulesRefusal(const Rules &rules)
{
    if (rules.maxTime && (*rules.maxTime < ShortestSeconds || *rules.maxTime > LongestSeconds))
        return QStringLiteral("a turn lasts from 1 to 3600 minutes");
    if (rules.breakSeconds && (*rules.breakSeconds % 60 != 0 ||
                               !breakFromMinutes(QString::number(*rules.breakSeconds / 60))))
        return QStringLiteral("a break lasts a whole number of minutes from 1 to 1440");
    if (rules.lockOutsideTurns && rules.accounts.isEmpty())
        return QStringLiteral("locking outside turns needs at least one account");
    for (qsizetype i = 0; i < rules.accounts.size(); ++i) {
        if (const QString refusal = accountRefusal(rules.accounts.at(i)); !refusal.isEmpty())
            return refusal;
        if (rules.accounts.indexOf(rules.accounts.at(i)) != i)
            return QStringLiteral("%1 is named twice").arg(rules.accounts.at(i));
    }
    if (rules.children.size() > MostChildren)
        return QStringLiteral("at most %1 children take turns").arg(MostChildren);
    for (qsizetype i = 0; i < rules.children.size(); ++i) {
        const QString &child = rules.children.at(i);
        if (const QString refusal = nameRefusal(child); !refusal.isEmpty())
            return QStringLiteral("\"%1\": %2").arg(child, refusal);
        if (child != child.trimmed() || rules.children.indexOf(child) != i ||
            !Children::refusal(child, rules.children.mid(0, i)).isEmpty())
            return QStringLiteral("%1 is named twice or with blanks around").arg(child.trimmed());
    }
    for (auto child = rules.allowance.begin(); child != rules.allowance.end(); ++child) {
        if (!rules.children.contains(child.key()))
            return QStringLiteral("%1 has an allowance but is not among the children")
                .arg(child.key());
        if (child.value() < 0 || child.value() > LongestAllowanceSeconds)
            return QStringLiteral("an allowance is at most a day");
    }
    return busRefusal(rules.guardBus);
}

std::optional<qint32> SystemLock::breakFromMinutes(const QString &minutes)
{
    bool ok = false;
    const int number = minutes.trimmed().toInt(&ok);
    if (!ok || number < 1 || number > LongestBreakMinutes)
        return std::nullopt;
    return number * 60;
}

std::optional<qint32> SystemLock::secondsFromMinutes(const QString &minutes)
{
    bool ok = false;
    const double number = QLocale::c().toDouble(minutes, &ok);
    if (!ok)
        return std::nullopt;
    const std::optional<qint32> seconds = TimerLength::fromNumber(number * 60.0);
    if (!seconds || *seconds < ShortestSeconds || *seconds > LongestSeconds)
        return std::nullopt;
    return seconds;
}

bool SystemLock::acceptsPassword(const QString &typed) const
{
    return m_locked && m_hash && PasswordHash::verify(typed, *m_hash);
}

void SystemLock::reportOnce() const
{
    QStringList reports;
    if (!m_problem.isEmpty())
        reports.append(m_problem);
    if (m_writable)
        //: On standard error. %1 is the path of the administrator's lock file.
        reports.append(tr("warning: %1 or its folder can be changed by this user, so its lock "
                          "locks nothing; only root should be able to write them")
                           .arg(QDir::toNativeSeparators(m_file)));

    static QMutex mutex;
    static QSet<QString> reported;
    const QMutexLocker locker(&mutex);
    for (const QString &report : std::as_const(reports)) {
        if (reported.contains(report))
            continue;
        reported.insert(report);
        std::fprintf(stderr, "%s: %s.\n", qPrintable(applicationName()), qPrintable(report));
        std::fflush(stderr);
    }
}
