// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "guard/Authority.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QObject>
#include <QThreadPool>
#include <QVariantMap>

// A change of the family's rules asked for on the bus: checked as turnkeeper-lock checks
// it, authorised by polkit for the caller's connection (an administrator's password,
// asked by the desktop's agent), then written as turnkeeper-lock writes the lock; the
// call is answered once that is done or refused.
class RulesChange : public QObject
{
    Q_OBJECT
public:
    RulesChange(const QDBusConnection &bus, const QString &lockFile, QObject *parent = nullptr);
    ~RulesChange() override;

    void ask(uint uid, const QDBusMessage &call, const QVariantMap &wire);

signals:
    // The lock was written or removed.
    void written();

private:
    void write(const QDBusMessage &call, const QVariantMap &wire);

    QDBusConnection m_bus;
    QString m_lockFile;
    Authority m_authority;
    // Last: its lookups end before anything they report to goes.
    QThreadPool m_lookups;
};
