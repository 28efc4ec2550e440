// SPDX-License-Identifier: GPL-3.0-or-later
// The program as a view of the guard: the guard and the program's side of it on a private
// bus, in one process with a clock the test moves. What the program shows and hears comes
// from the guard, and the guard's time's up reaches a program started after it.
#include "Guard1Adaptor.h"
#include "guard/Guard.h"
#include "guard/GuardBus.h"
#include "guard/GuardLink.h"
#include "logic/PasswordHash.h"
#include "logic/SystemLock.h"
#include "logic/TurnSession.h"
#include "support/TestSupport.h"
#include "ui/TimeLeftBar.h"
#include "ui/WindowSystem.h"

#include "app/frmMain.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString parentPassword = QStringLiteral("Apfel 7");

QString answerText(const GuardLink::Answer &answer)
{
    switch (answer.kind) {
    case GuardLink::Answer::Kind::Done:
        return QStringLiteral("done");
    case GuardLink::Answer::Kind::WrongPassword:
        return QStringLiteral("wrong");
    case GuardLink::Answer::Kind::Refused:
        break;
    }
    return answer.error.section(QLatin1Char('.'), -1);
}

// What the program on that connection answers when asked, as the guard asks, to show the
// time's up: "asked:yes", "asked:no" or the error.
QString askedToShow(const QDBusConnection &program)
{
    const QDBusMessage ask =
        QDBusMessage::createMethodCall(program.baseService(), GuardProtocol::windowPath,
                                       GuardProtocol::windowInterface, GuardProtocol::showTimeUp);
    // The program answers from this thread's event loop.
    const QDBusMessage answer = QDBusConnection::sessionBus().call(ask, QDBus::BlockWithGui, 5000);
    if (answer.type() != QDBusMessage::ReplyMessage || answer.arguments().size() != 1)
        return QStringLiteral("asked:") + answer.errorName();
    return answer.arguments().constFirst().toBool() ? QStringLiteral("asked:yes")
                                                    : QStringLiteral("asked:no");
}

QString barText(const MainWindowFixture &fixture)
{
    return fixture.bar->isTextVisible() ? fixture.bar->text() : QString();
}

} // namespace

class TestGuardLink : public QObject
{
    Q_OBJECT
private slots:
    void noLockNoLink_data();
    void noLockNoLink();
    void onScreen_data();
    void onScreen();
    void followsTheGuard_data();
    void followsTheGuard();
    void windowThroughTheGuard_data();
    void windowThroughTheGuard();

private:
    SessionBus m_bus; // before anything in this program uses the session bus
};

// The guard in this process, on its own connection to the private bus, with a lock of
// one-minute turns and the parent password's hash beside it. It can leave the bus and
// come back, as a guard that crashed or is upgraded, and its lock can be lifted.
class GuardOnBus
{
public:
    // lockFile: where the lock goes, in a folder of the guard's own unless given;
    // children: the order the lock sets.
    explicit GuardOnBus(std::optional<qint32> breakSeconds, bool locked = true,
                        const QString &lockFile = QString(),
                        const QStringList &children = QStringList())
        : m_lockFile(lockFile.isEmpty() ? m_dir.filePath(QStringLiteral("TurnKeeper.conf"))
                                        : lockFile)
    {
        m_rules.maxTime = 60;
        m_rules.breakSeconds = breakSeconds;
        m_rules.children = children;
        write(m_lockFile, locked ? lockText() : QByteArray());
        write(SystemLock::hashFileFor(m_lockFile), PasswordHash::make(parentPassword).toUtf8());
        up();
    }
    ~GuardOnBus() { down(); }

    static QString address() { return qEnvironmentVariable("DBUS_SESSION_BUS_ADDRESS"); }

    QByteArray lockText() const { return SystemLock::contentsWithoutHash(m_rules); }

    // On the bus, having taken up what it kept.
    void up()
    {
        if (m_guard)
            return;
        m_connection.emplace(QDBusConnection::connectToBus(address(), QStringLiteral("guard")));
        m_guard = std::make_unique<Guard>(*m_connection, m_lockFile, m_dir.filePath("state"),
                                          QCoreApplication::applicationFilePath());
        m_surface = std::make_unique<GuardBus>(*m_guard);
        new Guard1Adaptor(m_surface.get());
        m_connection->registerObject(GuardProtocol::path, m_surface.get());
        m_guard->takeUp();
        m_connection->registerService(GuardProtocol::service);
    }
    // Off the bus, its name free.
    void down()
    {
        m_surface.reset();
        m_guard.reset();
        m_connection.reset();
        QDBusConnection::disconnectFromBus(QStringLiteral("guard"));
    }
    // The administrator lifts the lock.
    void lift() { write(m_lockFile, QByteArray()); }

private:
    static void write(const QString &path, const QByteArray &contents)
    {
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(contents);
    }

