#include "core/VaultFile.h"

#include "core/CheckedRename.h"
#include "core/FileDescriptor.h"
#include "core/FileOwnership.h"
#include "core/FileSystem.h"
#include "core/SystemError.h"
#include "core/VaultPath.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

using VaultFile::Outcome;
using VaultFile::Step;

QString failureText(const QString &what, const QString &path, int error)
{
    return u"%1 %2: %3"_s.arg(what, FileSystem::quoted(path), systemErrorText(error));
}

Outcome failure(const QString &what, const QString &path, int error)
{
    return {Outcome::Status::Failed, failureText(what, path, error)};
}

Outcome refusal(const QString &text)
{
    return {Outcome::Status::Failed, text};
}

// The prefix of a save's temporary file name, followed by six random characters.
QString temporaryPrefix(const QString &path)
{
    return path + u".saving-"_s;
}

// Runs the hook for a step; returns the error it injects, or 0.
int injected(const VaultFile::FaultHook &hook, Step step)
{
    return hook ? hook(step) : 0;
}

int writeAll(int fd, QByteArrayView content, const VaultFile::FaultHook &hook)
{
    const char *p = content.data();
    qsizetype left = content.size();
    do {
        if (const int e = injected(hook, Step::Write)) {
            return e;
        }
        // Writes in chunks so that a fault can hit any part of a large vault, not just the first call.
        const size_t chunk = size_t(std::min<qsizetype>(left, qsizetype(1) << 24));
        const ssize_t n = ::write(fd, p, chunk);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return errno;
        }
        p += n;
        left -= n;
    } while (left > 0);
    return 0;
}

int flush(int fd, Step step, const VaultFile::FaultHook &hook)
{
    if (const int e = injected(hook, step)) {
        return e;
    }
    return ::fsync(fd) == 0 ? 0 : errno;
}

QString tooLargeText(const QString &path, qint64 size)
{
    return u"%1 is %2 bytes long, more than the 1 GiB (%3 bytes) that Brisvane opens as a vault; a vault of a million "
           u"entries takes about 70 MB. Nothing was read or changed. If this file is not your vault, move it out of "
           u"the folder."_s.arg(FileSystem::quoted(path))
               .arg(size)
               .arg(VaultFile::MaxSize);
}

QString replacedText(const QString &path)
{
    return u"%1 was replaced by another file while Brisvane was saving, so nothing was written over it. Start "
           u"Brisvane again from the folder that holds your vault."_s.arg(FileSystem::quoted(path));
}

// `expected`: the vault as the save checked it; the file opened must be that one.
Outcome writeInPlace(const QString &path, QByteArrayView content, const VaultFile::FaultHook &hook,
                     const Outcome &whyNotBeside, const struct stat *expected)
{
    const QByteArray native = QFile::encodeName(path);
    int e = injected(hook, Step::OpenInPlace);
    const FileDescriptor file(e ? -1 : ::open(native.constData(), O_WRONLY | O_CLOEXEC));
    const int fd = file.get();
    if (fd < 0) {
        // The folder refused the new file and the vault itself cannot be written either: report the first cause.
        return whyNotBeside;
    }
    struct stat opened {};
    if (expected && (::fstat(fd, &opened) != 0 || !FileSystem::sameFile(opened, *expected))) {
        return refusal(replacedText(path));
    }
    // Reserving the room first means a full disk fails before a single old byte is overwritten.
    e = injected(hook, Step::Reserve);
    if (!e) {
        const off_t room = std::max<off_t>(off_t(content.size()), 1);
#ifdef FALLOC_FL_KEEP_SIZE
        // The room is reserved without lengthening the file: should the program stop before its first byte is
        // written, the vault is exactly the old one, not the old one followed by zero bytes that read as an entry.
        e = ::fallocate(fd, FALLOC_FL_KEEP_SIZE, 0, room) == 0 ? 0 : errno;
#else
        e = ::posix_fallocate(fd, 0, room);
#endif
        if (e == EOPNOTSUPP || e == EINVAL) {
            e = 0;
        }
    }
    if (!e && ::lseek(fd, 0, SEEK_SET) < 0) {
        e = errno;
    }
    if (!e) {
        // Shorter content is padded to the old length with CR bytes, which read as empty lines and are skipped:
        // should cutting the file to length fail, it still reads as the new vault, never as the new vault
        // followed by the tail of the old one.
        struct stat st {};
        const qsizetype oldSize = ::fstat(fd, &st) == 0 ? qsizetype(st.st_size) : 0;
        if (oldSize > content.size()) {
            QByteArray padded;
            padded.reserve(oldSize);
            padded.append(content).append(oldSize - content.size(), '\r');
            e = writeAll(fd, padded, hook);
        } else {
            e = writeAll(fd, content, hook);
        }
    }
    if (!e) {
        e = injected(hook, Step::Truncate);
        if (!e && ::ftruncate(fd, off_t(content.size())) != 0) {
            e = errno;
        }
    }
    if (!e) {
        e = flush(fd, Step::FlushFile, hook);
    }
    return e ? failure(u"Could not write"_s, path, e) : Outcome{};
}

} // namespace

