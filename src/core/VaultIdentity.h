#pragma once

#include <QString>

#include <sys/types.h>

// The vault file and its folder as this copy found them when it took the lock, each by device and inode, and the
// check a save makes before it renames: that the path still leads to that very file in that very folder, so that a
// vault moved or replaced while the program runs is never overwritten. The vault file's half follows each new file
// that a save of this copy's makes the vault.
class VaultIdentity final {
public:
    // `vaultPath`: the vault file itself, links followed. Nothing is found yet.
    explicit VaultIdentity(const QString &vaultPath);

    // Finds the vault file (where there is one) and its folder as they are now; later calls keep what the first
    // one found, so that a lock taken again before a save never adopts a vault put there meanwhile.
    void findOnce();

    // Whether a save may replace the vault at `target`: the same path, the folder found, and the file found where
    // there was one.
    bool allowsSaveTo(const QString &target) const;

    // A save's new file, open as `fd`, which may become the vault.
    void noteNewFile(int fd);
    // The noted file is the vault now.
    void newFileIsTheVault();

private:
    struct FileId {
        dev_t device = 0;
        ino_t inode = 0;
        // Nothing was there, or it could not be seen: nothing to compare.
        bool isKnown() const { return inode != 0; }
        bool operator==(const FileId &) const = default;
    };
    static FileId idOf(const QString &path);

    QString path_;
    bool found_ = false;
    FileId file_;
    FileId folder_;
    FileId newFile_;
};
