// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/frmFamilyRules.h"

#include "logic/Children.h"
#include "logic/TimerLength.h"
#include "ui/Controls.h"
#include "ui/UiService.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <limits>

namespace {

enum Column { ChildColumn, AllowanceColumn, TodayColumn, Columns };

constexpr int LongestLengthMinutes = SystemLock::LongestSeconds / 60;
constexpr int LongestAllowanceMinutes = SystemLock::LongestAllowanceSeconds / 60;

// Whole minutes, the nearest to seconds.
int minutesOf(qint32 seconds)
{
    return (qMax(0, seconds) + 30) / 60;
}

QPushButton *makeButton(const QString &caption, const QString &name, const QString &spoken)
{
    auto *button = new QPushButton(caption);
    button->setObjectName(name);
    button->setAccessibleName(spoken);
    // Enter typed in the name box adds the child; no button is the default.
    button->setAutoDefault(false);
    return button;
}

QSpinBox *makeSpinBox(const QString &name, const QString &spoken, int minimum, int maximum)
{
    auto *box = new QSpinBox;
    box->setObjectName(name);
    box->setAccessibleName(spoken);
    // The focus goes to the box's text inside it, which a screen reader then names.
    if (auto *text = box->findChild<QLineEdit *>())
        text->setAccessibleName(spoken);
    box->setRange(minimum, maximum);
    return box;
}

QLineEdit *makeBox(const QString &name, const QString &spoken)
{
    auto *box = new QLineEdit;
    box->setObjectName(name);
    box->setAccessibleName(spoken);
    return box;
}

QLineEdit *makePasswordBox(const QString &name, const QString &spoken)
{
    QLineEdit *box = makeBox(name, spoken);
    box->setEchoMode(QLineEdit::Password);
    // Not cut at QLineEdit's 32767 characters without a word.
    box->setMaxLength(std::numeric_limits<int>::max());
    return box;
}

QLabel *makeLabel(const QString &caption, QWidget *buddy)
{
    auto *label = new QLabel(caption);
    label->setObjectName(QStringLiteral("lbl") + buddy->objectName().mid(3));
    label->setBuddy(buddy);
    return label;
}

} // namespace

