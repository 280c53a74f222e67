#pragma once

#include <QDir>
#include <QFile>
#include <QString>

#include <algorithm>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

// Things other than ordinary files, made where a test wants one: what a user or another program may leave where
// the vault or its lock file goes.
namespace SpecialFiles {

enum class Kind { Folder, NamedPipe, Socket };

inline bool make(Kind kind, const QString &path)
{
    const QByteArray native = QFile::encodeName(path);
    switch (kind) {
    case Kind::Folder:
        return QDir().mkdir(path);
    case Kind::NamedPipe:
        return ::mkfifo(native.constData(), 0600) == 0;
    case Kind::Socket: {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        if (size_t(native.size()) >= sizeof address.sun_path) {
            return false;
        }
        std::copy(native.begin(), native.end(), address.sun_path);
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        const bool bound = fd >= 0 && ::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0;
        if (fd >= 0) {
            ::close(fd);
        }
        return bound;
    }
    }
    return false;
}

} // namespace SpecialFiles

Q_DECLARE_METATYPE(SpecialFiles::Kind)
