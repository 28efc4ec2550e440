// SPDX-License-Identifier: GPL-3.0-or-later
#include "turns/frmTurns.h"

#include "turns/TurnsChart.h"
#include "ui/UiService.h"

#include <QDir>
#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSaveFile>
#include <QSizeGrip>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// Today and the six days before.
constexpr int daysShown = 7;

enum Column { ChildColumn, StartedColumn, MinutesColumn, EndingColumn, Columns };

} // namespace

frmTurns::frmTurns(const QList<TurnLog::Entry> &entries, const QStringList &children,
                   const QDate &today, QWidget *parent)
    : QDialog(parent), m_entries(entries), m_today(today)
{
    setObjectName(QStringLiteral("frmTurns"));
    //: The title of the window with the record of the turns taken.
    setWindowTitle(tr("Turns"));
    setWindowIcon(ui().icon(QStringLiteral("face.ico")));
    setModal(true);
    setSizeGripEnabled(true);
    if (auto *grip = findChild<QSizeGrip *>())
        //: Accessible name (read by screen readers) of the corner that resizes the window.
        grip->setAccessibleName(tr("Resize"));

    chrTurns = new TurnsChart(this);
    QList<QDate> days;
    for (int back = daysShown - 1; back >= 0; --back)
        days.append(today.addDays(-back));
    chrTurns->setFigures(days, TurnFigures::minutesPerDay(entries, today, daysShown, children));

    grdTurns = new QTableWidget(0, Columns, this);
    grdTurns->setObjectName(QStringLiteral("grdTurns"));
    //: Accessible name (read by screen readers) of the table of the last turns.
    grdTurns->setAccessibleName(tr("Last turns"));
    grdTurns->setHorizontalHeaderLabels({
        //: A column's heading: the child whose turn it was.
        tr("Child"),
        //: A column's heading: the date and time the turn began.
        tr("Started"),
        //: A column's heading: how many minutes the turn took.
        tr("Minutes"),
        //: A column's heading: time's up, stopped by a parent...
        tr("How it ended"),
    });
    grdTurns->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdTurns->setSelectionBehavior(QAbstractItemView::SelectRows);
    grdTurns->setAlternatingRowColors(true);
    grdTurns->verticalHeader()->hide();
    // The columns fit their texts in any font; the last takes the rest of the width.
    grdTurns->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    grdTurns->horizontalHeader()->setStretchLastSection(true);
    //: Accessible name of the table's row of column headings.
    grdTurns->horizontalHeader()->setAccessibleName(tr("Columns of the last turns"));

    //: Above the table. & marks the access key; keep it apart from "&Export...".
    lblTurns = new QLabel(tr("&Last turns:"), this);
    lblTurns->setObjectName(QStringLiteral("lblTurns"));
    lblTurns->setBuddy(grdTurns);

    //: A button: saves the record of turns as a CSV file (for a spreadsheet). & marks
    //: the access key.
    cmdExport = new QPushButton(tr("&Export..."), this);
    cmdExport->setObjectName(QStringLiteral("cmdExport"));
    //: Accessible name of the button "&Export...".
    cmdExport->setAccessibleName(tr("Export the record of turns"));
    //: Closes the window.
    cmdClose = new QPushButton(tr("Close"), this);
    cmdClose->setObjectName(QStringLiteral("cmdClose"));
    cmdClose->setAccessibleName(tr("Close"));
    cmdClose->setDefault(true);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(cmdExport);
    buttons->addStretch();
    buttons->addWidget(cmdClose);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(chrTurns, 3);
    layout->addWidget(lblTurns);
    layout->addWidget(grdTurns, 2);
    layout->addLayout(buttons);

    connect(cmdExport, &QPushButton::clicked, this, &frmTurns::cmdExport_Click);
    connect(cmdClose, &QPushButton::clicked, this, &QDialog::accept);

    fillTable();
    fitFont();
    resize(sizeHint());
    cmdClose->setFocus();
}

void frmTurns::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange)
        fitFont();
    QDialog::changeEvent(event);
}

void frmTurns::fitFont()
{
    grdTurns->setMinimumHeight(grdTurns->fontMetrics().height() * 7);
}

QString frmTurns::endingText(const std::optional<TurnLog::Ending> &ending)
{
    // How a turn ended, in the table's last column.
    if (!ending)
        //: How a turn ended: it has not, it still runs.
        return tr("Running");
    switch (*ending) {
    case TurnLog::Ending::TimeUp:
        //: How a turn ended: its time was up.
        return tr("Time's up");
    case TurnLog::Ending::Stopped:
        //: How a turn ended: a parent stopped it with the password.
        return tr("Stopped by a parent");
    case TurnLog::Ending::ProgramEnded:
        //: How a turn ended: the program was ended (the computer was shut down, say),
        //: and the turn went on at its next start.
        return tr("Program ended");
    case TurnLog::Ending::Abandoned:
        break;
    }
    //: How a turn ended: the program was ended and not started again before the turn's
    //: time was over.
    return tr("Abandoned");
}

void frmTurns::fillTable()
{
    QList<TurnLog::Entry> newestFirst = m_entries;
    std::stable_sort(newestFirst.begin(), newestFirst.end(),
                     [](const TurnLog::Entry &a, const TurnLog::Entry &b) {
                         return a.started != b.started ? a.started > b.started : a.id > b.id;
                     });
    grdTurns->setRowCount(int(newestFirst.size()));
    const QLocale here = locale();
    for (int row = 0; row < newestFirst.size(); ++row) {
        const TurnLog::Entry &entry = newestFirst.at(row);
        const bool running = !entry.ending;
        const QStringList texts = {
            entry.child,
            here.toString(entry.started.toLocalTime(), QLocale::ShortFormat),
            running ? QString() : here.toString(entry.used / 60.0, 'f', 1),
            endingText(entry.ending),
        };
        for (int column = 0; column < Columns; ++column) {
            auto *item = new QTableWidgetItem(texts.at(column));
            if (column == MinutesColumn)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            grdTurns->setItem(row, column, item);
        }
    }
}

void frmTurns::cmdExport_Click()
{
    const QString path = ui().saveFileName(
        this,
        //: The title of the dialog that asks where to save the record of turns.
        tr("Export Turns"),
        //: The file name offered. %1 is today's date (2026-12-07). Letters, digits and
        //: hyphens only.
        tr("turns-%1.csv").arg(m_today.toString(Qt::ISODate)),
        //: The kinds of files offered, separated by ;;. Translate the words only; keep
        //: (*.csv) and (*) as they are.
        tr("CSV files (*.csv);;All files (*)"));
    if (path.isEmpty())
        return;
    const QByteArray contents = TurnFigures::csv(m_entries);
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(contents) == contents.size() && file.commit())
        return;
    ui().message(this,
                 //: A message when the export fails. %1 is the file's path, %2 why.
                 tr("The turns could not be saved in %1: %2.")
                     .arg(QDir::toNativeSeparators(path), file.errorString()),
                 UiService::MessageIcon::Exclamation, ui().applicationName());
}
