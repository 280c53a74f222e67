#include "reliability/FileOpRecorder.h"

#include "support/ReferenceVault.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdarg>
#include <dlfcn.h>
#include <fcntl.h>
#include <mutex>
#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

using namespace Qt::StringLiterals;
using namespace FileOpRecorder;

namespace {

FileOp fileOp(FileOp::Kind kind, int file, qint64 at = 0, const QString &path = {})
{
    FileOp op;
    op.kind = kind;
    op.file = file;
    op.at = at;
    op.path = path;
    return op;
}

FileOp nameOp(FileOp::Kind kind, const QString &path, const QString &to = {})
{
    FileOp op;
    op.kind = kind;
    op.path = path;
    op.to = to;
    return op;
}

// Recording is switched on only around one save, and only names below `root` are followed.
constinit std::atomic<bool> recording{false};

struct Recorder {
    std::mutex mutex;
    QString root; // ends with '/'
    std::map<std::pair<dev_t, ino_t>, int> files;
    std::map<int, std::pair<int, QString>> descriptors; // a file's number, or -1 and a folder's name
    Recording out;
};

Recorder &recorder()
{
    static Recorder r;
    return r;
}

// Keeps errno as the real call left it while the call is being recorded.
struct KeepErrno {
    int saved = errno;
    ~KeepErrno() { errno = saved; }
};

// The absolute, cleaned name that `path` relative to `dirfd` stands for; empty where the recording cannot tell.
QString fullName(Recorder &r, int dirfd, const char *path)
{
    const QString name = QFile::decodeName(path);
    if (name.startsWith(u'/')) {
        return QDir::cleanPath(name);
    }
    if (dirfd == AT_FDCWD) {
        char cwd[4096];
        return ::getcwd(cwd, sizeof cwd) ? QDir::cleanPath(QFile::decodeName(cwd) + u'/' + name) : QString();
    }
    const auto it = r.descriptors.find(dirfd);
    return it != r.descriptors.end() && it->second.first < 0 ? QDir::cleanPath(it->second.second + u'/' + name)
                                                             : QString();
}

bool followed(const Recorder &r, const QString &name)
{
    return !name.isEmpty() && (name + u'/').startsWith(r.root);
}

void record(Recorder &r, FileOp op)
{
    r.out.ops.push_back(std::move(op));
}

void opened(int dirfd, const char *path, int flags, int fd)
{
    if (fd < 0 || !recording.load()) {
        return;
    }
    KeepErrno keep;
    Recorder &r = recorder();
    const std::lock_guard lock(r.mutex);
    const QString name = fullName(r, dirfd, path);
    struct stat st {};
    if (!followed(r, name) || ::fstat(fd, &st) != 0) {
        return;
    }
    if (S_ISDIR(st.st_mode)) {
        r.descriptors[fd] = {-1, name};
        return;
    }
    const auto known = r.files.find({st.st_dev, st.st_ino});
    int file = -1;
    if (known != r.files.end()) {
        file = known->second;
        if (flags & O_TRUNC) {
            record(r, fileOp(FileOp::Resize, file, 0));
        }
    } else if (flags & O_CREAT) {
        file = int(r.out.initial.size());
        r.out.initial.emplace_back();
        r.files[{st.st_dev, st.st_ino}] = file;
        record(r, fileOp(FileOp::Create, file, 0, name));
    } else {
        record(r, nameOp(FileOp::Unknown, u"opened a file that was not there when the recording began: "_s + name));
        return;
    }
    r.descriptors[fd] = {file, {}};
}

// Runs `what` on the recorder where `fd` is a followed descriptor.
template <typename What> void onDescriptor(int fd, What what)
{
    if (!recording.load()) {
        return;
    }
    KeepErrno keep;
    Recorder &r = recorder();
    const std::lock_guard lock(r.mutex);
    const auto it = r.descriptors.find(fd);
    if (it != r.descriptors.end()) {
        what(r, it->second.first, it->second.second);
    }
}

void wrote(int fd, const void *bytes, ssize_t n, qint64 at)
{
    if (n <= 0) {
        return;
    }
    onDescriptor(fd, [&](Recorder &r, int file, const QString &) {
        // The offset is read after the write, which also gets writes to a file opened for appending right.
        const qint64 offset = at >= 0 ? at : qint64(::lseek(fd, 0, SEEK_CUR)) - n;
        FileOp op = fileOp(FileOp::Write, file, offset);
        op.bytes = QByteArray(static_cast<const char *>(bytes), n);
        record(r, std::move(op));
    });
}

void flushed(int fd, int result)
{
    if (result != 0) {
        return;
    }
    onDescriptor(fd, [](Recorder &r, int file, const QString &folder) {
        record(r, file >= 0 ? fileOp(FileOp::FlushFile, file) : nameOp(FileOp::FlushFolder, folder));
    });
}

void resized(int fd, int result, qint64 length)
{
    if (result == 0) {
        onDescriptor(fd,
                     [&](Recorder &r, int file, const QString &) { record(r, fileOp(FileOp::Resize, file, length)); });
    }
}

void reserved(int fd, int result, int mode, qint64 end)
{
    if (result != 0) {
        return;
    }
    onDescriptor(fd, [&](Recorder &r, int file, const QString &) {
        if (mode == 0 || mode == FALLOC_FL_KEEP_SIZE) {
            FileOp op = fileOp(FileOp::Reserve, file, end);
            op.keepSize = mode != 0;
            record(r, std::move(op));
        } else {
            record(r, nameOp(FileOp::Unknown, u"fallocate with mode %1"_s.arg(mode)));
        }
    });
}

void closed(int fd)
{
    onDescriptor(fd, [&](Recorder &r, int, const QString &) { r.descriptors.erase(fd); });
}

void renamed(int fromDir, const char *from, int toDir, const char *to, int result, unsigned flags)
{
    if (result != 0 || !recording.load()) {
        return;
    }
    KeepErrno keep;
    Recorder &r = recorder();
    const std::lock_guard lock(r.mutex);
    const QString a = fullName(r, fromDir, from);
    const QString b = fullName(r, toDir, to);
    if (followed(r, a) || followed(r, b)) {
        if (flags == RENAME_EXCHANGE) {
            record(r, nameOp(FileOp::Exchange, a, b));
        } else if (flags & ~unsigned(RENAME_NOREPLACE)) {
            record(r, nameOp(FileOp::Unknown, u"renameat2 with flags %1"_s.arg(flags)));
        } else {
            record(r, nameOp(FileOp::Rename, a, b));
        }
    }
}

void unlinked(int dirfd, const char *path, int flags, int result)
{
    if (result != 0 || (flags & AT_REMOVEDIR) || !recording.load()) {
        return;
    }
    KeepErrno keep;
    Recorder &r = recorder();
    const std::lock_guard lock(r.mutex);
    const QString name = fullName(r, dirfd, path);
    if (followed(r, name)) {
        record(r, nameOp(FileOp::Unlink, name));
    }
}

bool takesMode(int flags)
{
    return (flags & O_CREAT) || (flags & O_TMPFILE) == O_TMPFILE;
}

// The files and symbolic links below `root`, numbered in the order met; notes in `files`, where given, which
// number each file has by its device and inode, so that a descriptor opened later can be told for that file.
Names scanFiles(const QString &root, std::vector<QByteArray> &contents, std::map<std::pair<dev_t, ino_t>, int> *files)
{
    Names names;
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString name = QDir::cleanPath(it.next());
        const QByteArray native = QFile::encodeName(name);
        struct stat st {};
        if (::lstat(native.constData(), &st) != 0) {
            continue;
        }
        if (S_ISLNK(st.st_mode)) {
            char target[4096];
            const ssize_t n = ::readlink(native.constData(), target, sizeof target);
            names[name].link = QFile::decodeName(QByteArray(target, std::max<ssize_t>(n, 0)));
        } else if (S_ISREG(st.st_mode)) {
            names[name].file = int(contents.size());
            contents.push_back(ReferenceVault::readAll(name));
            if (files) {
                (*files)[{st.st_dev, st.st_ino}] = names[name].file;
            }
        }
    }
    return names;
}

} // namespace

