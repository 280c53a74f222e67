#include "core/LockFileJudge.h"

#include "core/LockFileContent.h"

#include <QFile>
#include <QFileInfo>
#include <QSysInfo>

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

using LockFileContent::Writer;
using namespace LockFileJudge;

namespace {

// A copy writes its lock file a moment after making it. An empty or garbled one that has not changed for longer
// than this, either way (the clocks of machines that share a folder differ a little), is not being written.
constexpr qint64 SecondsToWriteALockFile = 10;

bool onThisMachine(const Writer &writer)
{
    const QByteArray machine = QSysInfo::machineUniqueId();
    if (!writer.machine.isEmpty() && !machine.isEmpty()) {
        return writer.machine == machine;
    }
    return writer.host.isEmpty() || QString::fromUtf8(writer.host) == QSysInfo::machineHostName();
}

// What this machine can tell of the process a lock file names: gone; running another program than the one that
// wrote the lock (its number was reused); running that program; or out of sight (another user's process, whose
// program cannot be read).
enum class Process { Gone, OtherProgram, SameProgram, Unknown };

Process processOf(const Writer &writer)
{
    if (!writer.boot.isEmpty() && writer.boot != QSysInfo::bootUniqueId()) {
        return Process::Gone;
    }
    if (writer.pid > INT_MAX || (::kill(pid_t(writer.pid), 0) != 0 && errno == ESRCH)) {
        return Process::Gone;
    }
    char exeLink[64];
    std::snprintf(exeLink, sizeof exeLink, "/proc/%lld/exe", static_cast<long long>(writer.pid));
    char exe[PATH_MAX];
    const ssize_t n = ::readlink(exeLink, exe, sizeof exe);
    if (n <= 0 || size_t(n) >= sizeof exe || writer.program.isEmpty()) {
        return Process::Unknown;
    }
    QByteArray path(exe, n);
    if (path.endsWith(" (deleted)")) {
        path.chop(10);
    }
    return QFileInfo(QFile::decodeName(path)).fileName() == QFileInfo(QString::fromUtf8(writer.program)).fileName()
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

bool held(Locks locks)
{
    return locks == Locks::LockFileHeld || locks == Locks::VaultFileHeld;
}

VaultHolder::Evidence evidenceOf(Locks locks)
{
    switch (locks) {
    case Locks::LockFileHeld:
        return VaultHolder::Evidence::LockFileLock;
    case Locks::VaultFileHeld:
        return VaultHolder::Evidence::VaultFileLock;
    case Locks::Free:
    case Locks::Unseen:
        break;
    }
    return VaultHolder::Evidence::LockFileWord;
}

// A lock file that names a process, that no lock shows held.
Owner ownerOfNamed(const Found &found, const Writer &writer, Locks locks, Rules rules, VaultHolder &holder)
{
    if (!holder.thisMachine) {
        // On a network folder the other machine's lock may not be seen from here.
        if (found.onSharedFolder) {
            return rules.takeOverOtherMachine ? Owner::Stale : Owner::OtherMachine;
        }
        return locks == Locks::Free ? Owner::Stale : Owner::Live;
    }
    // A lock on this machine's own disks that no one holds: only a process that has this very lock file open
    // through another path holds it.
    if (locks == Locks::Free && !found.onSharedFolder) {
        if (writer.pid != ::getpid() && hasOpen(writer.pid, found.inode, QFileInfo(found.path).fileName())) {
            holder.evidence = VaultHolder::Evidence::OpenElsewhere;
            return Owner::Live;
        }
        return Owner::Stale;
    }
    // Where the locks cannot be seen (a file system that grants every lock, or one folder reached through a
    // user-space file system and directly), only the process that the file names can tell; this one, which holds
    // no lock, is never it.
    if (writer.pid == ::getpid()) {
        return Owner::Stale;
    }
    switch (processOf(writer)) {
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

} // namespace

namespace LockFileJudge {

Verdict judge(const Found &found, const std::function<Locks()> &locks, Rules rules)
{
    Verdict verdict;
    VaultHolder &holder = verdict.holder;
    holder.lockFilePath = found.path;
    if (!found.content) {
        // Another user's lock file, which cannot be read: whether anyone holds the vault says it all.
        holder.lockFileUnreadable = true;
        const Locks seen = locks();
        holder.evidence = evidenceOf(seen);
        verdict.owner = seen == Locks::Free && !found.onSharedFolder ? Owner::Stale : Owner::Live;
        return verdict;
    }
    const std::optional<Writer> writer = LockFileContent::parse(*found.content);
    if (writer) {
        holder.pid = writer->pid;
        holder.host = QString::fromUtf8(writer->host);
        holder.thisMachine = onThisMachine(*writer);
    }
    // A live holder keeps its lock file locked.
    if (found.locked) {
        holder.evidence = VaultHolder::Evidence::LockFileLock;
        return verdict;
    }
    if (!writer) {
        // Empty, zeros, or garbled: no copy leaves that behind while it runs. Under the guard no copy is between
        // making its lock file and writing it; without the guard only a file that has not changed for a while is
        // surely stale.
        const bool beingWritten = !rules.guarded && std::abs(found.ageSeconds) <= SecondsToWriteALockFile;
        verdict.owner = beingWritten ? Owner::Live : Owner::Stale;
        return verdict;
    }
    const Locks seen = locks();
    holder.evidence = evidenceOf(seen);
    verdict.owner = held(seen) ? Owner::Live : ownerOfNamed(found, *writer, seen, rules, holder);
    return verdict;
}

} // namespace LockFileJudge
