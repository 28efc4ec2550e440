// SPDX-License-Identifier: GPL-3.0-or-later
// What reaches the desktop session at a time's up besides the window: the notice sent
// to its notification service, and the horn, or a word on why it is silent.
#include "logic/DesktopNotifications.h"
#include "support/TestSupport.h"
#include "ui/UiService.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QTest>

namespace {

// The desktop's notification service as the test's own: it keeps what it is sent.
class StandInNotifications : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    struct Received
    {
        QString applicationName;
        uint replaces;
        QString icon;
        QString summary;
        QString body;
        QVariantMap hints;
        int timeout;
    };
    QList<Received> received;

public slots:
    uint Notify(const QString &applicationName, uint replaces, const QString &icon,
                const QString &summary, const QString &body, const QStringList &,
                const QVariantMap &hints, int timeout)
    {
        received.append({applicationName, replaces, icon, summary, body, hints, timeout});
        return uint(40 + received.size());
    }
};

const QString serviceName = QStringLiteral("org.freedesktop.Notifications");

} // namespace

class TestDesktop : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void alarmNoticeReachesTheService();
    void noServiceIsSaidOnce();
    void silentHornIsSaidOnce();

private:
    SessionBus m_bus; // before anything in this program uses the session bus
};

void TestDesktop::initTestCase()
{
    QVERIFY2(m_bus.isRunning(), "dbus-daemon did not start");
}

void TestDesktop::alarmNoticeReachesTheService()
{
    StandInNotifications service;
    QDBusConnection connection =
        QDBusConnection::connectToBus(m_bus.address(), QStringLiteral("service"));
    QVERIFY(connection.registerObject(QStringLiteral("/org/freedesktop/Notifications"), &service,
                                      QDBusConnection::ExportAllSlots));
    QVERIFY(connection.registerService(serviceName));

    const DesktopNotifications::Notice notice{
        QStringLiteral("RenamedTimer"), QStringLiteral("io.example.Kid"),
        QStringLiteral("io.example.Kid"), QStringLiteral("RenamedTimer"),
        QStringLiteral("Time's Up!")};
    DesktopNotifications::sendAlarm(notice);
    QTRY_COMPARE_WITH_TIMEOUT(service.received.size(), 1, 30000);
    // The next alarm's notice takes the place of the first, once the first's answer is
    // back: the bus answers in order, so a later call's answer comes after it, and the
    // event loop hands it on.
    QVERIFY(QDBusConnection::sessionBus().interface()->isServiceRegistered(serviceName).isValid());
    QCoreApplication::processEvents();
    DesktopNotifications::sendAlarm(notice);
    QTRY_COMPARE_WITH_TIMEOUT(service.received.size(), 2, 30000);
    connection.unregisterService(serviceName);
    QDBusConnection::disconnectFromBus(QStringLiteral("service"));

    const StandInNotifications::Received &first = service.received.first();
    QCOMPARE(first.applicationName, QStringLiteral("RenamedTimer"));
    QCOMPARE(first.summary, QStringLiteral("RenamedTimer"));
    QCOMPARE(first.body, QStringLiteral("Time's Up!"));
    QCOMPARE(first.icon, QStringLiteral("io.example.Kid"));
    QCOMPARE(first.hints.value(QStringLiteral("urgency")).toInt(), 2);
    QCOMPARE(first.hints.value(QStringLiteral("sound-name")).toString(),
             QStringLiteral("alarm-clock-elapsed"));
    QCOMPARE(first.hints.value(QStringLiteral("desktop-entry")).toString(),
             QStringLiteral("io.example.Kid"));
    QCOMPARE(service.received.at(1).replaces, 41u);
}

// Runs after the service has gone: the bus answers that nobody owns the name.
void TestDesktop::noServiceIsSaidOnce()
{
    QVERIFY(!QDBusConnection::sessionBus().interface()->isServiceRegistered(serviceName).value());
    StandardErrorCapture standardError;
    for (int alarm = 0; alarm < 3; ++alarm)
        DesktopNotifications::sendAlarm({QStringLiteral("RenamedTimer"),
                                         {},
                                         {},
                                         QStringLiteral("RenamedTimer"),
                                         QStringLiteral("Time's Up!")});
    // The bus answers in order: once a later call has its answer, so have these three,
    // and they are handled once the event loop has run.
    QVERIFY(QDBusConnection::sessionBus().interface()->isServiceRegistered(serviceName).isValid());
    QTRY_VERIFY_WITH_TIMEOUT(standardError.peek().contains(QLatin1Char('\n')), 30000);
    QCoreApplication::processEvents();
    const QString written = standardError.text();
    QCOMPARE(written.count(QLatin1Char('\n')), 1);
    QVERIFY2(written.startsWith(QLatin1String("RenamedTimer: the desktop was not notified")),
             qPrintable(written));
}

// No sound server answers here (the test points the sound system at none): the horn
// is silent, which is said once, whatever the number of alarms.
void TestDesktop::silentHornIsSaidOnce()
{
    TestHome home;
    StandardErrorCapture standardError;
    UiService::setSoundModuleFolder(QStringLiteral(TURNKEEPER_SOUND_MODULE_DIR));
    ui().prepareSounds({QStringLiteral("horn.wav")});
    for (int alarm = 0; alarm < 3; ++alarm)
        ui().playSound(QStringLiteral("horn.wav"));
    const QString written = standardError.text();
    const QStringList said =
        written.split(QLatin1Char('\n'), Qt::SkipEmptyParts).filter(QStringLiteral("silent"));
    QCOMPARE(said.size(), 1);
    QVERIFY2(said.first().contains(QLatin1String("horn.wav is silent: there is no audio output")),
             qPrintable(written));
}

int main(int argc, char *argv[])
{
    // No sound server for this program, whatever the machine runs.
    qputenv("PULSE_SERVER", "unix:/nonexistent/turnkeeper-test");
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    TestDesktop test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_desktop.moc"