    QTemporaryDir m_dir;
    QString m_lockFile;
    SystemLock::Rules m_rules;
    std::optional<QDBusConnection> m_connection;
    std::unique_ptr<Guard> m_guard;
    std::unique_ptr<GuardBus> m_surface;
};

// A start of the program: its own connection, its link to the guard, and the session
// that shows the guard's turn (under the order the lock in XDG_CONFIG_DIRS sets), with
// what its signals said. Its time's up is on the screen while onScreen says so; once the guard
// releases it, it keeps its own turns, two minutes long.
class ProgramOnBus
{
public:
    static constexpr qint32 ownLength = 120;

    explicit ProgramOnBus(int number)
        : m_name(QStringLiteral("program%1").arg(number)),
          m_connection(QDBusConnection::connectToBus(GuardOnBus::address(), m_name))
    {
        link = GuardLink::connectTo(m_connection);
        if (!link)
            return;
        session.loadKeptElsewhere(SystemLock::read(SystemLock::Reporting::Quiet).rules().children);
        QObject::connect(&session, &TurnSession::started, [this] { heard << "started"; });
        QObject::connect(&session, &TurnSession::stopped, [this] { heard << "stopped"; });
        QObject::connect(&session, &TurnSession::warning, [this] { heard << "warning"; });
        QObject::connect(&session, &TurnSession::timeUp,
                         [this](const QString &whose) { heard << "timeUp:" + whose; });
        QObject::connect(link.get(), &GuardLink::released, [this] {
            heard << "released";
            session.keepHere(ownLength);
        });
        link->showIn(&session, [this] { return onScreen; });
        link->attach();
    }
    // Killed: its connection is gone at once.
    ~ProgramOnBus()
    {
        link.reset();
        QDBusConnection::disconnectFromBus(m_name);
    }

    QString next() const
    {
        return session.children().isEmpty() ? QString() : session.children().next();
    }

    const QDBusConnection &connection() const { return m_connection; }

    QStringList heard;
    TurnSession session;
    std::unique_ptr<GuardLink> link;
    bool onScreen = true;

private:
    QString m_name;
    QDBusConnection m_connection;
};

// Where the program looks for the guard: only where its lock gives the guard the turn,
// at the bus the lock names, whatever DBUS_SYSTEM_BUS_ADDRESS says; and what it finds.
void TestGuardLink::noLockNoLink_data()
{
    QTest::addColumn<QString>("guard"); // on the bus: none, unlocked (its lock lifted), locked
    QTest::addColumn<QString>("lock");  // the program's: none, password (its own hash), guard
    QTest::addColumn<QString>("link");  // no bus, none (its own turn), down, up

    const auto row = [](const char *name, const char *guard, const char *lock, const char *link) {
        QTest::newRow(name) << QString::fromLatin1(guard) << QString::fromLatin1(lock)
                            << QString::fromLatin1(link);
    };
    row("no lock: no bus, whoever answers", "locked", "none", "no bus");
    row("a lock the program opens itself: no bus", "locked", "password", "no bus");
    row("a lock for the guard: the bus it names, not the environment's", "locked", "guard", "up");
    row("a guard that keeps no turn: no link, the program keeps its own", "unlocked", "guard",
        "none");
    row("no guard on the bus: a link that is down, and no turn", "none", "guard", "down");
}

