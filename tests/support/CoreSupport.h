// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What a test of the logic floor needs, on Qt Core and D-Bus alone: a fresh home, what
// is written to standard error, a session bus of its own, a clock moved by hand. The
// windows' tests have these too, through TestSupport.h.
#include "logic/TurnClock.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QTemporaryDir>
#include <QTemporaryFile>

// A fresh settings folder, data folder and working directory for one test. The working
// directory holds the run-time pictures and horn unless asked otherwise. The system
// configuration folders are one empty folder of its own, so that no lock of the
// machine's applies.
class TestHome
{
public:
    enum class Files { RunTime, None };
    explicit TestHome(Files files = Files::RunTime);
    ~TestHome();
    TestHome(const TestHome &) = delete;
    TestHome &operator=(const TestHome &) = delete;

    QString configHome() const { return m_config.path(); }
    // XDG_DATA_HOME, where the record of turns goes.
    QString dataHome() const { return m_data.path(); }
    QString workDir() const { return m_work.path(); }
    QString settingsFile() const;
    // Writes the settings file by hand, as a person with a text editor would.
    void writeSettingsFile(const QByteArray &contents) const;
    // Writes any file, making its folder first.
    void writeFile(const QString &path, const QByteArray &contents) const;
    QString readSettingsFile() const;

    // The one folder of XDG_CONFIG_DIRS, where an administrator's lock goes.
    QString systemConfigDir() const { return m_system.path(); }
    QString systemLockFile() const;
    // Writes the administrator's lock file by hand.
    void writeSystemLock(const QByteArray &contents) const;

private:
    QTemporaryDir m_config;
    QTemporaryDir m_data;
    QTemporaryDir m_work;
    QTemporaryDir m_system;
    QString m_previousDir;
    QByteArray m_previousConfigHome;
    QByteArray m_previousConfigDirs;
    QByteArray m_previousDataHome;
};

// Collects what is written to standard error while it lives.
class StandardErrorCapture
{
public:
    StandardErrorCapture();
    ~StandardErrorCapture();
    StandardErrorCapture(const StandardErrorCapture &) = delete;
    StandardErrorCapture &operator=(const StandardErrorCapture &) = delete;

    // What was written so far; ends the capture.
    QString text();
    // What was written so far; the capture goes on.
    QString peek();

private:
    void restore();

    QTemporaryFile m_file;
    int m_saved = -1;
};

// A private session bus (dbus-daemon) for one test program, in place of the desktop's
// own: DBUS_SESSION_BUS_ADDRESS points at it while it lives. Qt connects to the
// session bus once per program, so it must be made before anything uses the bus.
class SessionBus
{
public:
    SessionBus();
    ~SessionBus();
    SessionBus(const SessionBus &) = delete;
    SessionBus &operator=(const SessionBus &) = delete;

    bool isRunning() const { return !m_address.isEmpty(); }
    QString address() const { return m_address; }

private:
    QString m_address;
    qint64 m_pid = 0;
    QByteArray m_previousAddress;
};

// The settings file's [Turn] group, as the program writes it, for a turn of length
// seconds begun at started, with the child's name when one is given.
QByteArray turnGroup(const QDateTime &started, qint32 length, const QByteArray &child = {});

// A turn's clock that moves only when the test moves it. Its wall clock starts at the
// real time, so that records written with the real time read as they would.
class ManualTurnClock : public TurnClock
{
public:
    explicit ManualTurnClock(const QDateTime &utc = QDateTime::currentDateTimeUtc());
    qint64 monotonicMs() const override { return m_monotonic; }
    QDateTime utcNow() const override { return m_utc.addMSecs(m_monotonic); }
    void advance(qint64 ms) { m_monotonic += ms; }
    // Moves only the wall clock, as a person changing the time would.
    void setWallClock(const QDateTime &utc) { m_utc = utc.addMSecs(-m_monotonic); }

private:
    qint64 m_monotonic = 0;
    QDateTime m_utc;
};

// Installs a clock for as long as it lives.
class InstalledClock
{
public:
    explicit InstalledClock(TurnClock *clock) { TurnClock::install(clock); }
    ~InstalledClock() { TurnClock::install(nullptr); }
    InstalledClock(const InstalledClock &) = delete;
    InstalledClock &operator=(const InstalledClock &) = delete;
};
