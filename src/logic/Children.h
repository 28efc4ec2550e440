// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QCoreApplication>
#include <QString>
#include <QStringList>

// The children who take turns, in turn order, and whose turn is next, kept in the
// settings store:
//   [Children]
//   Names=Ann, Ben, Cy
//   Next=Ben
// With no names the program knows no child and behaves as it always has.
class Children
{
    Q_DECLARE_TR_FUNCTIONS(Children)

public:
    static constexpr int LongestName = 40;

    Children() = default;
    Children(const QStringList &names, const QString &next) : m_names(names), m_next(next) {}

    // What the store holds; no names when the group is missing or unreadable. Names
    // written by hand that break the rules below are left out.
    static Children read();
    // Stores the list and who is next, or removes the group when there are no names;
    // false, with a reason in errorMessage, when it did not reach the disk.
    [[nodiscard]] bool write(QString *errorMessage = nullptr) const;

    // Why name (trimmed) cannot stand in the list beside names, leaving out the one at
    // except (a name being renamed); empty when it can.
    static QString refusal(const QString &name, const QStringList &names, int except = -1);

    QStringList names() const { return m_names; }
    bool isEmpty() const { return m_names.isEmpty(); }
    // The child whose turn is next: the one stored when it is in the list, else the
    // first; empty without names.
    QString next() const;
    void setNext(const QString &name) { m_next = name; }
    // The child after name in turn order, the first after the last; when name is no
    // longer in the list, the child who is next now.
    QString after(const QString &name) const;

    // What the bar says of the next turn: "Next: Ann".
    static QString nextText(const QString &name);

    bool operator==(const Children &other) const
    {
        return m_names == other.m_names && next() == other.next();
    }

private:
    QStringList m_names;
    QString m_next;
};
