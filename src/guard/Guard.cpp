// SPDX-License-Identifier: GPL-3.0-or-later
#include "guard/Guard.h"

#include "guard/RulesWire.h"
#include "logic/Accounts.h"
#include "logic/SystemLock.h"
#include "logic/TurnLogWire.h"

#include <QDBusMessage>
#include <QFileInfo>

#include <cstdio>

namespace {

void report(const QString &text)
{
    std::fprintf(stderr, "turnkeeper-guard: %s\n", qPrintable(text));
    std::fflush(stderr);
}

SessionLocker::Way wayOf(const SystemLock &lock)
{
    return lock.logoutUnseen() ? SessionLocker::Way::Logout : SessionLocker::Way::Lock;
}

} // namespace

Guard::Guard(const QDBusConnection &bus, const QString &lockFile, const QString &stateDir,
             const QString &program, const QString &procRoot, QObject *parent)
    : QObject(parent), m_bus(bus), m_lockFile(lockFile), m_locker(bus),
      m_check(bus, program, procRoot), m_turns(lockFile, stateDir), m_watch(bus, m_locker, m_check),
      m_outside(m_locker), m_rulesChange(bus, lockFile)
{
    TurnLogWire::registerTypes();
    RulesWire::registerTypes();
    // Followed at once, not when the file's change is told.
    connect(&m_rulesChange, &RulesChange::written, this, &Guard::lockChanged);
    connect(&m_turns, &AccountTurns::changed, this, &Guard::turnChanged);
    connect(&m_turns, &AccountTurns::timeUp, this, &Guard::timeUp);
    connect(&m_lockWatcher, &QFileSystemWatcher::directoryChanged, this, &Guard::lockChanged);
    connect(&m_lockWatcher, &QFileSystemWatcher::fileChanged, this, &Guard::lockChanged);
    m_lookups.setMaxThreadCount(1);
    followLockFolder();
}

Guard::~Guard() = default;

void Guard::takeUp()
{
    const SystemLock lock = SystemLock::readFile(m_lockFile, SystemLock::Reporting::Quiet);
    m_locked = lock.isLocked();
    resolveOutsideTurns(lock);
    if (!m_locked)
        return;
    for (const uint uid : m_turns.takeUp(lock)) {
        m_outside.setRunning(uid, m_turns.isRunning(uid));
        if (m_turns.timeUpStands(uid))
            m_watch.stand(uid, wayOf(lock));
    }
}

// The lock file is replaced whole, and its folder may come and go: both are followed.
void Guard::followLockFolder()
{
    const QFileInfo file(m_lockFile);
    QStringList paths = {file.absoluteFilePath(), file.absolutePath(),
                         QFileInfo(file.absolutePath()).absolutePath()};
    paths.erase(std::remove_if(paths.begin(), paths.end(),
                               [this](const QString &path) {
                                   return !QFileInfo::exists(path) ||
                                          m_lockWatcher.files().contains(path) ||
                                          m_lockWatcher.directories().contains(path);
                               }),
                paths.end());
    if (!paths.isEmpty())
        m_lockWatcher.addPaths(paths);
}

void Guard::lockChanged()
{
    followLockFolder();
    const SystemLock lock = SystemLock::readFile(m_lockFile, SystemLock::Reporting::Quiet);
    resolveOutsideTurns(lock);
    const bool wasLocked = m_locked;
    m_locked = lock.isLocked();
    if (!wasLocked || m_locked)
        return;
    // Lifted: each turn the guard kept ends here, and the windows keep their own again.
    report(QStringLiteral("the lock is lifted: every turn ends, nothing is locked"));
    m_turns.release();
    for (const uint uid : m_watch.accounts())
        m_watch.fall(uid);
    for (const uint uid : m_watch.attachedAccounts())
        signal(uid, GuardProtocol::released, {});
}

std::optional<SystemLock> Guard::lockInForce(std::optional<Refusal> *refusal)
{
    SystemLock lock = SystemLock::readFile(m_lockFile, SystemLock::Reporting::Quiet);
    // Should the change of the file not have been told, it is taken now.
    if (lock.isLocked() != m_locked)
        QMetaObject::invokeMethod(this, &Guard::lockChanged, Qt::QueuedConnection);
    if (lock.isLocked())
        return lock;
    *refusal = Refusal{GuardProtocol::Error::NotLocked,
                       QStringLiteral("No administrator's lock is in force; the program keeps "
                                      "its own turn.")};
    return std::nullopt;
}

