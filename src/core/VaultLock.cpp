#include "core/VaultLock.h"

#include <QSysInfo>

#include <cerrno>
#include <csignal>

using namespace Qt::StringLiterals;

VaultLock::VaultLock(const QString &vaultPath) : lock_(lockPath(vaultPath))
{
    lock_.setStaleLockTime(0);
}

QString VaultLock::lockPath(const QString &vaultPath)
{
    return vaultPath + u".lock"_s;
}

VaultLock::Outcome VaultLock::acquire()
{
    if (lock_.tryLock(0)) {
        return Outcome::Locked;
    }
    if (lock_.error() != QLockFile::LockFailedError) {
        return Outcome::Unavailable;
    }
    // A lock that names a process of this machine that has ended could not be taken over, because the folder
    // no longer lets it be replaced: no other copy has the vault, so the program goes on without the lock.
    qint64 pid = 0;
    QString host;
    QString application;
    if (lock_.getLockInfo(&pid, &host, &application) && pid > 0 &&
        (host.isEmpty() || host == QSysInfo::machineHostName()) && ::kill(pid_t(pid), 0) != 0 && errno == ESRCH) {
        return Outcome::Unavailable;
    }
    return Outcome::HeldByAnother;
}
