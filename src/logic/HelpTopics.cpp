// SPDX-License-Identifier: GPL-3.0-or-later
#include "logic/HelpTopics.h"

#include <QStringList>

namespace {
QString lines(const QStringList &text)
{
    return text.join(QStringLiteral("\r\n"));
}
} // namespace

namespace HelpTopics {

QString general()
{
    return lines({
        QStringLiteral("TurnKeeper allows parents to control the amount of time thier kids spend "
                       "on the computer. All settings are password protected."),
        QString(),
        QStringLiteral("The default password is playfairly"),
        QString(),
        QStringLiteral("Be sure to change this password as soon as possible to prevent little "
                       "ones from  hacking the timer!"),
    });
}

QString timer()
{
    return QStringLiteral("The timer settings are password protected.  The timer can be set "
                          "anywhere from 1 minute to 3600 minutes(6 hours).");
}

QString settingTheTime()
{
    return lines({
        QStringLiteral("The default time limit is 10 minutes."),
        QString(),
        QStringLiteral("To change the time limit, go to the Timer menu and select 'Set Timer'.  "
                       "Use the up/down arrows to set the desired time and press the OK button."),
    });
}

QString startingAndStopping()
{
    return lines({
        QStringLiteral("TO START THE TIMER"),
        QStringLiteral("From the Timer menu, select 'Start Timer' and the timer will begin."),
        QString(),
        QStringLiteral("TO STOP THE TIMER"),
        QStringLiteral("From the Timer menu, select 'Stop Timer' and the timer will stop."),
    });
}

QString security()
{
    return lines({
        QStringLiteral("All settings are password protected to prevent kids from stopping the "
                       "timer or changing the timer length."),
        QString(),
        QStringLiteral("See 'Changing the Password' in this help file for directions on setting "
                       "the password"),
    });
}

QString changingThePassword()
{
    return lines({
        QStringLiteral("The default password is 'playfairly'."),
        QString(),
        QStringLiteral("To change the password, go to the Parents menu and select 'Security'.  "
                       "Enter the new password in both text boxes to verify.  Next, press the OK "
                       "button."),
    });
}

QString about(const QString &applicationName)
{
    return lines({
        applicationName,
        QStringLiteral("By Rowan Ashdale"),
        QString(),
        QStringLiteral("This product was developed out of personal necessity.  My three daughters "
                       "fight over computer time and this seamed to be the only feasible "
                       "solution.  I hope you enjoy this application as our family has."),
        QString(),
        QStringLiteral("              - Enjoy!"),
    });
}

} // namespace HelpTopics
