// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/ScreenReaders.h"

#include <QAccessible>
#include <QAccessibleObject>
#include <QLineEdit>
#include <QWidget>

namespace {

// What screen readers see of an announcer: a notification named with its text.
class AccessibleAnnouncer : public QAccessibleObject
{
public:
    explicit AccessibleAnnouncer(Announcer *announcer) : QAccessibleObject(announcer) {}

    QAccessibleInterface *parent() const override
    {
        return QAccessible::queryAccessibleInterface(object()->parent());
    }
    int childCount() const override { return 0; }
    QAccessibleInterface *child(int) const override { return nullptr; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }
    QAccessible::Role role() const override { return QAccessible::Notification; }
    QAccessible::State state() const override
    {
        QAccessible::State state;
        state.readOnly = true;
        return state;
    }
    QString text(QAccessible::Text which) const override
    {
        return which == QAccessible::Name ? static_cast<Announcer *>(object())->text() : QString();
    }
};

QAccessibleInterface *accessibleAnnouncer(const QString &className, QObject *object)
{
    if (className == QLatin1String("Announcer") && object)
        return new AccessibleAnnouncer(static_cast<Announcer *>(object));
    return nullptr;
}

const char announcerName[] = "announcer";

} // namespace

Announcer::Announcer(QWidget *window) : QObject(window)
{
    static const bool factoryInstalled = [] {
        QAccessible::installFactory(accessibleAnnouncer);
        return true;
    }();
    Q_UNUSED(factoryInstalled);
    setObjectName(QLatin1String(announcerName));
}

Announcer *Announcer::of(QWidget *window)
{
    auto *announcer =
        window->findChild<Announcer *>(QLatin1String(announcerName), Qt::FindDirectChildrenOnly);
    return announcer ? announcer : new Announcer(window);
}

void Announcer::say(const QString &text)
{
    m_text = text;
    // Orca speaks a notification when it starts showing; hidden first, so that the same
    // text said twice is heard twice.
    QAccessibleEvent hidden(this, QAccessible::ObjectHide);
    QAccessible::updateAccessibility(&hidden);
    QAccessibleEvent shown(this, QAccessible::ObjectShow);
    QAccessible::updateAccessibility(&shown);
}

namespace ScreenReaders {
namespace {

// How many boxes that hide their text are alive.
int hidingBoxes = 0;

QString masked(const QLineEdit *box, const QString &text)
{
    // The character the box shows in place of each one typed.
    const QString shown = box->displayText();
    const QChar mask = shown.isEmpty() ? QChar(u'*') : shown.front();
    return QString(text.size(), mask);
}

// Passes every event on as Qt would, but those about the text of a box that hides it
// with the typed text replaced by mask characters.
void updateHandler(QAccessibleEvent *event)
{
    const auto *box = qobject_cast<QLineEdit *>(event->object());
    const bool hides = box && box->echoMode() != QLineEdit::Normal;
    const auto forward = [](QAccessibleEvent *forwarded) {
        // Qt hands events to the platform only while no handler is installed.
        QAccessible::installUpdateHandler(nullptr);
        QAccessible::updateAccessibility(forwarded);
        QAccessible::installUpdateHandler(hidingBoxes > 0 ? updateHandler : nullptr);
    };
    if (!hides) {
        forward(event);
        return;
    }
    switch (event->type()) {
    case QAccessible::TextInserted: {
        const auto *inserted = static_cast<QAccessibleTextInsertEvent *>(event);
        QAccessibleTextInsertEvent hidden(event->object(), inserted->changePosition(),
                                          masked(box, inserted->textInserted()));
        forward(&hidden);
        return;
    }
    case QAccessible::TextRemoved: {
        const auto *removed = static_cast<QAccessibleTextRemoveEvent *>(event);
        QAccessibleTextRemoveEvent hidden(event->object(), removed->changePosition(),
                                          masked(box, removed->textRemoved()));
        forward(&hidden);
        return;
    }
    case QAccessible::TextUpdated: {
        const auto *updated = static_cast<QAccessibleTextUpdateEvent *>(event);
        QAccessibleTextUpdateEvent hidden(event->object(), updated->changePosition(),
                                          masked(box, updated->textRemoved()),
                                          masked(box, updated->textInserted()));
        forward(&hidden);
        return;
    }
    default:
        forward(event);
        return;
    }
}

} // namespace

void hideTyping(QLineEdit *box)
{
    // Qt hands every event to the handler only after it has applied those that change a
    // table to the table's own records: the handler lives only as long as the boxes, so
    // that no table can change meanwhile and be applied twice by the forwarding.
    if (hidingBoxes++ == 0)
        QAccessible::installUpdateHandler(updateHandler);
    QObject::connect(box, &QObject::destroyed, [] {
        if (--hidingBoxes == 0)
            QAccessible::installUpdateHandler(nullptr);
    });
}

} // namespace ScreenReaders
