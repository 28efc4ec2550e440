// SPDX-License-Identifier: GPL-3.0-or-later
#include "guard/AccountTurns.h"

#include "guard/TurnProgress.h"
#include "logic/Children.h"
#include "logic/SettingsStore.h"
#include "logic/SystemLock.h"
#include "logic/TimerLength.h"
#include "logic/TurnClock.h"
#include "logic/TurnLogWire.h"
#include "logic/TurnRecord.h"
#include "logic/TurnSession.h"

#include <QDir>
#include <QFile>
#include <QTimer>

#include <cstdio>
#include <limits>

namespace {

const QString guardSection = QStringLiteral("Guard");

void report(uint uid, const QString &text)
{
    std::fprintf(stderr, "turnkeeper-guard: uid %u: %s\n", uid, qPrintable(text));
    std::fflush(stderr);
}

qint64 monotonicMs()
{
    return TurnClock::instance().monotonicMs();
}

QDateTime utcNow()
{
    return TurnClock::instance().utcNow();
}

QString key(const char *name)
{
    return guardSection + QLatin1Char('/') + QLatin1String(name);
}

std::optional<qint64> number(const char *name)
{
    bool read = false;
    const qint64 value = GetSetting(guardSection, QLatin1String(name), QString()).toLongLong(&read);
    return read ? std::optional(value) : std::nullopt;
}

QString readBootId()
{
    QFile file(QStringLiteral("/proc/sys/kernel/random/boot_id"));
    return file.open(QIODevice::ReadOnly) ? QString::fromLatin1(file.read(64)).trimmed()
                                          : QString();
}

// Before the turn is taken up: its start set from what the guard counted, exactly in the
// same boot, from the last save after a reboot.
void prepareRecord(uint uid, const QString &bootId)
{
    const std::optional<RecordedTurn> turn = TurnRecord::read();
    if (!turn)
        return;
    const TurnProgress::Saved saved{GetSetting(guardSection, QStringLiteral("Boot"), QString()),
                                    number("Origin"), number("Elapsed")};
    RecordedTurn counted = *turn;
    counted.started =
        utcNow().addMSecs(-TurnProgress::gone(saved, bootId, monotonicMs(), turn->length));
    QString error;
    if (!TurnRecord::write(counted, &error))
        report(uid, error);
}

// The end of the break: in wall-clock time, which a reboot keeps; one saved by an earlier
// guard in monotonic time counts in the boot that saved it.
QDateTime savedBreakEnd(const QString &bootId)
{
    const QString text = GetSetting(guardSection, QStringLiteral("BreakEnds"), QString());
    const QDateTime end = QDateTime::fromString(text, Qt::ISODateWithMs);
    if (end.isValid())
        return end.toUTC();
    const std::optional<qint64> monotonic = number("BreakEnds");
    if (monotonic && GetSetting(guardSection, QStringLiteral("Boot"), QString()) == bootId)
        return utcNow().addMSecs(*monotonic - monotonicMs());
    return QDateTime();
}

} // namespace

AccountTurns::AccountTurns(const QString &lockFile, const QString &stateDir, QObject *parent)
    : QObject(parent), m_lockFile(lockFile), m_stateDir(stateDir), m_bootId(readBootId())
{}

AccountTurns::~AccountTurns() = default;

QString AccountTurns::fileOf(uint uid, const char *extension) const
{
    return m_stateDir + QLatin1Char('/') + QString::number(uid) + QLatin1Char('.') +
           QLatin1String(extension);
}

AccountTurns::Account *AccountTurns::account(uint uid, const SystemLock &lock,
                                             std::optional<Refusal> *refusal)
{
    auto found = m_accounts.find(uid);
    if (found == m_accounts.end()) {
        if (int(m_accounts.size()) >= MostAccounts) {
            *refusal = Refusal{GuardProtocol::Error::LimitsExceeded,
                               QStringLiteral("The guard keeps too many accounts.")};
            report(uid, refusal->value().text);
            return nullptr;
        }
        found = m_accounts.emplace(uid, Account()).first;
        load(uid, found->second, lock);
    }
    follow(uid);
    return &found->second;
}

