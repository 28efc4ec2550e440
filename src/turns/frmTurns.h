// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "logic/TurnLog.h"

#include <QDate>
#include <QDialog>
#include <QList>
#include <QStringList>

#include <optional>

class QLabel;
class QPushButton;
class QTableWidget;
class TurnsChart;

// The Turns window, for everyone to see: the minutes each child used today and in
// the six days before, and the last turns. Its opener gives it the record; it can save
// the whole of it as CSV.
class frmTurns : public QDialog
{
    Q_OBJECT
public:
    // children in turn order, as the chart's series go; today is the chart's last day.
    frmTurns(const QList<TurnLog::Entry> &entries, const QStringList &children, const QDate &today,
             QWidget *parent = nullptr);

    // What the table says of how a stretch ended.
    static QString endingText(const std::optional<TurnLog::Ending> &ending);

protected:
    void changeEvent(QEvent *event) override;

private:
    void fillTable();
    // Sizes that follow the font: the table keeps room for a few rows.
    void fitFont();
    void cmdExport_Click();

    QList<TurnLog::Entry> m_entries;
    QDate m_today;

    TurnsChart *chrTurns = nullptr;
    QLabel *lblTurns = nullptr;
    QTableWidget *grdTurns = nullptr;
    QPushButton *cmdExport = nullptr;
    QPushButton *cmdClose = nullptr;
};
