// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/frmMain.h"

#include "help/frmAbout.h"
#include "help/frmHelp.h"
#include "logic/SettingsStore.h"
#include "logic/SystemLock.h"
#include "logic/TimerLength.h"
#include "security/frmLogin.h"
#include "security/frmPasswords.h"
#include "settings/frmChildren.h"
#include "settings/frmSetTime.h"
#include "turns/frmTurns.h"
#include "ui/Controls.h"
#include "ui/TimeLeftBar.h"
#include "ui/UiService.h"
#include "ui/WindowSystem.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QMenuBar>
#include <QScreen>
#include <QTimer>
#include <QWindow>

#include <cstdio>

frmMain::frmMain(QWidget *parent, const std::optional<QDBusConnection> &guardBus)
    : QMainWindow(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setObjectName(QStringLiteral("frmMain"));
    // The program's name, in every language.
    setWindowTitle(QStringLiteral("TurnKeeper"));

    createControls();
    createMenus();
    connectSession();
    if (guardBus)
        m_guard = GuardLink::connectTo(*guardBus);
    if (m_guard)
        connect(m_guard.get(), &GuardLink::released, this, &frmMain::guardReleased);
    Form_Load();

    setFixedSize(m_client->width(), m_client->height() + menuBar()->sizeHint().height());
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    // The desktop asks a program to end with a Quit event; it must not be vetoed.
    qApp->installEventFilter(this);
}

frmMain::~frmMain() = default;

void frmMain::createControls()
{
    m_client = new QWidget(this);
    m_client->setObjectName(QStringLiteral("frmMainClient"));
    m_client->setFixedSize(Twips::size(3135, 2535));
    m_client->setAutoFillBackground(true);
    setCentralWidget(m_client);

    Image1 = new QLabel(m_client);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(Twips::rect(840, 240, 1440, 1440));
    Image1->setScaledContents(true);

    Label1 = new QLabel(Countdown::readyText(), m_client);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(Twips::rect(120, 1800, 2895, 375));
    Label1->setAlignment(Qt::AlignCenter);
    Label1->setFont(ui().font(QStringLiteral("Comic Sans MS"), 15.75, 400));
    QPalette labelPalette = Label1->palette();
    labelPalette.setColor(QPalette::WindowText, QColor(0, 0, 255));
    Label1->setPalette(labelPalette);

    TimeBar = new TimeLeftBar(m_client);
    TimeBar->setObjectName(QStringLiteral("TimeBar"));
    TimeBar->setGeometry(Twips::rect(0, 2280, 3135, 255));
    //: Accessible name (read by screen readers) of the bar that fills as a turn runs.
    TimeBar->setAccessibleName(tr("Time left"));
    TimeBar->setRange(0, 100);
    TimeBar->setValue(0);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(Countdown::TickMilliseconds);
    Timer1->setTimerType(Qt::PreciseTimer);
    connect(Timer1, &QTimer::timeout, this, &frmMain::Timer1_Timer);

    m_holdTimer = new QTimer(this);
    m_holdTimer->setInterval(1000);
    connect(m_holdTimer, &QTimer::timeout, this, [this] { holdInView(true); });
}

QAction *frmMain::addEntry(QMenu *menu, const QString &caption, const QString &name)
{
    QAction *entry = menu->addAction(caption);
    entry->setObjectName(name);
    return entry;
}

