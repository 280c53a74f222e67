#pragma once

#include <QString>

// Who holds the vault, as a copy that was refused it can tell: which lock showed it, and whom the lock file names.
// The program words it for the user.
struct VaultHolder {
    // What showed that another copy holds the vault.
    enum class Evidence {
        LockFileLock,       // someone holds the lock file's lock
        VaultFileLock,      // someone holds the vault file's lock; its lock file names another holder, or none
                            // can be made
        VaultFileLockAlone, // someone holds the vault file's lock, and no lock file was there
        OpenElsewhere,      // no lock is held here, but the process that the lock file names has it open through
                            // another path
        LockFileWord,       // no lock can be seen here: the lock file's word alone counts
    };

    Evidence evidence = Evidence::LockFileWord;
    QString lockFilePath;
    // The lock file is another user's and cannot be read here, so it names no one.
    bool lockFileUnreadable = false;
    // The process that the lock file names; 0 where it names none (it is empty, garbled, or still being written).
    qint64 pid = 0;
    // The host name that the lock file names, and whether that is this machine.
    QString host;
    bool thisMachine = false;
};
