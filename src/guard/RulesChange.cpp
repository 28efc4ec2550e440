// SPDX-License-Identifier: GPL-3.0-or-later
#include "guard/RulesChange.h"

#include "guard/GuardProtocol.h"
#include "guard/RulesWire.h"
#include "logic/Accounts.h"
#include "logic/LockWriter.h"

#include <cstdio>

namespace {

QDBusMessage refusal(const QDBusMessage &call, GuardProtocol::Error error, const QString &text)
{
    std::fprintf(stderr, "turnkeeper-guard: the rules stay as they are: %s\n", qPrintable(text));
    std::fflush(stderr);
    return call.createErrorReply(GuardProtocol::errorName(error), text);
}

} // namespace

RulesChange::RulesChange(const QDBusConnection &bus, const QString &lockFile, QObject *parent)
    : QObject(parent), m_bus(bus), m_lockFile(lockFile), m_authority(bus)
{
    RulesWire::registerTypes();
    m_lookups.setMaxThreadCount(1);
}

RulesChange::~RulesChange() = default;

void RulesChange::ask(uint uid, const QDBusMessage &call, const QVariantMap &wire)
{
    QString refused;
    if (!RulesWire::fromWire(wire, SystemLock::readFile(m_lockFile, SystemLock::Reporting::Quiet),
                             &refused)) {
        m_bus.send(refusal(call, GuardProtocol::Error::InvalidArgument, refused));
        return;
    }
    // Whoever calls, an administrator says yes through the desktop's own agent first.
    m_authority.check(call.service(), GuardProtocol::setRulesAction,
                      [this, uid, call, wire](bool authorised, const QString &why) {
                          if (!authorised) {
                              m_bus.send(refusal(call, GuardProtocol::Error::NotAuthorized,
                                                 QStringLiteral("Only an administrator may "
                                                                "change the family's rules (%1).")
                                                     .arg(why)));
                              return;
                          }
                          std::fprintf(stderr,
                                       "turnkeeper-guard: uid %u: an administrator changes the "
                                       "rules\n",
                                       uid);
                          std::fflush(stderr);
                          write(call, wire);
                      });
}

// The lock is read again, as it may have changed while the administrator was asked, and
// the accounts are looked up off this thread: the user database may be slow to answer.
void RulesChange::write(const QDBusMessage &call, const QVariantMap &wire)
{
    QString refused;
    const std::optional<SystemLock::Change> change = RulesWire::fromWire(
        wire, SystemLock::readFile(m_lockFile, SystemLock::Reporting::Quiet), &refused);
    if (!change) {
        m_bus.send(refusal(call, GuardProtocol::Error::InvalidArgument, refused));
        return;
    }
    m_lookups.start([this, call, change = *change] {
        QString error;
        for (const QString &name : change.rules.accounts) {
            if (change.locked && !Accounts::find(name))
                error = QStringLiteral("there is no account %1 on this computer").arg(name);
        }
        QMetaObject::invokeMethod(this, [this, call, change, error]() mutable {
            if (error.isEmpty() && (change.locked ? LockWriter::write(m_lockFile, change.rules,
                                                                      change.password, &error)
                                                  : LockWriter::remove(m_lockFile, &error))) {
                m_bus.send(call.createReply());
                emit written();
                return;
            }
            m_bus.send(refusal(call, GuardProtocol::Error::InvalidArgument, error));
        });
    });
}
