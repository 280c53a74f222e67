#include "core/VaultPath.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <sys/stat.h>

using namespace Qt::StringLiterals;

namespace {

QString kindOf(mode_t mode)
{
    if (S_ISDIR(mode)) {
        return u"a folder"_s;
    }
    if (S_ISFIFO(mode)) {
        return u"a named pipe"_s;
    }
    if (S_ISSOCK(mode)) {
        return u"a socket"_s;
    }
    if (S_ISCHR(mode) || S_ISBLK(mode)) {
        return u"a device"_s;
    }
    return u"a special file"_s;
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
        return u"%1 is %2, not a vault file."_s.arg(quoted(path), kindOf(st.st_mode));
    }
    if (::stat(native.constData(), &st) != 0) {
        if (errno == ELOOP) {
            return u"%1 is a link that leads round in a loop, never to a file."_s.arg(quoted(path));
        }
        if (errno == ENOENT) {
            return u"%1 is a link to %2, which does not exist."_s.arg(quoted(path), quoted(realPath(path)));
        }
        return {};
    }
    if (S_ISREG(st.st_mode)) {
        return {};
    }
    return u"%1 is a link to %2, which is %3, not a vault file."_s.arg(quoted(path), quoted(realPath(path)),
                                                                       kindOf(st.st_mode));
}

bool isOtherThanAFile(const QString &path)
{
    struct stat st {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 && !S_ISREG(st.st_mode);
}

bool sameFile(const struct stat &a, const struct stat &b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

} // namespace VaultPath