void TestGuardLink::noLockNoLink()
{
    QFETCH(QString, guard);
    QFETCH(QString, lock);
    QFETCH(QString, link);
    QVERIFY(m_bus.isRunning());
    const TestHome home;
    std::optional<GuardOnBus> running;
    if (guard != QLatin1String("none"))
        running.emplace(std::nullopt, guard == QLatin1String("locked"));
    SystemLock::Rules rules;
    // A lock names a socket alone, without the bus's id.
    rules.guardBus = m_bus.address().section(QLatin1Char(','), 0, 0);
    if (lock == QLatin1String("guard"))
        home.writeSystemLock(SystemLock::contentsWithoutHash(rules));
    else if (lock == QLatin1String("password"))
        home.writeSystemLock(SystemLock::contents(PasswordHash::make(parentPassword), 60));
    // Where a child would point the program at a guard of the child's own.
    const QByteArray systemBus = qgetenv("DBUS_SYSTEM_BUS_ADDRESS");
    qputenv("DBUS_SYSTEM_BUS_ADDRESS", "unix:path=/nonexistent/bus");

    std::optional<QDBusConnection> bus =
        GuardLink::busFor(SystemLock::read(SystemLock::Reporting::Quiet));
    QString found = QStringLiteral("no bus");
    if (bus) {
        std::unique_ptr<GuardLink> reached = GuardLink::connectTo(*bus);
        found = !reached          ? QStringLiteral("none")
                : reached->isUp() ? QStringLiteral("up")
                                  : QStringLiteral("down");
        reached.reset();
        QDBusConnection::disconnectFromBus(bus->name());
    }
    qputenv("DBUS_SYSTEM_BUS_ADDRESS", systemBus);
    QCOMPARE(found, link);
}

// The guard hears that a time's up shows only from a window a person can see: exposed,
// on X11 or Wayland.
void TestGuardLink::onScreen_data()
{
    QTest::addColumn<QString>("platform");
    QTest::addColumn<bool>("shown");
    QTest::addColumn<bool>("seen");
    QTest::newRow("shown on X11") << "xcb" << true << true;
    QTest::newRow("shown on Wayland") << "wayland" << true << true;
    QTest::newRow("drawn offscreen") << "offscreen" << true << false;
    QTest::newRow("drawn on the minimal platform") << "minimal" << true << false;
    QTest::newRow("hidden on X11") << "xcb" << false << false;
}

void TestGuardLink::onScreen()
{
    QFETCH(QString, platform);
    QFETCH(bool, shown);
    QFETCH(bool, seen);
    QWidget window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    if (!shown) {
        window.hide();
        QTRY_VERIFY(!window.windowHandle()->isExposed());
    }
    QCOMPARE(WindowSystem::onScreen(&window, platform), seen);
}

