// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>

class QWidget;

// Says a short text to screen readers at the moment something happens, whatever window
// has the keyboard. Orca drops a new name or description of a control that has no
// focus, but speaks a notification that appears in any program: so the announcer is an
// accessible object of the notification role, owned by a window and drawn nowhere,
// that appears anew with each text.
class Announcer : public QObject
{
    Q_OBJECT
public:
    // The window's own announcer, made at its first use.
    static Announcer *of(QWidget *window);

    void say(const QString &text);
    QString text() const { return m_text; }

private:
    explicit Announcer(QWidget *window);

    QString m_text;
};

class QLineEdit;

namespace ScreenReaders {
// While box lives, what is typed into a text box that hides it (a password) reaches
// screen readers hidden too: each event that would carry the text carries as many mask
// characters instead. Qt's own line edit sends the typed characters in the clear.
void hideTyping(QLineEdit *box);
} // namespace ScreenReaders
