// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <optional>

// The computer's accounts as the system's user database knows them. Each call may wait
// on that database (a directory service, say): the guard makes them off its main thread.
namespace Accounts {

struct Account
{
    uint uid = 0;
    // Root, or a member of the sudo group: someone who could undo any lock.
    bool administrator = false;
};

std::optional<Account> find(const QString &name);

} // namespace Accounts
