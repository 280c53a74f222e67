#pragma once

#include "core/VaultLock.h"
#include "support/ReferenceVault.h"

#include <QLockFile>

#include <sys/wait.h>
#include <unistd.h>

// A vault's lock file as a copy that has since ended leaves it.
namespace LeftLockFile {

// A real lock file, naming an ended process, or the process `pid` where given.
inline bool leave(const QString &vaultPath, pid_t pid = 0)
{
    const QString lockPath = VaultLock::lockPath(vaultPath);
    QByteArray lockContent;
    {
        QLockFile real(lockPath);
        if (!real.tryLock(0)) {
            return false;
        }
        lockContent = ReferenceVault::readAll(lockPath);
    }
    const pid_t child = pid ? pid : ::fork();
    if (child == 0) {
        ::_exit(0);
    }
    const qsizetype firstLineEnd = lockContent.indexOf('\n');
    if (child <= 0 || (!pid && ::waitpid(child, nullptr, 0) != child) || firstLineEnd <= 0) {
        return false;
    }
    lockContent.replace(0, firstLineEnd, QByteArray::number(qint64(child)));
    return ReferenceVault::writeFile(lockPath, lockContent);
}

} // namespace LeftLockFile
