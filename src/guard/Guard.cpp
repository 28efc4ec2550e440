// SPDX-License-Identifier: GPL-3.0-or-later
#include "guard/Guard.h"

#include "guard/TurnProgress.h"
#include "logic/Children.h"
#include "logic/SettingsStore.h"
#include "logic/SystemLock.h"
#include "logic/TimerLength.h"
#include "logic/TurnClock.h"
#include "logic/TurnRecord.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusServiceWatcher>
#include <QDir>
#include <QFile>
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

const QString guardSection = QStringLiteral("Guard");

qint64 monotonicMs()
{
    return TurnClock::instance().monotonicMs();
}

QString readBootId()
{
    QFile file(QStringLiteral("/proc/sys/kernel/random/boot_id"));
    return file.open(QIODevice::ReadOnly) ? QString::fromLatin1(file.read(64)).trimmed()
                                          : QString();
}

QString stateText(Countdown::State state)
{
    switch (state) {
    case Countdown::State::Running:
        return QStringLiteral("running");
    case Countdown::State::TimeUp:
        return QStringLiteral("timeup");
    case Countdown::State::Ready:
        break;
    }
    return QStringLiteral("ready");
}

uint secondsUp(qint64 ms)
{
    return uint((ms + 999) / 1000);
}

} // namespace

Guard::Guard(const QDBusConnection &bus, const QString &lockFile, const QString &stateDir,
             QObject *parent)
    : QObject(parent), m_bus(bus), m_lockFile(lockFile), m_stateDir(stateDir),
      m_bootId(readBootId()), m_watcher(new QDBusServiceWatcher(this)), m_locker(bus)
{
    TurnLogWire::registerTypes();
    m_watcher->setConnection(m_bus);
    m_watcher->setWatchMode(QDBusServiceWatcher::WatchForUnregistration);
    connect(m_watcher, &QDBusServiceWatcher::serviceUnregistered, this, &Guard::detach);
}

Guard::~Guard() = default;

