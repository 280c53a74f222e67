#pragma once

#include "core/FileDescriptor.h"
#include "core/LockFileContent.h"
#include "core/VaultFile.h"

#include <QLockFile>
#include <QString>

#include <optional>
#include <sys/types.h>

// Keeps a second copy of the program off a vault that one copy has open: one writer per vault file, whichever
// folder or link it is reached through.
//
// The lock is a lock file beside the real vault, "<vault>.lock", in QLockFile's format. The holder also holds an
// advisory lock (flock) on the vault file itself, and moves it to each new file that a save renames over the
// vault; where no lock file can be made there (a read-only or full folder, a folder in the lock file's place) that
// lock alone keeps other copies out. That lock is the judge of a lock file left behind: one whose holder holds
// neither it nor the vault file is stale, whichever process, user or machine it names (process numbers repeat
// across process namespaces), and is taken over. Only where the file system cannot tell (it ignores flock, or
// another machine or another path may hold a network or user-space folder) does the lock file's own word count.
class VaultLock final : public VaultFile::FileLockHolder {
public:
    // Unavailable: neither kind of lock can be had (no vault file yet and no lock file, or a file system without
    // file locks); the program may go on without one, but must say that another copy could overwrite its saves.
    // OtherMachine: the lock file names another machine, on a network folder where that machine's lock cannot be
    // seen from here; the user decides whether to take it over.
    enum class Outcome { Locked, HeldByAnother, Unavailable, OtherMachine };

    explicit VaultLock(const QString &vaultPath);
    ~VaultLock();
    Q_DISABLE_COPY_MOVE(VaultLock)

    Outcome acquire();
    // After the user answered OtherMachine: takes the lock file over as a stale one.
    Outcome takeOver();

    // Gives the lock up before the process ends at once.
    void release();

    // The vault file itself, links followed: where the lock is, and the only folder a holder may tidy.
    const QString &vaultPath() const { return vault_; }
    const QString &lockFilePath() const { return lockPath_; }
    bool holdsLockFile() const { return lockFile_.isLocked(); }
    bool holdsVaultFile() const { return vaultFd_.isOpen(); }

    // Who holds the vault, as the lock file and the vault file's lock tell after an acquire that found it held,
    // and what the user can do about it; for a message.
    QString heldText() const;
    // The machine that the lock file names, for the OtherMachine question.
    QString otherMachine() const;

    static QString lockPath(const QString &vaultPath);

    QString checkBeforeSave(const QString &target) override;
    int lockNewFile(int fd) override;
    void newFileSettled(bool isTheVault) override;

private:
    enum class Owner { None, Live, Stale, OtherMachine, NotALockFile };
    enum class FileLock { Taken, Busy, Impossible };
    // What the file locks show of a lock file's holder: a lock held, none held, or nothing that can be seen here.
    enum class Locks { Held, Free, Unseen };
    // What showed that another copy holds the vault, for heldText().
    enum class Evidence {
        LockFileLock,       // someone holds the lock file's lock
        VaultFileLock,      // someone holds the vault file's lock; its lock file names another holder, or none
                            // can be made
        VaultFileLockAlone, // someone holds the vault file's lock, and no lock file was there
        OpenElsewhere,      // no lock is held here, but the process that the lock file names has it open through
                            // another path
        LockFileWord,       // no lock can be seen here: the lock file's word alone counts
    };

    Owner lockFileOwner(bool guarded);
    Locks fileLocks();
    bool removeStaleLockFile();
    FileLock lockVaultFile();
    Outcome withoutLockFile();
    Outcome lockFileTaken();
    void remember();

    QString vault_;
    QString lockPath_;
    QLockFile lockFile_;
    FileDescriptor vaultFd_;
    FileDescriptor newFd_;
    // Only the lock on the vault file keeps other copies out: a save may not go on without it.
    bool vaultFileOnly_ = false;
    bool takeOverOtherMachine_ = false;
    // What the last look at a lock file found: whom it names, or that it could not be read.
    std::optional<LockFileContent::Holder> holder_;
    bool holderUnreadable_ = false;
    Evidence evidence_ = Evidence::LockFileWord;
    // The vault file and its folder as this copy found them, which a save must still find there.
    dev_t vaultDevice_ = 0;
    ino_t vaultInode_ = 0;
    dev_t folderDevice_ = 0;
    ino_t folderInode_ = 0;
    dev_t newDevice_ = 0;
    ino_t newInode_ = 0;
};
