// SPDX-License-Identifier: GPL-3.0-or-later
// The least system service of the guard's kind: one object and one name on the system
// bus, then nothing but its event loop.
#include <QCoreApplication>
#include <QDBusConnection>
#include <QObject>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QObject object;
    QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.registerObject(QStringLiteral("/io/github/turnkeeper/Guard1"), &object) ||
        !bus.registerService(QStringLiteral("io.github.turnkeeper.Guard1")))
        return 1;
    return app.exec();
}
