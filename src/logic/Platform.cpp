// SPDX-License-Identifier: GPL-3.0-or-later
#include "logic/Platform.h"

namespace Platform {

QByteArray choosePlatform(const QProcessEnvironment &env)
{
    // Qt treats an empty QT_QPA_PLATFORM as unset, and so does this.
    if (!env.value(QStringLiteral("QT_QPA_PLATFORM")).isEmpty())
        return {};

    const bool waylandSession =
        !env.value(QStringLiteral("WAYLAND_DISPLAY")).isEmpty() ||
        env.value(QStringLiteral("XDG_SESSION_TYPE"))
                .compare(QLatin1String("wayland"), Qt::CaseInsensitive) == 0;
    const bool xDisplay = !env.value(QStringLiteral("DISPLAY")).isEmpty();
    if (waylandSession && xDisplay)
        return QByteArrayLiteral("xcb");
    return {};
}

} // namespace Platform
