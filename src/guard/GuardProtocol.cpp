// SPDX-License-Identifier: GPL-3.0-or-later
#include "guard/GuardProtocol.h"

namespace GuardProtocol {

QString errorName(Error error)
{
    const char *name = "LimitsExceeded";
    switch (error) {
    case Error::NotLocked:
        name = "NotLocked";
        break;
    case Error::InvalidArgument:
        name = "InvalidArgument";
        break;
    case Error::WrongPassword:
        name = "WrongPassword";
        break;
    case Error::TooManyTries:
        name = "TooManyTries";
        break;
    case Error::OnBreak:
        name = "OnBreak";
        break;
    case Error::NoTimeLeft:
        name = "NoTimeLeft";
        break;
    case Error::NotAuthorized:
        name = "NotAuthorized";
        break;
    case Error::LimitsExceeded:
        break;
    }
    return interface + QStringLiteral(".Error.") + QLatin1String(name);
}

QString stateText(Countdown::State state)
{
    switch (state) {
    case Countdown::State::Running:
        return QStringLiteral("running");
    case Countdown::State::TimeUp:
        return QStringLiteral("timeup");
    case Countdown::State::Ready:
        break;
    }
    return QStringLiteral("ready");
}

std::optional<Countdown::State> stateFrom(const QString &text)
{
    for (const Countdown::State state :
         {Countdown::State::Ready, Countdown::State::Running, Countdown::State::TimeUp}) {
        if (text == stateText(state))
            return state;
    }
    return std::nullopt;
}

} // namespace GuardProtocol
