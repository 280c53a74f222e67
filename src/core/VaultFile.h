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

struct Result {
    bool ok = true;
    // The new content is in place but the folder flush failed: it may not survive a power cut yet.
    bool notDurable = false;
    QString error; // what failed and why, for the user
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

enum class Extent { Whole, FirstLine };

// Reads the whole file into `out`, or with FirstLine at least its first line (up to its first CR). Fails, with
// `out` unspecified, when any part of it cannot be read, and refuses a file larger than MaxSize.
Result read(const QString &path, QByteArray &out, Extent extent = Extent::Whole);

// Creates a file that must not exist yet, with the given content, flushed.
Result createNew(const QString &path, QByteArrayView content, const FaultHook &hook = {},
                 FileLockHolder *lock = nullptr);

// Replaces the file's content as described above. Where the folder refuses new files but the file itself can be
// written, writes it in place instead (room reserved first, then the bytes, then flushed). A vault that its user
// may not write is left alone, as opening it for writing would fail.
Result replace(const QString &path, QByteArrayView content, const FaultHook &hook = {}, FileLockHolder *lock = nullptr);

// Removes the temporary files that a save interrupted by a crash left beside the vault. Only the program that
// holds the vault's lock may call it.
void removeLeftovers(const QString &path);

// The prefix of a save's temporary file name, followed by six random characters.
QString temporaryPrefix(const QString &path);

} // namespace VaultFile
