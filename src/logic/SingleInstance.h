// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

// One program per desktop session, as desktop programs do it: the first start owns a
// name on the session bus; a later start asks it to come forward and then ends, so that
// two copies never count two turns over one record. Without a session bus every start
// runs on its own.
class SingleInstance : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "io.github.turnkeeper.TurnKeeper1")

public:
    static inline const QString serviceName = QStringLiteral("io.github.turnkeeper.TurnKeeper");
    static inline const QString objectPath = QStringLiteral("/io/github/turnkeeper/TurnKeeper");

    using QObject::QObject;

    // True for the first start in the session (and where no session bus answers);
    // false when another copy runs, which has then been asked to come forward.
    bool claim();

public slots:
    // Called over the bus by a later start.
    Q_SCRIPTABLE void Activate();

signals:
    void activated();
};