namespace FileOpRecorder {

void start(const QString &root)
{
    Recorder &r = recorder();
    const std::lock_guard lock(r.mutex);
    r.root = root + u'/';
    r.files.clear();
    r.descriptors.clear();
    r.out = {};
    r.out.names = scanFiles(root, r.out.initial, &r.files);
    recording.store(true);
}

Recording stop()
{
    recording.store(false);
    Recorder &r = recorder();
    const std::lock_guard lock(r.mutex);
    return std::exchange(r.out, {});
}

Names scan(const QString &root, std::vector<QByteArray> &contents)
{
    return scanFiles(root, contents, nullptr);
}

} // namespace FileOpRecorder

// The C library's file calls, as this test program sees them: each one passes on to the real one and is recorded
// when it concerns the folder of a save being recorded. On this 64-bit system the *64 variants are the same calls.
#define REAL(name) static const auto real = reinterpret_cast<decltype(&::name)>(::dlsym(RTLD_NEXT, #name))
#define MODE_ARGUMENT(flags)                                                                                           \
    mode_t mode = 0;                                                                                                   \
    if (takesMode(flags)) {                                                                                            \
        va_list args;                                                                                                  \
        va_start(args, flags);                                                                                         \
        mode = va_arg(args, mode_t);                                                                                   \
        va_end(args);                                                                                                  \
    }

