#include "core/VaultPath.h"

#include "core/SystemError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdlib>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>
#include <utility>

using namespace Qt::StringLiterals;

namespace {

// What stands there, for the user, with the error number that goes with refusing it.
std::pair<QString, int> kindOf(mode_t mode)
{
    if (S_ISDIR(mode)) {
        return {u"a folder"_s, EISDIR};
    }
    if (S_ISFIFO(mode)) {
        return {u"a named pipe"_s, ESPIPE};
    }
    if (S_ISSOCK(mode)) {
        return {u"a socket"_s, ENXIO};
    }
    if (S_ISCHR(mode) || S_ISBLK(mode)) {
        return {u"a device"_s, EINVAL};
    }
    return {u"a special file"_s, EINVAL};
}

// A sentence about what stands there, with its error number as the program's other system errors have it.
QString pathRefusal(const QString &sentence, int error)
{
    return u"%1 (%2)."_s.arg(sentence, systemErrorText(error));
}

} // namespace

namespace VaultPath {

QString inFolder(const QString &folder)
{
    const QString name = QString::fromUtf16(FileName);
    return folder.endsWith(u'/') ? folder + name : folder + u'/' + name;
}

bool fileExists(const QString &path)
{
    return !path.isEmpty() && QFileInfo(path).isFile();
}

QString quoted(const QString &path)
{
    return u"\u201c%1\u201d"_s.arg(QDir::toNativeSeparators(path));
}

QString realPath(const QString &path)
{
    const QFileInfo info(path);
    const QString canonical = info.canonicalFilePath();
    if (!canonical.isEmpty()) {
        return canonical;
    }
    QString at = info.absoluteFilePath();
    for (int links = 0; links < 40; ++links) {
        const QFileInfo step(at);
        if (!step.isSymLink()) {
            return at;
        }
        at = step.symLinkTarget();
    }
    return info.absoluteFilePath();
}

QString notAVaultFile(const QString &path)
{
    const QByteArray native = QFile::encodeName(path);
    struct stat st {};
    if (path.isEmpty() || ::lstat(native.constData(), &st) != 0 || S_ISREG(st.st_mode)) {
        return {};
    }
    if (!S_ISLNK(st.st_mode)) {
        const auto [kind, error] = kindOf(st.st_mode);
        return pathRefusal(u"%1 is %2, not a vault file"_s.arg(quoted(path), kind), error);
    }
    if (::stat(native.constData(), &st) != 0) {
        if (errno == ELOOP) {
            return pathRefusal(u"%1 is a link that leads round in a loop, never to a file"_s.arg(quoted(path)), ELOOP);
        }
        if (errno == ENOENT) {
            return pathRefusal(u"%1 is a link to %2, which does not exist"_s.arg(quoted(path), quoted(realPath(path))),
                               ENOENT);
        }
        return {};
    }
    if (S_ISREG(st.st_mode)) {
        return {};
    }
    const auto [kind, error] = kindOf(st.st_mode);
    return pathRefusal(
        u"%1 is a link to %2, which is %3, not a vault file"_s.arg(quoted(path), quoted(realPath(path)), kind), error);
}

bool isOtherThanAFile(const QString &path)
{
    struct stat st {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 && !S_ISREG(st.st_mode);
}

bool isNetworkFolder(const QString &folder)
{
    struct statfs fs {};
    if (::statfs(QFile::encodeName(folder).constData(), &fs) != 0) {
        return true; // nothing known: the careful answer
    }
    switch (static_cast<unsigned long>(fs.f_type)) {
    case 0x6969UL:     // NFS
    case 0x517BUL:     // SMB
    case 0xFF534D42UL: // CIFS
    case 0xFE534D42UL: // SMB2
    case 0x65735546UL: // FUSE: sshfs and the like
    case 0x01021997UL: // 9P
    case 0x00C36400UL: // Ceph
    case 0x5346414FUL: // AFS
        return true;
    default:
        return false;
    }
}

bool sameFile(const struct stat &a, const struct stat &b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

QString whyNoNewFile(const QString &folder)
{
    QByteArray scratch = QFile::encodeName(inFolder(folder)) + ".probe-XXXXXX";
    const int fd = ::mkstemp(scratch.data());
    if (fd < 0) {
        return systemErrorText(errno);
    }
    ::close(fd);
    ::unlink(scratch.constData());
    return {};
}

} // namespace VaultPath
