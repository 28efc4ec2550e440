// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDBusConnection>
#include <QObject>

#include <functional>

// Asks polkit whether the process behind a bus connection may do an action, allowing
// the desktop's agent to ask its person for an administrator's password: the only way a
// caller proves to be a parent with the rights to change the family's rules.
class Authority : public QObject
{
    Q_OBJECT
public:
    // The agent's dialog waits for a person.
    static constexpr int AnswerTimeoutMs = 5 * 60 * 1000;

    explicit Authority(const QDBusConnection &bus, QObject *parent = nullptr);

    // Calls done with whether polkit authorises it, and why not for the log.
    void check(const QString &busName, const QString &action,
               std::function<void(bool authorised, const QString &why)> done);

private:
    QDBusConnection m_bus;
};
