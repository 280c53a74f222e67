#include "core/VaultPath.h"

#include "core/FileSystem.h"
#include "core/SystemError.h"

#include <QFile>

#include <cerrno>
#include <cstdlib>
#include <sys/stat.h>
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
    const QString name = u"data.enc"_s;
    return folder.endsWith(u'/') ? folder + name : folder + u'/' + name;
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
        return pathRefusal(u"%1 is %2, not a vault file"_s.arg(FileSystem::quoted(path), kind), error);
    }
    if (::stat(native.constData(), &st) != 0) {
        if (errno == ELOOP) {
            return pathRefusal(
                u"%1 is a link that leads round in a loop, never to a file"_s.arg(FileSystem::quoted(path)), ELOOP);
        }
        if (errno == ENOENT) {
            return pathRefusal(u"%1 is a link to %2, which does not exist"_s.arg(
                                   FileSystem::quoted(path), FileSystem::quoted(FileSystem::realPath(path))),
                               ENOENT);
        }
        return {};
    }
    if (S_ISREG(st.st_mode)) {
        return {};
    }
    const auto [kind, error] = kindOf(st.st_mode);
    return pathRefusal(u"%1 is a link to %2, which is %3, not a vault file"_s.arg(
                           FileSystem::quoted(path), FileSystem::quoted(FileSystem::realPath(path)), kind),
                       error);
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
