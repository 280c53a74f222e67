#pragma once

#include "core/VaultFile.h"

#include <QByteArray>
#include <QString>

class EntryStore;

// Creates, reads and rewrites the vault file. It keeps no entries of its own: the entry list is the only copy in
// memory, and every save writes it out whole. It only reports what happened; what the user is shown is the
// program's to decide.
class VaultStore final {
public:
    VaultStore(EntryStore &list, QString vaultPath);
    Q_DISABLE_COPY_MOVE(VaultStore)

    // What a write of the vault file came to.
    using Outcome = VaultFile::Outcome;

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
        bool ok = false;     // false: the password is not the stored one, and nothing changed
        qsizetype count = 0; // the entries appended to the list
    };

    // Makes sure the file exists (one empty line when new) and reads it whole, once: unlock() and
    // createMasterPassword() go on with what this read. An empty line 1 asks for a new password.
    FirstRun checkFirstRun();

    // After the first look: with the stored master password, keeps it for the saves and appends every entry of the
    // file to the list; with any other, changes nothing.
    Loaded unlock(const QString &password);

    // After a first look that asked for a new password: writes it as line 1, keeping any entry lines the file
    // already holds, which it then appends to the list. Failed means the file is as it was and the list unchanged.
    Outcome createMasterPassword(const QString &password);

    // Rewrites the whole file from the master password and the list. A failure changes nothing on disk; the list
    // keeps its state, and the next save writes everything.
    Outcome save();

    bool isUnlocked() const { return !masterPassword_.isEmpty(); }
    // True until a save is confirmed after one that failed or that the disk did not confirm.
    bool lastSaveFailed() const { return lastSave_ != Outcome::Status::Written; }
    // The last save wrote the vault, but the disk did not confirm that it holds it.
    bool lastSaveUnconfirmed() const { return lastSave_ == Outcome::Status::NotConfirmed; }

    void setFaultHook(VaultFile::FaultHook hook) { faultHook_ = std::move(hook); }
    // The holder of a lock on the vault file, which every save hands the new file to.
    void setFileLockHolder(VaultFile::FileLockHolder *lock) { fileLock_ = lock; }

private:
    FirstRun firstLook();

    EntryStore &list_;
    QString path_;
    // The file as the first look read it, still enciphered, until the unlock or the new password takes its entries.
    QByteArray firstLook_;
    QString storedPassword_;
    FirstRun::Gate gate_ = FirstRun::Gate::CannotOpen; // what the first look found
    QString masterPassword_;
    Outcome::Status lastSave_ = Outcome::Status::Written;
    VaultFile::FaultHook faultHook_;
    VaultFile::FileLockHolder *fileLock_ = nullptr;
};