// Each row runs a script on a guard with one-minute turns and a program of the account:
//   start (Start for the child who is next), pw (the same with the parent password),
//   stop:P and check:P (with the password P; "parent" is the right one), +N (the clock
//   moves N ms, then the program's tick), ask (the program asks the guard for the turn),
//   kill (the program ends without a word), restart (the program starts again).
// The guard's answers are listed as "start:done", "stop:wrong", "check:TooManyTries"...
// Then what the last program shows and what its signals said are compared.
void TestGuardLink::followsTheGuard_data()
{
    QTest::addColumn<int>("breakMinutes"); // 0: none
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<int>("state");
    QTest::addColumn<int>("elapsed");
    QTest::addColumn<QString>("next");
    QTest::addColumn<QStringList>("answers");
    QTest::addColumn<QStringList>("said"); // since the last start of the program
    QTest::addColumn<QString>("order");    // the children the lock lists; empty: none

    const int ready = int(TurnSession::State::Ready);
    const int running = int(TurnSession::State::Running);
    const int timeUp = int(TurnSession::State::TimeUp);
    const auto words = [](const char *text) {
        return QString::fromLatin1(text).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    };

    QTest::newRow("a turn started through the guard runs here")
        << 0 << words("start +1000 +1000") << running << 2 << QStringLiteral("Ann")
        << words("start:done") << words("started") << QString();
    QTest::newRow("its end shows once, and the turns pass on")
        << 0 << words("start +60000 ask") << timeUp << 0 << QStringLiteral("Ben")
        << words("start:done") << words("started timeUp:Ann") << QString();
    QTest::newRow("started again mid-turn, the guard's count goes on")
        << 0 << words("start +30000 kill restart +1000") << running << 31 << QStringLiteral("Ann")
        << words("start:done") << words("started") << QString();
    QTest::newRow("killed mid-turn, the next start shows its time's up")
        << 0 << words("start kill +61000 restart") << timeUp << 0 << QStringLiteral("Ben")
        << words("start:done") << words("timeUp:Ann") << QString();
    QTest::newRow("a time's up already shown is not shown again")
        << 0 << words("start +60000 ask kill restart") << ready << 0 << QStringLiteral("Ben")
        << words("start:done") << QStringList() << QString();
    QTest::newRow("the right password stops the turn")
        << 0 << words("start +5000 stop:parent") << ready << 0 << QStringLiteral("Ann")
        << words("start:done stop:done") << words("started stopped") << QString();
    QTest::newRow("a wrong password stops nothing")
        << 0 << words("start +5000 stop:Apfel") << running << 5 << QStringLiteral("Ann")
        << words("start:done stop:wrong") << words("started") << QString();
    QTest::newRow("wrong passwords in a row are checked more slowly")
        << 0 << words("check:a check:b check:c check:d check:e check:parent") << ready << 0
        << QStringLiteral("Ann")
        << words("check:wrong check:wrong check:wrong check:wrong check:wrong "
                 "check:TooManyTries")
        << QStringList() << QString();
    QTest::newRow("during the break a start needs the parent password")
        << 1 << words("start +60000 ask start pw") << running << 0 << QStringLiteral("Ben")
        << words("start:done start:OnBreak pw:done") << words("started timeUp:Ann started")
        << QString();
    QTest::newRow("after the break a start is free again")
        << 1 << words("start +60000 ask +60000 start") << running << 0 << QStringLiteral("Ben")
        << words("start:done start:done") << words("started timeUp:Ann started") << QString();
    QTest::newRow("a time's up nobody can see is not said to show")
        << 0 << words("start +60000 ask asked offscreen asked") << timeUp << 0
        << QStringLiteral("Ben") << words("start:done asked:yes asked:no")
        << words("started timeUp:Ann") << QString();
    QTest::newRow("with no guard answering nothing starts, and the program is told why")
        << 0 << words("down kill restart start") << ready << 0 << QStringLiteral("Ann")
        << words("start:NoAnswer") << QStringList() << QString();
    QTest::newRow("a guard that comes back is followed without being asked")
        << 0 << words("start +1000 down kill restart up +1000") << running << 2
        << QStringLiteral("Ann") << words("start:done") << words("started") << QString();
    QTest::newRow("once the lock is lifted the running turn goes on here to its own end")
        << 0 << words("start +1000 lift +59000") << timeUp << 0 << QStringLiteral("Ben")
        << words("start:done") << words("started released timeUp:Ann") << QString();
    QTest::newRow("under the lock's order the guard's next child has the turn")
        << 0 << words("start +60000 ask") << timeUp << 0 << QStringLiteral("Ben")
        << words("start:done") << words("started timeUp:Cy") << QStringLiteral("Cy, Ben");
    QTest::newRow("under the lock's order a new start hears from the guard who is next")
        << 0 << words("start +60000 ask kill restart") << ready << 0 << QStringLiteral("Ben")
        << words("start:done") << QStringList() << QStringLiteral("Cy, Ben");
}

void TestGuardLink::followsTheGuard()
{
    QFETCH(int, breakMinutes);
    QFETCH(QStringList, steps);
    QFETCH(int, state);
    QFETCH(int, elapsed);
    QFETCH(QString, next);
    QFETCH(QStringList, answers);
    QFETCH(QStringList, said);
    QFETCH(QString, order);

    TestHome home;
    ManualTurnClock clock;
    const InstalledClock installed(&clock);
    // The lock where the program reads it too, for the order it sets.
    GuardOnBus guard(breakMinutes ? std::optional(breakMinutes * 60) : std::nullopt, true,
                     home.systemLockFile(), order.split(QStringLiteral(", "), Qt::SkipEmptyParts));
    home.writeSettingsFile("[Children]\nNames=Ann, Ben, Cy\nNext=Ann\n");
    int starts = 0;
    QStringList heard; // the guard's answers
    auto program = std::make_unique<ProgramOnBus>(++starts);
    QVERIFY(program->link);
    for (const QString &step : steps) {
        const QString password = step.section(QLatin1Char(':'), 1) == QLatin1String("parent")
                                     ? parentPassword
                                     : step.section(QLatin1Char(':'), 1);
        if (step == QLatin1String("start")) {
            heard << "start:" + answerText(program->link->start(program->next()));
        } else if (step == QLatin1String("pw")) {
            heard << "pw:" + answerText(
                                 program->link->startWithPassword(program->next(), parentPassword));
        } else if (step.startsWith(QLatin1String("stop:"))) {
            heard << "stop:" + answerText(program->link->stop(password));
        } else if (step.startsWith(QLatin1String("check:"))) {
            heard << "check:" + answerText(program->link->checkPassword(password));
        } else if (step.startsWith(QLatin1Char('+'))) {
            clock.advance(step.mid(1).toLongLong());
            if (program)
                program->session.update();
        } else if (step == QLatin1String("ask")) {
            QVERIFY(program->link->refresh());
        } else if (step == QLatin1String("kill")) {
            program.reset();
        } else if (step == QLatin1String("restart")) {
            program = std::make_unique<ProgramOnBus>(++starts);
            QVERIFY(program->link);
        } else if (step == QLatin1String("down")) {
            guard.down();
        } else if (step == QLatin1String("up")) {
            guard.up();
            QTRY_VERIFY(program->link->isUp());
        } else if (step == QLatin1String("lift")) {
            guard.lift();
            QTRY_VERIFY(program->heard.contains(QStringLiteral("released")));
        } else if (step == QLatin1String("asked")) {
            heard << askedToShow(program->connection());
        } else if (step == QLatin1String("offscreen")) {
            program->onScreen = false;
        } else {
            QFAIL(qPrintable(QStringLiteral("unknown step ") + step));
        }
    }
    // The guard asks for a time's up on its own time.
    QTRY_COMPARE(int(program->session.state()), state);
    QCOMPARE(program->session.elapsed(), elapsed);
    QCOMPARE(heard, answers);
    QCOMPARE(program->heard, said);
    QCOMPARE(program->next(), next);
}

