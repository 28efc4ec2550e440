// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/frmSetTime.h"

#include "logic/NumberText.h"
#include "ui/Controls.h"
#include "ui/UiService.h"
#include "ui/UpDown.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

#include <limits>

namespace {

constexpr double shortestMinutes = 1.0;
constexpr double longestMinutes = 3600.0;

// The character code a key press types, or 0 when it types none. Ctrl with a letter
// types the control code (Ctrl+C is 3) on every platform.
int characterCode(const QKeyEvent *event)
{
    // X11 gives Delete the text "\x7f", yet it only edits, like Shift+Insert.
    if (event->key() == Qt::Key_Delete)
        return 0;
    const Qt::KeyboardModifiers chord =
        event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    if (chord == Qt::ControlModifier && event->key() >= Qt::Key_A && event->key() <= Qt::Key_Z)
        return event->key() - Qt::Key_A + 1;
    if (chord & (Qt::AltModifier | Qt::MetaModifier))
        return 0;
    const QString text = event->text();
    return text.isEmpty() ? 0 : text.at(0).unicode();
}

QPushButton *makeButton(QWidget *parent, const QString &caption, const QString &name,
                        const QRect &geometry)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setGeometry(geometry);
    // Not a default button: Enter and Escape typed in the box belong to the box.
    button->setAutoDefault(false);
    button->setDefault(false);
    return button;
}

} // namespace

void KeyFilteredLineEdit::keyPressEvent(QKeyEvent *event)
{
    const int typed = characterCode(event);
    if (typed == 0) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    int keyAscii = typed;
    emit keyPress(keyAscii);
    if (keyAscii == typed) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    event->accept();
    if (keyAscii != 0)
        insert(QString(QChar(keyAscii)));
}