void AccountTurns::load(uint uid, Account &state, const SystemLock &lock)
{
    QDir().mkpath(m_stateDir);
    const SettingsFileScope scope(fileOf(uid, "conf"));
    prepareRecord(uid, m_bootId);
    state.session = std::make_unique<TurnSession>(fileOf(uid, "turns"));
    state.end = new QTimer(this);
    state.end->setSingleShot(true);
    connect(state.end, &QTimer::timeout, this, [this, uid] { follow(uid); });
    state.save = new QTimer(this);
    state.save->setInterval(SaveEveryMs);
    connect(state.save, &QTimer::timeout, this, [this, uid] { saveProgress(uid); });
    connect(state.session.get(), &TurnSession::timeUp, this,
            [this, uid](const QString &child) { ended(uid, child); });
    connect(state.session.get(), &TurnSession::recordFailed, this,
            [uid](const QString &error) { report(uid, error); });

    state.standing =
        GetSetting(guardSection, QStringLiteral("Standing"), QString()) == QLatin1String("true");
    state.breakEnds = savedBreakEnd(m_bootId);
    const PasswordBackoff::Saved backoff{int(number("WrongTries").value_or(0)),
                                         number("WaitMs").value_or(0),
                                         number("NotBefore").value_or(0)};
    state.backoff = PasswordBackoff::restored(backoff, monotonicMs(), utcNow().toMSecsSinceEpoch());
    state.session->setLength(lock.maxTime().value_or(TimerLength::DefaultSeconds));
    // A turn that ended while the guard was away goes to its time's up here.
    state.session->load(lock.maxTime());
    if (state.session->isRunning())
        saveProgress(uid);
}

// Catches the count up with the clock, and sets the wake-up for the end of the turn.
void AccountTurns::follow(uint uid)
{
    Account &state = m_accounts.at(uid);
    {
        const SettingsFileScope scope(fileOf(uid, "conf"));
        state.session->update();
    }
    if (!state.session->isRunning())
        return;
    state.end->start(int(qMin<qint64>(state.session->msecsLeft(), 24 * 3600 * 1000)));
    if (!state.save->isActive())
        state.save->start();
}

// The turn is over. Its time's up stands, and the break, where the lock sets one,
// begins; nothing stands where the lock was lifted meanwhile.
void AccountTurns::ended(uint uid, const QString &child)
{
    Account &state = m_accounts.at(uid);
    state.end->stop();
    state.save->stop();
    const SystemLock lock = SystemLock::readFile(m_lockFile, SystemLock::Reporting::Quiet);
    if (!lock.isLocked())
        return;
    state.standing = true;
    if (lock.breakSeconds())
        state.breakEnds = utcNow().addSecs(*lock.breakSeconds());
    saveState(uid);
    emit timeUp(uid, child);
}

void AccountTurns::saveState(uint uid)
{
    const Account &state = m_accounts.at(uid);
    const PasswordBackoff::Saved backoff =
        state.backoff.saved(monotonicMs(), utcNow().toMSecsSinceEpoch());
    const SettingsFileScope scope(fileOf(uid, "conf"));
    QString error;
    if (!SaveSettings(
            {{key("Standing"), state.standing ? QStringLiteral("true") : QVariant()},
             {key("BreakEnds"),
              state.breakEnds.isValid() ? state.breakEnds.toString(Qt::ISODateWithMs) : QVariant()},
             {key("WrongTries"), backoff.wrong ? QVariant(backoff.wrong) : QVariant()},
             {key("WaitMs"), backoff.wrong ? QVariant(backoff.waitMs) : QVariant()},
             {key("NotBefore"), backoff.wrong ? QVariant(backoff.notBeforeUtcMs) : QVariant()}},
            QStringLiteral("The time's up, the break and the wrong passwords"), &error))
        report(uid, error);
}

void AccountTurns::saveProgress(uint uid)
{
    Account &state = m_accounts.at(uid);
    follow(uid);
    if (!state.session->isRunning())
        return;
    const SettingsFileScope scope(fileOf(uid, "conf"));
    QString error;
    if (!SaveSettings({{key("Boot"), m_bootId},
                       {key("Origin"), QString::number(state.session->origin())},
                       {key("Elapsed"), QString::number(monotonicMs() - state.session->origin())}},
                      QStringLiteral("The running turn"), &error))
        report(uid, error);
}

std::optional<AccountTurns::Refusal> AccountTurns::password(uint uid, Account &state,
                                                            const SystemLock &lock,
                                                            const QString &typed, bool *right)
{
    const qint64 wait = state.backoff.waitLeft(monotonicMs());
    if (wait > 0) {
        const Refusal refusal{
            GuardProtocol::Error::TooManyTries,
            QStringLiteral("Too many wrong passwords: the next try is checked in %1 s.")
                .arg((wait + 999) / 1000)};
        report(uid, refusal.text);
        return refusal;
    }
    const bool hadWrong = state.backoff.wrongTries() > 0;
    *right = lock.acceptsPassword(typed);
    if (*right)
        state.backoff.right();
    else
        state.backoff.wrong(monotonicMs());
    if (!*right)
        report(uid, QStringLiteral("A wrong parent password (%1 in a row).")
                        .arg(state.backoff.wrongTries()));
    if (hadWrong || !*right)
        saveState(uid);
    return std::nullopt;
}

