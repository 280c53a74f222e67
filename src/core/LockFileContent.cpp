#include "core/LockFileContent.h"

#include <QList>

#include <cerrno>
#include <unistd.h>

namespace LockFileContent {

std::optional<Holder> parse(const QByteArray &content)
{
    const QList<QByteArray> lines = content.split('\n');
    bool ok = false;
    Holder holder;
    holder.pid = lines.value(0).toLongLong(&ok);
    if (!ok || holder.pid <= 0) {
        return std::nullopt;
    }
    holder.program = lines.value(1);
    holder.host = lines.value(2);
    holder.machine = lines.value(3);
    holder.boot = lines.value(4);
    return holder;
}

QByteArray read(int fd)
{
    QByteArray content(4096, '\0');
    ssize_t n = 0;
    do {
        n = ::read(fd, content.data(), size_t(content.size()));
    } while (n < 0 && errno == EINTR);
    content.truncate(std::max<ssize_t>(n, 0));
    return content;
}

} // namespace LockFileContent