frmFamilyRules::frmFamilyRules(const SystemLock::Change &inForce,
                               const QMap<QString, qint32> &usedToday, QWidget *parent)
    : QDialog(parent, fixedDialogFlags), m_change(inForce), m_usedToday(usedToday),
      m_names(inForce.rules.children), m_allowance(inForce.rules.allowance)
{
    setObjectName(QStringLiteral("frmFamilyRules"));
    //: The title of the window where a parent sets the rules the lock keeps on every
    //: account of the computer.
    setWindowTitle(tr("Family Rules"));
    setWindowIcon(ui().icon(QStringLiteral("face.ico")));

    // In this window, & marks each control's access key (Alt and that letter); each is
    // kept unique in the window.
    //: A check box: whether the lock stands, with the rules below and the parent
    //: password, on every account. & marks the access key.
    chkLocked = new QCheckBox(tr("&Keep these rules on every account of this computer"), this);
    chkLocked->setObjectName(QStringLiteral("chkLocked"));
    chkLocked->setChecked(inForce.locked);
    fraRules = new QWidget(this);
    fraRules->setObjectName(QStringLiteral("fraRules"));

    spnLength = makeSpinBox(QStringLiteral("spnLength"),
                            //: Accessible name (read by screen readers) of the turn's length.
                            tr("Turn length, in minutes"), 1, LongestLengthMinutes);
    m_lengthShown =
        qBound(1, minutesOf(inForce.rules.maxTime.value_or(TimerLength::DefaultSeconds)),
               LongestLengthMinutes);
    spnLength->setValue(m_lengthShown);
    //: Beside the box with the length of every turn. & marks the access key.
    QLabel *lblLength = makeLabel(tr("Turn &length, in minutes:"), spnLength);

    spnBreak =
        makeSpinBox(QStringLiteral("spnBreak"),
                    //: Accessible name of the break's box.
                    tr("Break after a time's up, in minutes"), 0, SystemLock::LongestBreakMinutes);
    //: In the break's box when it holds 0: no break after a time's up.
    spnBreak->setSpecialValueText(tr("None"));
    spnBreak->setValue(minutesOf(inForce.rules.breakSeconds.value_or(0)));
    //: Beside the box with the minutes before the next turn may start after a time's up.
    //: & marks the access key.
    QLabel *lblBreak = makeLabel(tr("&Break after a time's up, in minutes:"), spnBreak);

    //: A check box: the accounts named below are locked whenever no turn runs. & marks the
    //: access key.
    chkOutsideTurns = new QCheckBox(tr("Lock the desktop &outside turns"), fraRules);
    chkOutsideTurns->setObjectName(QStringLiteral("chkOutsideTurns"));
    chkOutsideTurns->setChecked(inForce.rules.lockOutsideTurns);
    txtAccounts = makeBox(QStringLiteral("txtAccounts"),
                          //: Accessible name of the box of accounts locked outside turns.
                          tr("Accounts locked outside turns, apart by commas"));
    txtAccounts->setText(inForce.rules.accounts.join(QStringLiteral(", ")));
    //: Above the box where the computer's accounts (their login names) are typed, such
    //: as "ann, ben". & marks the access key.
    QLabel *lblAccounts =
        makeLabel(tr("A&ccounts locked outside turns, apart by commas:"), txtAccounts);

    lstChildren = new QTreeWidget(fraRules);
    lstChildren->setObjectName(QStringLiteral("lstChildren"));
    //: Accessible name of the list of children, with each one's time a day.
    lstChildren->setAccessibleName(tr("Children, in turn order"));
    lstChildren->setColumnCount(Columns);
    lstChildren->setHeaderLabels({
        //: A column's heading: the child's name.
        tr("Child"),
        //: A column's heading: how many minutes of turns the child may have a day.
        tr("Minutes a day"),
        //: A column's heading: how many minutes of turns the child has had today.
        tr("Minutes today"),
    });
    //: Accessible name of the list's row of column headings.
    lstChildren->header()->setAccessibleName(tr("Columns of the children"));
    // The figures' columns fit their headings; the names take the rest of the width.
    lstChildren->header()->setStretchLastSection(false);
    lstChildren->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    lstChildren->header()->setSectionResizeMode(ChildColumn, QHeaderView::Stretch);
    lstChildren->setRootIsDecorated(false);
    lstChildren->setUniformRowHeights(true);
    lstChildren->setMinimumHeight(lstChildren->fontMetrics().height() * 8);
    //: Above the list of children. & marks the access key.
    QLabel *lblChildren = makeLabel(tr("C&hildren, in turn order:"), lstChildren);

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
    //: A button: takes the child chosen off the list. & marks the access key.
    cmdRemove = makeButton(tr("Re&move"), QStringLiteral("cmdRemove"),
                           //: Accessible name of the button "Re&move".
                           tr("Remove the chosen child"));

    spnAllowance =
        makeSpinBox(QStringLiteral("spnAllowance"),
                    //: Accessible name of the box of the chosen child's time a day.
                    tr("Time a day for the chosen child, in minutes"), 0, LongestAllowanceMinutes);
    //: In the box of a child's time a day, and in the list, for 0: the child may have turns
    //: all day long.
    spnAllowance->setSpecialValueText(tr("No limit"));
    //: Beside the box with the minutes of turns the child chosen in the list may have a
    //: day. & marks the access key.
    lblAllowance = makeLabel(tr("&Time a day for the chosen child, in minutes:"), spnAllowance);

    txtName = makeBox(QStringLiteral("txtName"),
                      //: Accessible name of the box where a new child's name is typed.
                      tr("Name of a new child"));
    // One more than the longest name, so that a name too long is refused and said.
    txtName->setMaxLength(Children::LongestName + 1);
    //: Beside the box where a new child's name is typed. & marks the access key.
    QLabel *lblName = makeLabel(tr("&Name of a new child:"), txtName);
    //: A button: adds the child whose name is typed to the end of the list. & marks the
    //: access key.
    cmdAdd = makeButton(tr("A&dd"), QStringLiteral("cmdAdd"),
                        //: Accessible name of the button "A&dd".
                        tr("Add the child"));

    txtPassword = makePasswordBox(QStringLiteral("txtPassword"),
                                  //: Accessible name of the box for a new parent password.
                                  tr("New parent password"));
    //: Beside the box for a new parent password. & marks the access key.
    QLabel *lblPassword = makeLabel(tr("New parent &password:"), txtPassword);
    txtVerify = makePasswordBox(QStringLiteral("txtVerify"),
                                //: Accessible name of the box where the new password is typed
                                //: a second time, to check it.
                                tr("Verify the new password"));
    //: Beside the box where the new password is typed a second time, to check it. & marks
    //: the access key.
    QLabel *lblVerify = makeLabel(tr("&Verify the new password:"), txtVerify);
    //: Under the two password boxes.
    auto *lblPasswordKept = new QLabel(tr("Leave both empty to keep the password in force."));
    lblPasswordKept->setObjectName(QStringLiteral("lblPasswordKept"));

    //: Keeps the rules as they are now in the window.
    CMDok = makeButton(tr("OK"), QStringLiteral("CMDok"), tr("OK"));
    //: Closes the window, keeping the rules as they were.
    cmdCancel = makeButton(tr("Cancel"), QStringLiteral("cmdCancel"), tr("Cancel"));

    auto *sideButtons = new QVBoxLayout;
    for (QPushButton *button : {cmdUp, cmdDown, cmdRemove})
        sideButtons->addWidget(button);
    sideButtons->addStretch();

    auto *nameRow = new QHBoxLayout;
    nameRow->addWidget(txtName, 1);
    nameRow->addWidget(cmdAdd);

    auto *grid = new QGridLayout(fraRules);
    grid->setContentsMargins(0, 0, 0, 0);
    int row = 0;
    const auto addRow = [&](QWidget *label, QWidget *field) {
        grid->addWidget(label, row, 0);
        grid->addWidget(field, row++, 1, 1, 2, Qt::AlignLeft);
    };
    addRow(lblLength, spnLength);
    addRow(lblBreak, spnBreak);
    grid->addWidget(chkOutsideTurns, row++, 0, 1, 3);
    grid->addWidget(lblAccounts, row++, 0, 1, 3);
    grid->addWidget(txtAccounts, row++, 0, 1, 3);
    grid->addWidget(lblChildren, row++, 0, 1, 3);
    grid->addWidget(lstChildren, row, 0, 1, 2);
    grid->addLayout(sideButtons, row++, 2);
    addRow(lblAllowance, spnAllowance);
    grid->addWidget(lblName, row, 0);
    grid->addLayout(nameRow, row++, 1, 1, 2);
    addRow(lblPassword, txtPassword);
    addRow(lblVerify, txtVerify);
    grid->addWidget(lblPasswordKept, row++, 0, 1, 3);

    auto *okRow = new QHBoxLayout;
    okRow->addStretch();
    okRow->addWidget(CMDok);
    okRow->addWidget(cmdCancel);

    auto *layout = new QVBoxLayout(this);
    // As large as its contents in the desktop's font, and no larger.
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addWidget(chkLocked);
    layout->addWidget(fraRules);
    layout->addLayout(okRow);

    setTabOrder(chkLocked, spnLength);
    setTabOrder(spnLength, spnBreak);
    setTabOrder(spnBreak, chkOutsideTurns);
    setTabOrder(chkOutsideTurns, txtAccounts);
    setTabOrder(txtAccounts, lstChildren);
    setTabOrder(lstChildren, cmdUp);
    setTabOrder(cmdUp, cmdDown);
    setTabOrder(cmdDown, cmdRemove);
    setTabOrder(cmdRemove, spnAllowance);
    setTabOrder(spnAllowance, txtName);
    setTabOrder(txtName, cmdAdd);
    setTabOrder(cmdAdd, txtPassword);
    setTabOrder(txtPassword, txtVerify);
    setTabOrder(txtVerify, CMDok);
    setTabOrder(CMDok, cmdCancel);

    connect(chkLocked, &QCheckBox::clicked, this, &frmFamilyRules::chkLocked_Click);
    connect(cmdAdd, &QPushButton::clicked, this, &frmFamilyRules::cmdAdd_Click);
    connect(txtName, &QLineEdit::returnPressed, this, &frmFamilyRules::cmdAdd_Click);
    connect(cmdRemove, &QPushButton::clicked, this, &frmFamilyRules::cmdRemove_Click);
    connect(cmdUp, &QPushButton::clicked, this, [this] { move(-1); });
    connect(cmdDown, &QPushButton::clicked, this, [this] { move(1); });
    connect(spnAllowance, &QSpinBox::valueChanged, this, &frmFamilyRules::spnAllowance_Change);
    connect(lstChildren, &QTreeWidget::currentItemChanged, this, &frmFamilyRules::showChosen);
    connect(CMDok, &QPushButton::clicked, this, &frmFamilyRules::CMDok_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);

    chkLocked_Click();
    refresh(m_names.isEmpty() ? -1 : 0);
    chkLocked->setFocus();
}