extern "C" {

int open(const char *path, int flags, ...)
{
    REAL(open);
    MODE_ARGUMENT(flags);
    const int fd = real(path, flags, mode);
    opened(AT_FDCWD, path, flags, fd);
    return fd;
}
int open64(const char *path, int flags, ...)
{
    MODE_ARGUMENT(flags);
    return open(path, flags, mode);
}
int openat(int dirfd, const char *path, int flags, ...)
{
    REAL(openat);
    MODE_ARGUMENT(flags);
    const int fd = real(dirfd, path, flags, mode);
    opened(dirfd, path, flags, fd);
    return fd;
}
int openat64(int dirfd, const char *path, int flags, ...)
{
    MODE_ARGUMENT(flags);
    return openat(dirfd, path, flags, mode);
}
int creat(const char *path, mode_t mode)
{
    return open(path, O_CREAT | O_WRONLY | O_TRUNC, mode);
}
int mkostemp(char *pattern, int flags)
{
    REAL(mkostemp);
    const int fd = real(pattern, flags);
    opened(AT_FDCWD, pattern, O_CREAT, fd);
    return fd;
}
int mkostemp64(char *pattern, int flags)
{
    return mkostemp(pattern, flags);
}
int mkstemp(char *pattern)
{
    return mkostemp(pattern, 0);
}

ssize_t write(int fd, const void *bytes, size_t n)
{
    REAL(write);
    const ssize_t done = real(fd, bytes, n);
    wrote(fd, bytes, done, -1);
    return done;
}
ssize_t pwrite(int fd, const void *bytes, size_t n, off_t at)
{
    REAL(pwrite);
    const ssize_t done = real(fd, bytes, n, at);
    wrote(fd, bytes, done, at);
    return done;
}
ssize_t pwrite64(int fd, const void *bytes, size_t n, off64_t at)
{
    return pwrite(fd, bytes, n, at);
}
int ftruncate(int fd, off_t length)
{
    REAL(ftruncate);
    const int result = real(fd, length);
    resized(fd, result, length);
    return result;
}
int ftruncate64(int fd, off64_t length)
{
    return ftruncate(fd, length);
}
int fallocate(int fd, int mode, off_t at, off_t length)
{
    REAL(fallocate);
    const int result = real(fd, mode, at, length);
    reserved(fd, result, mode, at + length);
    return result;
}
int fallocate64(int fd, int mode, off64_t at, off64_t length)
{
    return fallocate(fd, mode, at, length);
}
int posix_fallocate(int fd, off_t at, off_t length)
{
    REAL(posix_fallocate);
    const int result = real(fd, at, length);
    reserved(fd, result, 0, at + length);
    return result;
}
int posix_fallocate64(int fd, off64_t at, off64_t length)
{
    return posix_fallocate(fd, at, length);
}

int fsync(int fd)
{
    REAL(fsync);
    const int result = real(fd);
    flushed(fd, result);
    return result;
}
int fdatasync(int fd)
{
    REAL(fdatasync);
    const int result = real(fd);
    flushed(fd, result);
    return result;
}
int close(int fd)
{
    REAL(close);
    // The descriptor is gone whatever close() answers; forgetting it first keeps a reused number from being
    // taken for this file.
    closed(fd);
    return real(fd);
}

int renameat2(int fromDir, const char *from, int toDir, const char *to, unsigned flags)
{
    REAL(renameat2);
    const int result = real(fromDir, from, toDir, to, flags);
    renamed(fromDir, from, toDir, to, result, flags);
    return result;
}
int renameat(int fromDir, const char *from, int toDir, const char *to)
{
    REAL(renameat);
    const int result = real(fromDir, from, toDir, to);
    renamed(fromDir, from, toDir, to, result, 0);
    return result;
}
int rename(const char *from, const char *to)
{
    REAL(rename);
    const int result = real(from, to);
    renamed(AT_FDCWD, from, AT_FDCWD, to, result, 0);
    return result;
}
int unlinkat(int dirfd, const char *path, int flags)
{
    REAL(unlinkat);
    const int result = real(dirfd, path, flags);
    unlinked(dirfd, path, flags, result);
    return result;
}
int unlink(const char *path)
{
    REAL(unlink);
    const int result = real(path);
    unlinked(AT_FDCWD, path, 0, result);
    return result;
}

} // extern "C"
