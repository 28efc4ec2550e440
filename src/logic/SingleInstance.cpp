// SPDX-License-Identifier: GPL-3.0-or-later
#include "logic/SingleInstance.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>

namespace {
// A copy that is stopped or hung does not answer; the later start ends all the same.
constexpr int answerMilliseconds = 2000;
} // namespace

bool SingleInstance::claim()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return true;
    bus.registerObject(objectPath, this, QDBusConnection::ExportScriptableSlots);
    if (bus.registerService(serviceName))
        return true;
    bus.unregisterObject(objectPath);
    const QDBusMessage call = QDBusMessage::createMethodCall(
        serviceName, objectPath, QStringLiteral("io.github.turnkeeper.TurnKeeper1"),
        QStringLiteral("Activate"));
    bus.call(call, QDBus::Block, answerMilliseconds);
    return false;
}

void SingleInstance::Activate()
{
    emit activated();
}
