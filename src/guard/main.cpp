// SPDX-License-Identifier: GPL-3.0-or-later
// turnkeeper-guard: the system service that keeps, for every account under the
// administrator's lock, the turn's clock, its record and the check of the parent
// password, where the account's own processes cannot reach them. Run by systemd as root.
#include "Guard1Adaptor.h"
#include "buildinfo.h"
#include "guard/Guard.h"
#include "guard/GuardBus.h"
#include "logic/SystemLock.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusError>
#include <QFileInfo>

#include <dbus/dbus.h>

#include <cstdio>
#include <malloc.h>

namespace {

int fail(const QString &text)
{
    std::fprintf(stderr, "turnkeeper-guard: %s\n", qPrintable(text));
    return 1;
}

} // namespace

int main(int argc, char *argv[])
{
    // Any local user may send a message as large as the bus allows; what it took is given
    // back to the system at once, rather than kept in the heap for the next one.
    mallopt(M_MMAP_THRESHOLD, 256 * 1024);
    mallopt(M_TRIM_THRESHOLD, 1024 * 1024);
    // The bus's thread allocates little: one heap for both threads, not one each.
    mallopt(M_ARENA_MAX, 1);
    // A guard that mostly sleeps has no use for what makes a busy program fast: Qt's own
    // event loop rather than GLib's (which only wraps it here), and the few short
    // patterns it matches (a number, a file name) interpreted rather than compiled to
    // machine code. Each leaves a few hundred kilobytes of libraries untouched.
    qputenv("QT_NO_GLIB", "1");
    qputenv("QT_ENABLE_REGEXP_JIT", "0");
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("turnkeeper-guard"));
    QCoreApplication::setApplicationVersion(QString::fromLatin1(BuildInfo::version));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Keeps the turns of the accounts under %1's lock on the system bus, as "
                       "%2.")
            .arg(QString::fromLatin1(BuildInfo::title), GuardProtocol::service));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption lockFile(
        QStringLiteral("lock-file"),
        QStringLiteral("The administrator's lock file, with the password's hash beside it."),
        QStringLiteral("path"), SystemLock::installedFile());
    const QCommandLineOption program(
        QStringLiteral("program"),
        QStringLiteral("For tests: the program whose windows alone may say that they show a "
                       "time's up, instead of the installed one."),
        QStringLiteral("path"),
        QCoreApplication::applicationDirPath() + QLatin1Char('/') +
            QLatin1String(TURNKEEPER_PROGRAM_FROM_GUARD));
    parser.addOptions({lockFile, program});
    parser.process(app);
    if (!parser.positionalArguments().isEmpty())
        return fail(QStringLiteral("unexpected argument %1; see --help")
                        .arg(parser.positionalArguments().constFirst()));

    QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.isConnected())
        return fail(QStringLiteral("no system bus: %1").arg(bus.lastError().message()));
    // libdbus reads no more while the messages read and not yet freed pass a size, and
    // reads on when one is freed, from the thread that frees it; Qt can take that only on
    // its bus thread. Everything an account can make large (the calls, the windows'
    // answers) is taken and freed there, so the guard holds one such message at a time,
    // never several, and is never left deaf.
    dbus_connection_set_max_received_size(static_cast<DBusConnection *>(bus.internalPointer()),
                                          GuardBus::MostReadBytes);
    // systemd's StateDirectory= (it may name several folders; the first is the guard's).
    QString stateDir = qEnvironmentVariable("STATE_DIRECTORY").section(QLatin1Char(':'), 0, 0);
    if (stateDir.isEmpty())
        stateDir = QStringLiteral("/var/lib/turnkeeper");
    Guard guard(bus, QFileInfo(parser.value(lockFile)).absoluteFilePath(), stateDir,
                QFileInfo(parser.value(program)).absoluteFilePath());
    // Lives as long as the process, on the bus's thread.
    auto *surface = new GuardBus(guard);
    new Guard1Adaptor(surface);
    surface->moveToBusThread(bus);
    guard.takeBusThread();
    if (!bus.registerObject(GuardProtocol::path, surface))
        return fail(QStringLiteral("cannot register %1").arg(GuardProtocol::path));
    if (!bus.registerService(GuardProtocol::service))
        return fail(QStringLiteral("cannot own %1: %2")
                        .arg(GuardProtocol::service, bus.lastError().message()));
    guard.takeUp();
    return app.exec();
}
