// SPDX-License-Identifier: GPL-3.0-or-later
#include "guard/AccountTurns.h"

#include "guard/DayAllowance.h"
#include "logic/Children.h"
#include "logic/SettingsStore.h"
#include "logic/SystemLock.h"
#include "logic/TimerLength.h"
#include "logic/TurnClock.h"
#include "logic/TurnLogWire.h"
#include "logic/TurnSession.h"

#include <QTimer>

#include <cstdio>

namespace {

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

} // namespace

AccountTurns::AccountTurns(const QString &lockFile, const QString &stateDir, QObject *parent)
    : QObject(parent), m_lockFile(lockFile), m_files(stateDir)
{}

AccountTurns::~AccountTurns() = default;

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
    QString error;
    state.kept = m_files.load(uid, &error);
    if (!error.isEmpty())
        report(uid, error);
    const SettingsFileScope scope(m_files.settings(uid));
    state.session = std::make_unique<TurnSession>(m_files.record(uid));
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
        const SettingsFileScope scope(m_files.settings(uid));
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
    state.kept.timeUpStands = true;
    if (lock.breakSeconds())
        state.kept.breakEnds = utcNow().addSecs(*lock.breakSeconds());
    saveKept(uid);
    emit timeUp(uid, child);
}

// The running turn, the time's up and the break: all of them end.
void AccountTurns::endAll(uint uid, Account &state)
{
    if (state.session->isRunning()) {
        const SettingsFileScope scope(m_files.settings(uid));
        state.session->stop();
    }
    state.end->stop();
    state.save->stop();
    state.kept.timeUpStands = false;
    state.kept.breakEnds = QDateTime();
    saveKept(uid);
    emit changed(uid);
}

void AccountTurns::saveKept(uint uid)
{
    QString error;
    if (!m_files.save(uid, m_accounts.at(uid).kept, &error))
        report(uid, error);
}

void AccountTurns::saveProgress(uint uid)
{
    follow(uid);
    const TurnSession &session = *m_accounts.at(uid).session;
    QString error;
    if (session.isRunning() && !m_files.saveProgress(uid, session.origin(), &error))
        report(uid, error);
}

std::optional<AccountTurns::Refusal> AccountTurns::password(uint uid, Account &state,
                                                            const SystemLock &lock,
                                                            const QString &typed, bool *right)
{
    const qint64 wait = state.kept.backoff.waitLeft(monotonicMs());
    if (wait > 0) {
        const Refusal refusal{
            GuardProtocol::Error::TooManyTries,
            QStringLiteral("Too many wrong passwords: the next try is checked in %1 s.")
                .arg((wait + 999) / 1000)};
        report(uid, refusal.text);
        return refusal;
    }
    const bool hadWrong = state.kept.backoff.wrongTries() > 0;
    *right = lock.acceptsPassword(typed);
    if (*right)
        state.kept.backoff.right();
    else
        state.kept.backoff.wrong(monotonicMs());
    if (!*right)
        report(uid, QStringLiteral("A wrong parent password (%1 in a row).")
                        .arg(state.kept.backoff.wrongTries()));
    if (hadWrong || !*right)
        saveKept(uid);
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
                               .arg(state->kept.backoff.wrongTries())};
    } else if (state->kept.breakEnds.isValid() && state->kept.breakEnds > utcNow()) {
        return Refusal{
            GuardProtocol::Error::OnBreak,
            QStringLiteral("The break lasts until %1: a new turn needs the parent password.")
                .arg(state->kept.breakEnds.toLocalTime().toString(QStringLiteral("HH:mm")))};
    }
    QString whose = order.isEmpty() ? child : Children(order, turn->children().next()).next();
    qint32 length = lock.maxTime().value_or(TimerLength::DefaultSeconds);
    const QMap<QString, qint32> &allowance = lock.rules().allowance;
    if (!order.isEmpty() && !allowance.isEmpty()) {
        const std::optional<QString> withTime =
            DayAllowance::whoseTurn(order, whose, allowance, usedToday(uid, *state), &length);
        if (!withTime)
            return Refusal{GuardProtocol::Error::NoTimeLeft,
                           QStringLiteral("%1 has had today's %2 minutes of turns, and every "
                                          "child after has had theirs.")
                               .arg(whose)
                               .arg(allowance.value(whose) / 60)};
        whose = *withTime;
    }
    {
        const SettingsFileScope scope(m_files.settings(uid));
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
    state->kept.timeUpStands = false;
    state->kept.breakEnds = QDateTime();
    saveKept(uid);
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
                           .arg(state->kept.backoff.wrongTries())};
    if (state->session->isRunning() || state->kept.timeUpStands || state->kept.breakEnds.isValid())
        endAll(uid, *state);
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
    turn->state = session->isRunning()       ? Countdown::State::Running
                  : state->kept.timeUpStands ? Countdown::State::TimeUp
                                             : Countdown::State::Ready;
    turn->length = session->turnLength();
    turn->elapsed = session->elapsed();
    const QStringList order = lock.rules().children;
    turn->child = session->isRunning() ? session->child()
                  : order.isEmpty()    ? QString()
                                       : Children(order, session->children().next()).next();
    const QDateTime breakEnds = state->kept.breakEnds;
    const qint64 breakLeft = breakEnds.isValid() ? utcNow().msecsTo(breakEnds) : 0;
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
    const SettingsFileScope scope(m_files.settings(uid));
    *entries = state->session->record(TurnLogWire::MostEntries);
    return std::nullopt;
}

QMap<QString, qint32> AccountTurns::usedToday(uint uid, Account &state)
{
    const SettingsFileScope scope(m_files.settings(uid));
    return DayAllowance::usedOn(state.session->record(TurnLogWire::MostEntries),
                                utcNow().toLocalTime().date());
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

QList<uint> AccountTurns::takeUp(const SystemLock &lock)
{
    QList<uint> taken;
    for (const uint uid : m_files.accounts()) {
        std::optional<Refusal> refusal;
        if (!account(uid, lock, &refusal))
            break;
        taken.append(uid);
    }
    return taken;
}

void AccountTurns::release()
{
    for (auto &[uid, state] : m_accounts) {
        if (state.session->isRunning() || state.kept.timeUpStands || state.kept.breakEnds.isValid())
            endAll(uid, state);
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
    return found != m_accounts.end() && found->second.kept.timeUpStands;
}