std::optional<AccountTurns::Refusal> AccountTurns::checkPassword(uint uid, const SystemLock &lock,
                                                                 const QString &typed, bool *right)
{
    std::optional<Refusal> refusal;
    Account *state = account(uid, lock, &refusal);
    return state ? password(uid, *state, lock, typed, right) : refusal;
}

std::optional<AccountTurns::Refusal> AccountTurns::childRefusal(const QString &child) const
{
    // No name is an account without children's names.
    if (child.isEmpty())
        return std::nullopt;
    QString refusal = Children::refusal(child, QStringList());
    if (refusal.isEmpty() && child != child.trimmed())
        refusal = QStringLiteral("A name cannot begin or end with a blank.");
    if (refusal.isEmpty())
        return std::nullopt;
    return Refusal{GuardProtocol::Error::InvalidArgument, refusal};
}

std::optional<AccountTurns::Refusal> AccountTurns::start(uint uid, const SystemLock &lock,
                                                         const QString &child,
                                                         const std::optional<QString> &typed)
{
    std::optional<Refusal> refusal;
    Account *state = account(uid, lock, &refusal);
    if (!state)
        return refusal;
    TurnSession *turn = state->session.get();
    if (turn->isRunning())
        return Refusal{GuardProtocol::Error::InvalidArgument,
                       QStringLiteral("A turn is running already.")};
    // Under the lock's list of children whose turn it is is the guard's to say.
    const QStringList order = lock.rules().children;
    if (order.isEmpty() && (refusal = childRefusal(child)))
        return refusal;
    if (typed) {
        bool right = false;
        if ((refusal = password(uid, *state, lock, *typed, &right)))
            return refusal;
        if (!right)
            return Refusal{GuardProtocol::Error::WrongPassword,
                           QStringLiteral("A wrong parent password (%1 in a row).")
                               .arg(state->backoff.wrongTries())};
    } else if (state->breakEnds.isValid() && state->breakEnds > utcNow()) {
        return Refusal{
            GuardProtocol::Error::OnBreak,
            QStringLiteral("The break lasts until %1: a new turn needs the parent password.")
                .arg(state->breakEnds.toLocalTime().toString(QStringLiteral("HH:mm")))};
    }
    QString whose = order.isEmpty() ? child : Children(order, turn->children().next()).next();
    qint32 length = lock.maxTime().value_or(TimerLength::DefaultSeconds);
    if ((refusal = allowed(uid, *state, lock, &whose, &length)))
        return refusal;
    {
        const SettingsFileScope scope(fileOf(uid, "conf"));
        const Children children = !order.isEmpty()  ? Children(order, whose)
                                  : whose.isEmpty() ? Children()
                                                    : Children({whose}, whose);
        QString error;
        if (!(turn->children() == children) &&
            !turn->editChildren(turn->children(), children, &error))
            report(uid, error);
        turn->setLength(length);
        turn->start();
    }
    state->standing = false;
    state->breakEnds = QDateTime();
    saveState(uid);
    saveProgress(uid);
    emit changed(uid);
    return std::nullopt;
}

std::optional<AccountTurns::Refusal> AccountTurns::stop(uint uid, const SystemLock &lock,
                                                        const QString &typed)
{
    std::optional<Refusal> refusal;
    Account *state = account(uid, lock, &refusal);
    bool right = false;
    if (!state || (refusal = password(uid, *state, lock, typed, &right)))
        return refusal;
    if (!right)
        return Refusal{GuardProtocol::Error::WrongPassword,
                       QStringLiteral("A wrong parent password (%1 in a row).")
                           .arg(state->backoff.wrongTries())};
    if (!state->session->isRunning() && !state->standing && !state->breakEnds.isValid())
        return std::nullopt;
    if (state->session->isRunning()) {
        const SettingsFileScope scope(fileOf(uid, "conf"));
        state->session->stop();
    }
    state->end->stop();
    state->save->stop();
    state->standing = false;
    state->breakEnds = QDateTime();
    saveState(uid);
    emit changed(uid);
    return std::nullopt;
}

