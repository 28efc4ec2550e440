// SPDX-License-Identifier: GPL-3.0-or-later
#include "guard/TimeUpWatch.h"

#include "guard/GuardProtocol.h"
#include "guard/WindowCheck.h"
#include "logic/TurnClock.h"

#include <QDBusConnectionInterface>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusServiceWatcher>

#include <cstdio>

namespace {

void report(uint uid, const QString &text)
{
    std::fprintf(stderr, "turnkeeper-guard: uid %u: %s\n", uid, qPrintable(text));
    std::fflush(stderr);
}

qint64 now()
{
    return TurnClock::instance().monotonicMs();
}

} // namespace

TimeUpWatch::TimeUpWatch(const QDBusConnection &bus, SessionLocker &locker, WindowCheck &check,
                         QObject *parent)
    : QObject(parent), m_bus(bus), m_locker(locker), m_check(check),
      m_connections(new QDBusServiceWatcher(this)), m_relay(new QObject)
{
    m_rounds.setInterval(AskEveryMs);
    connect(&m_rounds, &QTimer::timeout, this, [this] {
        for (const uint uid : m_watched.keys())
            round(uid);
    });
    m_connections->setConnection(m_bus);
    m_connections->setWatchMode(QDBusServiceWatcher::WatchForUnregistration);
    connect(m_connections, &QDBusServiceWatcher::serviceUnregistered, this, &TimeUpWatch::detach);
    connect(&m_locker, &SessionLocker::unlocked, this, &TimeUpWatch::unlocked);
}

TimeUpWatch::~TimeUpWatch()
{
    m_relay->deleteLater();
}

bool TimeUpWatch::attach(uint uid, const QString &connection)
{
    QSet<QString> &attached = m_attached[uid];
    if (attached.contains(connection))
        return true;
    if (attached.size() >= MostAttached)
        return false;
    attached.insert(connection);
    m_connections->addWatchedService(connection);
    if (m_watched.contains(uid))
        ask(uid, connection, m_watched[uid].round);
    return true;
}

void TimeUpWatch::detach(const QString &connection)
{
    m_connections->removeWatchedService(connection);
    m_refusalsSaid.remove(connection);
    for (auto account = m_attached.begin(); account != m_attached.end();) {
        account->remove(connection);
        account = account->isEmpty() ? m_attached.erase(account) : std::next(account);
    }
}

void TimeUpWatch::stand(uint uid, SessionLocker::Way way)
{
    if (m_watched.contains(uid)) {
        m_watched[uid].way = way;
        return;
    }
    Watched &watched = m_watched[uid];
    watched.way = way;
    watched.graceUntil = now() + AskEveryMs;
    watched.decision = new QTimer(this);
    watched.decision->setSingleShot(true);
    connect(watched.decision, &QTimer::timeout, this, [this, uid] { decide(uid); });
    m_locker.follow(uid, true);
    if (!m_rounds.isActive())
        m_rounds.start();
    round(uid);
}

void TimeUpWatch::fall(uint uid)
{
    const auto found = m_watched.find(uid);
    if (found == m_watched.end())
        return;
    delete found->decision;
    m_watched.erase(found);
    m_locker.follow(uid, false);
    if (m_watched.isEmpty())
        m_rounds.stop();
}

void TimeUpWatch::round(uint uid)
{
    Watched &watched = m_watched[uid];
    ++watched.round;
    watched.roundStart = now();
    const QSet<QString> windows = m_attached.value(uid);
    watched.unanswered = int(windows.size());
    for (const QString &connection : windows)
        ask(uid, connection, watched.round);
    // Decided once every window has answered, and at the latest when they should have.
    watched.decision->start(windows.isEmpty() ? 0 : AnswerTimeoutMs + 500);
}

void TimeUpWatch::askOnBusThread()
{
    m_relay->moveToThread(m_bus.interface()->thread());
}

void TimeUpWatch::ask(uint uid, const QString &connection, int round)
{
    const QDBusMessage call =
        QDBusMessage::createMethodCall(connection, GuardProtocol::windowPath,
                                       GuardProtocol::windowInterface, GuardProtocol::showTimeUp);
    // The window's account makes the answer as large as it likes: it is read, and freed,
    // where the relay lives, and only what it says comes here.
    QMetaObject::invokeMethod(m_relay, [this, call, uid, connection, round] {
        auto *pending =
            new QDBusPendingCallWatcher(m_bus.asyncCall(call, AnswerTimeoutMs), m_relay);
        connect(pending, &QDBusPendingCallWatcher::finished, m_relay,
                [this, uid, connection, round](QDBusPendingCallWatcher *w) {
                    bool shows = false;
                    {
                        const QDBusPendingReply<bool> answer = *w;
                        shows = !answer.isError() && answer.value();
                    }
                    delete w;
                    QMetaObject::invokeMethod(this, [this, uid, connection, round, shows] {
                        if (shows)
                            verify(uid, connection, round);
                        else
                            answered(uid, round);
                    });
                });
    });
}

// Only once logind has said afresh which desktops are the account's.
void TimeUpWatch::verify(uint uid, const QString &connection, int round)
{
    m_locker.list(uid, [this, uid, connection, round](bool) {
        m_check.check(connection, uid, m_locker.sessions(uid),
                      [this, uid, connection, round](const QString &refusal) {
                          if (refusal.isEmpty())
                              seen(uid);
                          else if (!m_refusalsSaid.contains(connection) &&
                                   m_attached.value(uid).contains(connection)) {
                              m_refusalsSaid.insert(connection);
                              report(uid, QStringLiteral("a program says it shows the time's "
                                                         "up, but %1")
                                              .arg(refusal));
                          }
                          answered(uid, round);
                      });
    });
}

void TimeUpWatch::answered(uint uid, int round)
{
    const auto found = m_watched.find(uid);
    if (found == m_watched.end() || found->round != round || --found->unanswered > 0)
        return;
    found->decision->start(0);
}

void TimeUpWatch::seen(uint uid)
{
    const auto found = m_watched.find(uid);
    if (found == m_watched.end())
        return;
    found->seenAt = now();
    found->locking = false;
}

void TimeUpWatch::decide(uint uid)
{
    const auto found = m_watched.find(uid);
    if (found == m_watched.end())
        return;
    Watched &watched = *found;
    if (now() < watched.graceUntil) {
        watched.decision->start(int(watched.graceUntil - now()));
        return;
    }
    if (watched.seenAt >= watched.roundStart)
        return;
    if (!watched.locking)
        report(uid,
               watched.way == SessionLocker::Way::Lock
                   ? QStringLiteral("nobody shows the time's up; locking its graphical sessions")
                   : QStringLiteral("nobody shows the time's up; ending its graphical sessions"));
    watched.locking = true;
    m_locker.lock(uid, watched.way);
}

// An unlocked or new session: its account has a round's time to show the time's up again.
void TimeUpWatch::unlocked(uint uid)
{
    const auto found = m_watched.find(uid);
    if (found == m_watched.end() || found->seenAt >= now() - AskEveryMs)
        return;
    found->graceUntil = now() + AskEveryMs;
    round(uid);
}