frmSetTime::frmSetTime(qint32 seconds, QWidget *parent, bool lengthLocked)
    : QDialog(parent, fixedDialogFlags), m_lengthLocked(lengthLocked)
{
    setObjectName(QStringLiteral("frmSetTime"));
    //: The title of the window where a parent chooses how long a turn lasts.
    //: TurnKeeper is the program's name.
    setWindowTitle(tr("Set TurnKeeper Timer"));
    setFixedSize(Twips::size(3960, 1680));

    //: Beside the box with the number of minutes a turn lasts.
    Label1 = new QLabel(tr("Select a timer length :"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(Twips::rect(120, 240, 2655, 375));
    Label1->setAlignment(Qt::AlignCenter);
    Label1->setFont(ui().font(QStringLiteral("Comic Sans MS"), 12, 400));
    QPalette labelPalette = Label1->palette();
    labelPalette.setColor(QPalette::WindowText, QColor(0, 0, 192));
    Label1->setPalette(labelPalette);

    //: Under the number: its unit. Keep it short, the space is small.
    Label2 = new QLabel(tr("(Minutes)"), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setGeometry(Twips::rect(2880, 720, 975, 255));
    Label2->setAlignment(Qt::AlignCenter);

    // Created after the label that reaches under it, so the arrows stay on top.
    UpDown1 = new UpDown(this);
    UpDown1->setObjectName(QStringLiteral("UpDown1"));
    UpDown1->setGeometry(Twips::rect(2760, 240, 240, 435));

    Text1 = new KeyFilteredLineEdit(QStringLiteral("0"), this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setGeometry(Twips::rect(3000, 240, 855, 435));
    Text1->setAlignment(Qt::AlignCenter);
    // No length limit: blanks are skipped wherever they stand, so a long pasted text
    // cut at QLineEdit's 32767 characters could read as another number.
    Text1->setMaxLength(std::numeric_limits<int>::max());
    Text1->setFont(ui().font(QStringLiteral("Comic Sans MS"), 11.25, 700));
    QPalette textPalette = Text1->palette();
    textPalette.setColor(QPalette::Text, QColor(255, 0, 0));
    Text1->setPalette(textPalette);
    // Composed input would slip past the key filter.
    Text1->setAttribute(Qt::WA_InputMethodEnabled, false);
    Label1->setBuddy(Text1);
    //: Accessible name (read by screen readers) of the arrows beside the number.
    UpDown1->setAccessibleName(tr("Timer length in minutes"));
    UpDown1->setBuddy(Text1);

    Line2 = new Line(this, QStringLiteral("Line2"), {120, 1080}, {3840, 1080},
                     ui().systemColor(UiService::SystemColor::Window));
    Line1 = new Line(this, QStringLiteral("Line1"), {3840, 1080}, {120, 1080},
                     ui().systemColor(UiService::SystemColor::InactiveCaption));

    //: Keeps the length chosen.
    CMDok = makeButton(this, tr("OK"), QStringLiteral("CMDok"), Twips::rect(2280, 1200, 735, 375));
    //: Closes the window, keeping the length as it was.
    cmdCancel = makeButton(this, tr("Cancel"), QStringLiteral("cmdCancel"),
                           Twips::rect(3120, 1200, 735, 375));

    setTabOrder(UpDown1, Text1);
    setTabOrder(Text1, CMDok);
    setTabOrder(CMDok, cmdCancel);
    UpDown1->setFocus();

    connect(Text1, &KeyFilteredLineEdit::keyPress, this, &frmSetTime::Text1_KeyPress);
    connect(Text1, &QLineEdit::textChanged, this, &frmSetTime::Text1_Change);
    connect(UpDown1, &UpDown::upClicked, this, &frmSetTime::UpDown1_UpClick);
    connect(UpDown1, &UpDown::downClicked, this, &frmSetTime::UpDown1_DownClick);
    connect(CMDok, &QPushButton::clicked, this, &frmSetTime::CMDok_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmSetTime::cmdCancel_Click);

    Form_Load(seconds);
}

// The opener puts the countdown back to Ready once this has run, so that a message
// about the length comes before the reset.
void frmSetTime::Form_Load(qint32 seconds)
{
    Line1->setEnds({Line1->from().x(), Line2->from().y() + 10},
                   {Line1->to().x(), Line2->to().y() + 10});

    // Runs the change validation before the dialog is shown; the box never opens
    // holding a length out of range, even one equal to its first text.
    const QString length = writeNumber(seconds / 60.0);
    if (Text1->text() == length)
        Text1_Change();
    else
        Text1->setText(length);

    setWindowIcon(ui().icon(QStringLiteral("face.ico")));
}

void frmSetTime::keyPressEvent(QKeyEvent *event)
{
    if (!plainDialogKey(event, focusWidget()))
        QDialog::keyPressEvent(event);
}

double frmSetTime::minutes() const
{
    return readNumber(Text1->text());
}

void frmSetTime::refuse(const QString &text)
{
    ui().message(this, text, UiService::MessageIcon::Exclamation, ui().applicationName());
}

void frmSetTime::Text1_KeyPress(int &keyAscii)
{
    if (keyAscii >= '0' && keyAscii <= '9')
        return;
    //: A message when a key other than a digit is typed into the number of minutes.
    refuse(tr("This must be a numeric value."));
    keyAscii = 0;
}

// Setting the corrected text runs this again, nested; that run finds the value in range.
void frmSetTime::Text1_Change()
{
    const double value = minutes();
    if (value > longestMinutes) {
        //: A message when the number of minutes is too large; 3600 is the most allowed.
        refuse(tr("This must be set lower than 3600."));
        Text1->setText(QStringLiteral("3600"));
    } else if (value < shortestMinutes) {
        //: A message when the number of minutes is below 1, the least allowed.
        refuse(tr("This must be set greater or equal to 1."));
        Text1->setText(QStringLiteral("1"));
    }
}

// The change validation stops the box at 3600.
void frmSetTime::UpDown1_UpClick()
{
    Text1->setText(writeNumber(minutes() + 1));
}

void frmSetTime::UpDown1_DownClick()
{
    const double value = minutes();
    if (value < 2) {
        //: A message when the down arrow would go below 1 minute.
        ui().message(this, tr("Timer must be set to at least 1!"), UiService::MessageIcon::None,
                     //: The title of that message.
                     tr("Timer Limit"));
        return;
    }
    Text1->setText(writeNumber(value - 1));
}

void frmSetTime::CMDok_Click()
{
    if (m_lengthLocked) {
        //: A message when the computer's administrator has locked the length of a turn.
        refuse(tr("The timer length is set by the administrator."));
        return;
    }
    accept();
}

void frmSetTime::cmdCancel_Click()
{
    reject();
}