int frmFamilyRules::selectedRow() const
{
    const int row = lstChildren->indexOfTopLevelItem(lstChildren->currentItem());
    return row >= 0 && row < m_names.size() ? row : -1;
}

void frmFamilyRules::refuse(QWidget *field, const QString &reason)
{
    ui().message(this, reason, UiService::MessageIcon::Exclamation, ui().applicationName());
    if (!field)
        return;
    field->setFocus();
    if (auto *box = qobject_cast<QLineEdit *>(field))
        box->selectAll();
}

// The rules apply only under the lock; without it they are shown as they stand, greyed.
void frmFamilyRules::chkLocked_Click()
{
    fraRules->setEnabled(chkLocked->isChecked());
}

QString frmFamilyRules::childRefusal(const QString &name, const QStringList &names)
{
    const QString reason = Children::refusal(name, names);
    if (!reason.isEmpty() || SystemLock::nameRefusal(name.trimmed()).isEmpty())
        return reason;
    //: A message when a child's name holds a character the lock's file cannot keep in a
    //: name. Keep the characters as they are.
    return tr("A name in the family rules cannot hold , ; = # \" or \\.");
}

void frmFamilyRules::cmdAdd_Click()
{
    QString reason = childRefusal(txtName->text(), m_names);
    if (reason.isEmpty() && m_names.size() >= SystemLock::MostChildren)
        //: A message when a parent adds a child to a full list. %1 is the number (32).
        reason = tr("At most %1 children can take turns.").arg(SystemLock::MostChildren);
    if (!reason.isEmpty()) {
        refuse(txtName, reason);
        return;
    }
    m_names.append(txtName->text().trimmed());
    txtName->clear();
    refresh(int(m_names.size()) - 1);
}

