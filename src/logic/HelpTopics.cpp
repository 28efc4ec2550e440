// SPDX-License-Identifier: GPL-3.0-or-later
#include "logic/HelpTopics.h"

#include <QCoreApplication>
#include <QStringList>

// Each paragraph is translated on its own, so that the line breaks stay those of the
// program in every language.
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
        //: Help topic "General", first paragraph. The help speaks to parents, plainly and
        //: warmly, as one parent to another. TurnKeeper is the program's name: keep it.
        QCoreApplication::translate("HelpTopics",
                                    "TurnKeeper allows parents to control the amount of time "
                                    "thier kids spend on the computer. All settings are password "
                                    "protected."),
        QString(),
        //: Help topic "General". playfairly is the password itself: keep it exactly.
        QCoreApplication::translate("HelpTopics", "The default password is playfairly"),
        QString(),
        //: Help topic "General": a friendly warning, with a wink.
        QCoreApplication::translate("HelpTopics",
                                    "Be sure to change this password as soon as possible to "
                                    "prevent little ones from  hacking the timer!"),
    });
}

QString timer()
{
    //: Help topic "The Timer". 3600 minutes are 60 hours: the English "6 hours" is a
    //: typing mistake; write 60 hours.
    return QCoreApplication::translate("HelpTopics",
                                       "The timer settings are password protected.  The timer "
                                       "can be set anywhere from 1 minute to 3600 minutes(6 "
                                       "hours).");
}

QString settingTheTime()
{
    return lines({
        //: Help topic "Setting the Time".
        QCoreApplication::translate("HelpTopics", "The default time limit is 10 minutes."),
        QString(),
        //: Help topic "Setting the Time". 'Set Timer' is the Timer menu's entry "&Set
        //: Time": name it as it reads in the translated menu, without the &.
        QCoreApplication::translate("HelpTopics",
                                    "To change the time limit, go to the Timer menu and select "
                                    "'Set Timer'.  Use the up/down arrows to set the desired time "
                                    "and press the OK button."),
    });
}

QString startingAndStopping()
{
    return lines({
        //: Help topic "Start/Stop the Timer": a heading, in capitals.
        QCoreApplication::translate("HelpTopics", "TO START THE TIMER"),
        //: Help topic "Start/Stop the Timer". Name the menu and its entry "&Start Timer"
        //: as they read in the translated menu, without the &.
        QCoreApplication::translate("HelpTopics",
                                    "From the Timer menu, select 'Start Timer' and the timer will "
                                    "begin."),
        QString(),
        //: Help topic "Start/Stop the Timer": a heading, in capitals.
        QCoreApplication::translate("HelpTopics", "TO STOP THE TIMER"),
        //: Help topic "Start/Stop the Timer". Name the menu and its entry "&Stop Timer"
        //: as they read in the translated menu, without the &.
        QCoreApplication::translate("HelpTopics",
                                    "From the Timer menu, select 'Stop Timer' and the timer will "
                                    "stop."),
    });
}

QString security()
{
    return lines({
        //: Help topic "Security".
        QCoreApplication::translate("HelpTopics",
                                    "All settings are password protected to prevent kids from "
                                    "stopping the timer or changing the timer length."),
        QString(),
        //: Help topic "Security". 'Changing the Password' is the help topic of that name:
        //: name it as it reads in the translated list of topics.
        QCoreApplication::translate("HelpTopics",
                                    "See 'Changing the Password' in this help file for directions "
                                    "on setting the password"),
    });
}

QString changingThePassword()
{
    return lines({
        //: Help topic "Changing the Password". playfairly is the password: keep it exactly.
        QCoreApplication::translate("HelpTopics", "The default password is 'playfairly'."),
        QString(),
        //: Help topic "Changing the Password". Name the Parents menu and its entry
        //: "&Security" as they read in the translated menu, without the &.
        QCoreApplication::translate("HelpTopics",
                                    "To change the password, go to the Parents menu and select "
                                    "'Security'.  Enter the new password in both text boxes to "
                                    "verify.  Next, press the OK button."),
    });
}

QString about(const QString &applicationName)
{
    return lines({
        applicationName,
        //: Help topic "About TurnKeeper": the author's line. Keep the name as it is.
        QCoreApplication::translate("HelpTopics", "By Rowan Ashdale"),
        QString(),
        //: Help topic "About TurnKeeper": the author speaks of their own family, in the
        //: first person, warmly.
        QCoreApplication::translate("HelpTopics",
                                    "This product was developed out of personal necessity.  My "
                                    "three daughters fight over computer time and this seamed to "
                                    "be the only feasible solution.  I hope you enjoy this "
                                    "application as our family has."),
        QString(),
        //: Help topic "About TurnKeeper": the closing wish, set off to the right by the
        //: blanks before it; keep them.
        QCoreApplication::translate("HelpTopics", "              - Enjoy!"),
    });
}

} // namespace HelpTopics
