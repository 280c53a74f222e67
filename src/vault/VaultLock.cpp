#include "vault/VaultLock.h"

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
    return lock_.error() == QLockFile::LockFailedError ? Outcome::HeldByAnother : Outcome::Unavailable;
}
