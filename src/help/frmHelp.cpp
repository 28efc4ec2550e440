// SPDX-License-Identifier: GPL-3.0-or-later
#include "help/frmHelp.h"

#include "logic/HelpTopics.h"
#include "ui/Controls.h"
#include "ui/UiService.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextOption>
#include <QTreeWidget>

namespace {

// ImageList1: a top-level topic shows the closed smile (image 2), and the open red
// mouth (image 1) while it is selected.
QIcon topicIcon()
{
    QIcon icon;
    icon.addFile(QStringLiteral(":/pictures/topic.ico"), QSize(), QIcon::Normal);
    icon.addFile(QStringLiteral(":/pictures/topic_selected.ico"), QSize(), QIcon::Selected);
    return icon;
}

// The tree's nodes in the order they are added: the parent's key (empty at the top),
// the node's key and its text.
struct NodeText
{
    const char *parentKey;
    const char *key;
    const char *text;
};
const NodeText nodeTexts[] = {
    //: A help topic in the list of topics, and its heading.
    {"", "gen", QT_TRANSLATE_NOOP("frmHelp", "General")},
    //: A help topic (about the timer's settings), and its heading.
    {"", "tmr", QT_TRANSLATE_NOOP("frmHelp", "The Timer")},
    //: A help topic under "The Timer": how to choose the length of a turn.
    {"tmr", "c_tmr", QT_TRANSLATE_NOOP("frmHelp", "Setting the Time")},
    //: A help topic under "The Timer": how to start and stop it.
    {"tmr", "s_tmr", QT_TRANSLATE_NOOP("frmHelp", "Start/Stop the Timer")},
    //: A help topic: the password and what it protects.
    {"", "sec", QT_TRANSLATE_NOOP("frmHelp", "Security")},
    //: A help topic under "Security". The topic "Security" names it in its text.
    {"sec", "c_sec", QT_TRANSLATE_NOOP("frmHelp", "Changing the Password")},
    //: A help topic about the program and its author. TurnKeeper is the program's name.
    {"", "about", QT_TRANSLATE_NOOP("frmHelp", "About TurnKeeper")},
};

// The order in which the click handler looks for the selected node.
const QStringList clickOrder = {
    QStringLiteral("gen"),   QStringLiteral("sec"),   QStringLiteral("tmr"),
    QStringLiteral("c_sec"), QStringLiteral("c_tmr"), QStringLiteral("s_tmr"),
    QStringLiteral("about"),
};

QString topicText(const QString &key)
{
    if (key == QLatin1String("gen"))
        return HelpTopics::general();
    if (key == QLatin1String("sec"))
        return HelpTopics::security();
    if (key == QLatin1String("tmr"))
        return HelpTopics::timer();
    if (key == QLatin1String("c_sec"))
        return HelpTopics::changingThePassword();
    if (key == QLatin1String("c_tmr"))
        return HelpTopics::settingTheTime();
    if (key == QLatin1String("s_tmr"))
        return HelpTopics::startingAndStopping();
    return HelpTopics::about(ui().applicationName());
}

} // namespace