// The window's own commands through the guard, on a guard of one-minute turns, under a
// lock the window reads as well:
//   start (the Start command), stop (Stop, the parent password typed at the prompt),
//   +N (the clock moves N ms, then a tick), gone (the window ends without a word),
//   back (a new start of the program), turns (the Turns window opens, and its rows are
//   counted), down and up (the guard leaves the bus, and comes back), lift (the
//   administrator lifts the lock), asked (the window is asked, as the guard asks, to show
//   the time's up), bar (what the bar says), children (Parents > Children... opens:
//   its names, whose turn is next, and whether it lets them be changed).
void TestGuardLink::windowThroughTheGuard_data()
{
    QTest::addColumn<int>("breakMinutes"); // 0: none
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QString>("status");
    QTest::addColumn<bool>("counting");
    QTest::addColumn<QString>("message");  // how the one message told begins
    QTest::addColumn<int>("rows");         // in the Turns window; -1: not opened
    QTest::addColumn<QString>("order");    // the children the lock lists; empty: none
    QTest::addColumn<QStringList>("seen"); // what the steps that look saw

    QTest::newRow("a turn started in the window is the guard's, shown by a new start")
        << 0 << "start +1000 gone +1000 back"
        << "Timer Started!" << true << QString() << -1 << QString() << QStringList();
    QTest::newRow("Stop with the parent password stops the guard's turn")
        << 0 << "start +1000 stop gone back"
        << "Timer Ready!" << false << QString() << -1 << QString() << QStringList();
    QTest::newRow("a window gone at the end shows the time's up when it comes back")
        << 0 << "start gone +61000 back"
        << "Time's Up!" << false << QString() << -1 << QString() << QStringList();
    QTest::newRow("during the break Start says until when, and the password starts a turn")
        << 1 << "start +60000 start"
        << "Timer Started!" << true << "Break until " << -1 << QString() << QStringList();
    QTest::newRow("the Turns window shows the guard's record, not the account's")
        << 0 << "start +61000 turns"
        << "Time's Up!" << false << QString() << 1 << QString() << QStringList();
    QTest::newRow("a time's up drawn offscreen is never said to show")
        << 0 << "start +61000 asked"
        << "Time's Up!" << false << QString() << -1 << QString() << QStringList({"asked:no"});
    QTest::newRow("with the guard not answering Start says so, and no turn runs")
        << 0 << "down gone back start"
        << "Timer Ready!" << false << "The guard does not answer, so no turn can start." << -1
        << QString() << QStringList();
    QTest::newRow("a window that waited for the guard shows its turn once it comes back")
        << 0 << "start +1000 down gone back up"
        << "Timer Started!" << true << QString() << -1 << QString() << QStringList();
    QTest::newRow("once the lock is lifted the window keeps the turn, and says so")
        << 0 << "start +1000 lift +29000 gone back +30000"
        << "Time's Up!" << false << "The parent lock is off" << -1 << QString() << QStringList();
    QTest::newRow("under the lock's order the bar and the children say the guard's next")
        << 0 << "start +61000 gone back bar children"
        << "Time's Up!" << false << QString() << -1 << "Cy, Ben"
        << QStringList({"bar:Next: Ben", "children:Cy, Ben | Next: Ben | shown only"});
}

