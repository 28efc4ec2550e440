// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "guard/SessionLocker.h"

#include <QDBusConnection>
#include <QHash>
#include <QObject>
#include <QStringList>
#include <QThreadPool>

#include <functional>

// Whether a connection that says it shows an account's time's up is the installed
// program, showing on one of the account's own desktops. Nothing the connection says
// counts: the bus names its process, the kernel (under /proc, read as root) says what
// runs there and with what environment, and logind says which displays are the
// account's.
class WindowCheck : public QObject
{
    Q_OBJECT
public:
    // What the kernel says of a process.
    struct Process
    {
        bool found = false;
        // Of the file it runs.
        quint64 device = 0;
        quint64 inode = 0;
        qint64 tracerPid = -1;
        QStringList arguments;
        // As it started; the first of a name given twice, as the process itself reads it.
        QHash<QString, QString> environment;
    };

    // More than this of a process's arguments or environment is no program's of ours.
    static constexpr qint64 LargestRead = 256 * 1024;

    // program: the installed program's path; procRoot: where the kernel's /proc is.
    WindowCheck(const QDBusConnection &bus, const QString &program,
                const QString &procRoot = QStringLiteral("/proc"), QObject *parent = nullptr);
    ~WindowCheck() override;

    // Reads the process under procRoot; found is false when it cannot be read.
    static Process read(const QString &procRoot, qint64 pid);
    // Why the process is not program showing on one of the account's sessions, for the
    // log; empty when it is.
    static QString refusal(const Process &process, uint uid, const QString &program,
                           const QList<SessionLocker::Session> &sessions);

    // Finds the connection's process and calls done with refusal(), on this thread. The
    // kernel is read on a thread of its own: a process can make reading its memory wait.
    void check(const QString &connection, uint uid, const QList<SessionLocker::Session> &sessions,
               std::function<void(const QString &refusal)> done);

private:
    QDBusConnection m_bus;
    QString m_program;
    QString m_procRoot;
    QThreadPool m_readers;
};
