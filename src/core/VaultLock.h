#pragma once

#include <QLockFile>
#include <QString>

// Keeps a second copy of the program off a vault that one copy has open. The lock of a copy that crashed is
// taken over at once, since its process is gone; a live copy's lock never ages out.
class VaultLock final {
public:
    enum class Outcome { Locked, HeldByAnother, Unavailable };

    explicit VaultLock(const QString &vaultPath);
    Q_DISABLE_COPY_MOVE(VaultLock)

    // Unavailable: the folder refuses the lock file (read-only, full); the program goes on without it.
    Outcome acquire();

    // Gives the lock up before the process ends at once.
    void release() { lock_.unlock(); }

    static QString lockPath(const QString &vaultPath);

private:
    QLockFile lock_;
};
