// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <QHash>

class Line;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

// The program's only user documentation: a tree of topics and, beside it, the heading
// and text of the topic chosen. Every opening builds it afresh.
class frmHelp : public QDialog
{
    Q_OBJECT
public:
    explicit frmHelp(QWidget *parent = nullptr);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    // Escape does not close this window.
    void keyPressEvent(QKeyEvent *event) override;

private:
    void Form_Load();
    void addNode(const QString &parentKey, const QString &key, const QString &text);
    void treHelp_NodeClick();
    void treHelp_ItemClicked(QTreeWidgetItem *item);
    void CMDok_Click();

    // The created nodes by key; replaced at every load.
    QHash<QString, QTreeWidgetItem *> m_nodes;
    // The node that was selected when the mouse button last went down on the tree.
    QTreeWidgetItem *m_selectedAtPress = nullptr;

    QTreeWidget *treHelp = nullptr;
    QPlainTextEdit *txtHelp = nullptr;
    QLabel *lblCaption = nullptr;
    QPushButton *CMDok = nullptr;
    QLabel *Label1 = nullptr;
    Line *Line2 = nullptr;
    Line *Line1 = nullptr;
};