void frmMain::createMenus()
{
    // In each menu, & marks the access key (Alt and that letter in the menu bar, the
    // letter alone in an open menu).
    //: The menu of what parents do, behind their password. & marks the access key;
    //: keep it apart from those of "&Timer" and "&Help".
    QMenu *mnuParents = menuBar()->addMenu(tr("Pa&rents"));
    mnuParents->setObjectName(QStringLiteral("mnuParents"));
    //: Parents menu: opens the window that changes the parent password.
    mnuPasswords = addEntry(mnuParents, tr("&Security"), QStringLiteral("mnuPasswords"));
    //: Parents menu: opens the window with the children's names, in turn order.
    mnuChildren = addEntry(mnuParents, tr("&Children..."), QStringLiteral("mnuChildren"));
    //: Parents menu: opens the record of the turns taken, with a chart.
    mnuTurns = addEntry(mnuParents, tr("T&urns..."), QStringLiteral("mnuTurns"));
    mnuParents->addSeparator()->setObjectName(QStringLiteral("mnuSpace"));
    //: Parents menu: ends the program.
    mnuExit = addEntry(mnuParents, tr("&Exit"), QStringLiteral("mnuExit"));

    //: The menu that sets, starts and stops the timer.
    QMenu *mnuTimer = menuBar()->addMenu(tr("&Timer"));
    mnuTimer->setObjectName(QStringLiteral("mnuTimer"));
    //: Timer menu: opens the window where a parent chooses how many minutes a turn
    //: lasts. Keep its access key apart from that of "&Start Timer" and "&Stop Timer".
    mnuSetTime = addEntry(mnuTimer, tr("&Set Time"), QStringLiteral("mnuSetTime"));
    mnuTimer->addSeparator()->setObjectName(QStringLiteral("mnuSpace2"));
    mnuStopStart = addEntry(mnuTimer, Countdown::startCaption(), QStringLiteral("mnuStopStart"));

    //: The help menu.
    QMenu *mnuHelp = menuBar()->addMenu(tr("&Help"));
    mnuHelp->setObjectName(QStringLiteral("mnuHelp"));
    //: Help menu: opens the help window with its topics.
    mnuContents = addEntry(mnuHelp, tr("&Contents"), QStringLiteral("mnuContents"));
    mnuHelp->addSeparator()->setObjectName(QStringLiteral("mnuSpace3"));
    //: Help menu: opens the window about the program (its version, its author).
    mnuAbout = addEntry(mnuHelp, tr("&About"), QStringLiteral("mnuAbout"));

    connect(mnuPasswords, &QAction::triggered, this, &frmMain::mnuPasswords_Click);
    connect(mnuChildren, &QAction::triggered, this, &frmMain::mnuChildren_Click);
    connect(mnuTurns, &QAction::triggered, this, &frmMain::mnuTurns_Click);
    connect(mnuExit, &QAction::triggered, this, &frmMain::mnuExit_Click);
    connect(mnuSetTime, &QAction::triggered, this, &frmMain::mnuSetTime_Click);
    connect(mnuStopStart, &QAction::triggered, this, &frmMain::mnuStopStart_Click);
    connect(mnuContents, &QAction::triggered, this, &frmMain::mnuContents_Click);
    connect(mnuAbout, &QAction::triggered, this, &frmMain::mnuAbout_Click);
}

void frmMain::Form_Load()
{
    setBackColor(ui().systemColor(UiService::SystemColor::ButtonFace));
    Timer1->stop();
    //: Accessible name (read by screen readers) of the picture of a plain face, shown
    //: while no turn runs.
    setPicture(QStringLiteral("face.ico"), tr("Face"));
    if (m_guard) {
        // The guard's length is the administrator's, and a running turn is the guard's,
        // as is, under a lock that lists the children, whose turn is next.
        const SystemLock lock = SystemLock::read();
        m_lengthLocked = true;
        m_session.setLength(lock.maxTime().value_or(TimerLength::DefaultSeconds));
        m_session.loadKeptElsewhere(lock.rules().children);
        // The guard hears that its time's up shows only where a person sees it.
        m_guard->showIn(&m_session, [this] { return WindowSystem::onScreen(this); });
        if (!m_guard->isUp())
            //: On standard error, after the program's name and ": ", where the
            //: administrator's lock says the guard keeps the turn but it does not answer.
            sayOnStandardError(tr("the guard does not answer, so no turn can start until it "
                                  "does"));
        TimeBar->setMaximum(m_session.turnLength());
        refreshBar();
        // Once the window shows: a time's up the guard holds unseen is shown at once.
        QTimer::singleShot(0, m_guard.get(), &GuardLink::attach);
        return;
    }
    m_session.setLength(ownLength());
    TimeBar->setMaximum(MaxTime());
    // A turn recorded by an earlier run goes on, or shows its time's up.
    m_session.load(m_lengthLocked ? std::optional(MaxTime()) : std::nullopt);
    refreshBar();
}

qint32 frmMain::ownLength()
{
    // The administrator's length, where the lock sets one, is the length.
    const std::optional<qint32> locked = SystemLock::read().maxTime();
    m_lengthLocked = locked.has_value();
    if (locked)
        return *locked;
    return TimerLength::fromStoredText(GetSetting(
        Settings::section, Settings::maxTimeKey, TimerLength::toText(TimerLength::DefaultSeconds)));
}

