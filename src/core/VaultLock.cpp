#include "core/VaultLock.h"

#include "core/LockFileContent.h"
#include "core/VaultPath.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QSysInfo>

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using namespace Qt::StringLiterals;
using VaultPath::sameFile;

namespace {

// QLockFile makes its files with mode 0666 less the umask, so that under a umask of 000 anyone could rewrite a
// lock file. While one is made the umask keeps them the owner's alone. The umask is the whole process's, but it is
// narrowed only for the moment of that call, and only ever narrowed.
class OwnerOnlyFiles final {
public:
    OwnerOnlyFiles() : old_(::umask(077)) { ::umask(old_ | 077); }
    ~OwnerOnlyFiles() { ::umask(old_); }
    Q_DISABLE_COPY_MOVE(OwnerOnlyFiles)

private:
    mode_t old_;
};

bool tryLockOwnerOnly(QLockFile &file)
{
    const OwnerOnlyFiles ownerOnly;
    return file.tryLock(0);
}

// Held while a copy creates or examines the lock file, so that no copy ever sees another one's lock file between
// its creation and its first write, when it is still empty, and takes it for a stale one. QLockFile's own removal
// of stale locks takes the same name, so it waits as well.
class Guard final {
public:
    explicit Guard(const QString &lockPath) : file_(lockPath + u".rmlock"_s)
    {
        if (VaultPath::isOtherThanAFile(lockPath + u".rmlock"_s)) {
            return; // something that is no lock file has the name: the copies go on without the guard
        }
        // Other copies hold it only for a moment each, even when many start at once.
        const QDeadlineTimer deadline(5000);
        while (!tryLockOwnerOnly(file_)) {
            if (file_.error() != QLockFile::LockFailedError || deadline.hasExpired()) {
                return;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }
    Q_DISABLE_COPY_MOVE(Guard)

    bool held() const { return file_.isLocked(); }

private:
    QLockFile file_;
};

bool sameMachine(const LockFileContent::Holder &holder)
{
    const QByteArray machine = QSysInfo::machineUniqueId();
    if (!holder.machine.isEmpty() && !machine.isEmpty()) {
        return holder.machine == machine;
    }
    return holder.host.isEmpty() || QString::fromUtf8(holder.host) == QSysInfo::machineHostName();
}

// What this machine can tell of the process a lock file names: gone; running another program than the one that
// wrote the lock (its number was reused); running that program; or out of sight (another user's process, whose
// program cannot be read).
enum class Process { Gone, OtherProgram, SameProgram, Unknown };

Process processOf(const LockFileContent::Holder &holder)
{
    if (!holder.boot.isEmpty() && holder.boot != QSysInfo::bootUniqueId()) {
        return Process::Gone;
    }
    if (holder.pid > INT_MAX || (::kill(pid_t(holder.pid), 0) != 0 && errno == ESRCH)) {
        return Process::Gone;
    }
    char exeLink[64];
    std::snprintf(exeLink, sizeof exeLink, "/proc/%lld/exe", static_cast<long long>(holder.pid));
    char exe[PATH_MAX];
    const ssize_t n = ::readlink(exeLink, exe, sizeof exe);
    if (n <= 0 || size_t(n) >= sizeof exe || holder.program.isEmpty()) {
        return Process::Unknown;
    }
    QByteArray path(exe, n);
    if (path.endsWith(" (deleted)")) {
        path.chop(10);
    }
    return QFileInfo(QFile::decodeName(path)).fileName() == QFileInfo(QString::fromUtf8(holder.program)).fileName()
               ? Process::SameProgram
               : Process::OtherProgram;
}

// Whether the process has the file `inode`, named `fileName`, open through any path. A user-space file system that
// mirrors a folder (bindfs) shows its files with their inode numbers on a device of its own, and a lock taken
// through it is not seen on the folder itself; the holder of a lock file keeps it open all the same. Only this
// user's processes can be looked into.
bool hasOpen(qint64 pid, ino_t inode, const QString &fileName)
{
    char folder[64];
    std::snprintf(folder, sizeof folder, "/proc/%lld/fd", static_cast<long long>(pid));
    DIR *fds = ::opendir(folder);
    if (!fds) {
        return false;
    }
    bool open = false;
    while (const dirent *fd = open ? nullptr : ::readdir(fds)) {
        char link[sizeof folder + sizeof fd->d_name + 1];
        std::snprintf(link, sizeof link, "%s/%s", folder, fd->d_name);
        char path[PATH_MAX];
        const ssize_t n = ::readlink(link, path, sizeof path);
        struct stat st {};
        open = n > 0 && size_t(n) < sizeof path && ::stat(link, &st) == 0 && st.st_ino == inode &&
               QFileInfo(QFile::decodeName(QByteArray(path, n))).fileName() == fileName;
    }
    ::closedir(fds);
    return open;
}

// Whether a lock on the file is held by someone: yes, no, or nothing can tell (no such file, or a file system
// that grants every lock, so that a free one proves nothing).
enum class Held { Yes, No, CannotTell };

Held isHeld(const QString &path)
{
    const QByteArray native = QFile::encodeName(path);
    const FileDescriptor first(::open(native.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    if (!first.isOpen()) {
        return Held::CannotTell;
    }
    if (::flock(first.get(), LOCK_SH | LOCK_NB) != 0) {
        return errno == EWOULDBLOCK ? Held::Yes : Held::CannotTell;
    }
    // Held by this look now: a second open must be refused, or the file system ignores the lock.
    const FileDescriptor second(::open(native.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    if (!second.isOpen() || ::flock(second.get(), LOCK_EX | LOCK_NB) == 0) {
        return Held::CannotTell;
    }
    return errno == EWOULDBLOCK ? Held::No : Held::CannotTell;
}

struct stat statOf(const QString &path)
{
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0) {
        st = {};
    }
    return st;
}

} // namespace

VaultLock::VaultLock(const QString &vaultPath)
    : vault_(VaultPath::realPath(vaultPath)), lockPath_(vault_ + u".lock"_s), lockFile_(lockPath_)
{
    lockFile_.setStaleLockTime(0);
    const struct stat folder = statOf(QFileInfo(vault_).absolutePath());
    folderDevice_ = folder.st_dev;
    folderInode_ = folder.st_ino;
}

VaultLock::~VaultLock()
{
    release();
}

QString VaultLock::lockPath(const QString &vaultPath)
{
    return VaultPath::realPath(vaultPath) + u".lock"_s;
}

VaultLock::Outcome VaultLock::acquire()
{
    const Guard guard(lockPath_);
    for (int attempt = 0; attempt < 3; ++attempt) {
        // QLockFile would read a named pipe in its place and wait for a writer for good.
        if (VaultPath::isOtherThanAFile(lockPath_)) {
            break;
        }
        if (tryLockOwnerOnly(lockFile_)) {
            return lockFileTaken();
        }
        if (lockFile_.error() != QLockFile::LockFailedError) {
            break; // the folder takes no lock file: read-only, full
        }
        switch (lockFileOwner(guard.held())) {
        case Owner::Live:
            return Outcome::HeldByAnother;
        case Owner::OtherMachine:
            return Outcome::OtherMachine;
        case Owner::Stale:
            if (!removeStaleLockFile()) {
                return withoutLockFile();
            }
            break;
        case Owner::None:
            break;
        case Owner::NotALockFile:
            return withoutLockFile();
        }
    }
    return withoutLockFile();
}

VaultLock::Outcome VaultLock::takeOver()
{
    takeOverOtherMachine_ = true;
    return acquire();
}

VaultLock::Outcome VaultLock::lockFileTaken()
{
    if (lockVaultFile() == FileLock::Busy) {
        // A copy that holds the vault by its file lock alone: it could make no lock file, or its lock file was
        // deleted while it ran.
        lockFile_.unlock();
        holder_.reset();
        holderUnreadable_ = false;
        evidence_ = Evidence::VaultFileLockAlone;
        return Outcome::HeldByAnother;
    }
    remember();
    return Outcome::Locked;
}

VaultLock::Outcome VaultLock::withoutLockFile()
{
    // A copy that holds the lock file has no lock on the vault file while there is none yet.
    const Owner owner = lockFileOwner(false);
    if (owner == Owner::Live || owner == Owner::OtherMachine) {
        return owner == Owner::Live ? Outcome::HeldByAnother : Outcome::OtherMachine;
    }
    switch (lockVaultFile()) {
    case FileLock::Taken:
        vaultFileOnly_ = true;
        remember();
        return Outcome::Locked;
    case FileLock::Busy:
        evidence_ = Evidence::VaultFileLock;
        return Outcome::HeldByAnother;
    case FileLock::Impossible:
        break;
    }
    remember();
    return Outcome::Unavailable;
}

void VaultLock::remember()
{
    const struct stat vault = statOf(vault_);
    vaultDevice_ = vault.st_dev;
    vaultInode_ = vault.st_ino;
}

VaultLock::Owner VaultLock::lockFileOwner(bool guarded)
{
    holder_.reset();
    holderUnreadable_ = false;
    const QByteArray native = QFile::encodeName(lockPath_);
    struct stat found {};
    if (::lstat(native.constData(), &found) != 0) {
        return errno == ENOENT ? Owner::None : Owner::NotALockFile;
    }
    if (!S_ISREG(found.st_mode)) {
        return Owner::NotALockFile;
    }
    const bool network = VaultPath::isNetworkFolder(QFileInfo(vault_).absolutePath());
    const FileDescriptor file(::open(native.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    if (!file.isOpen()) {
        if (errno == ENOENT) {
            return Owner::None;
        }
        // Another user's lock file, which cannot be read: whether anyone holds the vault says it all.
        holderUnreadable_ = true;
        const Locks locks = fileLocks();
        evidence_ = locks == Locks::Held ? Evidence::VaultFileLock : Evidence::LockFileWord;
        return locks == Locks::Free && !network ? Owner::Stale : Owner::Live;
    }
    // A live holder keeps its lock file locked.
    if (::flock(file.get(), LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK) {
        holder_ = LockFileContent::parse(LockFileContent::read(file.get()));
        evidence_ = Evidence::LockFileLock;
        return Owner::Live;
    }
    holder_ = LockFileContent::parse(LockFileContent::read(file.get()));
    evidence_ = Evidence::LockFileWord;
    if (!holder_) {
        // Empty, zeros, or garbled: no copy leaves that behind while it runs. Under the guard no copy is between
        // making its lock file and writing it; without the guard only a file that has not changed for a while is
        // surely stale.
        if (guarded) {
            return Owner::Stale;
        }
        const time_t age = ::time(nullptr) - found.st_mtim.tv_sec;
        return age > 10 || age < -10 ? Owner::Stale : Owner::Live;
    }
    const Locks locks = fileLocks();
    if (locks == Locks::Held) {
        return Owner::Live;
    }
    if (!sameMachine(*holder_)) {
        // On a network folder the other machine's lock may not be seen from here.
        if (network) {
            return takeOverOtherMachine_ ? Owner::Stale : Owner::OtherMachine;
        }
        return locks == Locks::Free ? Owner::Stale : Owner::Live;
    }
    // A lock on this machine's own disks is seen whoever took it, in whatever process namespace: a lock file that
    // no one holds is stale, whatever process, program or user it names. Process numbers repeat across namespaces
    // (a sandbox, a container), so the number proves nothing where the lock can be seen; only a process that has
    // this very lock file open through another path holds it.
    if (locks == Locks::Free && !network) {
        if (holder_->pid != ::getpid() && hasOpen(holder_->pid, found.st_ino, QFileInfo(lockPath_).fileName())) {
            evidence_ = Evidence::OpenElsewhere;
            return Owner::Live;
        }
        return Owner::Stale;
    }
    // Where the locks cannot be seen (a file system that grants every lock, or one folder reached through a
    // user-space file system and directly), only the process that the file names can tell; this one, which holds
    // no lock, is never it.
    if (holder_->pid == ::getpid()) {
        return Owner::Stale;
    }
    switch (processOf(*holder_)) {
    case Process::Gone:
    case Process::OtherProgram:
        return Owner::Stale;
    case Process::SameProgram:
        return Owner::Live;
    case Process::Unknown:
        break;
    }
    return locks == Locks::Free ? Owner::Stale : Owner::Live;
}

// Whether anyone holds the lock on the lock file or on the vault file; Unseen where neither look can tell. A lock
// file that cannot be read proves nothing of its own, and with no vault yet there is nothing else to ask.
VaultLock::Locks VaultLock::fileLocks()
{
    const Held lockFile = holderUnreadable_ ? Held::CannotTell : isHeld(lockPath_);
    const Held vault = QFileInfo(vault_).isFile() ? isHeld(vault_) : Held::CannotTell;
    if (lockFile == Held::Yes || vault == Held::Yes) {
        evidence_ = lockFile == Held::Yes ? Evidence::LockFileLock : Evidence::VaultFileLock;
        return Locks::Held;
    }
    return lockFile == Held::No || vault == Held::No ? Locks::Free : Locks::Unseen;
}

bool VaultLock::removeStaleLockFile()
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
    } else if (holderUnreadable_) {
        opened = found; // another user's, judged by the vault file's lock
    } else {
        return false;
    }
    // Only if it is still the file that was judged.
    return ::lstat(native.constData(), &found) == 0 && sameFile(opened, found) && ::unlink(native.constData()) == 0;
}

VaultLock::FileLock VaultLock::lockVaultFile()
{
    const QByteArray native = QFile::encodeName(vault_);
    for (int attempt = 0; attempt < 100; ++attempt) {
        struct stat found {};
        if (::stat(native.constData(), &found) != 0 || !S_ISREG(found.st_mode)) {
            return FileLock::Impossible; // nothing yet, or nothing that could hold a vault
        }
        FileDescriptor file(::open(native.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
        struct stat opened {};
        if (!file.isOpen() || ::fstat(file.get(), &opened) != 0 || !S_ISREG(opened.st_mode)) {
            return FileLock::Impossible;
        }
        if (::flock(file.get(), LOCK_EX | LOCK_NB) != 0) {
            const int e = errno;
            if (e == EINTR) {
                continue;
            }
            return e == EWOULDBLOCK ? FileLock::Busy : FileLock::Impossible;
        }
        // The holder's save may have renamed a new file over the vault between the open and the lock; the lock
        // counts only on the file that is the vault now.
        if (::stat(native.constData(), &found) == 0 && sameFile(found, opened)) {
            vaultFd_ = std::move(file);
            return FileLock::Taken;
        }
    }
    return FileLock::Busy; // replaced again and again: another copy is saving
}

QString VaultLock::checkBeforeSave(const QString &target)
{
    // A copy that started without any lock takes one as soon as it can, and never saves over a live holder.
    if (!holdsLockFile() && !holdsVaultFile()) {
        const Outcome outcome = acquire();
        if (outcome == Outcome::HeldByAnother || outcome == Outcome::OtherMachine) {
            return u"Another copy of Brisvane has opened this vault since this one started. "_s + heldText();
        }
    }
    // The save goes to the file this copy opened, in the folder it opened, or nowhere.
    const struct stat folder = statOf(QFileInfo(target).absolutePath());
    const struct stat file = statOf(target);
    const bool folderMoved = folderInode_ != 0 && (folder.st_dev != folderDevice_ || folder.st_ino != folderInode_);
    const bool fileReplaced = vaultInode_ != 0 && (file.st_dev != vaultDevice_ || file.st_ino != vaultInode_);
    if (target != vault_ || folderMoved || fileReplaced) {
        return u"%1 is no longer the vault file that Brisvane opened: it was moved or replaced while Brisvane ran, "
               u"and a save there would overwrite another vault. Start Brisvane again from the folder that holds "
               u"your vault."_s.arg(VaultPath::quoted(target));
    }
    return {};
}

int VaultLock::lockNewFile(int fd)
{
    struct stat st {};
    if (::fstat(fd, &st) == 0) {
        newDevice_ = st.st_dev;
        newInode_ = st.st_ino;
    }
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
        vaultDevice_ = newDevice_;
        vaultInode_ = newInode_;
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

QString VaultLock::otherMachine() const
{
    return holder_ ? QString::fromUtf8(holder_->host) : QString();
}

QString VaultLock::heldText() const
{
    const QString lockFile = VaultPath::quoted(lockPath_);
    const QString pid = holder_ ? QString::number(holder_->pid) : QString();
    const bool here = holder_ && sameMachine(*holder_);
    switch (evidence_) {
    case Evidence::LockFileLock:
        if (!holder_ || here) {
            return u"Its lock file %1 is locked by a copy of Brisvane that is running%2. Switch to the window that is "
                   u"open, or close it first; once it has ended, the vault is free."_s.arg(
                       lockFile, here ? u" (process %1 on this machine, as the lock file says)"_s.arg(pid) : QString());
        }
        return u"Its lock file %1 is locked, and says that Brisvane holds it on the machine \u201c%2\u201d. Close "
               u"Brisvane there first; once it has ended there, the vault is free."_s.arg(lockFile, otherMachine());
    case Evidence::VaultFileLock:
    case Evidence::VaultFileLockAlone: {
        QString why;
        if (holderUnreadable_) {
            why = u", and its lock file %1 belongs to another user and cannot be read here. Close the copy of Brisvane "
                  u"that the other user runs"_s.arg(lockFile);
        } else if (evidence_ == Evidence::VaultFileLockAlone) {
            why = u", though there was no lock file %1 beside it: that copy could make none when it started, or its "
                  u"lock file was deleted since. Close that copy of Brisvane"_s.arg(lockFile);
        } else if (holder_) {
            why = u". Its lock file %1 names %2, which does not hold it: that lock file is left over, and deleting it "
                  u"would not help. Close the copy of Brisvane that has the vault open"_s.arg(
                      lockFile, here ? u"process %1 on this machine"_s.arg(pid)
                                     : u"the machine \u201c%1\u201d"_s.arg(otherMachine()));
        } else {
            why = u" (no lock file %1 can be made beside it). Close the other copy"_s.arg(lockFile);
        }
        return u"The vault file itself is locked by another copy of Brisvane"_s + why +
               u" first; once none runs, the vault is free."_s;
    }
    case Evidence::OpenElsewhere:
        return u"Its lock file %1 is open in process %2 on this machine, a copy of Brisvane that reached this folder "
               u"through another path (a user-space file system), where its lock cannot be seen from here. Switch to "
               u"that window, or close it first; once it has ended, the vault is free."_s.arg(lockFile, pid);
    case Evidence::LockFileWord:
        break;
    }
    // No lock can be seen from here: the lock file's word is all there is to go by.
    if (holderUnreadable_) {
        return u"Its lock file %1 belongs to another user and cannot be read here, and whether anyone holds the vault "
               u"cannot be seen from here. Close the copy of Brisvane that the other user runs. If none runs, the "
               u"lock file is left over: that user or an administrator can delete it."_s.arg(lockFile);
    }
    if (!holder_) {
        return u"Its lock file %1 was made a moment ago by a copy of Brisvane that is starting. Start Brisvane again "
               u"in a few seconds."_s.arg(lockFile);
    }
    if (here) {
        return u"Its lock file %1 says that process %2 on this machine holds it; this folder does not show whether "
               u"it does. Switch to the window that is open, or close it first. If no copy of Brisvane has this vault "
               u"open, the lock file is left over: delete it by hand (in a file manager, or with rm in a terminal) and "
               u"start Brisvane again."_s.arg(lockFile, pid);
    }
    return u"Its lock file %1 says that Brisvane holds it on the machine \u201c%2\u201d. Close Brisvane there "
           u"first. If it no longer runs there (it crashed, or the folder was unplugged), delete the lock file and "
           u"start Brisvane again."_s.arg(lockFile, otherMachine());
}
