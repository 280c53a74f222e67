#pragma once

#include "core/VaultFile.h"

#include <QString>

class EntryStore;
class QDateTime;
class QLocale;
class VaultHost;

// Creates, reads and rewrites the vault file. It keeps no entries of its own: the entry list is the only copy in
// memory, and every save writes it out whole.
class VaultStore final {
public:
    VaultStore(VaultHost &host, EntryStore &list, QString vaultPath);
    Q_DISABLE_COPY_MOVE(VaultStore)

    // "Saved " and the date and time in the user's general format: short date, a blank, long time (no time zone).
    // The year always has four digits, in the place and with the separators the user's short date gives it.
    static QString savedStatusText(const QDateTime &when, const QLocale &locale);

    // Makes sure the file exists (one empty line when new), reads line 1 and opens the password dialog in create
    // mode when it is empty, in enter mode otherwise.
    void checkFirstRun();

    // After a correct password: appends every entry of the file to the list, reports the count, finishes start-up.
    void load();

    // Rewrites the whole file from the master password and the list. On failure the user is told why, nothing on
    // disk changes, and false is returned; the list keeps its state, and the next save writes everything.
    bool save();

    // After a valid new password: writes it as line 1, keeping any entry lines the file already holds.
    void createMasterPassword();

    const QString &path() const { return path_; }
    const QString &masterPassword() const { return masterPassword_; }
    void setMasterPassword(const QString &password) { masterPassword_ = password; }
    const QString &storedPassword() const { return storedPassword_; }
    // True until a save succeeds after one that failed or that the disk did not confirm.
    bool lastSaveFailed() const { return lastSaveFailed_; }
    // The last save wrote the vault, but the disk did not confirm that it holds it.
    bool lastSaveUnconfirmed() const { return lastSaveUnconfirmed_; }

    void setFaultHook(VaultFile::FaultHook hook) { faultHook_ = std::move(hook); }
    // The holder of a lock on the vault file, which every save hands the new file to.
    void setFileLockHolder(VaultFile::FileLockHolder *lock) { fileLock_ = lock; }

private:
    bool ensureVaultFile();
    bool readVault(QByteArray &bytes);

    VaultHost &host_;
    EntryStore &list_;
    QString path_;
    QString masterPassword_;
    QString storedPassword_;
    bool lastSaveFailed_ = false;
    bool lastSaveUnconfirmed_ = false;
    VaultFile::FaultHook faultHook_;
    VaultFile::FileLockHolder *fileLock_ = nullptr;
};