std::optional<AccountTurns::Refusal> AccountTurns::turn(uint uid, const SystemLock &lock,
                                                        Turn *turn)
{
    std::optional<Refusal> refusal;
    Account *state = account(uid, lock, &refusal);
    if (!state)
        return refusal;
    const TurnSession *session = state->session.get();
    turn->state = session->isRunning() ? Countdown::State::Running
                  : state->standing    ? Countdown::State::TimeUp
                                       : Countdown::State::Ready;
    turn->length = session->turnLength();
    turn->elapsed = session->elapsed();
    const QStringList order = lock.rules().children;
    turn->child = session->isRunning() ? session->child()
                  : order.isEmpty()    ? QString()
                                       : Children(order, session->children().next()).next();
    const qint64 breakLeft = state->breakEnds.isValid() ? utcNow().msecsTo(state->breakEnds) : 0;
    turn->breakLeft = qint32(qBound(qint64(0), (breakLeft + 999) / 1000, qint64(24 * 3600)));
    return std::nullopt;
}

std::optional<AccountTurns::Refusal> AccountTurns::record(uint uid, const SystemLock &lock,
                                                          QList<TurnLog::Entry> *entries)
{
    std::optional<Refusal> refusal;
    Account *state = account(uid, lock, &refusal);
    if (!state)
        return refusal;
    const SettingsFileScope scope(fileOf(uid, "conf"));
    *entries = state->session->record(TurnLogWire::MostEntries);
    return std::nullopt;
}

QMap<QString, qint32> AccountTurns::usedToday(uint uid, Account &state)
{
    const QDate today = utcNow().toLocalTime().date();
    const SettingsFileScope scope(fileOf(uid, "conf"));
    QMap<QString, qint32> used;
    for (const TurnLog::Entry &entry : state.session->record(TurnLogWire::MostEntries)) {
        if (entry.started.toLocalTime().date() == today)
            used[entry.child] += entry.used;
    }
    return used;
}

std::optional<AccountTurns::Refusal> AccountTurns::usedToday(uint uid, const SystemLock &lock,
                                                             QMap<QString, qint32> *used)
{
    std::optional<Refusal> refusal;
    Account *state = account(uid, lock, &refusal);
    if (state)
        *used = usedToday(uid, *state);
    return refusal;
}

std::optional<AccountTurns::Refusal> AccountTurns::allowed(uint uid, Account &state,
                                                           const SystemLock &lock, QString *child,
                                                           qint32 *length)
{
    const QStringList order = lock.rules().children;
    const QMap<QString, qint32> &allowance = lock.rules().allowance;
    if (order.isEmpty() || allowance.isEmpty())
        return std::nullopt;
    const QMap<QString, qint32> used = usedToday(uid, state);
    // From the child who is next on, the first one with time left.
    const qsizetype from = qMax<qsizetype>(0, order.indexOf(*child));
    for (qsizetype k = 0; k < order.size(); ++k) {
        const QString &candidate = order.at((from + k) % order.size());
        const qint32 left = allowance.contains(candidate)
                                ? allowance.value(candidate) - used.value(candidate)
                                : std::numeric_limits<qint32>::max();
        if (left > 0) {
            *child = candidate;
            *length = qMin(*length, left);
            return std::nullopt;
        }
    }
    return Refusal{GuardProtocol::Error::NoTimeLeft,
                   QStringLiteral("%1 has had today's %2 minutes of turns, and every child "
                                  "after has had theirs.")
                       .arg(*child)
                       .arg(allowance.value(*child) / 60)};
}

QList<uint> AccountTurns::takeUp(const SystemLock &lock)
{
    QList<uint> taken;
    const QStringList files =
        QDir(m_stateDir).entryList({QStringLiteral("*.conf")}, QDir::Files, QDir::Name);
    for (const QString &file : files) {
        bool isUid = false;
        const uint uid = file.chopped(5).toUInt(&isUid);
        std::optional<Refusal> refusal;
        if (!isUid)
            continue;
        if (!account(uid, lock, &refusal))
            break;
        taken.append(uid);
    }
    return taken;
}

void AccountTurns::release()
{
    for (auto &[uid, state] : m_accounts) {
        if (!state.session->isRunning() && !state.standing && !state.breakEnds.isValid())
            continue;
        if (state.session->isRunning()) {
            const SettingsFileScope scope(fileOf(uid, "conf"));
            state.session->stop();
        }
        state.end->stop();
        state.save->stop();
        state.standing = false;
        state.breakEnds = QDateTime();
        saveState(uid);
        emit changed(uid);
    }
}

bool AccountTurns::isRunning(uint uid) const
{
    const auto found = m_accounts.find(uid);
    return found != m_accounts.end() && found->second.session->isRunning();
}

bool AccountTurns::timeUpStands(uint uid) const
{
    const auto found = m_accounts.find(uid);
    return found != m_accounts.end() && found->second.standing;
}
