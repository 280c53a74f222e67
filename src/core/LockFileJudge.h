#pragma once

#include "core/VaultHolder.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <optional>
#include <sys/types.h>

// Judges a lock file left beside the vault: from what it says and what the file locks show, whether the copy that
// holds it still runs, has gone, or runs on another machine out of sight. It keeps nothing between calls; besides
// what it is given it looks only at this machine (its processes, its boot and machine ids).
//
// A lock on this machine's own disks is seen whoever took it, in whatever process namespace, so there the file
// locks decide and the process that the lock file names counts for nothing (process numbers repeat across
// namespaces). Only where the file system cannot tell (it ignores flock, or another machine or another path may
// hold a network or user-space folder) does the lock file's own word count.
namespace LockFileJudge {

// What the file locks show of the holder: someone holds the lock file's lock or the vault file's, no one holds
// either, or nothing here can tell.
enum class Locks { LockFileHeld, VaultFileHeld, Free, Unseen };

// A lock file, an ordinary one, as a starting copy found it.
struct Found {
    QString path;
    // Nothing where it cannot be read here (another user's).
    std::optional<QByteArray> content;
    // Someone held its own lock when it was opened.
    bool locked = false;
    // Since it last changed, by this machine's clock.
    qint64 ageSeconds = 0;
    ino_t inode = 0;
    // On a network or user-space folder, which other machines may share.
    bool onSharedFolder = false;
};

struct Rules {
    // The judging copy holds the guard under which copies make their lock files: no lock file is between its
    // making and its first write.
    bool guarded = false;
    // The user said to take another machine's lock over.
    bool takeOverOtherMachine = false;
};

// Live: a copy holds the vault. Stale: no copy does; the lock file may go. OtherMachine: another machine may hold
// it on a shared folder, which nothing here can see; the user decides.
enum class Owner { Live, Stale, OtherMachine };

struct Verdict {
    Owner owner = Owner::Live;
    VaultHolder holder;
};

// `locks` is asked only where the verdict turns on it, since each look holds the locks for a moment.
Verdict judge(const Found &found, const std::function<Locks()> &locks, Rules rules);

} // namespace LockFileJudge
