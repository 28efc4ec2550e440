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
    setWindowTitle(tr("Turns"));
    setWindowIcon(ui().icon(QStringLiteral("face.ico")));
    setModal(true);
    setSizeGripEnabled(true);

    chrTurns = new TurnsChart(this);
    QList<QDate> days;
    for (int back = daysShown - 1; back >= 0; --back)
        days.append(today.addDays(-back));
    chrTurns->setFigures(days, TurnFigures::minutesPerDay(entries, today, daysShown, children));

    grdTurns = new QTableWidget(0, Columns, this);
    grdTurns->setObjectName(QStringLiteral("grdTurns"));
    grdTurns->setAccessibleName(tr("Last turns"));
    grdTurns->setHorizontalHeaderLabels(
        {tr("Child"), tr("Started"), tr("Minutes"), tr("How it ended")});
    grdTurns->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdTurns->setSelectionBehavior(QAbstractItemView::SelectRows);
    grdTurns->setAlternatingRowColors(true);
    grdTurns->verticalHeader()->hide();
    // The columns fit their texts in any font; the last takes the rest of the width.
    grdTurns->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    grdTurns->horizontalHeader()->setStretchLastSection(true);
    grdTurns->horizontalHeader()->setAccessibleName(tr("Columns of the last turns"));

    lblTurns = new QLabel(tr("&Last turns:"), this);
    lblTurns->setObjectName(QStringLiteral("lblTurns"));
    lblTurns->setBuddy(grdTurns);

    cmdExport = new QPushButton(tr("&Export..."), this);
    cmdExport->setObjectName(QStringLiteral("cmdExport"));
    cmdExport->setAccessibleName(tr("Export the record of turns"));
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
    if (!ending)
        return tr("Running");
    switch (*ending) {
    case TurnLog::Ending::TimeUp:
        return tr("Time's up");
    case TurnLog::Ending::Stopped:
        return tr("Stopped by a parent");
    case TurnLog::Ending::ProgramEnded:
        return tr("Program ended");
    case TurnLog::Ending::Abandoned:
        break;
    }
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
        this, tr("Export Turns"), QStringLiteral("turns-%1.csv").arg(m_today.toString(Qt::ISODate)),
        tr("CSV files (*.csv);;All files (*)"));
    if (path.isEmpty())
        return;
    const QByteArray contents = TurnFigures::csv(m_entries);
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(contents) == contents.size() && file.commit())
        return;
    ui().message(this,
                 tr("The turns could not be saved in %1: %2.")
                     .arg(QDir::toNativeSeparators(path), file.errorString()),
                 UiService::MessageIcon::Exclamation, ui().applicationName());
}
