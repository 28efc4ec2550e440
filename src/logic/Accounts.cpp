// SPDX-License-Identifier: GPL-3.0-or-later
#include "logic/Accounts.h"

#include <QFile>

#include <grp.h>
#include <pwd.h>
#include <unistd.h>

#include <vector>

namespace Accounts {

namespace {

bool inGroup(const passwd &entry, const char *groupName)
{
    std::vector<char> buffer(16384);
    group found{};
    group *result = nullptr;
    if (::getgrnam_r(groupName, &found, buffer.data(), buffer.size(), &result) != 0 || !result)
        return false;
    const gid_t wanted = found.gr_gid;
    int count = 64;
    std::vector<gid_t> groups(count);
    if (::getgrouplist(entry.pw_name, entry.pw_gid, groups.data(), &count) < 0) {
        groups.resize(count);
        if (::getgrouplist(entry.pw_name, entry.pw_gid, groups.data(), &count) < 0)
            return false;
    }
    groups.resize(count);
    for (const gid_t gid : groups) {
        if (gid == wanted)
            return true;
    }
    return false;
}

} // namespace

std::optional<Account> find(const QString &name)
{
    std::vector<char> buffer(16384);
    passwd entry{};
    passwd *result = nullptr;
    if (::getpwnam_r(QFile::encodeName(name).constData(), &entry, buffer.data(), buffer.size(),
                     &result) != 0 ||
        !result)
        return std::nullopt;
    return Account{uint(entry.pw_uid), entry.pw_uid == 0 || inGroup(entry, "sudo")};
}

} // namespace Accounts
