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

void click(QWidget *window, const char *name)
{
    QTest::mouseClick(window->findChild<QPushButton *>(QString::fromLatin1(name)), Qt::LeftButton);
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
