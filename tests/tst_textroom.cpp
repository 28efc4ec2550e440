// SPDX-License-Identifier: GPL-3.0-or-later
// Every text of a window of fixed size fits its control, in each language the program
// speaks: measured with the font the control really uses against the room it gives.
#include "app/Translations.h"
#include "app/frmMain.h"
#include "help/frmAbout.h"
#include "help/frmHelp.h"
#include "logic/Countdown.h"
#include "security/frmLogin.h"
#include "security/frmPasswords.h"
#include "settings/frmSetTime.h"
#include "support/TestSupport.h"

#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QStyle>
#include <QTest>
#include <QTreeWidget>

#include <memory>

namespace {

// The window manager draws a dialog's title, in its own font, centred on the whole
// title bar, beside its buttons: openbox (Clearlooks, sans bold 8 pt) leaves a
// window's width less 108 pixels to the text.
QFont titleFont()
{
    QFont font(QStringLiteral("Sans"));
    font.setPointSizeF(8);
    font.setBold(true);
    return font;
}
constexpr int titleBarTaken = 108;

QString shown(const QString &text)
{
    return QString(text).remove(QRegularExpression(QStringLiteral("&(?!&)")));
}

QString fault(const QWidget *control, const QString &text, int needed, int given)
{
    return QStringLiteral("%1.%2 \"%3\" needs %4 px, has %5")
        .arg(control->window()->objectName(), control->objectName(), text)
        .arg(needed)
        .arg(given);
}

// The texts of one window that do not fit: its buttons (with the margin the style keeps
// between a button's text and its edges), its labels (a height where the words wrap),
// the items of its trees, and the others a label shows in turn.
QStringList overruns(QWidget *window, const QList<QPair<QLabel *, QStringList>> &shownInTurn)
{
    window->show();
    QStringList faults;
    for (const QPushButton *button : window->findChildren<QPushButton *>()) {
        const int margin = button->style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, button);
        const int needed = button->fontMetrics().horizontalAdvance(shown(button->text())) + margin;
        if (!button->text().isEmpty() && needed > button->width())
            faults.append(fault(button, button->text(), needed, button->width()));
    }
    for (const QLabel *label : window->findChildren<QLabel *>()) {
        if (label->text().isEmpty())
            continue;
        if (label->wordWrap()) {
            const int needed = label->heightForWidth(label->width());
            if (needed > label->height())
                faults.append(fault(label, label->text(), needed, label->height()) +
                              QStringLiteral(" in height"));
        } else if (label->sizeHint().width() > label->width()) {
            faults.append(fault(label, label->text(), label->sizeHint().width(), label->width()));
        }
    }
    for (const auto &[label, texts] : shownInTurn) {
        for (const QString &text : texts) {
            const int needed = label->fontMetrics().horizontalAdvance(text);
            if (needed > label->contentsRect().width())
                faults.append(fault(label, text, needed, label->contentsRect().width()));
        }
    }
    for (QTreeWidget *tree : window->findChildren<QTreeWidget *>()) {
        tree->expandAll();
        QCoreApplication::processEvents(); // lays the items out, and any scroll bar
        const int margin =
            tree->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, tree) + 1;
        for (QTreeWidgetItemIterator node(tree); *node; ++node) {
            // Where the item's delegate draws its text, eliding what does not fit.
            QStyleOptionViewItem option;
            option.initFrom(tree->viewport());
            option.rect = tree->visualItemRect(*node) & tree->viewport()->rect();
            const QVariant font = tree->indexFromItem(*node).data(Qt::FontRole);
            option.font = font.isValid() ? font.value<QFont>() : tree->font();
            option.fontMetrics = QFontMetrics(option.font);
            option.text = (*node)->text(0);
            option.features = QStyleOptionViewItem::HasDisplay;
            option.displayAlignment = Qt::AlignLeft | Qt::AlignVCenter;
            if (!(*node)->icon(0).isNull()) {
                option.features |= QStyleOptionViewItem::HasDecoration;
                option.icon = (*node)->icon(0);
                option.decorationSize = tree->iconSize();
                option.decorationPosition = QStyleOptionViewItem::Left;
            }
            const QRect text =
                tree->style()->subElementRect(QStyle::SE_ItemViewItemText, &option, tree);
            const int needed = option.fontMetrics.horizontalAdvance(option.text) + 2 * margin;
            if (needed > text.width())
                faults.append(fault(tree, option.text, needed, text.width()));
        }
    }
    return faults;
}