// The accounts' names are looked up off this thread: the user database may be a
// directory service that answers slowly.
void Guard::resolveOutsideTurns(const SystemLock &lock)
{
    const QStringList names =
        lock.isLocked() && lock.rules().lockOutsideTurns ? lock.rules().accounts : QStringList();
    const SessionLocker::Way way = wayOf(lock);
    if (names == m_outsideAccounts && way == m_outsideWay)
        return;
    m_outsideAccounts = names;
    m_outsideWay = way;
    m_lookups.start([this, names, way] {
        QSet<uint> uids;
        QStringList skipped;
        for (const QString &name : names) {
            const std::optional<Accounts::Account> account = Accounts::find(name);
            if (account && !account->administrator)
                uids.insert(account->uid);
            else
                skipped.append(name);
        }
        QMetaObject::invokeMethod(
            this,
            [this, names, way, uids, skipped] {
                if (names != m_outsideAccounts || way != m_outsideWay)
                    return;
                if (!skipped.isEmpty())
                    report(QStringLiteral("never locked outside turns, being no account or an "
                                          "administrator's: %1")
                               .arg(skipped.join(QStringLiteral(", "))));
                m_outside.setAccounts(uids, way);
            },
            Qt::QueuedConnection);
    });
}

std::optional<Guard::Refusal> Guard::turn(uint uid, AccountTurns::Turn *turn)
{
    std::optional<Refusal> refusal;
    const std::optional<SystemLock> lock = lockInForce(&refusal);
    return lock ? m_turns.turn(uid, *lock, turn) : refusal;
}

std::optional<Guard::Refusal> Guard::turns(uint uid, QList<TurnLog::Entry> *entries)
{
    std::optional<Refusal> refusal;
    const std::optional<SystemLock> lock = lockInForce(&refusal);
    return lock ? m_turns.record(uid, *lock, entries) : refusal;
}

std::optional<Guard::Refusal> Guard::start(uint uid, const QString &child,
                                           const std::optional<QString> &password)
{
    std::optional<Refusal> refusal;
    const std::optional<SystemLock> lock = lockInForce(&refusal);
    return lock ? m_turns.start(uid, *lock, child, password) : refusal;
}

std::optional<Guard::Refusal> Guard::stop(uint uid, const QString &password)
{
    std::optional<Refusal> refusal;
    const std::optional<SystemLock> lock = lockInForce(&refusal);
    return lock ? m_turns.stop(uid, *lock, password) : refusal;
}

std::optional<Guard::Refusal> Guard::checkPassword(uint uid, const QString &password, bool *right)
{
    std::optional<Refusal> refusal;
    const std::optional<SystemLock> lock = lockInForce(&refusal);
    return lock ? m_turns.checkPassword(uid, *lock, password, right) : refusal;
}

std::optional<Guard::Refusal> Guard::attach(uint uid, const QString &connection)
{
    if (m_watch.attach(uid, connection))
        return std::nullopt;
    return Refusal{GuardProtocol::Error::LimitsExceeded,
                   QStringLiteral("At most %1 programs of an account may attach.")
                       .arg(TimeUpWatch::MostAttached)};
}

void Guard::signal(uint uid, const QString &name, const QVariantList &arguments)
{
    for (const QString &connection : m_watch.attached(uid)) {
        QDBusMessage message = QDBusMessage::createTargetedSignal(connection, GuardProtocol::path,
                                                                  GuardProtocol::interface, name);
        message.setArguments(arguments);
        m_bus.send(message);
    }
}

void Guard::tell(uint uid)
{
    AccountTurns::Turn now;
    if (m_watch.attached(uid).isEmpty() || turn(uid, &now))
        return;
    signal(uid, GuardProtocol::turnChanged,
           {GuardProtocol::stateText(now.state), uint(now.length), uint(now.elapsed), now.child});
}

void Guard::turnChanged(uint uid)
{
    tell(uid);
    if (!m_turns.timeUpStands(uid))
        m_watch.fall(uid);
    m_outside.setRunning(uid, m_turns.isRunning(uid));
}

void Guard::timeUp(uint uid, const QString &child)
{
    signal(uid, GuardProtocol::timeUp, {child});
    tell(uid);
    m_outside.setRunning(uid, false);
    m_watch.stand(uid, wayOf(SystemLock::readFile(m_lockFile, SystemLock::Reporting::Quiet)));
}

QVariantMap Guard::rules(uint uid)
{
    const SystemLock lock = SystemLock::readFile(m_lockFile, SystemLock::Reporting::Quiet);
    QMap<QString, qint32> used;
    if (lock.isLocked())
        m_turns.usedToday(uid, lock, &used);
    return RulesWire::toWire(lock, used);
}

void Guard::setRules(uint uid, const QDBusMessage &call, const QVariantMap &wire)
{
    m_rulesChange.ask(uid, call, wire);
}
