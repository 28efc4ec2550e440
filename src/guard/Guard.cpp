// SPDX-License-Identifier: GPL-3.0-or-later
#include "guard/Guard.h"

#include "logic/SystemLock.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusServiceWatcher>
#include <QDeadlineTimer>
#include <QTimer>

#include <cstdio>

namespace {

const QString windowPath = QStringLiteral("/io/github/turnkeeper/Window");
const QString windowInterface = QStringLiteral("io.github.turnkeeper.Window1");

void report(const QString &text)
{
    std::fprintf(stderr, "turnkeeper-guard: %s\n", qPrintable(text));
    std::fflush(stderr);
}

qint64 monotonicMs()
{
    return QDeadlineTimer::current(Qt::PreciseTimer).deadline();
}

} // namespace

Guard::Guard(const QDBusConnection &bus, const QString &lockFile, QObject *parent)
    : QObject(parent), m_bus(bus), m_lockFile(lockFile), m_watcher(new QDBusServiceWatcher(this)),
      m_locker(bus)
{
    m_watcher->setConnection(m_bus);
    m_watcher->setWatchMode(QDBusServiceWatcher::WatchForUnregistration);
    connect(m_watcher, &QDBusServiceWatcher::serviceUnregistered, this, &Guard::detach);
}

Guard::~Guard() = default;

std::optional<uint> Guard::caller()
{
    const QDBusReply<uint> uid = connection().interface()->serviceUid(message().service());
    if (!uid.isValid()) {
        sendErrorReply(QDBusError::AccessDenied,
                       QStringLiteral("The bus could not say which account calls."));
        return std::nullopt;
    }
    return uid.value();
}

Guard::Account *Guard::account(uint uid)
{
    const auto found = m_accounts.find(uid);
    if (found != m_accounts.end())
        return &found->second;
    if (int(m_accounts.size()) >= MostAccounts) {
        refuse(uid, "LimitsExceeded", QStringLiteral("The guard keeps too many accounts."));
        return nullptr;
    }
    return &m_accounts[uid];
}

std::optional<SystemLock> Guard::lockInForce(uint uid)
{
    SystemLock lock = SystemLock::readFile(m_lockFile, SystemLock::Reporting::Quiet);
    if (!lock.isLocked()) {
        refuse(uid, "NotLocked",
               QStringLiteral("No administrator's lock is in force; the program keeps its own "
                              "turn."));
        return std::nullopt;
    }
    return lock;
}

void Guard::refuse(uint uid, const char *error, const QString &text)
{
    report(QStringLiteral("uid %1: %2").arg(uid).arg(text));
    sendErrorReply(interfaceName + QStringLiteral(".Error.") + QLatin1String(error), text);
}

std::optional<bool> Guard::checkPassword(uint uid, const SystemLock &lock, const QString &password,
                                         bool wrongIsError)
{
    // Each UTF-16 unit is at least one byte of UTF-8.
    if (password.size() > LongestPassword || password.toUtf8().size() > LongestPassword) {
        refuse(uid, "InvalidArgument",
               QStringLiteral("A password can be at most %1 bytes long.").arg(LongestPassword));
        return std::nullopt;
    }
    Account *state = account(uid);
    if (!state)
        return std::nullopt;
    const qint64 wait = state->backoff.waitLeft(monotonicMs());
    if (wait > 0) {
        refuse(uid, "TooManyTries",
               QStringLiteral("Too many wrong passwords: the next try is checked in %1 s.")
                   .arg((wait + 999) / 1000));
        return std::nullopt;
    }
    if (lock.acceptsPassword(password)) {
        state->backoff.right();
        return true;
    }
    state->backoff.wrong(monotonicMs());
    const QString text =
        QStringLiteral("A wrong parent password (%1 in a row).").arg(state->backoff.wrongTries());
    if (wrongIsError)
        refuse(uid, "WrongPassword", text);
    else
        report(QStringLiteral("uid %1: %2").arg(uid).arg(text));
    return false;
}

bool Guard::CheckPassword(const QString &password)
{
    const std::optional<uint> uid = caller();
    if (!uid)
        return false;
    const std::optional<SystemLock> lock = lockInForce(*uid);
    if (!lock)
        return false;
    return checkPassword(*uid, *lock, password, false).value_or(false);
}

void Guard::Attach()
{
    const std::optional<uint> uid = caller();
    if (!uid)
        return;
    Account *state = account(*uid);
    if (!state)
        return;
    const QString connection = message().service();
    if (state->attached.contains(connection))
        return;
    if (state->attached.size() >= MostAttached) {
        refuse(*uid, "LimitsExceeded",
               QStringLiteral("At most %1 programs of an account may attach.").arg(MostAttached));
        return;
    }
    state->attached.insert(connection);
    m_watcher->addWatchedService(connection);
    if (state->timeUpUnseen)
        askToShow(*uid, connection);
}

void Guard::detach(const QString &connection)
{
    m_watcher->removeWatchedService(connection);
    for (auto &[uid, state] : m_accounts)
        state.attached.remove(connection);
}

// The turn of the account is over: its windows are asked to show it, and if none has
// within UnseenMs, its sessions are locked until one does.
void Guard::timeUp(uint uid)
{
    Account *state = account(uid);
    if (!state)
        return;
    state->timeUpUnseen = true;
    if (!state->unseen) {
        state->unseen = std::make_unique<QTimer>();
        state->unseen->setSingleShot(true);
        connect(state->unseen.get(), &QTimer::timeout, this, [this, uid] {
            const auto found = m_accounts.find(uid);
            if (found == m_accounts.end() || !found->second.timeUpUnseen)
                return;
            const SystemLock lock = SystemLock::readFile(m_lockFile, SystemLock::Reporting::Quiet);
            m_locker.begin(uid, lock.logoutUnseen() ? SessionLocker::Way::Logout
                                                    : SessionLocker::Way::Lock);
        });
    }
    state->unseen->start(UnseenMs);
    for (const QString &connection : std::as_const(state->attached))
        askToShow(uid, connection);
}

void Guard::askToShow(uint uid, const QString &connection)
{
    const QDBusMessage call = QDBusMessage::createMethodCall(
        connection, windowPath, windowInterface, QStringLiteral("ShowTimeUp"));
    auto *pending = new QDBusPendingCallWatcher(m_bus.asyncCall(call, ShowTimeoutMs), this);
    connect(pending, &QDBusPendingCallWatcher::finished, this,
            [this, uid](QDBusPendingCallWatcher *w) {
                w->deleteLater();
                const QDBusPendingReply<bool> answer = *w;
                if (!answer.isError() && answer.value())
                    shown(uid);
            });
}

// A window of the account shows its time's up: nothing more to lock.
void Guard::shown(uint uid)
{
    const auto found = m_accounts.find(uid);
    if (found == m_accounts.end() || !found->second.timeUpUnseen)
        return;
    found->second.timeUpUnseen = false;
    if (found->second.unseen)
        found->second.unseen->stop();
    m_locker.end(uid);
}
