// SPDX-License-Identifier: GPL-3.0-or-later
#include "TestSupport.h"

#include "app/frmMain.h"
#include "logic/SettingsStore.h"
#include "logic/SystemLock.h"
#include "ui/TimeLeftBar.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <QWidget>
#include <QWindow>

#include <csignal>
#include <unistd.h>

RecordingUi::RecordingUi()
{
    UiService::install(this);
}

RecordingUi::~RecordingUi()
{
    UiService::install(nullptr);
}

void RecordingUi::message(QWidget *parent, const QString &text, MessageIcon icon,
                          const QString &title)
{
    messages.append({text, icon, title, parent && parent->isVisible()});
}

void RecordingUi::playSound(const QString &fileName)
{
    sounds.append(fileName);
}

void RecordingUi::notifyAlarm(const QString &text)
{
    notifications.append(text);
}

void RecordingUi::announceDescription(QWidget *widget)
{
    QAccessibleInterface *spoken = QAccessible::queryAccessibleInterface(widget);
    descriptions.append(spoken ? spoken->text(QAccessible::Description) : QString());
}

QString RecordingUi::saveFileName(QWidget *, const QString &title, const QString &suggestedName,
                                  const QString &filter)
{
    fileRequests.append({title, suggestedName, filter});
    return saveAs;
}

void RecordingUi::announce(QWidget *widget)
{
    QAccessibleInterface *spoken = QAccessible::queryAccessibleInterface(widget);
    announcements.append(spoken ? spoken->text(QAccessible::Name) : QString());
}

TestHome::TestHome(Files files)
    : m_previousDir(QDir::currentPath()), m_previousConfigHome(qgetenv("XDG_CONFIG_HOME")),
      m_previousConfigDirs(qgetenv("XDG_CONFIG_DIRS")), m_previousDataHome(qgetenv("XDG_DATA_HOME"))
{
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_config.path()));
    qputenv("XDG_DATA_HOME", QFile::encodeName(m_data.path()));
    qputenv("XDG_CONFIG_DIRS", QFile::encodeName(m_system.path()));
    if (files == Files::RunTime) {
        for (const char *name : {"face.ico", "smile.ico", "frown.ico", "horn.wav", "chime.wav"}) {
            const QString file = QString::fromLatin1(name);
            QFile::copy(QStringLiteral(TURNKEEPER_RESOURCES_DIR "/") + file, m_work.filePath(file));
        }
    }
    QDir::setCurrent(m_work.path());
}

TestHome::~TestHome()
{
    QDir::setCurrent(m_previousDir);
    if (m_previousConfigHome.isEmpty())
        qunsetenv("XDG_CONFIG_HOME");
    else
        qputenv("XDG_CONFIG_HOME", m_previousConfigHome);
    if (m_previousConfigDirs.isEmpty())
        qunsetenv("XDG_CONFIG_DIRS");
    else
        qputenv("XDG_CONFIG_DIRS", m_previousConfigDirs);
    if (m_previousDataHome.isEmpty())
        qunsetenv("XDG_DATA_HOME");
    else
        qputenv("XDG_DATA_HOME", m_previousDataHome);
}

QString TestHome::settingsFile() const
{
    return settingsFilePath();
}

void TestHome::writeSettingsFile(const QByteArray &contents) const
{
    writeFile(settingsFile(), contents);
}

void TestHome::writeFile(const QString &path, const QByteArray &contents) const
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(contents);
}

QString TestHome::readSettingsFile() const
{
    QFile file(settingsFile());
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(file.readAll());
}

QString TestHome::systemLockFile() const
{
    return SystemLock::fileIn(systemConfigDir());
}

void TestHome::writeSystemLock(const QByteArray &contents) const
{
    QDir().mkpath(QFileInfo(systemLockFile()).absolutePath());
    QFile file(systemLockFile());
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(contents);
}

ModalDriver::ModalDriver(int deadlineMs)
{
    m_poll.setInterval(20);
    connect(&m_poll, &QTimer::timeout, this, &ModalDriver::poll);
    m_poll.start();
    m_deadline.setSingleShot(true);
    connect(&m_deadline, &QTimer::timeout, this, &ModalDriver::giveUp);
    m_deadline.start(deadlineMs);
}

