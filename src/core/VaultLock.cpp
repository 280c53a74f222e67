#include "core/VaultLock.h"

#include "core/FileLocks.h"
#include "core/FileSystem.h"
#include "core/LockFileContent.h"
#include "core/LockFileGuard.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <ctime>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;
using FileSystem::sameFile;
using LockFileJudge::Locks;
using LockFileJudge::Owner;

namespace {

// Each round either takes the lock file or removes a stale one; another copy may make a new one in between, which
// the next round judges. A place that changes more often than this gets no lock file at all: the vault file's own
// lock stands in.
constexpr int LockFileRounds = 3;

void tell(VaultHolder *heldBy, const VaultHolder &holder)
{
    if (heldBy) {
        *heldBy = holder;
    }
}

// A holder that no lock file names: only the vault file's lock shows it.
VaultHolder unnamed(VaultHolder::Evidence evidence, const QString &lockPath)
{
    VaultHolder holder;
    holder.evidence = evidence;
    holder.lockFilePath = lockPath;
    return holder;
}

} // namespace

VaultLock::VaultLock(const QString &vaultPath, HolderWords holderWords)
    : vault_(FileSystem::realPath(vaultPath)), lockPath_(vault_ + u".lock"_s), holderWords_(holderWords),
      lockFile_(lockPath_), identity_(vault_)
{
    lockFile_.setStaleLockTime(0);
}

VaultLock::~VaultLock()
{
    release();
}

QString VaultLock::lockPath(const QString &vaultPath)
{
    return FileSystem::realPath(vaultPath) + u".lock"_s;
}

VaultLock::Outcome VaultLock::acquire(VaultHolder *heldBy)
{
    return lock(heldBy);
}

VaultLock::Outcome VaultLock::takeOver(VaultHolder *heldBy)
{
    takeOverOtherMachine_ = true;
    return lock(heldBy);
}

VaultLock::Outcome VaultLock::lock(VaultHolder *heldBy)
{
    const LockFileGuard guard(lockPath_);
    for (int round = 0; round < LockFileRounds; ++round) {
        // QLockFile would read a named pipe in its place and wait for a writer for good.
        if (FileSystem::isOtherThanAFile(lockPath_)) {
            break;
        }
        if (LockFileGuard::tryLockOwnerOnly(lockFile_)) {
            return lockFileTaken(heldBy);
        }
        if (lockFile_.error() != QLockFile::LockFailedError) {
            break; // the folder takes no lock file: read-only, full
        }
        const Look look = lookAtLockFile(guard.held());
        if (look.found == Look::Found::NotALockFile) {
            return withoutLockFile(heldBy);
        }
        if (look.found == Look::Found::Nothing) {
            continue;
        }
        switch (look.verdict.owner) {
        case Owner::Live:
            tell(heldBy, look.verdict.holder);
            return Outcome::HeldByAnother;
        case Owner::OtherMachine:
            tell(heldBy, look.verdict.holder);
            return Outcome::OtherMachine;
        case Owner::Stale:
            if (!removeStaleLockFile(look.verdict.holder.lockFileUnreadable)) {
                return withoutLockFile(heldBy);
            }
            break;
        }
    }
    return withoutLockFile(heldBy);
}

VaultLock::Outcome VaultLock::lockFileTaken(VaultHolder *heldBy)
{
    FileLocks::Exclusive vault = FileLocks::lockExclusive(vault_);
    if (vault.result == FileLocks::Exclusive::Result::Busy) {
        // A copy that holds the vault by its file lock alone: it could make no lock file, or its lock file was
        // deleted while it ran.
        lockFile_.unlock();
        tell(heldBy, unnamed(VaultHolder::Evidence::VaultFileLockAlone, lockPath_));
        return Outcome::HeldByAnother;
    }
    if (vault.result == FileLocks::Exclusive::Result::Taken) {
        vaultFd_ = std::move(vault.file);
    }
    return lockedOrUnavailable(Outcome::Locked);
}

VaultLock::Outcome VaultLock::withoutLockFile(VaultHolder *heldBy)
{
    // A copy that holds the lock file has no lock on the vault file while there is none yet.
    const Look look = lookAtLockFile(false);
    const bool judged = look.found == Look::Found::LockFile;
    if (judged && look.verdict.owner != Owner::Stale) {
        tell(heldBy, look.verdict.holder);
        return look.verdict.owner == Owner::Live ? Outcome::HeldByAnother : Outcome::OtherMachine;
    }
    FileLocks::Exclusive vault = FileLocks::lockExclusive(vault_);
    switch (vault.result) {
    case FileLocks::Exclusive::Result::Taken:
        vaultFd_ = std::move(vault.file);
        vaultFileOnly_ = true;
        return lockedOrUnavailable(Outcome::Locked);
    case FileLocks::Exclusive::Result::Busy: {
        VaultHolder holder = judged ? look.verdict.holder : unnamed(VaultHolder::Evidence::VaultFileLock, lockPath_);
        holder.evidence = VaultHolder::Evidence::VaultFileLock;
        tell(heldBy, holder);
        return Outcome::HeldByAnother;
    }
    case FileLocks::Exclusive::Result::Impossible:
        break;
    }
    return lockedOrUnavailable(Outcome::Unavailable);
}

VaultLock::Outcome VaultLock::lockedOrUnavailable(Outcome outcome)
{
    identity_.findOnce();
    return outcome;
}

