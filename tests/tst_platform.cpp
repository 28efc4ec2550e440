// SPDX-License-Identifier: GPL-3.0-or-later
#include "logic/Platform.h"

#include <QTest>

class TestPlatform : public QObject
{
    Q_OBJECT
private slots:
    void choice_data();
    void choice();
};

void TestPlatform::choice_data()
{
    // Each row is a session: its variables as "NAME=value" (an empty value is set but
    // empty), and the platform the program asks Qt for ("" leaves Qt's own choice).
    QTest::addColumn<QStringList>("variables");
    QTest::addColumn<QByteArray>("platform");

    QTest::newRow("X11 session") << QStringList{"DISPLAY=:0", "XDG_SESSION_TYPE=x11"}
                                 << QByteArray();
    QTest::newRow("X display without a session type") << QStringList{"DISPLAY=:0"} << QByteArray();
    QTest::newRow("Wayland with XWayland")
        << QStringList{"WAYLAND_DISPLAY=wayland-0", "DISPLAY=:0", "XDG_SESSION_TYPE=wayland"}
        << QByteArray("xcb");
    QTest::newRow("Wayland socket and X display, no session type")
        << QStringList{"WAYLAND_DISPLAY=wayland-0", "DISPLAY=:1"} << QByteArray("xcb");
    QTest::newRow("Wayland session type and X display, no socket name")
        << QStringList{"XDG_SESSION_TYPE=wayland", "DISPLAY=:0"} << QByteArray("xcb");
    QTest::newRow("Wayland only") << QStringList{"WAYLAND_DISPLAY=wayland-0",
                                                 "XDG_SESSION_TYPE=wayland"}
                                  << QByteArray();
    QTest::newRow("Wayland only, empty X display")
        << QStringList{"WAYLAND_DISPLAY=wayland-0", "DISPLAY="} << QByteArray();
    QTest::newRow("empty Wayland socket on X11")
        << QStringList{"WAYLAND_DISPLAY=", "DISPLAY=:0", "XDG_SESSION_TYPE=x11"} << QByteArray();
    QTest::newRow("text console") << QStringList{"XDG_SESSION_TYPE=tty"} << QByteArray();
    QTest::newRow("nothing set") << QStringList{} << QByteArray();
    QTest::newRow("platform already chosen: wayland")
        << QStringList{"QT_QPA_PLATFORM=wayland", "WAYLAND_DISPLAY=wayland-0", "DISPLAY=:0"}
        << QByteArray();
    QTest::newRow("platform already chosen: offscreen")
        << QStringList{"QT_QPA_PLATFORM=offscreen", "XDG_SESSION_TYPE=wayland", "DISPLAY=:0"}
        << QByteArray();
    QTest::newRow("empty platform counts as unset")
        << QStringList{"QT_QPA_PLATFORM=", "WAYLAND_DISPLAY=wayland-0", "DISPLAY=:0"}
        << QByteArray("xcb");
}

void TestPlatform::choice()
{
    QFETCH(QStringList, variables);
    QFETCH(QByteArray, platform);

    QProcessEnvironment env;
    for (const QString &variable : variables) {
        const qsizetype equals = variable.indexOf(QLatin1Char('='));
        env.insert(variable.left(equals), variable.mid(equals + 1));
    }
    QCOMPARE(Platform::choosePlatform(env), platform);
}

QTEST_GUILESS_MAIN(TestPlatform)
#include "tst_platform.moc"