struct Window
{
    std::unique_ptr<QWidget> widget;
    QList<QPair<QLabel *, QStringList>> shownInTurn; // other texts a label shows
};

Window makeWindow(const QString &name)
{
    if (name == QLatin1String("password prompt"))
        return {std::make_unique<frmLogin>(), {}};
    if (name == QLatin1String("password change"))
        return {std::make_unique<frmPasswords>(), {}};
    if (name == QLatin1String("timer length"))
        return {std::make_unique<frmSetTime>(600), {}};
    if (name == QLatin1String("about"))
        return {std::make_unique<frmAbout>(), {}};
    auto *help = new frmHelp;
    QStringList topics;
    for (QTreeWidgetItemIterator node(help->findChild<QTreeWidget *>()); *node; ++node)
        topics.append((*node)->text(0));
    return {std::unique_ptr<QWidget>(help),
            {{help->findChild<QLabel *>(QStringLiteral("lblCaption")), topics}}};
}

} // namespace

class TestTextRoom : public QObject
{
    Q_OBJECT
private slots:
    void textsFitTheirControls_data();
    void textsFitTheirControls();
    void mainWindowTextsFit_data();
    void mainWindowTextsFit();
};

void TestTextRoom::textsFitTheirControls_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("window");
    for (const char *locale : {"en_US", "de_DE", "fr_FR", "es_ES", "nl_NL"}) {
        for (const char *window :
             {"password prompt", "password change", "timer length", "about", "help"})
            QTest::addRow("%s, %s", locale, window)
                << QString::fromLatin1(locale) << QString::fromLatin1(window);
    }
}

// The titles are held to the window manager's room where the English fits it; where
// even the English is cut (the narrow password windows), the window is too small for
// this window manager's title bar, whatever the language.
void TestTextRoom::textsFitTheirControls()
{
    QFETCH(QString, locale);
    QFETCH(QString, window);
    const TestHome home;
    RecordingUi recorder;
    const QFontMetrics titleMetrics(titleFont());
    const Window english = makeWindow(window);
    const int titleRoom = english.widget->width() - titleBarTaken;
    const bool englishTitleFits =
        titleMetrics.horizontalAdvance(english.widget->windowTitle()) <= titleRoom;

    const Translations translations{QLocale(locale)};
    QCOMPARE(translations.language().isEmpty(), locale.startsWith(QLatin1String("en")));
    const Window translated = makeWindow(window);
    QStringList faults = overruns(translated.widget.get(), translated.shownInTurn);
    const QString title = translated.widget->windowTitle();
    if (englishTitleFits && titleMetrics.horizontalAdvance(title) > titleRoom)
        faults.append(QStringLiteral("the title \"%1\" needs %2 px, has %3")
                          .arg(title)
                          .arg(titleMetrics.horizontalAdvance(title))
                          .arg(titleRoom));
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));
}

void TestTextRoom::mainWindowTextsFit_data()
{
    QTest::addColumn<QString>("locale");
    for (const char *locale : {"en_US", "de_DE", "fr_FR", "es_ES", "nl_NL"})
        QTest::newRow(locale) << QString::fromLatin1(locale);
}

// The big label of the main window says ready, started and time's up in turn.
void TestTextRoom::mainWindowTextsFit()
{
    QFETCH(QString, locale);
    const Translations translations{QLocale(locale)};
    MainWindowFixture main;
    const QStringList faults =
        overruns(main.window.get(),
                 {{main.label,
                   {Countdown::readyText(), Countdown::startedText(), Countdown::timeUpText()}}});
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));
}

QTEST_MAIN(TestTextRoom)
#include "tst_textroom.moc"
