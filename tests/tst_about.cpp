// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/frmMain.h"
#include "logic/SysInfoLauncher.h"
#include "support/TestSupport.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

namespace {

// A machine of our own making: a PATH folder and data folders of a temporary folder
// ("@DIR@" in the test data), so the machine running the test stays out of it.
class FakeMachine
{
public:
    FakeMachine()
    {
        for (const char *name : {"PATH", "XDG_DATA_HOME", "XDG_DATA_DIRS"})
            m_saved << qMakePair(QByteArray(name), qgetenv(name));
        QDir().mkpath(m_dir.filePath(QStringLiteral("bin")));
        QDir().mkpath(m_dir.filePath(QStringLiteral("data/applications")));
        qputenv("PATH", QFile::encodeName(m_dir.filePath(QStringLiteral("bin"))));
        qputenv("XDG_DATA_HOME", QFile::encodeName(m_dir.filePath(QStringLiteral("home"))));
        qputenv("XDG_DATA_DIRS", QFile::encodeName(m_dir.filePath(QStringLiteral("data"))));
    }
    ~FakeMachine()
    {
        for (const auto &[name, value] : std::as_const(m_saved)) {
            if (value.isEmpty())
                qunsetenv(name.constData());
            else
                qputenv(name.constData(), value);
        }
    }
    FakeMachine(const FakeMachine &) = delete;
    FakeMachine &operator=(const FakeMachine &) = delete;

    // A program that leaves its own name and arguments in a file; "!" in front of the
    // path: the file may not be executed.
    void addProgram(QString path) const
    {
        const bool executable = !path.startsWith(QLatin1Char('!'));
        path = m_dir.filePath(executable ? path : path.mid(1));
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            QFAIL("cannot write a program");
        file.write("#!/bin/sh\necho \"${0##*/}\" \"$@\" > '" + QFile::encodeName(ranFile()) +
                   "'\n");
        file.setPermissions(QFile::ReadOwner | QFile::WriteOwner |
                            (executable ? QFile::ExeOwner : QFile::Permissions()));
    }

    // "id=Exec value".
    void addDesktopEntry(const QString &entry) const
    {
        const QString id = entry.section(QLatin1Char('='), 0, 0);
        QString exec = entry.section(QLatin1Char('='), 1);
        QFile file(m_dir.filePath(QStringLiteral("data/applications/") + id));
        if (!file.open(QIODevice::WriteOnly))
            QFAIL("cannot write an entry");
        file.write("[Desktop Entry]\nType=Application\nName=System\nExec=" +
                   exec.replace(QStringLiteral("@DIR@"), m_dir.path()).toUtf8() +
                   "\n\n[Desktop Action Other]\nExec=wrong\n");
    }

    // Starts a program of the test's own, after anything the window may have started,
    // and waits until it has run: what the window started by mistake has had as long.
    bool settle() const
    {
        const QString done = m_dir.filePath(QStringLiteral("settled"));
        if (!QProcess::startDetached(QStringLiteral("/bin/sh"),
                                     {QStringLiteral("-c"), QStringLiteral("echo > \"$0\""), done}))
            return false;
        return QTest::qWaitFor([&] { return QFile::exists(done); }, 30000);
    }

    QString ran() const
    {
        QFile file(ranFile());
        return file.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(file.readAll()).trimmed()
                                              : QString();
    }

private:
    QString ranFile() const { return m_dir.filePath(QStringLiteral("ran")); }

    QTemporaryDir m_dir;
    QList<QPair<QByteArray, QByteArray>> m_saved;
};

// A main window from which the About window is opened through Help > About.
struct Session : MainWindowFixture
{
    // Runs act on the About window; true when it closed before the driver had to close it.
    bool openAbout(const ModalDriver::Action &act) const { return open("mnuAbout", act); }
};

QPushButton *button(QWidget *about, const char *name)
{
    return about->findChild<QPushButton *>(QString::fromLatin1(name));
}

} // namespace

class TestAbout : public QObject
{
    Q_OBJECT
private slots:
    void showsTheProgramsOwnTexts();
    void keys_data();
    void keys();
    void launcher_data();
    void launcher();
};

void TestAbout::showsTheProgramsOwnTexts()
{
    Session session;
    // The picture comes from the current directory's "face.ico", read at the opening.
    QFile::remove(QStringLiteral("face.ico"));
    QVERIFY(QFile::copy(QStringLiteral("frown.ico"), QStringLiteral("face.ico")));

    QStringList texts;
    QImage picture;
    QSizeF pictureSize;
    QVERIFY(session.openAbout([&](QWidget *about) {
        texts << about->windowTitle();
        for (const char *name : {"lblTitle", "lblVersion", "lblDescription"})
            texts << about->findChild<QLabel *>(QString::fromLatin1(name))->text();
        texts << about->findChild<QLabel *>(QStringLiteral("lblVersion"))->accessibleName();
        texts << button(about, "cmdSysInfo")->text() << about->focusWidget()->objectName();
        const QLabel *image = about->findChild<QLabel *>(QStringLiteral("Image1"));
        picture = image->pixmap().toImage().convertToFormat(QImage::Format_ARGB32);
        pictureSize = image->pixmap().deviceIndependentSize();
        button(about, "cmdOK")->click();
    }));

    QCOMPARE(texts, QStringList({
                        QStringLiteral("About TurnKeeper"),
                        QStringLiteral("TurnKeeper"),
                        QStringLiteral("Version 1.0.8"),
                        QStringLiteral("Set a timer to settle disagreements between your kids!!"),
                        QStringLiteral("TurnKeeper Version 1.0.8"),
                        QStringLiteral("&System Info..."),
                        QStringLiteral("cmdOK"),
                    }));
    // The 96-pixel drawing is the smallest that fills the 80-pixel box on this screen.
    QVERIFY(picture == iconPicture(QStringLiteral("frown.ico"), 96));
    QCOMPARE(pictureSize, QSizeF(80, 80));
}

