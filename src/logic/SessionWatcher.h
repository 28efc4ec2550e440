// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

class QSocketNotifier;

// Turns SIGTERM, SIGHUP and SIGINT into a signal delivered on the event loop, so the
// main window can save and unload when the session ends. The signal handler only
// writes one byte to a socket pair; everything else happens in the event loop.
// One watcher at a time.
class SessionWatcher : public QObject
{
    Q_OBJECT
public:
    explicit SessionWatcher(QObject *parent = nullptr);
    ~SessionWatcher() override;

signals:
    void sessionEnding(int signalNumber);

private:
    void readSignal();

    QSocketNotifier *m_notifier = nullptr;
};