void Guard::takeUp()
{
    const SystemLock lock = SystemLock::readFile(m_lockFile, SystemLock::Reporting::Quiet);
    if (!lock.isLocked())
        return;
    const QStringList files =
        QDir(m_stateDir).entryList({QStringLiteral("*.conf")}, QDir::Files, QDir::Name);
    for (const QString &file : files) {
        bool isUid = false;
        const uint uid = file.chopped(5).toUInt(&isUid);
        if (!isUid || int(m_accounts.size()) >= MostAccounts)
            continue;
        Account &state = m_accounts[uid];
        session(uid, &state, lock);
        follow(uid);
    }
}

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
void Guard::timeUp(uint uid, const QString &child)
{
    Account &state = m_accounts[uid];
    state.end->stop();
    state.save->stop();
    const SystemLock lock = SystemLock::readFile(m_lockFile, SystemLock::Reporting::Quiet);
    if (lock.breakSeconds()) {
        state.breakEndsMs = monotonicMs() + qint64(*lock.breakSeconds()) * 1000;
        QString error;
        const SettingsFileScope scope(fileOf(uid, "conf"));
        if (!SaveSettings(
                {{guardSection + QStringLiteral("/Boot"), m_bootId},
                 {guardSection + QStringLiteral("/BreakEnds"), QString::number(state.breakEndsMs)}},
                QStringLiteral("The break"), &error))
            report(QStringLiteral("uid %1: %2").arg(uid).arg(error));
    }
    state.timeUpUnseen = true;
    if (!state.unseen) {
        // Until a window shows the time's up, its sessions are locked, and every UnseenMs
        // the attached windows are asked again: a program stopped and continued answers
        // only then.
        state.unseen = new QTimer(this);
        connect(state.unseen, &QTimer::timeout, this, [this, uid] {
            const auto found = m_accounts.find(uid);
            if (found == m_accounts.end() || !found->second.timeUpUnseen)
                return;
            for (const QString &connection : std::as_const(found->second.attached))
                askToShow(uid, connection);
            const SystemLock lock = SystemLock::readFile(m_lockFile, SystemLock::Reporting::Quiet);
            m_locker.begin(uid, lock.logoutUnseen() ? SessionLocker::Way::Logout
                                                    : SessionLocker::Way::Lock);
        });
    }
    state.unseen->start(UnseenMs);
    tell(state);
    for (const QString &connection : std::as_const(state.attached)) {
        m_bus.send(QDBusMessage::createTargetedSignal(connection, objectPath, interfaceName,
                                                      QStringLiteral("TimeUp"))
                   << child);
        askToShow(uid, connection);
    }
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

QString Guard::fileOf(uint uid, const char *extension) const
{
    return m_stateDir + QLatin1Char('/') + QString::number(uid) + QLatin1Char('.') +
           QLatin1String(extension);
}

bool Guard::childRefused(uint uid, const QString &child)
{
    // No name is an account without children's names.
    if (child.isEmpty())
        return false;
    const QString refusal =
        child.size() > 4 * Children::LongestName
            ? Children::tr("A name can be at most %1 characters long.").arg(Children::LongestName)
            : Children::refusal(child, QStringList());
    if (refusal.isEmpty() && child == child.trimmed())
        return false;
    refuse(uid, "InvalidArgument",
           refusal.isEmpty() ? QStringLiteral("A name cannot begin or end with a blank.")
                             : refusal);
    return true;
}

void Guard::prepareRecord()
{
    const std::optional<RecordedTurn> turn = TurnRecord::read();
    if (!turn)
        return;
    const auto number = [](const QString &key) -> std::optional<qint64> {
        bool read = false;
        const qint64 value = GetSetting(guardSection, key, QString()).toLongLong(&read);
        return read ? std::optional(value) : std::nullopt;
    };
    const TurnProgress::Saved saved{GetSetting(guardSection, QStringLiteral("Boot"), QString()),
                                    number(QStringLiteral("Origin")),
                                    number(QStringLiteral("Elapsed"))};
    RecordedTurn counted = *turn;
    counted.started = TurnClock::instance().utcNow().addMSecs(
        -TurnProgress::gone(saved, m_bootId, monotonicMs(), turn->length));
    QString error;
    if (!TurnRecord::write(counted, &error))
        report(error);
}

TurnSession *Guard::session(uint uid, Account *state, const SystemLock &lock)
{
    if (state->session)
        return state->session.get();
    QDir().mkpath(m_stateDir);
    const SettingsFileScope scope(fileOf(uid, "conf"));
    prepareRecord();
    state->session = std::make_unique<TurnSession>(fileOf(uid, "turns"));
    TurnSession *session = state->session.get();
    state->end = new QTimer(this);
    state->end->setSingleShot(true);
    connect(state->end, &QTimer::timeout, this, [this, uid] { follow(uid); });
    state->save = new QTimer(this);
    state->save->setInterval(SaveEveryMs);
    connect(state->save, &QTimer::timeout, this, [this, uid] { saveProgress(uid); });
    connect(session, &TurnSession::timeUp, this,
            [this, uid](const QString &child) { timeUp(uid, child); });
    connect(session, &TurnSession::recordFailed, this, [uid](const QString &error) {
        report(QStringLiteral("uid %1: %2").arg(uid).arg(error));
    });
    bool breakRead = false;
    const qint64 breakEnds =
        GetSetting(guardSection, QStringLiteral("BreakEnds"), QString()).toLongLong(&breakRead);
    if (breakRead && GetSetting(guardSection, QStringLiteral("Boot"), QString()) == m_bootId)
        state->breakEndsMs = breakEnds;
    session->setLength(lock.maxTime().value_or(TimerLength::DefaultSeconds));
    session->load(lock.maxTime());
    if (session->isRunning())
        saveProgress(uid);
    return session;
}

// Catches the count up with the clock, and sets the wake-up for the end of the turn.
void Guard::follow(uint uid)
{
    Account &state = m_accounts[uid];
    TurnSession *session = state.session.get();
    {
        const SettingsFileScope scope(fileOf(uid, "conf"));
        session->update();
    }
    if (!session->isRunning())
        return;
    state.end->start(int(qMin<qint64>(session->msecsLeft(), 24 * 3600 * 1000)));
    if (!state.save->isActive())
        state.save->start();
}

void Guard::saveProgress(uint uid)
{
    Account &state = m_accounts[uid];
    follow(uid);
    if (!state.session->isRunning())
        return;
    const SettingsFileScope scope(fileOf(uid, "conf"));
    QString error;
    if (!SaveSettings({{guardSection + QStringLiteral("/Boot"), m_bootId},
                       {guardSection + QStringLiteral("/Origin"),
                        QString::number(state.session->origin())},
                       {guardSection + QStringLiteral("/Elapsed"),
                        QString::number(monotonicMs() - state.session->origin())}},
                      QStringLiteral("The running turn"), &error))
        report(QStringLiteral("uid %1: %2").arg(uid).arg(error));
}

void Guard::tell(const Account &state)
{
    const TurnSession *session = state.session.get();
    for (const QString &connection : std::as_const(state.attached)) {
        m_bus.send(QDBusMessage::createTargetedSignal(connection, objectPath, interfaceName,
                                                      QStringLiteral("TurnChanged"))
                   << stateText(session->state()) << uint(session->turnLength())
                   << uint(session->elapsed()) << session->child());
    }
}

QString Guard::Turn(uint &length, uint &elapsed, QString &child, uint &breakLeft)
{
    const std::optional<uint> uid = caller();
    const std::optional<SystemLock> lock = uid ? lockInForce(*uid) : std::nullopt;
    Account *state = lock ? account(*uid) : nullptr;
    if (!state)
        return QString();
    TurnSession *turn = session(*uid, state, *lock);
    follow(*uid);
    length = uint(turn->turnLength());
    elapsed = uint(turn->elapsed());
    child = turn->child();
    breakLeft = secondsUp(qMax<qint64>(0, state->breakEndsMs - monotonicMs()));
    return stateText(turn->state());
}

QList<TurnLog::Entry> Guard::Turns()
{
    const std::optional<uint> uid = caller();
    const std::optional<SystemLock> lock = uid ? lockInForce(*uid) : std::nullopt;
    Account *state = lock ? account(*uid) : nullptr;
    if (!state)
        return {};
    TurnSession *turn = session(*uid, state, *lock);
    follow(*uid);
    const SettingsFileScope scope(fileOf(*uid, "conf"));
    return turn->record(TurnLogWire::MostEntries);
}

void Guard::Start(const QString &child)
{
    const std::optional<uint> uid = caller();
    if (uid && !childRefused(*uid, child))
        start(*uid, child, true);
}

void Guard::StartWithPassword(const QString &child, const QString &password)
{
    const std::optional<uint> uid = caller();
    if (!uid || childRefused(*uid, child))
        return;
    const std::optional<SystemLock> lock = lockInForce(*uid);
    if (lock && checkPassword(*uid, *lock, password, true).value_or(false))
        start(*uid, child, false);
}

void Guard::start(uint uid, const QString &child, bool checkBreak)
{
    const std::optional<SystemLock> lock = lockInForce(uid);
    Account *state = lock ? account(uid) : nullptr;
    if (!state)
        return;
    TurnSession *turn = session(uid, state, *lock);
    follow(uid);
    if (turn->isRunning()) {
        refuse(uid, "InvalidArgument", QStringLiteral("A turn is running already."));
        return;
    }
    const qint64 breakLeft = state->breakEndsMs - monotonicMs();
    if (checkBreak && breakLeft > 0) {
        const QDateTime until = TurnClock::instance().utcNow().addMSecs(breakLeft).toLocalTime();
        refuse(uid, "OnBreak",
               QStringLiteral("The break lasts until %1: a new turn needs the parent password.")
                   .arg(until.toString(QStringLiteral("HH:mm"))));
        return;
    }
    {
        const SettingsFileScope scope(fileOf(uid, "conf"));
        const Children children = child.isEmpty() ? Children() : Children({child}, child);
        QString error;
        if (!(turn->children() == children) &&
            !turn->editChildren(turn->children(), children, &error))
            report(QStringLiteral("uid %1: %2").arg(uid).arg(error));
        turn->setLength(lock->maxTime().value_or(TimerLength::DefaultSeconds));
        turn->start();
    }
    state->breakEndsMs = 0;
    shown(uid);
    saveProgress(uid);
    tell(*state);
}

void Guard::Stop(const QString &password)
{
    const std::optional<uint> uid = caller();
    const std::optional<SystemLock> lock = uid ? lockInForce(*uid) : std::nullopt;
    if (!lock || !checkPassword(*uid, *lock, password, true).value_or(false))
        return;
    Account *state = account(*uid);
    if (!state)
        return;
    TurnSession *turn = session(*uid, state, *lock);
    follow(*uid);
    if (turn->state() == Countdown::State::Ready)
        return;
    {
        const SettingsFileScope scope(fileOf(*uid, "conf"));
        turn->stop();
    }
    state->end->stop();
    state->save->stop();
    shown(*uid);
    tell(*state);
}
