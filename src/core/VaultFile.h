#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

// Reading and writing the vault file as a whole. A save never leaves a half-written vault: it writes a new file
// beside the old one, flushes it, renames it over the old one and flushes the folder, so that after a crash or a
// power cut the folder holds either the old vault or the new one.
namespace VaultFile {

// The file operations of a save, in the order a save makes them. Tests make any one of them fail.
enum class Step {
    CreateTemp,
    Write,
    FlushFile,
    Close,
    Rename,
    OpenFolder,
    FlushFolder,
    OpenInPlace,
    Reserve,
    Truncate
};

// Called before each step; a non-zero result is taken as that step's error number (errno).
using FaultHook = std::function<int(Step)>;

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

// A lock held on the vault file itself. A save replaces the vault by renaming a new file over it, and a lock on
// the old file protects nothing once that is done, so the save hands the new file to the holder first.
class FileLockHolder {
public:
    // Before a save replaces the vault at `target` (links followed): a text for the user when it may not, because
    // another copy holds the vault or the path no longer leads to the file this copy opened.
    virtual QString checkBeforeSave(const QString &target) = 0;
    // Before the new file (open as `fd`) replaces the vault. A non-zero error number stops the save.
    virtual int lockNewFile(int fd) = 0;
    // The new file that lockNewFile() took is now the vault (true), or was thrown away (false).
    virtual void newFileSettled(bool isTheVault) = 0;

protected:
    ~FileLockHolder() = default;
};

// The largest vault file that is read, 1 GiB. A million entries of the usual length take about 70 MB, so this
// leaves room to spare; and while the program runs, a vault costs its size about three times over (the deciphered
// file, which the entries refer to; 32 bytes of bookkeeping an entry; the new file that a save builds), which at
// 1 GiB a desktop still has. It also keeps every line far below the 4 GiB that an entry's field ends can reach. A
// larger file is refused before any of it is read.
inline constexpr qint64 MaxSize = qint64(1) << 30;

// Reads the whole file into `out`. Returns why it could not, for the user, when any part of it cannot be read (`out`
// is then unspecified) or the file is larger than MaxSize; empty when it was read whole.
QString read(const QString &path, QByteArray &out);

// Creates a file that must not exist yet, with the given content, flushed.
Outcome createNew(const QString &path, QByteArrayView content, const FaultHook &hook = {},
                  FileLockHolder *lock = nullptr);

// Replaces the file's content as described above. Where the folder refuses new files but the file itself can be
// written, writes it in place instead (room reserved first, then the bytes, then flushed). A vault that its user
// may not write is left alone, as opening it for writing would fail.
Outcome replace(const QString &path, QByteArrayView content, const FaultHook &hook = {},
                FileLockHolder *lock = nullptr);

// Removes the temporary files that a save interrupted by a crash left beside the vault. Only the program that
// holds the vault's lock may call it.
void removeLeftovers(const QString &path);

} // namespace VaultFile
