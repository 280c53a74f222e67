#pragma once

#include "core/VaultFile.h"

#include <QString>

class EntryStore;
class QDateTime;
class QLocale;

// Creates, reads and rewrites the vault file. It keeps no entries of its own: the entry list is the only copy in
// memory, and every save writes it out whole. It only reports what happened; what the user is shown is the
// program's to decide.
class VaultStore final {
public:
    VaultStore(EntryStore &list, QString vaultPath);
    Q_DISABLE_COPY_MOVE(VaultStore)

    // What a write of the vault file came to.
    struct Outcome {
        enum class Status {
            Written,      // on disk, and the disk confirmed it
            NotConfirmed, // on disk, but the disk did not confirm that it holds it: a power cut could still lose it
            Failed,       // nothing on disk changed
        };
        Status status = Status::Written;
        QString error; // why it failed or was not confirmed, with the system's error number and words

        bool written() const { return status != Status::Failed; }
        bool confirmed() const { return status == Status::Written; }
    };

    // What the first look at the vault file found.
    struct FirstRun {
        enum class Gate {
            CreatePassword, // a new or password-less file: the user creates the master password
            EnterPassword,  // the user types the stored one
            CannotOpen,     // the file cannot be created or read whole; nothing was written
        };
        Gate gate = Gate::CannotOpen;
        QString error; // with CannotOpen: why
    };

    // What unlocking the vault came to.
    struct Loaded {
        bool ok = false;
        qsizetype count = 0; // the entries appended to the list
        QString error;       // when not ok: why the file could not be read whole
    };

    // "Saved " and the date and time in the user's general format: short date, a blank, long time (no time zone).
    // The year always has four digits, in the place and with the separators the user's short date gives it.
    static QString savedStatusText(const QDateTime &when, const QLocale &locale);

    // Makes sure the file exists (one empty line when new) and reads line 1: an empty one asks for a new password.
    FirstRun checkFirstRun();

    // Whether `typed` is the stored master password.
    bool isStoredPassword(const QString &typed) const { return typed == storedPassword_; }

    // After the right password: keeps it for the saves and appends every entry of the file to the list. A file that
    // cannot be read whole leaves the list as it was.
    Loaded unlock(const QString &password);

    // Writes a new master password as line 1, keeping any entry lines the file already holds, which it then appends
    // to the list. Failed means the file is as it was and the list unchanged.
    Outcome createMasterPassword(const QString &password);

    // Rewrites the whole file from the master password and the list. A failure changes nothing on disk; the list
    // keeps its state, and the next save writes everything.
    Outcome save();

    const QString &path() const { return path_; }
    // The master password that every save writes as line 1; unlock() and createMasterPassword() set it.
    void setMasterPassword(const QString &password) { masterPassword_ = password; }
    bool isUnlocked() const { return !masterPassword_.isEmpty(); }
    // True until a save is confirmed after one that failed or that the disk did not confirm.
    bool lastSaveFailed() const { return lastSave_ != Outcome::Status::Written; }
    // The last save wrote the vault, but the disk did not confirm that it holds it.
    bool lastSaveUnconfirmed() const { return lastSave_ == Outcome::Status::NotConfirmed; }

    void setFaultHook(VaultFile::FaultHook hook) { faultHook_ = std::move(hook); }
    // The holder of a lock on the vault file, which every save hands the new file to.
    void setFileLockHolder(VaultFile::FileLockHolder *lock) { fileLock_ = lock; }

private:
    VaultFile::Result readVault(QByteArray &bytes, VaultFile::Extent extent = VaultFile::Extent::Whole);
    static Outcome outcomeOf(const VaultFile::Result &result);

    EntryStore &list_;
    QString path_;
    QString masterPassword_;
    QString storedPassword_;
    Outcome::Status lastSave_ = Outcome::Status::Written;
    VaultFile::FaultHook faultHook_;
    VaultFile::FileLockHolder *fileLock_ = nullptr;
};
