#pragma once

#include "core/FileDescriptor.h"
#include "core/VaultFile.h"

#include <QLockFile>
#include <QString>

// Keeps a second copy of the program off a vault that one copy has open: one writer per vault file, whichever
// folder or link it is reached through.
//
// The lock is a lock file beside the real vault, "<vault>.lock", which a live copy's lock never ages out of. A lock
// file that names no live process of this machine (a crashed run; an empty or garbled file) is taken over at once.
// The holder also holds an advisory lock (flock) on the vault file itself, and where no lock file can be made there
// (a read-only or full folder, a folder in the lock file's place) that lock alone keeps other copies out. Since a
// save renames a new file over the vault, the holder moves that lock to each new file before the rename.
class VaultLock final : public VaultFile::FileLockHolder {
public:
    // Unavailable: neither kind of lock can be had (no vault file yet and no lock file, or a file system without
    // file locks); the program may go on without one, but must say that another copy could overwrite its saves.
    enum class Outcome { Locked, HeldByAnother, Unavailable };

    explicit VaultLock(const QString &vaultPath);
    ~VaultLock();
    Q_DISABLE_COPY_MOVE(VaultLock)

    Outcome acquire();

    // Gives the lock up before the process ends at once.
    void release();

    // The vault file itself, links followed: where the lock is, and the only folder a holder may tidy.
    const QString &vaultPath() const { return vault_; }
    bool holdsLockFile() const { return lockFile_.isLocked(); }
    bool holdsVaultFile() const { return vaultFd_.isOpen(); }

    static QString lockPath(const QString &vaultPath);

    int lockNewFile(int fd) override;
    void newFileSettled(bool isTheVault) override;

private:
    enum class Owner { None, Live, Stale, NotALockFile };
    enum class FileLock { Taken, Busy, Impossible };

    Owner lockFileOwner(bool guarded) const;
    bool removeStaleLockFile();
    FileLock lockVaultFile();
    Outcome withoutLockFile();

    QString vault_;
    QString lockPath_;
    QLockFile lockFile_;
    FileDescriptor vaultFd_;
    FileDescriptor newFd_;
    // Only the lock on the vault file keeps other copies out: a save may not go on without it.
    bool vaultFileOnly_ = false;
};