void frmFamilyRules::cmdRemove_Click()
{
    const int row = selectedRow();
    if (row < 0)
        return;
    m_allowance.remove(m_names.takeAt(row));
    refresh(qMin(row, int(m_names.size()) - 1));
}

void frmFamilyRules::move(int by)
{
    const int row = selectedRow();
    const int to = row + by;
    if (row < 0 || to < 0 || to >= m_names.size())
        return;
    m_names.move(row, to);
    refresh(to);
}

void frmFamilyRules::spnAllowance_Change(int minutes)
{
    const int row = selectedRow();
    if (row < 0)
        return;
    if (minutes > 0)
        m_allowance.insert(m_names.at(row), minutes * 60);
    else
        m_allowance.remove(m_names.at(row));
    lstChildren->topLevelItem(row)->setText(AllowanceColumn, allowanceText(m_names.at(row)));
}

QString frmFamilyRules::allowanceText(const QString &child) const
{
    const int minutes = minutesOf(m_allowance.value(child));
    //: In the box of a child's time a day, and in the list, for 0: the child may have turns
    //: all day long.
    return minutes > 0 ? QString::number(minutes) : tr("No limit");
}

// Shows the list again, with each child's time a day and today's, and the child at
// selected chosen.
void frmFamilyRules::refresh(int selected)
{
    {
        const QSignalBlocker quiet(lstChildren);
        lstChildren->clear();
        for (const QString &name : std::as_const(m_names)) {
            auto *item =
                new QTreeWidgetItem(lstChildren, {name, allowanceText(name),
                                                  QString::number(m_usedToday.value(name) / 60)});
            item->setTextAlignment(AllowanceColumn, Qt::AlignRight | Qt::AlignVCenter);
            item->setTextAlignment(TodayColumn, Qt::AlignRight | Qt::AlignVCenter);
        }
        lstChildren->setCurrentItem(lstChildren->topLevelItem(selected));
    }
    showChosen();
}