frmHelp::frmHelp(QWidget *parent) : QDialog(parent, fixedDialogFlags)
{
    setObjectName(QStringLiteral("frmHelp"));
    //: The help window's title. TurnKeeper is the program's name.
    setWindowTitle(tr("TurnKeeper Help"));
    setFixedSize(Twips::size(5325, 3855));

    treHelp = new QTreeWidget(this);
    treHelp->setObjectName(QStringLiteral("treHelp"));
    treHelp->setGeometry(Twips::rect(0, 360, 2535, 2775));
    treHelp->setFont(ui().font(QStringLiteral("Arial"), 8.25, 400));
    treHelp->setHeaderHidden(true);
    treHelp->setColumnCount(1);
    treHelp->setSelectionMode(QAbstractItemView::SingleSelection);
    treHelp->setIconSize(QSize(16, 16));
    treHelp->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // A topic stays open however often it is clicked; the user folds it with its button
    // or the keyboard.
    treHelp->setExpandsOnDoubleClick(false);
    treHelp->viewport()->installEventFilter(this);

    txtHelp = new QPlainTextEdit(this);
    txtHelp->setObjectName(QStringLiteral("txtHelp"));
    txtHelp->setGeometry(Twips::rect(2520, 840, 2775, 2295));
    txtHelp->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    txtHelp->setWordWrapMode(QTextOption::WordWrap);
    // The desktop's default font is larger than the one this box was sized for, so the
    // longer topics do not fit: a scroll bar shows that there is more to read.
    txtHelp->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    txtHelp->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    txtHelp->setTabChangesFocus(true);
    // Nothing typed, pasted or deleted reaches the text; the caret still moves, so
    // the arrow and paging keys scroll it, and Enter goes on to the OK button.
    txtHelp->setReadOnly(true);
    txtHelp->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);

    lblCaption = new QLabel(tr(nodeTexts[0].text), this);
    lblCaption->setObjectName(QStringLiteral("lblCaption"));
    lblCaption->setGeometry(Twips::rect(2520, 360, 2775, 495));
    lblCaption->setFont(ui().font(QStringLiteral("Comic Sans MS"), 12, 400));
    lblCaption->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    QPalette captionPalette = lblCaption->palette();
    captionPalette.setColor(QPalette::WindowText, QColor(0, 0, 255));
    lblCaption->setPalette(captionPalette);

    //: The button that closes the help window.
    CMDok = new QPushButton(tr("OK"), this);
    CMDok->setObjectName(QStringLiteral("CMDok"));
    CMDok->setGeometry(Twips::rect(4560, 3360, 735, 375));
    CMDok->setDefault(true);

    //: Above the list of help topics.
    Label1 = new QLabel(tr("Select A Topic :"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(Twips::rect(120, 120, 1815, 255));
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    //: Accessible name (read by screen readers) of the list of help topics.
    treHelp->setAccessibleName(tr("Topics"));
    // The help text is named by the heading of the topic it shows.
    lblCaption->setBuddy(txtHelp);

    Line2 = new Line(this, QStringLiteral("Line2"), {0, 3240}, {5280, 3240},
                     ui().systemColor(UiService::SystemColor::CaptionText));
    Line1 = new Line(this, QStringLiteral("Line1"), {0, 3240}, {5280, 3240},
                     ui().systemColor(UiService::SystemColor::AppWorkspace));

    setTabOrder(treHelp, txtHelp);
    setTabOrder(txtHelp, CMDok);
    treHelp->setFocus();

    // Choosing a node with the keyboard counts as clicking it, and so does a click on
    // the node that is already selected, which changes no selection.
    connect(treHelp, &QTreeWidget::itemSelectionChanged, this, &frmHelp::treHelp_NodeClick);
    connect(treHelp, &QTreeWidget::itemClicked, this, &frmHelp::treHelp_ItemClicked);
    connect(CMDok, &QPushButton::clicked, this, &frmHelp::CMDok_Click);

    Form_Load();
}

void frmHelp::Form_Load()
{
    Line1->setEnds({Line1->from().x(), Line2->from().y() + 10},
                   {Line1->to().x(), Line2->to().y() + 10});

    treHelp->clear();
    m_nodes.clear();
    m_selectedAtPress = nullptr;
    for (const NodeText &node : nodeTexts)
        addNode(QString::fromLatin1(node.parentKey), QString::fromLatin1(node.key), tr(node.text));

    txtHelp->setPlainText(HelpTopics::general());
}

void frmHelp::addNode(const QString &parentKey, const QString &key, const QString &text)
{
    QTreeWidgetItem *node = nullptr;
    if (parentKey.isEmpty()) {
        node = new QTreeWidgetItem(treHelp, {text});
        node->setIcon(0, topicIcon());
    } else {
        node = new QTreeWidgetItem(m_nodes.value(parentKey), {text});
    }
    node->setData(0, Qt::UserRole, key);
    m_nodes.insert(key, node);
}

void frmHelp::treHelp_NodeClick()
{
    const QList<QTreeWidgetItem *> selected = treHelp->selectedItems();
    // A Ctrl+click can leave the tree without a selected node: then nothing changes.
    if (selected.isEmpty())
        return;

    for (const QString &key : clickOrder) {
        QTreeWidgetItem *node = m_nodes.value(key);
        if (!node || !node->isSelected())
            continue;
        if (key == QLatin1String("sec") || key == QLatin1String("tmr"))
            node->setExpanded(true);
        txtHelp->setPlainText(topicText(key));
        break;
    }
    lblCaption->setText(selected.constFirst()->text(0));
}

void frmHelp::treHelp_ItemClicked(QTreeWidgetItem *item)
{
    // A click that selected a new node has been handled with the selection change.
    if (item && item == m_selectedAtPress)
        treHelp_NodeClick();
}

bool frmHelp::eventFilter(QObject *watched, QEvent *event)
{
    // Seen before the tree handles the press, so before the press changes the selection.
    if (watched == treHelp->viewport() && event->type() == QEvent::MouseButtonPress)
        m_selectedAtPress = treHelp->selectedItems().value(0);
    return QDialog::eventFilter(watched, event);
}

void frmHelp::keyPressEvent(QKeyEvent *event)
{
    if (event->matches(QKeySequence::Cancel)) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void frmHelp::CMDok_Click()
{
    accept();
}
