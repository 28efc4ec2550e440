// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "logic/TurnLogWire.h"

#include <QDBusContext>
#include <QObject>

#include <functional>
#include <optional>

class Guard;

// The guard's face on the bus, io.github.turnkeeper.Guard1 (its adaptor is generated
// from the interface's file): every argument is checked and bounded before anything
// else, and a call that passes is answered once the bus has said, without the guard
// waiting for it, which account makes it. Nothing the caller says of itself counts.
class GuardBus : public QObject, protected QDBusContext
{
    Q_OBJECT
public:
    // Calls waiting for the bus to name their account; more are refused at once.
    static constexpr int MostWaiting = 256;
    // Bytes of UTF-8 in a password; UTF-16 units in a child's name.
    static constexpr int LongestPassword = 1024;
    static constexpr int LongestChild = 160;
    // Entries of a rule's list, and rules in one change.
    static constexpr int MostEntries = 64;
    // What libdbus may hold read and not yet freed before it reads on: any call larger
    // than this is taken alone.
    static constexpr long MostReadBytes = 16 * 1024 * 1024;

    explicit GuardBus(Guard &guard, QObject *parent = nullptr);

    // Calls are then taken on Qt's own bus thread as they are read: one that is refused
    // for its size is freed before the next is read, and the guard's thread never holds
    // more than the calls it answers.
    void moveToBusThread(const QDBusConnection &bus);

public slots:
    QString Turn(uint &length, uint &elapsed, QString &child, uint &breakLeft);
    QList<TurnLog::Entry> Turns();
    void Start(const QString &child);
    void StartWithPassword(const QString &child, const QString &password);
    void Stop(const QString &password);
    bool CheckPassword(const QString &password);
    void Attach();
    QVariantMap Rules();
    void SetRules(const QVariantMap &rules);

private:
    // Answers the call being delivered later, with what answer makes of the caller's
    // account: a reply, or an error; nothing when the guard answers it itself.
    void
    answer(std::function<std::optional<QDBusMessage>(uint uid, const QDBusMessage &call)> answer);
    bool tooLong(const QString &child, const std::optional<QString> &password);

    // Lives on the guard's thread.
    Guard &m_guard;
    int m_waiting = 0;
};