// What the buttons and the chosen child's time a day can do now.
void frmFamilyRules::showChosen()
{
    const int row = selectedRow();
    {
        const QSignalBlocker quiet(spnAllowance);
        spnAllowance->setValue(row >= 0 ? minutesOf(m_allowance.value(m_names.at(row))) : 0);
    }
    spnAllowance->setEnabled(row >= 0);
    lblAllowance->setEnabled(row >= 0);
    cmdRemove->setEnabled(row >= 0);
    cmdUp->setEnabled(row > 0);
    cmdDown->setEnabled(row >= 0 && row + 1 < m_names.size());
}

void frmFamilyRules::CMDok_Click()
{
    if (const std::optional<SystemLock::Change> change = edited()) {
        m_change = *change;
        accept();
    }
}

std::optional<SystemLock::Change> frmFamilyRules::edited()
{
    SystemLock::Change change = m_change;
    change.locked = chkLocked->isChecked();
    // Without the lock no rule applies: they stay as they came, and no password is set.
    if (!change.locked)
        return change;

    if (txtPassword->text() != txtVerify->text()) {
        //: A message when the new password and its second typing differ.
        refuse(txtPassword, tr("The two passwords differ. Type the new password the same way "
                               "in both boxes."));
        return std::nullopt;
    }
    if (!txtPassword->text().isEmpty())
        change.password = txtPassword->text();
    else if (!m_change.locked) {
        //: A message when a parent sets the lock where none stood, without a password.
        refuse(txtPassword, tr("A new lock needs a parent password. Type it in both boxes."));
        return std::nullopt;
    }

    SystemLock::Rules &rules = change.rules;
    for (int i = 0; i < m_names.size(); ++i) {
        if (const QString reason = childRefusal(m_names.at(i), m_names.mid(0, i));
            !reason.isEmpty()) {
            refresh(i);
            refuse(lstChildren, reason);
            return std::nullopt;
        }
    }
    rules.children = m_names;
    rules.allowance.clear();
    for (const QString &name : std::as_const(m_names)) {
        if (m_allowance.value(name) > 0)
            rules.allowance.insert(name, m_allowance.value(name));
    }

    rules.accounts.clear();
    for (const QString &typed : txtAccounts->text().split(QLatin1Char(','))) {
        const QString account = typed.trimmed();
        if (account.isEmpty() || rules.accounts.contains(account))
            continue;
        if (!SystemLock::accountRefusal(account).isEmpty()) {
            //: A message when a text typed among the accounts cannot be an account's name
            //: (a login name such as "ann"). %1 is that text.
            refuse(txtAccounts, tr("\"%1\" is not the name of an account: such a name holds "
                                   "only letters a to z, digits, _, . and -, and begins with a "
                                   "letter or _.")
                                    .arg(account));
            return std::nullopt;
        }
        rules.accounts.append(account);
    }
    rules.lockOutsideTurns = chkOutsideTurns->isChecked();
    if (rules.lockOutsideTurns && rules.accounts.isEmpty()) {
        //: A message when the desktop is to be locked outside turns but no account is named.
        refuse(txtAccounts, tr("Name at least one account to lock outside turns."));
        return std::nullopt;
    }

    // A length not in whole minutes, or none, stays as it came while its box is left as
    // it was.
    if (spnLength->value() != m_lengthShown)
        rules.maxTime = spnLength->value() * 60;
    rules.breakSeconds =
        spnBreak->value() > 0 ? std::optional<qint32>(spnBreak->value() * 60) : std::nullopt;

    if (const QString refusal = SystemLock::rulesRefusal(rules); !refusal.isEmpty()) {
        //: A message when the rules break a rule of the lock's file that the window does
        //: not check itself. %1 says which, in English.
        refuse(nullptr, tr("These rules cannot be kept: %1.").arg(refusal));
        return std::nullopt;
    }
    return change;
}
