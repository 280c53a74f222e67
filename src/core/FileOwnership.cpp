#include "core/FileOwnership.h"

#include <algorithm>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

// Whether the user `uid` is in the group `gid`, as the system's user database says.
bool isMember(uid_t uid, gid_t gid)
{
    const passwd *user = ::getpwuid(uid);
    if (!user) {
        return false;
    }
    if (user->pw_gid == gid) {
        return true;
    }
    int count = 0;
    ::getgrouplist(user->pw_name, user->pw_gid, nullptr, &count);
    std::vector<gid_t> groups(size_t(std::max(count, 0)));
    if (::getgrouplist(user->pw_name, user->pw_gid, groups.data(), &count) < 0) {
        return false;
    }
    return std::find(groups.begin(), groups.begin() + count, gid) != groups.begin() + count;
}

} // namespace

namespace FileOwnership {

bool keep(int fd, const struct stat &old)
{
    struct stat now {};
    if (::fstat(fd, &now) != 0) {
        return false;
    }
    if ((now.st_uid == old.st_uid && now.st_gid == old.st_gid) || ::fchown(fd, old.st_uid, old.st_gid) == 0) {
        return true;
    }
    if (::fchown(fd, uid_t(-1), old.st_gid) != 0) {
        return false;
    }
    // The saver owns the new file now: the old owner keeps its reading and writing only through the group.
    const mode_t ownerRights = (old.st_mode >> 6) & 06;
    const mode_t groupRights = (old.st_mode >> 3) & 06;
    return (ownerRights & ~groupRights) == 0 && isMember(old.st_uid, old.st_gid);
}

} // namespace FileOwnership