void TestGuardLink::windowThroughTheGuard()
{
    QFETCH(int, breakMinutes);
    QFETCH(QString, steps);
    QFETCH(QString, status);
    QFETCH(bool, counting);
    QFETCH(QString, message);
    QFETCH(int, rows);
    QFETCH(QString, order);
    QFETCH(QStringList, seen);

    int starts = 0;
    const auto connection = [&starts] {
        return QDBusConnection::connectToBus(GuardOnBus::address(),
                                             QStringLiteral("window%1").arg(++starts));
    };
    int shownRows = -1;
    QStringList saw;
    // The guard's lock is the one the window reads, in its home's XDG_CONFIG_DIRS.
    MainWindowFixture fixture;
    GuardOnBus guard(breakMinutes ? std::optional(breakMinutes * 60) : std::nullopt, true,
                     fixture.home.systemLockFile(),
                     order.split(QStringLiteral(", "), Qt::SkipEmptyParts));
    fixture.guardBus = connection();
    fixture.restart();
    for (const QString &step : steps.split(QLatin1Char(' '))) {
        if (step == QLatin1String("start") || step == QLatin1String("stop")) {
            ModalDriver driver;
            driver.then(typePassword(parentPassword));
            fixture.trigger("mnuStopStart");
        } else if (step.startsWith(QLatin1Char('+'))) {
            fixture.clock.advance(step.mid(1).toLongLong());
            if (fixture.window)
                QMetaObject::invokeMethod(fixture.timer, "timeout");
        } else if (step == QLatin1String("gone")) {
            fixture.window.reset();
            QDBusConnection::disconnectFromBus(fixture.guardBus->name());
        } else if (step == QLatin1String("back")) {
            fixture.guardBus = connection();
            fixture.restart();
        } else if (step == QLatin1String("turns")) {
            QVERIFY(fixture.open("mnuTurns", [&](QWidget *turns) {
                shownRows =
                    turns->findChild<QTableWidget *>(QStringLiteral("grdTurns"))->rowCount();
                turns->close();
            }));
        } else if (step == QLatin1String("down")) {
            guard.down();
        } else if (step == QLatin1String("up")) {
            guard.up();
        } else if (step == QLatin1String("lift")) {
            guard.lift();
            QTRY_VERIFY(!fixture.messageTexts().isEmpty());
        } else if (step == QLatin1String("asked")) {
            saw << askedToShow(*fixture.guardBus);
        } else if (step == QLatin1String("bar")) {
            QTRY_VERIFY(!barText(fixture).isEmpty());
            saw << QStringLiteral("bar:") + barText(fixture);
        } else if (step == QLatin1String("children")) {
            QVERIFY(fixture.open("mnuChildren", [&](QWidget *children) {
                QStringList names;
                auto *list = children->findChild<QListWidget *>(QStringLiteral("lstNames"));
                for (int row = 0; row < list->count(); ++row)
                    names << list->item(row)->text();
                // Editable: the name box there, or a button but OK that acts on the chosen one.
                list->setCurrentRow(list->count() - 1);
                bool editable =
                    children->findChild<QLineEdit *>(QStringLiteral("txtName"))->isVisible();
                for (const QPushButton *button : children->findChildren<QPushButton *>())
                    editable |=
                        button->objectName() != QLatin1String("CMDok") && button->isEnabled();
                saw << QStringLiteral("children:%1 | %2 | %3")
                           .arg(names.join(QStringLiteral(", ")),
                                children->findChild<QLabel *>(QStringLiteral("lblNext"))->text(),
                                editable ? QStringLiteral("editable")
                                         : QStringLiteral("shown only"));
                children->close();
            }));
        } else {
            QFAIL(qPrintable(QStringLiteral("unknown step ") + step));
        }
    }
    QTRY_COMPARE(fixture.label->text(), status);
    QCOMPARE(fixture.window->isCounting(), counting);
    QCOMPARE(shownRows, rows);
    QCOMPARE(saw, seen);
    const QStringList told = fixture.messageTexts();
    QCOMPARE(told.size(), message.isEmpty() ? 0 : 1);
    if (!message.isEmpty())
        QVERIFY2(told.constFirst().startsWith(message), qPrintable(told.constFirst()));
}

QTEST_MAIN(TestGuardLink)
#include "tst_guardlink.moc"