ModalDriver::~ModalDriver()
{
    m_poll.stop();
    m_deadline.stop();
}

ModalDriver &ModalDriver::then(Action action)
{
    m_actions.append(std::move(action));
    return *this;
}

void ModalDriver::poll()
{
    // A window that has closed counts as new when it is shown again.
    m_done.removeIf([](const QPointer<QWidget> &done) { return !done || !done->isVisible(); });
    QWidget *window = QApplication::activeModalWidget();
    if (!window || m_actions.isEmpty() || m_done.contains(window))
        return;
    m_done.append(window);
    m_seen.append(window->objectName());
    ++m_handled;
    // Run the action from a posted call rather than inside this timer's slot: an action
    // that opens a further modal window must not keep the timer from polling again.
    QMetaObject::invokeMethod(
        this,
        [action = m_actions.takeFirst(), target = QPointer<QWidget>(window)] {
            if (target)
                action(target);
        },
        Qt::QueuedConnection);
}

void ModalDriver::giveUp()
{
    m_timedOut = true;
    m_actions.clear();
    while (QWidget *window = QApplication::activeModalWidget())
        window->close();
}

StandardErrorCapture::StandardErrorCapture()
{
    m_file.open();
    std::fflush(stderr);
    m_saved = ::dup(STDERR_FILENO);
    ::dup2(m_file.handle(), STDERR_FILENO);
}

StandardErrorCapture::~StandardErrorCapture()
{
    restore();
}

QString StandardErrorCapture::text()
{
    restore();
    m_file.seek(0);
    return QString::fromLocal8Bit(m_file.readAll());
}

QString StandardErrorCapture::peek()
{
    std::fflush(stderr);
    QFile written(m_file.fileName());
    return written.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(written.readAll())
                                             : QString();
}

void StandardErrorCapture::restore()
{
    if (m_saved < 0)
        return;
    std::fflush(stderr);
    ::dup2(m_saved, STDERR_FILENO);
    ::close(m_saved);
    m_saved = -1;
}

SessionBus::SessionBus() : m_previousAddress(qgetenv("DBUS_SESSION_BUS_ADDRESS"))
{
    QProcess daemon;
    daemon.start(QStringLiteral("dbus-daemon"),
                 {QStringLiteral("--session"), QStringLiteral("--fork"),
                  QStringLiteral("--print-address=1"), QStringLiteral("--print-pid=1")});
    if (!daemon.waitForFinished(30000) || daemon.exitCode() != 0)
        return;
    const QStringList lines =
        QString::fromLocal8Bit(daemon.readAllStandardOutput()).split(QLatin1Char('\n'));
    if (lines.size() < 2)
        return;
    m_address = lines.at(0).trimmed();
    m_pid = lines.at(1).trimmed().toLongLong();
    qputenv("DBUS_SESSION_BUS_ADDRESS", m_address.toLocal8Bit());
}

SessionBus::~SessionBus()
{
    if (m_pid > 0)
        ::kill(pid_t(m_pid), SIGTERM);
    qputenv("DBUS_SESSION_BUS_ADDRESS", m_previousAddress);
}

QImage iconPicture(const QString &path, int width)
{
    QImageReader reader(path);
    for (int i = 0; i < reader.imageCount(); ++i) {
        if (!reader.jumpToImage(i))
            break;
        const QImage image = reader.read();
        if (image.width() == width)
            return image.convertToFormat(QImage::Format_ARGB32);
    }
    return QImage();
}

void typeText(QWidget *widget, const QString &text)
{
    for (const QChar character : text) {
        if (character.unicode() < 0x80) {
            QTest::keyClick(widget, character.toLatin1());
            continue;
        }
        // Qt Test's key clicks know ASCII only; a non-ASCII character arrives as a key
        // that carries its text, as from an input method or a compose key.
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(character));
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(character));
        QApplication::sendEvent(widget, &press);
        QApplication::sendEvent(widget, &release);
    }
}

