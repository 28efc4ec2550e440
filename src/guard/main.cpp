// SPDX-License-Identifier: GPL-3.0-or-later
// turnkeeper-guard: the system service that keeps, for every account under the
// administrator's lock, the turn's clock, its record and the check of the parent
// password, where the account's own processes cannot reach them. Run by systemd as root.
#include "Guard1Adaptor.h"
#include "buildinfo.h"
#include "guard/Guard.h"
#include "logic/SystemLock.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusError>
#include <QFileInfo>

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
            .arg(QString::fromLatin1(BuildInfo::title), Guard::serviceName));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption lockFile(
        QStringLiteral("lock-file"),
        QStringLiteral("The administrator's lock file, with the password's hash beside it."),
        QStringLiteral("path"), SystemLock::installedFile());
    parser.addOption(lockFile);
    parser.process(app);
    if (!parser.positionalArguments().isEmpty())
        return fail(QStringLiteral("unexpected argument %1; see --help")
                        .arg(parser.positionalArguments().constFirst()));

    QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.isConnected())
        return fail(QStringLiteral("no system bus: %1").arg(bus.lastError().message()));
    // systemd's StateDirectory= (it may name several folders; the first is the guard's).
    QString stateDir = qEnvironmentVariable("STATE_DIRECTORY").section(QLatin1Char(':'), 0, 0);
    if (stateDir.isEmpty())
        stateDir = QStringLiteral("/var/lib/turnkeeper");
    Guard guard(bus, QFileInfo(parser.value(lockFile)).absoluteFilePath(), stateDir);
    new Guard1Adaptor(&guard);
    if (!bus.registerObject(Guard::objectPath, &guard))
        return fail(QStringLiteral("cannot register %1").arg(Guard::objectPath));
    if (!bus.registerService(Guard::serviceName))
        return fail(
            QStringLiteral("cannot own %1: %2").arg(Guard::serviceName, bus.lastError().message()));
    guard.takeUp();
    return app.exec();
}
