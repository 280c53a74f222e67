#pragma once

#include "core/FileDescriptor.h"
#include "core/LockFileJudge.h"
#include "core/VaultFile.h"
#include "core/VaultHolder.h"
#include "core/VaultIdentity.h"

#include <QLockFile>
#include <QString>

// Keeps a second copy of the program off a vault that one copy has open: one writer per vault file, whichever
// folder or link it is reached through.
//
// The lock is a lock file beside the real vault, "<vault>.lock", in QLockFile's format. The holder also holds an
// advisory lock (flock) on the vault file itself, and moves it to each new file that a save renames over the
// vault; where no lock file can be made there (a read-only or full folder, a folder in the lock file's place) that
// lock alone keeps other copies out. A lock file left behind is judged by LockFileJudge, and taken over where no
// copy holds it. Every save asks the lock first, and goes only to the vault that the lock was taken on.
class VaultLock final : public VaultFile::FileLockHolder {
public:
    // Unavailable: neither kind of lock can be had (no vault file yet and no lock file, or a file system without
    // file locks); the program may go on without one, but must say that another copy could overwrite its saves.
    // OtherMachine: the lock file names another machine, on a network folder where that machine's lock cannot be
    // seen from here; the user decides whether to take it over.
    enum class Outcome { Locked, HeldByAnother, Unavailable, OtherMachine };

    // Words who holds the vault, for the text that checkBeforeSave() returns when a copy that started without a
    // lock finds the vault taken since; the program words it as it words its own refusal at the start.
    using HolderWords = QString (*)(const VaultHolder &holder);

    explicit VaultLock(const QString &vaultPath, HolderWords holderWords = nullptr);
    ~VaultLock();
    Q_DISABLE_COPY_MOVE(VaultLock)

    // `heldBy`, where given, receives who holds the vault when the outcome is HeldByAnother or OtherMachine.
    Outcome acquire(VaultHolder *heldBy = nullptr);
    // After the user answered OtherMachine: takes that machine's lock file over as a stale one, now and whenever
    // this copy takes the lock again.
    Outcome takeOver(VaultHolder *heldBy = nullptr);

    // Gives the lock up before the process ends at once.
    void release();

    // The vault file itself, links followed: where the lock is, and the only folder a holder may tidy.
    const QString &vaultPath() const { return vault_; }
    const QString &lockFilePath() const { return lockPath_; }
    bool holdsLockFile() const { return lockFile_.isLocked(); }
    bool holdsVaultFile() const { return vaultFd_.isOpen(); }

    static QString lockPath(const QString &vaultPath);

    QString checkBeforeSave(const QString &target) override;
    int lockNewFile(int fd) override;
    void newFileSettled(bool isTheVault) override;

private:
    // What stands in the lock file's place: nothing (it went meanwhile), something that is no lock file, or a lock
    // file, with the verdict on it.
    struct Look {
        enum class Found { Nothing, NotALockFile, LockFile };
        Found found = Found::Nothing;
        LockFileJudge::Verdict verdict;
    };

    Outcome lock(VaultHolder *heldBy);
    Look lookAtLockFile(bool guarded) const;
    LockFileJudge::Locks fileLocks(bool lockFileReadable) const;
    bool removeStaleLockFile(bool unreadable) const;
    Outcome withoutLockFile(VaultHolder *heldBy);
    Outcome lockFileTaken(VaultHolder *heldBy);
    Outcome lockedOrUnavailable(Outcome outcome);

    QString vault_;
    QString lockPath_;
    HolderWords holderWords_;
    QLockFile lockFile_;
    FileDescriptor vaultFd_;
    FileDescriptor newFd_;
    // Only the lock on the vault file keeps other copies out: a save may not go on without it.
    bool vaultFileOnly_ = false;
    // The user's answer to the OtherMachine question, which holds for as long as this copy runs.
    bool takeOverOtherMachine_ = false;
    VaultIdentity identity_;
};
