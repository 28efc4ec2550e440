// SPDX-License-Identifier: GPL-3.0-or-later
#include "guard/WindowCheck.h"

#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QFile>

#include <sys/stat.h>

namespace {

constexpr int BusTimeoutMs = 5000;

std::optional<QByteArray> readAll(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return std::nullopt;
    QByteArray contents = file.read(WindowCheck::LargestRead + 1);
    if (contents.size() > WindowCheck::LargestRead)
        return std::nullopt;
    return contents;
}

std::optional<std::pair<quint64, quint64>> fileId(const QString &path)
{
    struct stat info;
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return std::nullopt;
    return std::pair(quint64(info.st_dev), quint64(info.st_ino));
}

// Which names a program's environment may not set, because they change what it loads.
bool changesWhatLoads(const QString &name)
{
    return name.startsWith(QLatin1String("LD_")) || name == QLatin1String("QT_PLUGIN_PATH") ||
           name == QLatin1String("QT_QPA_PLATFORM_PLUGIN_PATH");
}

} // namespace

WindowCheck::WindowCheck(const QDBusConnection &bus, const QString &program,
                         const QString &procRoot, QObject *parent)
    : QObject(parent), m_bus(bus), m_program(program), m_procRoot(procRoot)
{
    // Few at a time: a process that keeps its reader waiting keeps only that one.
    m_readers.setMaxThreadCount(2);
    m_readers.setExpiryTimeout(10000);
}

WindowCheck::~WindowCheck() = default;

WindowCheck::Process WindowCheck::read(const QString &procRoot, qint64 pid)
{
    Process process;
    const QString folder = procRoot + QLatin1Char('/') + QString::number(pid) + QLatin1Char('/');
    const auto id = fileId(folder + QStringLiteral("exe"));
    const auto status = readAll(folder + QStringLiteral("status"));
    const auto arguments = readAll(folder + QStringLiteral("cmdline"));
    const auto environment = readAll(folder + QStringLiteral("environ"));
    if (pid <= 0 || !id || !status || !arguments || !environment)
        return process;
    process.found = true;
    std::tie(process.device, process.inode) = *id;
    for (const QByteArray &line : status->split('\n')) {
        if (line.startsWith("TracerPid:")) {
            bool read = false;
            process.tracerPid = line.mid(10).trimmed().toLongLong(&read);
            if (!read)
                process.tracerPid = -1;
        }
    }
    for (const QByteArray &argument : arguments->split('\0'))
        process.arguments.append(QString::fromLocal8Bit(argument));
    // The block ends with a NUL, which leaves an empty last part.
    if (!process.arguments.isEmpty() && process.arguments.constLast().isEmpty())
        process.arguments.removeLast();
    for (const QByteArray &entry : environment->split('\0')) {
        const qsizetype equals = entry.indexOf('=');
        const QString name = QString::fromLocal8Bit(entry.left(equals));
        if (equals > 0 && !process.environment.contains(name))
            process.environment.insert(name, QString::fromLocal8Bit(entry.mid(equals + 1)));
    }
    return process;
}

QString WindowCheck::refusal(const Process &process, uint uid, const QString &program,
                             const QList<SessionLocker::Session> &sessions)
{
    if (!process.found)
        return QStringLiteral("its process cannot be read");
    if (fileId(program) != std::pair(process.device, process.inode))
        return QStringLiteral("it is not %1").arg(program);
    if (process.tracerPid != 0)
        return QStringLiteral("it is traced by process %1").arg(process.tracerPid);
    // The program takes no arguments; Qt's own (-platform, -display) would move it.
    if (process.arguments.size() != 1)
        return QStringLiteral("it was started with arguments");
    const QHash<QString, QString> &environment = process.environment;
    for (auto variable = environment.begin(); variable != environment.end(); ++variable) {
        if (changesWhatLoads(variable.key()))
            return QStringLiteral("its environment sets %1").arg(variable.key());
    }
    const QString platform = environment.value(QStringLiteral("QT_QPA_PLATFORM"));
    if (!platform.isEmpty() && platform != QLatin1String("xcb") &&
        platform != QLatin1String("wayland"))
        return QStringLiteral("it shows on the platform %1").arg(platform);

    // A Wayland desktop names no display: the program must look for the account's
    // compositor where the account's own runs.
    const QString display = environment.value(QStringLiteral("DISPLAY"));
    const bool wayland =
        platform == QLatin1String("wayland") || (platform.isEmpty() && display.isEmpty());
    for (const SessionLocker::Session &session : sessions) {
        if (session.type == QLatin1String("wayland") &&
            !environment.value(QStringLiteral("WAYLAND_DISPLAY")).isEmpty() &&
            environment.value(QStringLiteral("XDG_RUNTIME_DIR")) ==
                QStringLiteral("/run/user/%1").arg(uid))
            return QString();
        if (!wayland && session.type == QLatin1String("x11") && !display.isEmpty() &&
            session.display == display)
            return QString();
    }
    return wayland ? QStringLiteral("it shows on no Wayland desktop of the account's")
                   : QStringLiteral("its display %1 is none of the account's desktops")
                         .arg(display.isEmpty() ? QStringLiteral("(none)") : display);
}

void WindowCheck::check(const QString &connection, uint uid,
                        const QList<SessionLocker::Session> &sessions,
                        std::function<void(const QString &)> done)
{
    QDBusMessage ask = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("GetConnectionUnixProcessID"));
    ask << connection;
    auto *pending = new QDBusPendingCallWatcher(m_bus.asyncCall(ask, BusTimeoutMs), this);
    connect(pending, &QDBusPendingCallWatcher::finished, this,
            [this, uid, sessions, done = std::move(done)](QDBusPendingCallWatcher *w) {
                w->deleteLater();
                const QDBusPendingReply<uint> pid = *w;
                if (pid.isError()) {
                    done(QStringLiteral("the bus could not say which process it is"));
                    return;
                }
                // The pool is destroyed before this object is: a reader still at work
                // when the guard ends posts to an object that is still there.
                m_readers.start([this, uid, sessions, pid = qint64(pid.value()), done] {
                    const QString refusal =
                        WindowCheck::refusal(read(m_procRoot, pid), uid, m_program, sessions);
                    QMetaObject::invokeMethod(
                        this, [done, refusal] { done(refusal); }, Qt::QueuedConnection);
                });
            });
}
