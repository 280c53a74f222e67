#include "core/FileSystem.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>
#include <sys/vfs.h>

using namespace Qt::StringLiterals;

namespace FileSystem {

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

} // namespace FileSystem
