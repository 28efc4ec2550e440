// SPDX-License-Identifier: GPL-3.0-or-later
#include "guard/GuardLink.h"

#include "Guard1Proxy.h"
#include "guard/GuardProtocol.h"
#include "logic/TurnLogWire.h"
#include "logic/TurnSession.h"

#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusServiceWatcher>
#include <QEventLoop>

namespace {

// The guard answers at once but for the password's hash, which takes it a moment.
constexpr int answerTimeoutMs = 10000;

// What the guard calls on the window's connection.
class WindowObject : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "io.github.turnkeeper.Window1")
public:
    explicit WindowObject(std::function<bool()> showTimeUp, QObject *parent)
        : QObject(parent), m_showTimeUp(std::move(showTimeUp))
    {}

public slots:
    bool ShowTimeUp() { return m_showTimeUp(); }

private:
    std::function<bool()> m_showTimeUp;
};

} // namespace

GuardLink::GuardLink(const QDBusConnection &bus)
    : m_bus(bus), m_guard(std::make_unique<IoGithubTurnkeeperGuard1Interface>(
                      GuardProtocol::service, GuardProtocol::path, bus))
{
    m_guard->setTimeout(answerTimeoutMs);
}

GuardLink::~GuardLink()
{
    m_bus.unregisterObject(GuardProtocol::windowPath);
}

std::unique_ptr<GuardLink> GuardLink::connectTo(const QDBusConnection &bus)
{
    if (!bus.isConnected())
        return nullptr;
    TurnLogWire::registerTypes();
    std::unique_ptr<GuardLink> link(new GuardLink(bus));
    auto *window = new WindowObject([link = link.get()] { return link->showTimeUp(); }, link.get());
    if (!link->m_bus.registerObject(GuardProtocol::windowPath, window,
                                    QDBusConnection::ExportAllSlots))
        return nullptr;
    if (!link->refresh())
        return nullptr;
    connect(
        link->m_guard.get(), &IoGithubTurnkeeperGuard1Interface::TurnChanged, link.get(),
        [link = link.get()](const QString &state, uint length, uint elapsed, const QString &child) {
            link->takeTurn(state, length, elapsed, child, uint(link->m_turn.breakLeft));
        });
    return link;
}

void GuardLink::showIn(TurnSession *session, std::function<bool()> shows)
{
    m_session = session;
    m_shows = std::move(shows);
    connect(this, &GuardLink::changed, this, &GuardLink::follow);
    follow();
}

void GuardLink::follow()
{
    if (m_session)
        m_session->follow(m_turn.state, m_turn.length, m_turn.elapsed, m_turn.child);
}

bool GuardLink::showTimeUp()
{
    if (!m_session)
        return false;
    m_session->showTimeUp(m_turn.length);
    // A time's up that nobody can see is not shown, whatever the window believes.
    return m_session->state() == Countdown::State::TimeUp && m_shows && m_shows();
}

void GuardLink::attach()
{
    if (m_attached)
        return;
    m_attached = true;
    // Not waited for: the guard may ask for the time's up before it answers.
    m_guard->Attach();
    // A guard started anew (after a crash or an upgrade) knows no window: attach again,
    // and show the turn it took up.
    auto *watcher = new QDBusServiceWatcher(GuardProtocol::service, m_bus,
                                            QDBusServiceWatcher::WatchForRegistration, this);
    connect(watcher, &QDBusServiceWatcher::serviceRegistered, this, [this] {
        m_guard->Attach();
        refresh();
    });
}

bool GuardLink::refresh()
{
    QDBusPendingReply<QString, uint, uint, QString, uint> reply = m_guard->Turn();
    if (!wait(reply).done())
        return false;
    takeTurn(reply.argumentAt<0>(), reply.argumentAt<1>(), reply.argumentAt<2>(),
             reply.argumentAt<3>(), reply.argumentAt<4>());
    return true;
}

void GuardLink::takeTurn(const QString &state, uint length, uint elapsed, const QString &child,
                         uint breakLeft)
{
    const std::optional<Countdown::State> known = GuardProtocol::stateFrom(state);
    if (!known)
        return;
    // Bounded as the program's own lengths are, whatever comes over the bus.
    const auto seconds = [](uint value) { return qint32(qMin<uint>(value, 1000000)); };
    m_turn = {*known, seconds(length), qMin(seconds(elapsed), seconds(length)), child,
              seconds(breakLeft)};
    emit changed();
}

GuardLink::Answer GuardLink::start(const QString &child)
{
    return command(m_guard->Start(child));
}

GuardLink::Answer GuardLink::startWithPassword(const QString &child, const QString &password)
{
    return command(m_guard->StartWithPassword(child, password));
}

GuardLink::Answer GuardLink::stop(const QString &password)
{
    return command(m_guard->Stop(password));
}

GuardLink::Answer GuardLink::command(const QDBusPendingCall &call)
{
    const Answer answer = wait(call);
    // What the command changed is shown at once, not when the guard's signal comes.
    if (answer.done())
        refresh();
    return answer;
}

GuardLink::Answer GuardLink::checkPassword(const QString &password)
{
    QDBusPendingReply<bool> reply = m_guard->CheckPassword(password);
    Answer answer = wait(reply);
    if (answer.done() && !reply.value())
        answer.kind = Answer::Kind::WrongPassword;
    return answer;
}

std::optional<QList<TurnLog::Entry>> GuardLink::turns()
{
    QDBusPendingReply<QList<TurnLog::Entry>> reply = m_guard->Turns();
    if (!wait(reply).done())
        return std::nullopt;
    return reply.value();
}

GuardLink::Answer GuardLink::wait(const QDBusPendingCall &call)
{
    QDBusPendingCallWatcher watcher(call);
    if (!watcher.isFinished()) {
        QEventLoop waiting;
        connect(&watcher, &QDBusPendingCallWatcher::finished, &waiting, &QEventLoop::quit);
        waiting.exec(QEventLoop::ExcludeUserInputEvents);
    }
    if (!watcher.isError())
        return {Answer::Kind::Done, QString(), QString()};
    const QDBusError error = watcher.error();
    return {error.name() == GuardProtocol::errorName(GuardProtocol::Error::WrongPassword)
                ? Answer::Kind::WrongPassword
                : Answer::Kind::Refused,
            error.message(), error.name()};
}

#include "GuardLink.moc"
