// SPDX-License-Identifier: GPL-3.0-or-later
#include "CoreSupport.h"

#include "logic/SettingsStore.h"
#include "logic/SystemLock.h"
#include "logic/TurnRecord.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <csignal>
#include <cstdio>
#include <unistd.h>

TestHome::TestHome(Files files)
    : m_previousDir(QDir::currentPath()), m_previousConfigHome(qgetenv("XDG_CONFIG_HOME")),
      m_previousConfigDirs(qgetenv("XDG_CONFIG_DIRS")), m_previousDataHome(qgetenv("XDG_DATA_HOME"))
{
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_config.path()));
    qputenv("XDG_DATA_HOME", QFile::encodeName(m_data.path()));
    qputenv("XDG_CONFIG_DIRS", QFile::encodeName(m_system.path()));
    if (files == Files::RunTime) {
        for (const char *name : {"face.ico", "smile.ico", "frown.ico", "horn.wav", "chime.wav"}) {
            const QString file = QString::fromLatin1(name);
            QFile::copy(QStringLiteral(TURNKEEPER_RESOURCES_DIR "/") + file, m_work.filePath(file));
        }
    }
    QDir::setCurrent(m_work.path());
}

TestHome::~TestHome()
{
    QDir::setCurrent(m_previousDir);
    if (m_previousConfigHome.isEmpty())
        qunsetenv("XDG_CONFIG_HOME");
    else
        qputenv("XDG_CONFIG_HOME", m_previousConfigHome);
    if (m_previousConfigDirs.isEmpty())
        qunsetenv("XDG_CONFIG_DIRS");
    else
        qputenv("XDG_CONFIG_DIRS", m_previousConfigDirs);
    if (m_previousDataHome.isEmpty())
        qunsetenv("XDG_DATA_HOME");
    else
        qputenv("XDG_DATA_HOME", m_previousDataHome);
}

QString TestHome::settingsFile() const
{
    return settingsFilePath();
}

void TestHome::writeSettingsFile(const QByteArray &contents) const
{
    writeFile(settingsFile(), contents);
}

void TestHome::writeFile(const QString &path, const QByteArray &contents) const
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(contents);
}

QString TestHome::readSettingsFile() const
{
    QFile file(settingsFile());
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(file.readAll());
}

QString TestHome::systemLockFile() const
{
    return SystemLock::fileIn(systemConfigDir());
}

void TestHome::writeSystemLock(const QByteArray &contents) const
{
    QDir().mkpath(QFileInfo(systemLockFile()).absolutePath());
    QFile file(systemLockFile());
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(contents);
}

StandardErrorCapture::StandardErrorCapture()
{
    m_file.open();
    std::fflush(stderr);
    m_saved = ::dup(STDERR_FILENO);
    ::dup2(m_file.handle(), STDERR_FILENO);
}

StandardErrorCapture::~StandardErrorCapture()
{
    restore();
}

QString StandardErrorCapture::text()
{
    restore();
    m_file.seek(0);
    return QString::fromLocal8Bit(m_file.readAll());
}

QString StandardErrorCapture::peek()
{
    std::fflush(stderr);
    QFile written(m_file.fileName());
    return written.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(written.readAll())
                                             : QString();
}

void StandardErrorCapture::restore()
{
    if (m_saved < 0)
        return;
    std::fflush(stderr);
    ::dup2(m_saved, STDERR_FILENO);
    ::close(m_saved);
    m_saved = -1;
}

SessionBus::SessionBus() : m_previousAddress(qgetenv("DBUS_SESSION_BUS_ADDRESS"))
{
    QProcess daemon;
    daemon.start(QStringLiteral("dbus-daemon"),
                 {QStringLiteral("--session"), QStringLiteral("--fork"),
                  QStringLiteral("--print-address=1"), QStringLiteral("--print-pid=1")});
    if (!daemon.waitForFinished(30000) || daemon.exitCode() != 0)
        return;
    const QStringList lines =
        QString::fromLocal8Bit(daemon.readAllStandardOutput()).split(QLatin1Char('\n'));
    if (lines.size() < 2)
        return;
    m_address = lines.at(0).trimmed();
    m_pid = lines.at(1).trimmed().toLongLong();
    qputenv("DBUS_SESSION_BUS_ADDRESS", m_address.toLocal8Bit());
}

SessionBus::~SessionBus()
{
    if (m_pid > 0)
        ::kill(pid_t(m_pid), SIGTERM);
    qputenv("DBUS_SESSION_BUS_ADDRESS", m_previousAddress);
}

ManualTurnClock::ManualTurnClock(const QDateTime &utc) : m_utc(utc.addMSecs(-utc.time().msec()))
{}

QByteArray turnGroup(const QDateTime &started, qint32 length, const QByteArray &child)
{
    QByteArray group = "[Turn]\nLength=" + QByteArray::number(length) +
                       "\nStarted=" + TurnRecord::timeText(started).toUtf8() + "\n";
    if (!child.isNull())
        group += "Child=" + child + "\n";
    return group;
}