void TestAbout::keys_data()
{
    QTest::addColumn<QString>("focus");
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("closes");
    QTest::newRow("Escape on OK") << QStringLiteral("cmdOK") << int(Qt::Key_Escape) << true;
    QTest::newRow("Escape on System Info")
        << QStringLiteral("cmdSysInfo") << int(Qt::Key_Escape) << true;
    QTest::newRow("Enter on OK") << QStringLiteral("cmdOK") << int(Qt::Key_Return) << true;
    QTest::newRow("Enter on System Info presses it")
        << QStringLiteral("cmdSysInfo") << int(Qt::Key_Return) << false;
}

void TestAbout::keys()
{
    QFETCH(QString, focus);
    QFETCH(int, key);
    QFETCH(bool, closes);

    FakeMachine machine; // with no system-information program
    Session session;
    bool open = true;
    QVERIFY(session.openAbout([&](QWidget *about) {
        QWidget *target = about->findChild<QWidget *>(focus);
        target->setFocus();
        QTest::keyClick(target, Qt::Key(key));
        open = about->isVisible();
        if (open)
            button(about, "cmdOK")->click();
    }));

    QCOMPARE(open, !closes);
    QCOMPARE(session.recorder.messages.size(), closes ? 0 : 1);
}

void TestAbout::launcher_data()
{
    const QStringList known = SysInfoLauncher::programNames();
    const QStringList entries = SysInfoLauncher::desktopEntryIds();
    QVERIFY(known.size() >= 4 && entries.size() >= 2);

    QTest::addColumn<QStringList>("programs");
    QTest::addColumn<QStringList>("desktopEntries");
    QTest::addColumn<QString>("expectedRun"); // empty: the message is expected

    QTest::newRow("first known program on the PATH")
        << QStringList{QStringLiteral("bin/") + known.at(3), QStringLiteral("bin/") + known.at(1)}
        << QStringList() << known.at(1);
    QTest::newRow("PATH before application entries")
        << QStringList{QStringLiteral("bin/") + known.at(2), QStringLiteral("opt/sysinfo")}
        << QStringList{entries.at(0) + QStringLiteral("=@DIR@/opt/sysinfo")} << known.at(2);
    QTest::newRow("entry with a quoted path and field codes")
        << QStringList{QStringLiteral("opt/system info/overview")}
        << QStringList{entries.at(1) +
                       QStringLiteral("=\"@DIR@/opt/system info/overview\" --panel %U 100%%")}
        << QStringLiteral("overview --panel 100%");
    QTest::newRow("entry naming a program on the PATH, after one whose program is missing")
        << QStringList{QStringLiteral("bin/desk-info")}
        << QStringList{entries.at(0) + QStringLiteral("=@DIR@/opt/missing"),
                       entries.at(1) + QStringLiteral("=desk-info --all")}
        << QStringLiteral("desk-info --all");
    QTest::newRow("nothing installed") << QStringList() << QStringList() << QString();
    QTest::newRow("unknown program and entry")
        << QStringList{QStringLiteral("bin/sysinfo-tool")}
        << QStringList{QStringLiteral("other.desktop=sysinfo-tool")} << QString();
    QTest::newRow("known name on the PATH, not executable")
        << QStringList{QStringLiteral("!bin/") + known.at(0)} << QStringList() << QString();
    QTest::newRow("entry whose program cannot be started")
        << QStringList{QStringLiteral("!opt/sysinfo")}
        << QStringList{entries.at(0) + QStringLiteral("=@DIR@/opt/sysinfo")} << QString();
}

void TestAbout::launcher()
{
    QFETCH(QStringList, programs);
    QFETCH(QStringList, desktopEntries);
    QFETCH(QString, expectedRun);

    FakeMachine machine;
    for (const QString &program : std::as_const(programs))
        machine.addProgram(program);
    for (const QString &entry : std::as_const(desktopEntries))
        machine.addDesktopEntry(entry);

    Session session;
    bool openAfterPress = false;
    QVERIFY(session.openAbout([&](QWidget *about) {
        button(about, "cmdSysInfo")->click();
        openAfterPress = about->isVisible();
        button(about, "cmdOK")->click();
    }));
    QVERIFY(openAfterPress);

    if (!expectedRun.isEmpty()) {
        QCOMPARE(session.recorder.messages.size(), 0);
        QTRY_COMPARE_WITH_TIMEOUT(machine.ran(), expectedRun, 10000);
        return;
    }
    QCOMPARE(session.recorder.messages.size(), 1);
    const RecordingUi::Message &message = session.recorder.messages.constFirst();
    QCOMPARE(message.text, QStringLiteral("System Information Is Unavailable At This Time"));
    QCOMPARE(message.icon, UiService::MessageIcon::Exclamation);
    QCOMPARE(message.title, QStringLiteral("tst_about"));
    // Nothing turns up late either.
    QVERIFY(machine.settle());
    QCOMPARE(machine.ran(), QString());
}

QTEST_MAIN(TestAbout)
#include "tst_about.moc"
