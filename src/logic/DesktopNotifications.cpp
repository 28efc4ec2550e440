// SPDX-License-Identifier: GPL-3.0-or-later
#include "logic/DesktopNotifications.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QObject>
#include <QStringList>
#include <QVariantMap>

#include <cstdio>

namespace {

const QString service = QStringLiteral("org.freedesktop.Notifications");
const QString path = QStringLiteral("/org/freedesktop/Notifications");

// The id of the last notice, which the next one replaces.
quint32 lastId = 0;
bool silenceReported = false;

void reportSilence(const QString &applicationName, const QString &reason)
{
    if (silenceReported)
        return;
    silenceReported = true;
    //: On standard error, after the program's name and ": ". The desktop's notice of a
    //: time's up could not be sent; %1 says why.
    const QString text =
        QCoreApplication::translate("DesktopNotifications", "the desktop was not notified: %1")
            .arg(reason);
    std::fprintf(stderr, "%s: %s\n", qPrintable(applicationName), qPrintable(text));
    std::fflush(stderr);
}

} // namespace

namespace DesktopNotifications {

void prepare()
{
    QDBusConnection::sessionBus();
}

void sendAlarm(const Notice &notice)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        reportSilence(
            notice.applicationName,
            bus.lastError().message().isEmpty()
                //: Why no notice was sent (%1 above).
                ? QCoreApplication::translate("DesktopNotifications", "there is no session bus")
                : bus.lastError().message());
        return;
    }
    QVariantMap hints;
    hints.insert(QStringLiteral("urgency"), QVariant::fromValue(uchar(2))); // critical
    hints.insert(QStringLiteral("sound-name"), alarmSound);
    if (!notice.desktopEntry.isEmpty())
        hints.insert(QStringLiteral("desktop-entry"), notice.desktopEntry);

    QDBusMessage call =
        QDBusMessage::createMethodCall(service, path, service, QStringLiteral("Notify"));
    call << notice.applicationName << lastId << notice.icon << notice.summary << notice.body
         << QStringList() << hints << qint32(-1);
    auto *watcher = new QDBusPendingCallWatcher(bus.asyncCall(call));
    const QString applicationName = notice.applicationName;
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, watcher,
                     [applicationName](QDBusPendingCallWatcher *finished) {
                         const QDBusPendingReply<quint32> reply = *finished;
                         if (reply.isError())
                             reportSilence(applicationName, reply.error().message());
                         else
                             lastId = reply.value();
                         finished->deleteLater();
                     });
}

} // namespace DesktopNotifications