ModalDriver::Action typePassword(const QString &password)
{
    return [password](QWidget *prompt) {
        auto *box = prompt->findChild<QLineEdit *>(QStringLiteral("txtPassword"));
        if (!box) {
            prompt->close();
            return;
        }
        box->clear();
        typeText(box, password);
        QTest::keyClick(box, Qt::Key_Return);
    };
}

ModalDriver::Action cancelPrompt()
{
    return [](QWidget *prompt) {
        if (auto *cancel = prompt->findChild<QPushButton *>(QStringLiteral("cmdCancel")))
            cancel->click();
        else
            prompt->close();
    };
}

// On a whole second, as the record keeps its moments.
ManualTurnClock::ManualTurnClock(const QDateTime &utc) : m_utc(utc.addMSecs(-utc.time().msec()))
{}

MainWindowFixture::MainWindowFixture(const QByteArray &settingsFile, Clock clock,
                                     TestHome::Files files,
                                     const std::optional<QDBusConnection> &guardBus)
    : home(files), guardBus(guardBus), m_clock(clock)
{
    if (clock == Clock::ByHand)
        m_installedClock.emplace(&this->clock);
    if (!settingsFile.isNull())
        home.writeSettingsFile(settingsFile);
    load();
}

MainWindowFixture::~MainWindowFixture()
{
    window.reset();
}

void MainWindowFixture::load()
{
    window = std::make_unique<frmMain>(nullptr, guardBus);
    window->show();
    timer = window->findChild<QTimer *>(QStringLiteral("Timer1"));
    bar = window->findChild<TimeLeftBar *>(QStringLiteral("TimeBar"));
    label = window->findChild<QLabel *>(QStringLiteral("Label1"));
    image = window->findChild<QLabel *>(QStringLiteral("Image1"));
    stopStart = action("mnuStopStart");
    // A day between real ticks: the test delivers them.
    if (m_clock == Clock::ByHand)
        timer->setInterval(24 * 3600 * 1000);
}

void MainWindowFixture::restart()
{
    window.reset();
    load();
}

QAction *MainWindowFixture::action(const char *name) const
{
    return window->findChild<QAction *>(QString::fromLatin1(name));
}

void MainWindowFixture::trigger(const char *name) const
{
    action(name)->trigger();
}

void MainWindowFixture::tick()
{
    if (m_clock == Clock::ByHand)
        clock.advance(1000);
    QMetaObject::invokeMethod(timer, "timeout");
}

void MainWindowFixture::ticks(int count)
{
    for (int i = 0; i < count; ++i)
        tick();
}

void MainWindowFixture::runToAlarm()
{
    stopStart->trigger();
    ticks(window->MaxTime());
}

QColor MainWindowFixture::backColor() const
{
    return window->centralWidget()->palette().color(QPalette::Window);
}

bool MainWindowFixture::topMost() const
{
    return window->windowFlags().testFlag(Qt::WindowStaysOnTopHint) &&
           window->windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint);
}

bool MainWindowFixture::shows(const char *picture) const
{
    return image->pixmap().toImage() == ui().picture(QString::fromLatin1(picture),
                                                     image->contentsRect().size(),
                                                     image->devicePixelRatioF())
                                            .toImage();
}

QStringList MainWindowFixture::messageTexts() const
{
    QStringList texts;
    for (const RecordingUi::Message &message : recorder.messages)
        texts.append(message.text);
    return texts;
}

bool MainWindowFixture::throughPassword(const char *entry, const QString &windowName,
                                        const ModalDriver::Action &act) const
{
    ModalDriver driver(5000);
    driver.then(typePassword(QStringLiteral("playfairly"))).then(act);
    trigger(entry);
    return !driver.timedOut() &&
           driver.seen() == QStringList({QStringLiteral("frmLogin"), windowName});
}

bool MainWindowFixture::open(const char *entry, const ModalDriver::Action &act) const
{
    ModalDriver driver;
    driver.then(act);
    trigger(entry);
    return driver.handled() == 1 && !driver.timedOut();
}
