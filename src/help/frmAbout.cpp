// SPDX-License-Identifier: GPL-3.0-or-later
#include "help/frmAbout.h"

#include "logic/SysInfoLauncher.h"
#include "ui/Controls.h"
#include "ui/UiService.h"

#include <QFileInfo>
#include <QLabel>
#include <QPushButton>

#include <optional>

namespace {

constexpr quint32 hkeyLocalMachine = 0x80000002;

// Where the system-information program is registered: its full path, or else the
// folder that holds it.
const QString sysInfoKey = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO");
const QString sysInfoValue = QStringLiteral("PATH");
const QString sysInfoFolderKey = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools Location");
const QString sysInfoFolderValue = QStringLiteral("MSINFO");
const QString sysInfoFileName = QStringLiteral("\\MSINFO32.EXE");

QLabel *makeLabel(QWidget *parent, const QString &name, const QString &caption, const QRect &rect,
                  qreal pointSize, const QColor &color)
{
    auto *label = new QLabel(caption, parent);
    label->setObjectName(name);
    label->setGeometry(rect);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setFont(ui().font(QStringLiteral("Comic Sans MS"), pointSize, 400));
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, color);
    label->setPalette(palette);
    return label;
}

} // namespace

frmAbout::frmAbout(QWidget *parent) : QDialog(parent, fixedDialogFlags)
{
    setObjectName(QStringLiteral("frmAbout"));
    // The placeholders of the title and the labels are replaced at once by Form_Load;
    // they are never seen, so they are not translated.
    setWindowTitle(QStringLiteral("About MyApp"));
    setFixedSize(Twips::size(4530, 2565));

    // OK is also the cancel button: Escape ends in the dialog's reject(), which closes
    // the window just as OK does.
    //: The button that closes the About window.
    cmdOK = new QPushButton(tr("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setGeometry(Twips::rect(3645, 2145, 780, 345));
    cmdOK->setDefault(true);

    //: A button that opens the desktop's own program showing what the computer is made
    //: of. & marks the access key.
    cmdSysInfo = new QPushButton(tr("&System Info..."), this);
    cmdSysInfo->setObjectName(QStringLiteral("cmdSysInfo"));
    // Drawn 1245 twips wide for a narrower dialog font than this desktop's, where its
    // text ran over the frame: grown leftwards by the least that fits, its right edge
    // and its distance from OK unchanged.
    cmdSysInfo->setGeometry(Twips::rect(2205, 2160, 1320, 345));

    lblDescription =
        makeLabel(this, QStringLiteral("lblDescription"), QStringLiteral("App Description"),
                  Twips::rect(1560, 1200, 2805, 690), 8.25, QColor(0, 0, 0));
    lblDescription->setWordWrap(true);
    lblTitle = makeLabel(this, QStringLiteral("lblTitle"), QStringLiteral("Application Title"),
                         Twips::rect(1560, 240, 2805, 480), 14.25, QColor(0, 0, 255));
    lblVersion = makeLabel(this, QStringLiteral("lblVersion"), QStringLiteral("Version"),
                           Twips::rect(1560, 840, 2805, 225), 9.75,
                           ui().systemColor(UiService::SystemColor::Highlight));

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(Twips::rect(120, 120, 1200, 1200));
    Image1->setScaledContents(true);
    //: Accessible name (read by screen readers) of the program's picture, a face.
    Image1->setAccessibleName(tr("Face"));

    Line1_1 =
        new Line(this, QStringLiteral("Line1_1"), {90, 1965}, {4440, 1965}, QColor(128, 128, 128));
    Line1_0 = new Line(this, QStringLiteral("Line1_0"), {120, 1980}, {4440, 1980},
                       QColor(255, 255, 255), 2);

    setTabOrder(cmdOK, cmdSysInfo);
    cmdOK->setFocus();

    connect(cmdOK, &QPushButton::clicked, this, &frmAbout::CMDok_Click);
    connect(cmdSysInfo, &QPushButton::clicked, this, &frmAbout::cmdSysInfo_Click);

    Form_Load();
}

void frmAbout::Form_Load()
{
    //: The About window's title. %1 is the program's name, TurnKeeper.
    setWindowTitle(tr("About %1").arg(ui().applicationTitle()));
    //: %1.%2.%3 make the version number, as 1.0.8.
    lblVersion->setText(tr("Version %1.%2.%3")
                            .arg(ui().versionMajor())
                            .arg(ui().versionMinor())
                            .arg(ui().versionRevision()));
    lblTitle->setText(ui().applicationTitle());
    // Screen readers read a dialog's labels of three words or more, once each, after its
    // title: the version is read as the program's name and version together.
    lblVersion->setAccessibleName(ui().applicationTitle() + QLatin1Char(' ') + lblVersion->text());
    lblDescription->setText(ui().applicationDescription());
    Image1->setPixmap(ui().picture(QStringLiteral("face.ico"), Image1->contentsRect().size(),
                                   Image1->devicePixelRatioF()));
}

void frmAbout::cmdSysInfo_Click()
{
    StartSysInfo();
}

void frmAbout::CMDok_Click()
{
    accept();
}

void frmAbout::StartSysInfo()
{
    QString SysInfoPath;
    std::optional<SysInfoLauncher::Command> tool;

    // First lookup: the program's registered path, or a known program on the PATH.
    if (GetKeyValue(hkeyLocalMachine, sysInfoKey, sysInfoValue, SysInfoPath))
        tool = SysInfoLauncher::Command{SysInfoPath, {}};
    else
        tool = SysInfoLauncher::findOnPath();

    // Second lookup: the registered folder, or the desktop's application entries.
    if (!tool) {
        if (GetKeyValue(hkeyLocalMachine, sysInfoFolderKey, sysInfoFolderValue, SysInfoPath)) {
            const QString candidate = SysInfoPath + sysInfoFileName;
            if (QFileInfo(candidate).isFile())
                tool = SysInfoLauncher::Command{candidate, {}};
        } else {
            tool = SysInfoLauncher::findInDesktopEntries();
        }
    }

    if (tool && SysInfoLauncher::start(*tool))
        return;
    //: A message when no program can show the system information.
    ui().message(this, tr("System Information Is Unavailable At This Time"),
                 UiService::MessageIcon::Exclamation, ui().applicationName());
}

bool frmAbout::GetKeyValue(quint32 KeyRoot, const QString &KeyName, const QString &SubKeyRef,
                           QString &KeyVal)
{
    Q_UNUSED(KeyRoot);
    Q_UNUSED(KeyName);
    Q_UNUSED(SubKeyRef);
    KeyVal.clear();
    return false;
}
