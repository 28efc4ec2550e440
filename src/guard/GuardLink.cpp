// SPDX-License-Identifier: GPL-3.0-or-later
#include "guard/GuardLink.h"

#include "Guard1Proxy.h"
#include "guard/GuardProtocol.h"
#include "logic/SystemLock.h"
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
    if (m_registered)
        m_bus.unregisterObject(GuardProtocol::windowPath);
}

std::optional<QDBusConnection> GuardLink::busFor(const SystemLock &lock)
{
    if (!lock.guardKeepsTurn())
        return std::nullopt;
    // By its address, on a connection of the program's own: DBUS_SYSTEM_BUS_ADDRESS is the
    // account's to set, and must not lead the program to a guard of the account's making.
    return QDBusConnection::connectToBus(lock.guardBusAddress(),
                                         QStringLiteral("turnkeeper-guard"));
}

std::unique_ptr<GuardLink> GuardLink::connectTo(const QDBusConnection &bus)
{
    TurnLogWire::registerTypes();
    std::unique_ptr<GuardLink> link(new GuardLink(bus));
    // Without a bus nothing can answer for the guard: the link stays down.
    if (!bus.isConnected())
        return link;
    auto *window = new WindowObject([link = link.get()] { return link->showTimeUp(); }, link.get());
    link->m_registered = link->m_bus.registerObject(GuardProtocol::windowPath, window,
                                                    QDBusConnection::ExportAllSlots);
    // The guard taking its name: started at last, or started anew.
    auto *watcher = new QDBusServiceWatcher(GuardProtocol::service, link->m_bus,
                                            QDBusServiceWatcher::WatchForRegistration, link.get());
    connect(watcher, &QDBusServiceWatcher::serviceRegistered, link.get(), &GuardLink::guardCame);
    link->reach();
    if (link->m_released)
        return nullptr;
    return link;
}

bool GuardLink::reach()
{
    // Asked again from within the wait below, the answer is the first ask's.
    if (m_up || m_released || m_reaching)
        return m_up;
    m_reaching = true;
    QDBusPendingReply<QString, uint, uint, QString, uint> reply = m_guard->Turn();
    const Answer answer = wait(reply);
    m_reaching = false;
    if (!answer.done()) {
        if (answer.error == GuardProtocol::errorName(GuardProtocol::Error::NotLocked))
            release();
        return false;
    }
    m_up = true;
    connect(m_guard.get(), &IoGithubTurnkeeperGuard1Interface::TurnChanged, this,
            [this](const QString &state, uint length, uint elapsed, const QString &child) {
                takeTurn(state, length, elapsed, child, uint(m_turn.breakLeft));
            });
    connect(m_guard.get(), &IoGithubTurnkeeperGuard1Interface::Released, this, &GuardLink::release);
    if (m_attached)
        m_guard->Attach();
    takeTurn(reply.argumentAt<0>(), reply.argumentAt<1>(), reply.argumentAt<2>(),
             reply.argumentAt<3>(), reply.argumentAt<4>());
    return true;
}

void GuardLink::guardCame()
{
    if (!m_up) {
        reach();
        return;
    }
    // A guard started anew (after a crash or an upgrade) knows no window: attach again,
    // and show the turn it took up.
    if (m_attached)
        m_guard->Attach();
    refresh();
}

void GuardLink::release()
{
    if (m_released)
        return;
    m_released = true;
    m_up = false;
    emit released();
}

void GuardLink::showIn(TurnSession *session, std::function<bool()> shows)
{
    m_session = session;
    m_shows = std::move(shows);
    connect(this, &GuardLink::changed, this, &GuardLink::follow);
    if (m_up)
        follow();
}

void GuardLink::follow()
{
    if (m_session)
        m_session->follow(m_turn.state, m_turn.length, m_turn.elapsed, m_turn.child);
}

bool GuardLink::showTimeUp()
{
    if (!m_session || !m_up)
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
    // Not waited for: the guard may ask for the time's up before it answers. A link that
    // is down attaches once it comes up.
    if (m_up)
        m_guard->Attach();
}

bool GuardLink::refresh()
{
    if (!m_up)
        return reach();
    QDBusPendingReply<QString, uint, uint, QString, uint> reply = m_guard->Turn();
    const Answer answer = wait(reply);
    if (answer.error == GuardProtocol::errorName(GuardProtocol::Error::NotLocked))
        release();
    if (!answer.done())
        return false;
    takeTurn(reply.argumentAt<0>(), reply.argumentAt<1>(), reply.argumentAt<2>(),
             reply.argumentAt<3>(), reply.argumentAt<4>());
    return true;
}

void GuardLink::takeTurn(const QString &state, uint length, uint elapsed, const QString &child,
                         uint breakLeft)
{
    const std::optional<Countdown::State> known = GuardProtocol::stateFrom(state);
    if (!known || m_released)
        return;
    // Bounded as the program's own lengths are, whatever comes over the bus.
    const auto seconds = [](uint value) { return qint32(qMin<uint>(value, 1000000)); };
    m_turn = {*known, seconds(length), qMin(seconds(elapsed), seconds(length)), child,
              seconds(breakLeft)};
    emit changed();
}

GuardLink::Answer GuardLink::start(const QString &child)
{
    if (!reach())
        return notAnswering();
    return command(m_guard->Start(child));
}

GuardLink::Answer GuardLink::startWithPassword(const QString &child, const QString &password)
{
    if (!reach())
        return notAnswering();
    return command(m_guard->StartWithPassword(child, password));
}

GuardLink::Answer GuardLink::notAnswering()
{
    return {Answer::Kind::Refused, QStringLiteral("The guard does not answer."), noAnswerError};
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
    if (error.name() == GuardProtocol::errorName(GuardProtocol::Error::WrongPassword))
        return {Answer::Kind::WrongPassword, error.message(), error.name()};
    // Nobody there, or nobody who answers in time, is one thing to the window.
    static const QList<QDBusError::ErrorType> noAnswer = {
        QDBusError::ServiceUnknown, QDBusError::NoReply,  QDBusError::NoServer,
        QDBusError::Timeout,        QDBusError::TimedOut, QDBusError::Disconnected};
    const bool unanswered =
        noAnswer.contains(error.type()) ||
        error.name() == QLatin1String("org.freedesktop.DBus.Error.NameHasNoOwner");
    return {Answer::Kind::Refused, error.message(), unanswered ? noAnswerError : error.name()};
}

#include "GuardLink.moc"
