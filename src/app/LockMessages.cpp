#include "app/LockMessages.h"

#include "core/FileSystem.h"
#include "core/VaultHolder.h"

using namespace Qt::StringLiterals;

namespace {

using Evidence = VaultHolder::Evidence;

bool namesAProcess(const VaultHolder &holder)
{
    return holder.pid != 0;
}

QString lockFileLocked(const VaultHolder &holder, const QString &lockFile)
{
    if (!namesAProcess(holder) || holder.thisMachine) {
        return u"Its lock file %1 is locked by a copy of Brisvane that is running%2. Switch to the window that is "
               u"open, or close it first; once it has ended, the vault is free."_s.arg(
                   lockFile, holder.thisMachine
                                 ? u" (process %1 on this machine, as the lock file says)"_s.arg(holder.pid)
                                 : QString());
    }
    return u"Its lock file %1 is locked, and says that Brisvane holds it on the machine \u201c%2\u201d. Close "
           u"Brisvane there first; once it has ended there, the vault is free."_s.arg(lockFile, holder.host);
}

QString vaultFileLocked(const VaultHolder &holder, const QString &lockFile)
{
    QString why;
    if (holder.lockFileUnreadable) {
        why = u", and its lock file %1 belongs to another user and cannot be read here. Close the copy of Brisvane "
              u"that the other user runs"_s.arg(lockFile);
    } else if (holder.evidence == Evidence::VaultFileLockAlone) {
        why = u", though there was no lock file %1 beside it: that copy could make none when it started, or its "
              u"lock file was deleted since. Close that copy of Brisvane"_s.arg(lockFile);
    } else if (namesAProcess(holder)) {
        why = u". Its lock file %1 names %2, which does not hold it: that lock file is left over, and deleting it "
              u"would not help. Close the copy of Brisvane that has the vault open"_s.arg(
                  lockFile, holder.thisMachine ? u"process %1 on this machine"_s.arg(holder.pid)
                                               : u"the machine \u201c%1\u201d"_s.arg(holder.host));
    } else {
        why = u" (no lock file %1 can be made beside it). Close the other copy"_s.arg(lockFile);
    }
    return u"The vault file itself is locked by another copy of Brisvane"_s + why +
           u" first; once none runs, the vault is free."_s;
}

// No lock can be seen from here: the lock file's word is all there is to go by.
QString lockFileWord(const VaultHolder &holder, const QString &lockFile)
{
    if (holder.lockFileUnreadable) {
        return u"Its lock file %1 belongs to another user and cannot be read here, and whether anyone holds the vault "
               u"cannot be seen from here. Close the copy of Brisvane that the other user runs. If none runs, the "
               u"lock file is left over: that user or an administrator can delete it."_s.arg(lockFile);
    }
    if (!namesAProcess(holder)) {
        return u"Its lock file %1 was made a moment ago by a copy of Brisvane that is starting. Start Brisvane again "
               u"in a few seconds."_s.arg(lockFile);
    }
    if (holder.thisMachine) {
        return u"Its lock file %1 says that process %2 on this machine holds it; this folder does not show whether "
               u"it does. Switch to the window that is open, or close it first. If no copy of Brisvane has this vault "
               u"open, the lock file is left over: delete it by hand (in a file manager, or with rm in a terminal) and "
               u"start Brisvane again."_s.arg(lockFile, QString::number(holder.pid));
    }
    return u"Its lock file %1 says that Brisvane holds it on the machine \u201c%2\u201d. Close Brisvane there "
           u"first. If it no longer runs there (it crashed, or the folder was unplugged), delete the lock file and "
           u"start Brisvane again."_s.arg(lockFile, holder.host);
}

} // namespace

namespace LockMessages {

QString whoHoldsIt(const VaultHolder &holder)
{
    const QString lockFile = FileSystem::quoted(holder.lockFilePath);
    switch (holder.evidence) {
    case Evidence::LockFileLock:
        return lockFileLocked(holder, lockFile);
    case Evidence::VaultFileLock:
    case Evidence::VaultFileLockAlone:
        return vaultFileLocked(holder, lockFile);
    case Evidence::OpenElsewhere:
        return u"Its lock file %1 is open in process %2 on this machine, a copy of Brisvane that reached this folder "
               u"through another path (a user-space file system), where its lock cannot be seen from here. Switch to "
               u"that window, or close it first; once it has ended, the vault is free."_s.arg(
                   lockFile, QString::number(holder.pid));
    case Evidence::LockFileWord:
        break;
    }
    return lockFileWord(holder, lockFile);
}

} // namespace LockMessages