void frmMain::Form_Unload(UnloadReason reason)
{
    // The parent's Exit ends the turn; the end of the session leaves it for the next
    // start to take up.
    m_session.leave(reason == UnloadReason::ExitCommand ? TurnSession::Leaving::ExitCommand
                                                        : TurnSession::Leaving::SessionEnd);
    // The user's own length stays in their file as it was.
    if (m_lengthLocked)
        return;
    QString error;
    if (SaveSetting(Settings::section, Settings::maxTimeKey, TimerLength::toText(MaxTime()),
                    &error))
        return;
    // Leaving goes on either way; only the way of telling differs.
    if (reason == UnloadReason::ExitCommand)
        ui().message(this, error, UiService::MessageIcon::Exclamation, ui().applicationName());
    else
        sayOnStandardError(error);
}

void frmMain::sayOnStandardError(const QString &text)
{
    std::fprintf(stderr, "%s: %s\n", qPrintable(ui().applicationName()), qPrintable(text));
    std::fflush(stderr);
}

void frmMain::unload(UnloadReason reason)
{
    if (m_unloaded)
        return;
    m_unloaded = true;
    Timer1->stop();
    m_holdTimer->stop();
    Form_Unload(reason);
    close();
    emit unloaded();
}

void frmMain::endSession()
{
    unload(UnloadReason::SessionEnd);
}

// Out of sight is not out of turn: while a turn runs or its time's up shows, a
// minimised window comes back at once.
void frmMain::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange || !isMinimized() ||
        m_session.state() == TurnSession::State::Ready)
        return;
    QTimer::singleShot(0, this, [this] {
        WindowSystem::bringIntoView(this);
        raise();
        if (m_session.state() == TurnSession::State::TimeUp)
            activateWindow();
    });
}

// Moved away while the time's up shows: back at once.
void frmMain::moveEvent(QMoveEvent *event)
{
    QMainWindow::moveEvent(event);
    if (m_holdTimer->isActive())
        QTimer::singleShot(0, this, [this] { holdInView(true); });
}

void frmMain::closeEvent(QCloseEvent *event)
{
    // Only the Exit command and the end of the session close this window.
    if (m_unloaded)
        event->accept();
    else
        event->ignore();
}