namespace VaultFile {

QString read(const QString &path, QByteArray &out)
{
    // A named pipe or a device is never opened: reading one could block for good, or change what it holds.
    if (const QString odd = VaultPath::notAVaultFile(path); !odd.isEmpty()) {
        return odd;
    }
    const FileDescriptor file(::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    const int fd = file.get();
    if (fd < 0) {
        return failureText(u"Could not open"_s, path, errno);
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        const int e = S_ISDIR(st.st_mode) ? EISDIR : S_ISREG(st.st_mode) ? errno : EINVAL;
        return failureText(u"Could not read"_s, path, e);
    }
    if (st.st_size > MaxSize) {
        return tooLargeText(path, st.st_size);
    }
    out.resize(qsizetype(st.st_size));
    qsizetype have = 0;
    for (;;) {
        if (have == out.size()) {
            if (have >= MaxSize) {
                return tooLargeText(path, have); // it grew while being read
            }
            out.resize(std::min<qsizetype>(have + std::max<qsizetype>(have, 65536), MaxSize + 1));
        }
        const ssize_t n = ::read(fd, out.data() + have, size_t(out.size() - have));
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return failureText(u"Could not read"_s, path, errno);
        }
        if (n == 0) {
            break;
        }
        have += n;
    }
    out.truncate(have);
    return {};
}

Outcome createNew(const QString &path, QByteArrayView content, const FaultHook &hook, FileLockHolder *lock)
{
    int e = injected(hook, Step::CreateTemp);
    FileDescriptor file(e ? -1
                          : ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
    const int fd = file.get();
    if (fd < 0) {
        e = e ? e : errno;
        const QString odd = e == EEXIST ? VaultPath::notAVaultFile(path) : QString();
        return odd.isEmpty() ? failure(u"Could not create"_s, path, e) : refusal(odd);
    }
    e = writeAll(fd, content, hook);
    if (!e) {
        e = flush(fd, Step::FlushFile, hook);
    }
    int lockError = 0;
    if (!e && lock) {
        lockError = lock->lockNewFile(fd);
    }
    file.close();
    if (e || lockError) {
        ::unlink(QFile::encodeName(path).constData());
        return e ? failure(u"Could not write"_s, path, e) : failure(u"Could not lock"_s, path, lockError);
    }
    if (lock) {
        lock->newFileSettled(true);
    }
    return {};
}

Outcome replace(const QString &path, QByteArrayView content, const FaultHook &hook, FileLockHolder *lock)
{
    if (const QString odd = VaultPath::notAVaultFile(path); !odd.isEmpty()) {
        return refusal(odd);
    }
    // The file itself, so that a link stays a link.
    const QString target = FileSystem::realPath(path);
    const QByteArray nativeTarget = QFile::encodeName(target);
    const QString folder = QFileInfo(target).absolutePath();
    QByteArray tempName = QFile::encodeName(temporaryPrefix(target) + u"XXXXXX"_s);
    // The vault as this save finds it, before the lock's own look: the only file that the save may replace.
    struct stat vault {};
    const struct stat *expected = ::stat(nativeTarget.constData(), &vault) == 0 ? &vault : nullptr;
    if (lock) {
        if (const QString why = lock->checkBeforeSave(target); !why.isEmpty()) {
            return refusal(why);
        }
    }

    // The rename would replace a file that its owner made read-only, and so undo that choice: a save may change
    // the vault only where opening it for writing would be allowed. Asked without opening it, which a save never
    // does on this path.
    if (::faccessat(AT_FDCWD, nativeTarget.constData(), W_OK, AT_EACCESS) != 0 && errno != ENOENT) {
        return failure(u"Could not write"_s, target, errno);
    }

    int e = injected(hook, Step::CreateTemp);
    FileDescriptor file(e ? -1 : ::mkostemp(tempName.data(), O_CLOEXEC));
    const int fd = file.get();
    if (fd < 0) {
        e = e ? e : errno;
        const Outcome beside = failure(u"Could not create a new file in"_s, folder, e);
        if (e == EACCES || e == EPERM || e == ENOSPC || e == EDQUOT) {
            return writeInPlace(target, content, hook, beside, expected);
        }
        return beside;
    }
    const auto discard = [&](const QString &what, int error) {
        file.close();
        ::unlink(tempName.constData());
        return failure(what, target, error);
    };

    // The new file keeps the owner, group and permissions of the one it replaces; a new vault is private to its
    // owner. Where this user cannot give it the vault's owner without taking rights from anyone, the vault is
    // written in place, as an open for output would, which keeps all of them.
    if (expected) {
        if (!FileOwnership::keep(fd, vault)) {
            file.close();
            ::unlink(tempName.constData());
            return writeInPlace(target, content, hook, failure(u"Could not write"_s, target, EPERM), expected);
        }
        ::fchmod(fd, vault.st_mode & 07777);
    }
    if ((e = writeAll(fd, content, hook))) {
        return discard(u"Could not write"_s, e);
    }
    if ((e = flush(fd, Step::FlushFile, hook))) {
        return discard(u"Could not flush"_s, e);
    }
    if (lock && (e = lock->lockNewFile(fd))) {
        return discard(u"Could not lock the new file for"_s, e);
    }
    const auto settle = [lock](bool isTheVault) {
        if (lock) {
            lock->newFileSettled(isTheVault);
        }
    };
    e = injected(hook, Step::Close);
    if (const int closeError = file.close(); closeError && !e) {
        e = closeError;
    }
    if (e) {
        ::unlink(tempName.constData());
        settle(false);
        return failure(u"Could not write"_s, target, e);
    }
    e = injected(hook, Step::Rename);
    const CheckedRename::Outcome renamed =
        e ? CheckedRename::Outcome::Failed : CheckedRename::run(tempName, nativeTarget, expected, e);
    if (renamed != CheckedRename::Outcome::Done) {
        settle(false);
        if (renamed == CheckedRename::Outcome::OtherFileOut) {
            return refusal(replacedText(target) +
                           u" It could not be put back in its place: it is now %1 (%2)."_s.arg(
                               FileSystem::quoted(QFile::decodeName(tempName)), systemErrorText(e)));
        }
        ::unlink(tempName.constData());
        return renamed == CheckedRename::Outcome::OtherFile ? refusal(replacedText(target))
                                                            : failure(u"Could not replace"_s, target, e);
    }
    settle(true);

    // The rename only survives a power cut once the folder itself is on disk.
    e = injected(hook, Step::OpenFolder);
    const FileDescriptor dir(e ? -1
                               : ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!dir.isOpen()) {
        e = e ? e : errno;
    } else {
        e = flush(dir.get(), Step::FlushFolder, hook);
    }
    if (e) {
        return {Outcome::Status::NotConfirmed,
                failureText(u"The disk did not confirm the change to the folder"_s, folder, e)};
    }
    return {};
}

void removeLeftovers(const QString &path)
{
    const QFileInfo info(FileSystem::realPath(path));
    QDir folder = info.absoluteDir();
    // Names are compared exactly, not with a wildcard filter: that ignores letter case, so it would take another
    // file's "DATA.ENC.saving-…" too, and it would read brackets in the vault's own name as a pattern.
    const QString prefix = temporaryPrefix(info.fileName());
    for (const QString &name : folder.entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        if (name.size() == prefix.size() + 6 && name.startsWith(prefix, Qt::CaseSensitive)) {
            folder.remove(name);
        }
    }
}

} // namespace VaultFile