VaultLock::Look VaultLock::lookAtLockFile(bool guarded) const
{
    const QByteArray native = QFile::encodeName(lockPath_);
    struct stat found {};
    if (::lstat(native.constData(), &found) != 0) {
        return {errno == ENOENT ? Look::Found::Nothing : Look::Found::NotALockFile, {}};
    }
    if (!S_ISREG(found.st_mode)) {
        return {Look::Found::NotALockFile, {}};
    }
    LockFileJudge::Found lockFile;
    lockFile.path = lockPath_;
    lockFile.ageSeconds = qint64(::time(nullptr) - found.st_mtim.tv_sec);
    lockFile.inode = found.st_ino;
    lockFile.onSharedFolder = FileSystem::isNetworkFolder(QFileInfo(vault_).absolutePath());
    const FileDescriptor file(::open(native.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    if (file.isOpen()) {
        lockFile.locked = ::flock(file.get(), LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK;
        lockFile.content = LockFileContent::read(file.get());
    } else if (errno == ENOENT) {
        return {Look::Found::Nothing, {}};
    }
    const bool readable = lockFile.content.has_value();
    const LockFileJudge::Rules rules{.guarded = guarded, .takeOverOtherMachine = takeOverOtherMachine_};
    const auto locks = [this, readable] { return fileLocks(readable); };
    return {Look::Found::LockFile, LockFileJudge::judge(lockFile, locks, rules)};
}

// Whether anyone holds the lock on the lock file or on the vault file; Unseen where neither look can tell. A lock
// file that cannot be read proves nothing of its own, and with no vault yet there is nothing else to ask.
Locks VaultLock::fileLocks(bool lockFileReadable) const
{
    using FileLocks::Held;
    const Held lockFile = lockFileReadable ? FileLocks::isHeld(lockPath_) : Held::CannotTell;
    const Held vault = QFileInfo(vault_).isFile() ? FileLocks::isHeld(vault_) : Held::CannotTell;
    if (lockFile == Held::Yes) {
        return Locks::LockFileHeld;
    }
    if (vault == Held::Yes) {
        return Locks::VaultFileHeld;
    }
    return lockFile == Held::No || vault == Held::No ? Locks::Free : Locks::Unseen;
}

bool VaultLock::removeStaleLockFile(bool unreadable) const
{
    const QByteArray native = QFile::encodeName(lockPath_);
    struct stat found {};
    if (::lstat(native.constData(), &found) != 0 || !S_ISREG(found.st_mode)) {
        return false;
    }
    const FileDescriptor file(::open(native.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    struct stat opened {};
    if (file.isOpen()) {
        // Only while no one holds it; on a file system without file locks the guard suffices.
        if (::fstat(file.get(), &opened) != 0 || !sameFile(opened, found) ||
            (::flock(file.get(), LOCK_EX | LOCK_NB) != 0 && (errno == EWOULDBLOCK || errno == EINTR))) {
            return false;
        }
    } else if (unreadable) {
        opened = found; // another user's, judged by the vault file's lock
    } else {
        return false;
    }
    // Only if it is still the file that was judged.
    return ::lstat(native.constData(), &found) == 0 && sameFile(opened, found) && ::unlink(native.constData()) == 0;
}

QString VaultLock::checkBeforeSave(const QString &target)
{
    // A copy that started without any lock takes one as soon as it can, and never saves over a live holder.
    if (!holdsLockFile() && !holdsVaultFile()) {
        VaultHolder holder;
        const Outcome outcome = lock(&holder);
        if (outcome == Outcome::HeldByAnother || outcome == Outcome::OtherMachine) {
            return u"Another copy of Brisvane has opened this vault since this one started. "_s +
                   (holderWords_ ? holderWords_(holder) : QString());
        }
    }
    // The save goes to the file this copy opened, in the folder it opened, or nowhere.
    if (!identity_.allowsSaveTo(target)) {
        return u"%1 is no longer the vault file that Brisvane opened: it was moved or replaced while Brisvane ran, "
               u"and a save there would overwrite another vault. Start Brisvane again from the folder that holds "
               u"your vault."_s.arg(FileSystem::quoted(target));
    }
    return {};
}

int VaultLock::lockNewFile(int fd)
{
    identity_.noteNewFile(fd);
    FileDescriptor copy(::fcntl(fd, F_DUPFD_CLOEXEC, 0));
    if (copy.isOpen() && ::flock(copy.get(), LOCK_EX | LOCK_NB) == 0) {
        newFd_ = std::move(copy);
        return 0;
    }
    const int e = errno;
    // The lock file keeps other copies out all the same; without it, the vault would be left unlocked.
    return vaultFileOnly_ ? e : 0;
}

void VaultLock::newFileSettled(bool isTheVault)
{
    if (isTheVault) {
        identity_.newFileIsTheVault();
    }
    if (!newFd_.isOpen()) {
        return;
    }
    if (isTheVault) {
        // A copy that had no lock at all holds the vault by this one from now on.
        vaultFileOnly_ = vaultFileOnly_ || !holdsLockFile();
        vaultFd_ = std::move(newFd_);
    } else {
        newFd_.close();
    }
}

void VaultLock::release()
{
    lockFile_.unlock();
    vaultFd_.close();
    newFd_.close();
    vaultFileOnly_ = false;
}
