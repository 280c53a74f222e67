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
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using namespace Qt::StringLiterals;
using VaultPath::sameFile;

namespace {

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
        while (!file_.tryLock(0)) {
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

// The same judgement as QLockFile's: another machine's copy counts as running, since nothing here can tell.
bool isRunning(const LockFileContent::Holder &owner)
{
    bool sameHost = owner.host.isEmpty() || QString::fromUtf8(owner.host) == QSysInfo::machineHostName();
    const QByteArray machine = QSysInfo::machineUniqueId();
    if (!owner.machine.isEmpty() && !machine.isEmpty()) {
        sameHost = owner.machine == machine;
    }
    if (!sameHost) {
        return true;
    }
    if (!owner.boot.isEmpty() && owner.boot != QSysInfo::bootUniqueId()) {
        return false;
    }
    if (owner.pid > INT_MAX || (::kill(pid_t(owner.pid), 0) != 0 && errno == ESRCH)) {
        return false;
    }
    // A process that got the number of the copy that wrote the lock later, which runs another program.
    char exeLink[64];
    std::snprintf(exeLink, sizeof exeLink, "/proc/%lld/exe", static_cast<long long>(owner.pid));
    char exe[PATH_MAX];
    const ssize_t n = ::readlink(exeLink, exe, sizeof exe);
    if (n > 0 && size_t(n) < sizeof exe && !owner.program.isEmpty()) {
        QByteArray path(exe, n);
        if (path.endsWith(" (deleted)")) {
            path.chop(10);
        }
        return QFileInfo(QFile::decodeName(path)).fileName() == QFileInfo(QString::fromUtf8(owner.program)).fileName();
    }
    return true;
}

} // namespace

VaultLock::VaultLock(const QString &vaultPath)
    : vault_(VaultPath::realPath(vaultPath)), lockPath_(vault_ + u".lock"_s), lockFile_(lockPath_)
{
    lockFile_.setStaleLockTime(0);
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
        if (lockFile_.tryLock(0)) {
            if (lockVaultFile() == FileLock::Busy) {
                // A copy that could make no lock file holds the vault by its file lock alone.
                lockFile_.unlock();
                return Outcome::HeldByAnother;
            }
            return Outcome::Locked;
        }
        if (lockFile_.error() != QLockFile::LockFailedError) {
            break; // the folder takes no lock file: read-only, full
        }
        const Owner owner = lockFileOwner(guard.held());
        if (owner == Owner::Live) {
            return Outcome::HeldByAnother;
        }
        if (owner == Owner::NotALockFile || (owner == Owner::Stale && !removeStaleLockFile())) {
            break;
        }
    }
    return withoutLockFile();
}

VaultLock::Outcome VaultLock::withoutLockFile()
{
    // A copy that holds the lock file has no lock on the vault file while there is none yet.
    if (lockFileOwner(false) == Owner::Live) {
        return Outcome::HeldByAnother;
    }
    switch (lockVaultFile()) {
    case FileLock::Taken:
        vaultFileOnly_ = true;
        return Outcome::Locked;
    case FileLock::Busy:
        return Outcome::HeldByAnother;
    case FileLock::Impossible:
        break;
    }
    return Outcome::Unavailable;
}

VaultLock::Owner VaultLock::lockFileOwner(bool guarded) const
{
    const QByteArray native = QFile::encodeName(lockPath_);
    struct stat found {};
    if (::lstat(native.constData(), &found) != 0) {
        return errno == ENOENT ? Owner::None : Owner::NotALockFile;
    }
    if (!S_ISREG(found.st_mode)) {
        return Owner::NotALockFile;
    }
    const FileDescriptor file(::open(native.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    if (!file.isOpen()) {
        // Gone in the meantime; or another user's, which cannot be judged from here.
        return errno == ENOENT ? Owner::None : Owner::Live;
    }
    // A live holder keeps its lock file locked.
    if (::flock(file.get(), LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK) {
        return Owner::Live;
    }
    if (const auto holder = LockFileContent::parse(LockFileContent::read(file.get()))) {
        return isRunning(*holder) ? Owner::Live : Owner::Stale;
    }
    // Empty, zeros, or garbled: no copy leaves that behind while it runs. Under the guard no copy is between making
    // its lock file and writing it; without the guard only a file that has not changed for a while is surely stale.
    if (guarded) {
        return Owner::Stale;
    }
    const time_t age = ::time(nullptr) - found.st_mtim.tv_sec;
    return age > 10 || age < -10 ? Owner::Stale : Owner::Live;
}

bool VaultLock::removeStaleLockFile()
{
    const QByteArray native = QFile::encodeName(lockPath_);
    struct stat found {};
    if (::lstat(native.constData(), &found) != 0 || !S_ISREG(found.st_mode)) {
        return false;
    }
    const FileDescriptor file(::open(native.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    if (!file.isOpen()) {
        return false;
    }
    // Only while no one holds it, and only if it is still the file that was judged.
    struct stat opened {};
    bool removed = ::fstat(file.get(), &opened) == 0 && sameFile(opened, found);
    if (removed && ::flock(file.get(), LOCK_EX | LOCK_NB) != 0) {
        removed = errno != EWOULDBLOCK && errno != EINTR; // a file system without file locks: the guard suffices
    }
    return removed && ::lstat(native.constData(), &found) == 0 && sameFile(opened, found) &&
           ::unlink(native.constData()) == 0;
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

int VaultLock::lockNewFile(int fd)
{
    if (!holdsLockFile() && !vaultFileOnly_) {
        return 0;
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
    if (!newFd_.isOpen()) {
        return;
    }
    if (isTheVault) {
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
