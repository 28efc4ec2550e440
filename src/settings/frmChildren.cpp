// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/frmChildren.h"

#include "ui/Controls.h"
#include "ui/UiService.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QPushButton *makeButton(const QString &caption, const QString &name, const QString &spoken)
{
    auto *button = new QPushButton(caption);
    button->setObjectName(name);
    button->setAccessibleName(spoken);
    // Enter typed in the name box adds the name; no button is the default.
    button->setAutoDefault(false);
    return button;
}

} // namespace

frmChildren::frmChildren(const Children &children, QWidget *parent, Editing editing)
    : QDialog(parent, fixedDialogFlags), m_names(children.names()), m_next(children.next()),
      m_editing(editing)
{
    setObjectName(QStringLiteral("frmChildren"));
    //: The title of the window where a parent enters the children's first names.
    setWindowTitle(tr("Children"));
    setWindowIcon(ui().icon(QStringLiteral("face.ico")));

    // In this window, & marks each control's access key (Alt and that letter); each is
    // kept unique in the window.
    //: Above the list of names. & marks the access key.
    auto *lblNames = new QLabel(tr("&Names, in turn order:"), this);
    lstNames = new QListWidget(this);
    lstNames->setObjectName(QStringLiteral("lstNames"));
    //: Accessible name (read by screen readers) of the list of names.
    lstNames->setAccessibleName(tr("Names, in turn order"));
    lblNames->setBuddy(lstNames);

    lblNext = new QLabel(this);
    lblNext->setObjectName(QStringLiteral("lblNext"));

    //: Beside the box where a name is typed. & marks the access key.
    lblName = new QLabel(tr("N&ame:"), this);
    txtName = new QLineEdit(this);
    txtName->setObjectName(QStringLiteral("txtName"));
    //: Accessible name of the box where a name is typed.
    txtName->setAccessibleName(tr("Name"));
    // One more than the longest name, so that a name too long is refused and said.
    txtName->setMaxLength(Children::LongestName + 1);
    lblName->setBuddy(txtName);

    // Each button's caption, then its accessible name (what a screen reader says).
    //: A button: adds the name typed to the list. & marks the access key.
    cmdAdd = makeButton(tr("A&dd"), QStringLiteral("cmdAdd"),
                        //: Accessible name of the button "A&dd".
                        tr("Add the name"));
    //: A button: gives the child chosen in the list the name typed. & marks the access key.
    cmdRename = makeButton(tr("&Rename"), QStringLiteral("cmdRename"),
                           //: Accessible name of the button "&Rename".
                           tr("Rename the chosen child"));
    //: A button: takes the child chosen off the list. & marks the access key.
    cmdRemove = makeButton(tr("Re&move"), QStringLiteral("cmdRemove"),
                           //: Accessible name of the button "Re&move".
                           tr("Remove the chosen child"));
    //: A button: moves the child chosen one place earlier in turn order. & marks the
    //: access key.
    cmdUp = makeButton(tr("Move &Up"), QStringLiteral("cmdUp"),
                       //: Accessible name of the button "Move &Up".
                       tr("Move the chosen child up"));
    //: A button: moves the child chosen one place later in turn order. & marks the access
    //: key.
    cmdDown = makeButton(tr("Move Do&wn"), QStringLiteral("cmdDown"),
                         //: Accessible name of the button "Move Do&wn".
                         tr("Move the chosen child down"));
    //: A button: the child chosen has the next turn. & marks the access key.
    cmdNext = makeButton(tr("Ne&xt Turn"), QStringLiteral("cmdNext"),
                         //: Accessible name of the button "Ne&xt Turn".
                         tr("Give the chosen child the next turn"));
    //: Keeps the names as they are now in the window.
    CMDok = makeButton(tr("OK"), QStringLiteral("CMDok"), tr("OK"));
    //: Closes the window, keeping the names as they were.
    cmdCancel = makeButton(tr("Cancel"), QStringLiteral("cmdCancel"), tr("Cancel"));

    auto *sideButtons = new QVBoxLayout;
    for (QPushButton *button : {cmdUp, cmdDown, cmdNext, cmdRemove})
        sideButtons->addWidget(button);
    sideButtons->addStretch();

    auto *grid = new QGridLayout;
    grid->addWidget(lblNames, 0, 0, 1, 2);
    grid->addWidget(lstNames, 1, 0);
    grid->addLayout(sideButtons, 1, 1);
    grid->addWidget(lblNext, 2, 0, 1, 2);

    auto *nameRow = new QHBoxLayout;
    nameRow->addWidget(lblName);
    nameRow->addWidget(txtName, 1);
    nameRow->addWidget(cmdAdd);
    nameRow->addWidget(cmdRename);

    auto *okRow = new QHBoxLayout;
    okRow->addStretch();
    okRow->addWidget(CMDok);
    okRow->addWidget(cmdCancel);

    auto *layout = new QVBoxLayout(this);
    // As large as its contents in the desktop's font, and no larger.
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addLayout(grid);
    layout->addLayout(nameRow);
    layout->addLayout(okRow);

    setTabOrder(lstNames, cmdUp);
    setTabOrder(cmdUp, cmdDown);
    setTabOrder(cmdDown, cmdNext);
    setTabOrder(cmdNext, cmdRemove);
    setTabOrder(cmdRemove, txtName);
    setTabOrder(txtName, cmdAdd);
    setTabOrder(cmdAdd, cmdRename);
    setTabOrder(cmdRename, CMDok);
    setTabOrder(CMDok, cmdCancel);

    connect(cmdAdd, &QPushButton::clicked, this, &frmChildren::cmdAdd_Click);
    connect(txtName, &QLineEdit::returnPressed, this, &frmChildren::cmdAdd_Click);
    connect(cmdRename, &QPushButton::clicked, this, &frmChildren::cmdRename_Click);
    connect(cmdRemove, &QPushButton::clicked, this, &frmChildren::cmdRemove_Click);
    connect(cmdUp, &QPushButton::clicked, this, [this] { move(-1); });
    connect(cmdDown, &QPushButton::clicked, this, [this] { move(1); });
    connect(cmdNext, &QPushButton::clicked, this, &frmChildren::cmdNext_Click);
    connect(CMDok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(lstNames, &QListWidget::currentRowChanged, this, [this](int row) {
        txtName->setText(m_names.value(row));
        refresh(row);
    });

    refresh(m_names.isEmpty() ? -1 : 0);
    txtName->setFocus();
    if (editing == Editing::SetByLock)
        showOnly(grid);
}

// Only the list, who is next and why nothing can be changed; OK closes.
void frmChildren::showOnly(QGridLayout *grid)
{
    for (QWidget *control : std::initializer_list<QWidget *>{
             txtName, cmdAdd, cmdRename, cmdRemove, cmdUp, cmdDown, cmdNext, cmdCancel, lblName}) {
        control->setEnabled(false);
        control->hide();
    }
    //: In the Children window, under a lock an administrator set for every account of the
    //: computer: the names and their order are the lock's, and cannot be changed here.
    auto *lblLocked =
        new QLabel(tr("The administrator's lock sets these names and their order."), this);
    lblLocked->setObjectName(QStringLiteral("lblLocked"));
    grid->addWidget(lblLocked, 3, 0, 1, 2);
    lstNames->setFocus();
}

Children frmChildren::children() const
{
    return Children(m_names, m_next);
}

int frmChildren::selectedRow() const
{
    const int row = lstNames->currentRow();
    return row >= 0 && row < m_names.size() ? row : -1;
}

void frmChildren::refuse(const QString &reason)
{
    ui().message(this, reason, UiService::MessageIcon::Exclamation, ui().applicationName());
    txtName->setFocus();
    txtName->selectAll();
}

void frmChildren::cmdAdd_Click()
{
    const QString reason = Children::refusal(txtName->text(), m_names);
    if (!reason.isEmpty()) {
        refuse(reason);
        return;
    }
    m_names.append(txtName->text().trimmed());
    txtName->clear();
    refresh(int(m_names.size()) - 1);
}

void frmChildren::cmdRename_Click()
{
    const int row = selectedRow();
    if (row < 0)
        return;
    const QString reason = Children::refusal(txtName->text(), m_names, row);
    if (!reason.isEmpty()) {
        refuse(reason);
        return;
    }
    if (m_next == m_names.at(row))
        m_next = txtName->text().trimmed();
    m_names[row] = txtName->text().trimmed();
    refresh(row);
}

void frmChildren::cmdRemove_Click()
{
    const int row = selectedRow();
    if (row < 0)
        return;
    // The turn that was the removed child's passes on to the one after.
    if (m_next == m_names.at(row))
        m_next = m_names.size() > 1 ? m_names.at((row + 1) % m_names.size()) : QString();
    m_names.removeAt(row);
    refresh(qMin(row, int(m_names.size()) - 1));
}

void frmChildren::move(int by)
{
    const int row = selectedRow();
    const int to = row + by;
    if (row < 0 || to < 0 || to >= m_names.size())
        return;
    m_names.move(row, to);
    refresh(to);
}

void frmChildren::cmdNext_Click()
{
    const int row = selectedRow();
    if (row < 0)
        return;
    m_next = m_names.at(row);
    refresh(row);
}

// Shows the list again, the next child in bold, and what the buttons can do now.
void frmChildren::refresh(int selected)
{
    const QString next = children().next();
    const QSignalBlocker quiet(lstNames);
    lstNames->clear();
    for (const QString &name : std::as_const(m_names)) {
        auto *item = new QListWidgetItem(name, lstNames);
        if (name == next) {
            QFont font = item->font();
            font.setBold(true);
            item->setFont(font);
        }
    }
    lstNames->setCurrentRow(selected);
    //: Under the list when it is empty: without names the timer counts for anyone.
    lblNext->setText(next.isEmpty() ? tr("No names: the turns belong to no one.")
                                    : Children::nextText(next));
    if (m_editing == Editing::SetByLock)
        return;
    const int row = selectedRow();
    cmdRename->setEnabled(row >= 0);
    cmdRemove->setEnabled(row >= 0);
    cmdNext->setEnabled(row >= 0 && m_names.at(row) != next);
    cmdUp->setEnabled(row > 0);
    cmdDown->setEnabled(row >= 0 && row + 1 < m_names.size());
}