bool frmMain::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == qApp && event->type() == QEvent::Quit) {
        endSession();
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

void frmMain::setMaxTime(double vNewValue)
{
    if (const std::optional<qint32> seconds = TimerLength::fromNumber(vNewValue))
        m_session.setLength(*seconds);
}

void frmMain::setMaxTime(const QString &vNewValue)
{
    m_session.setLength(TimerLength::fromStoredText(vNewValue));
}

bool frmMain::isCounting() const
{
    return Timer1->isActive();
}

void frmMain::MakeTopMost(bool Show)
{
    Qt::WindowFlags flags = windowFlags();
    flags.setFlag(Qt::WindowStaysOnTopHint, Show);
    // Changing the flags through setWindowFlags() would hide the window and make a
    // new native one; telling the existing native window keeps it where it is.
    if (QWindow *native = windowHandle()) {
        overrideWindowFlags(flags);
        native->setFlags(flags);
    } else {
        setWindowFlags(flags);
    }
    mblnTopMost = Show;
}

void frmMain::releaseTopMost()
{
    if (mblnTopMost)
        MakeTopMost(false);
}

bool frmMain::askForPassword(QString *password)
{
    // While the guard does not answer, the lock the window reads checks the password.
    frmLogin prompt(this, guardUp());
    prompt.exec();
    if (password)
        *password = prompt.password();
    return prompt.LoginSucceeded;
}

void frmMain::setBackColor(const QColor &color)
{
    QPalette palette = m_client->palette();
    palette.setColor(QPalette::Window, color);
    m_client->setPalette(palette);
}

void frmMain::setPicture(const QString &fileName, const QString &description)
{
    // The drawing that fits the box on this screen, so that no stretching blurs it.
    Image1->setPixmap(
        ui().picture(fileName, Image1->contentsRect().size(), Image1->devicePixelRatioF()));
    Image1->setAccessibleName(description);
}

// Screen readers hear each new status, not only those who can see the window.
void frmMain::setStatus(const QString &text)
{
    Label1->setText(text);
    ui().announce(Label1);
}

// While a turn runs, the bar also reads the time left, after the name of the child
// whose turn it is ("Ann: 9:57"); otherwise it says whose turn is next ("Next: Ann"),
// or nothing without names. In a turn's last minute the text is bold.
void frmMain::refreshBar()
{
    QString text;
    const bool running = m_session.isRunning();
    if (running) {
        text = Countdown::timeLeftText(m_session.turnLength(), CurrentTime());
        if (!m_session.child().isEmpty())
            //: On the bar while a turn runs: %1 is the name of the child whose turn it is,
            //: %2 the time left as minutes:seconds ("Ann: 9:57").
            text = tr("%1: %2").arg(m_session.child(), text);
    } else if (!m_session.children().isEmpty()) {
        text = Children::nextText(m_session.children().next());
    }
    // While a turn runs the value and the text change together, in one paint.
    TimeBar->showValue(running ? CurrentTime() : TimeBar->value(), text, m_session.inLastMinute());
}

void frmMain::announceNext()
{
    if (!m_session.children().isEmpty())
        ui().announceDescription(TimeBar);
}

void frmMain::comeForward()
{
    WindowSystem::bringIntoView(this);
    raise();
    activateWindow();
}

void frmMain::mnuAbout_Click()
{
    releaseTopMost();
    frmAbout dlg(this);
    dlg.exec();
}

void frmMain::mnuContents_Click()
{
    releaseTopMost();
    frmHelp dlg(this);
    dlg.exec();
}

void frmMain::mnuPasswords_Click()
{
    releaseTopMost();
    if (!askForPassword())
        return;
    frmPasswords dlg(this);
    dlg.exec();
}

void frmMain::mnuChildren_Click()
{
    releaseTopMost();
    // The list the administrator's lock sets is there to see, with no password: nobody
    // changes it here.
    if (m_guard && !SystemLock::read().rules().children.isEmpty()) {
        frmChildren dlg(m_session.children(), this, frmChildren::Editing::SetByLock);
        dlg.exec();
        return;
    }
    if (!askForPassword())
        return;
    const Children opened = m_session.children();
    frmChildren dlg(opened, this);
    if (dlg.exec() != QDialog::Accepted)
        return;
    // A list that did not reach the disk has not been changed: say so and keep the old.
    QString error;
    if (!m_session.editChildren(opened, dlg.children(), &error))
        ui().message(this, error, UiService::MessageIcon::Exclamation, ui().applicationName());
}

// The record is for everyone to see: no password.
void frmMain::mnuTurns_Click()
{
    releaseTopMost();
    // Where the guard keeps the turns, it keeps their record too.
    const std::optional<QList<TurnLog::Entry>> record =
        m_guard ? m_guard->turns() : std::optional(m_session.record());
    if (!record) {
        //: Said when the Turns window cannot get the record of turns from the guard.
        ui().message(this, tr("The record of turns cannot be read now."),
                     UiService::MessageIcon::Exclamation, ui().applicationName());
        return;
    }
    frmTurns dlg(*record, m_session.children().names(), QDate::currentDate(), this);
    dlg.exec();
}

void frmMain::mnuSetTime_Click()
{
    QString password;
    if (!askForPassword(&password))
        return;
    Timer1->stop();
    // The dialog shows the length, with its checks, before the opening puts the
    // countdown back to Ready; OK hands back the length chosen.
    frmSetTime dlg(MaxTime(), this, m_lengthLocked);
    // While the guard does not answer there is no turn to stop.
    if (GuardLink *guard = guardUp())
        tellRefusal(guard->stop(password));
    else if (!m_guard)
        m_session.stop();
    if (dlg.exec() != QDialog::Accepted)
        return;
    setMaxTime(dlg.minutes() * 60.0);
    // From the rounded length, so that the bar never ends below it.
    TimeBar->setMaximum(MaxTime());
}

void frmMain::mnuExit_Click()
{
    releaseTopMost();
    QString password;
    if (Timer1->isActive() && !askForPassword(&password))
        return;
    // With the guard, the parent's Exit ends its turn too; leaving goes on either way.
    if (m_guard && Timer1->isActive())
        tellRefusal(m_guard->stop(password));
    unload(UnloadReason::ExitCommand);
}
