// SPDX-License-Identifier: GPL-3.0-or-later
#include "TestSupport.h"

#include "settings/SettingsStore.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QWidget>

RecordingUi::RecordingUi()
{
    UiService::install(this);
}

RecordingUi::~RecordingUi()
{
    UiService::install(nullptr);
}

void RecordingUi::message(QWidget *, const QString &text, MessageIcon icon, const QString &title)
{
    messages.append({text, icon, title});
}

void RecordingUi::playSound(const QString &fileName)
{
    sounds.append(fileName);
}

TestHome::TestHome(Files files)
    : m_previousDir(QDir::currentPath()), m_previousConfigHome(qgetenv("XDG_CONFIG_HOME"))
{
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_config.path()));
    if (files == Files::RunTime) {
        for (const char *name : {"face.ico", "smile.ico", "frown.ico", "horn.wav"}) {
            const QString file = QString::fromLatin1(name);
            QFile::copy(QStringLiteral(TURNKEEPER_RESOURCES_DIR "/") + file,
                        m_work.filePath(file));
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
}

QString TestHome::settingsFile() const
{
    return settingsFilePath();
}

void TestHome::writeSettingsFile(const QByteArray &contents) const
{
    QDir().mkpath(QFileInfo(settingsFile()).absolutePath());
    QFile file(settingsFile());
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
    QWidget *window = QApplication::activeModalWidget();
    if (!window || m_actions.isEmpty())
        return;
    for (const QPointer<QWidget> &done : std::as_const(m_done)) {
        if (done == window)
            return;
    }
    m_done.append(window);
    m_seen.append(window->objectName());
    ++m_handled;
    const Action action = m_actions.takeFirst();
    action(window);
}

void ModalDriver::giveUp()
{
    m_timedOut = true;
    m_actions.clear();
    while (QWidget *window = QApplication::activeModalWidget())
        window->close();
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
        QTest::keyClicks(box, password);
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
