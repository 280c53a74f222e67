#include "core/LockFileContent.h"

#include <QList>

#include <cerrno>
#include <unistd.h>

namespace {

// Far more than the five short lines that QLockFile writes.
constexpr qsizetype LongestLockFile = 4096;

} // namespace

namespace LockFileContent {

std::optional<Writer> parse(const QByteArray &content)
{
    const QList<QByteArray> lines = content.split('\n');
    bool ok = false;
    Writer writer;
    writer.pid = lines.value(0).toLongLong(&ok);
    if (!ok || writer.pid <= 0) {
        return std::nullopt;
    }
    writer.program = lines.value(1);
    writer.host = lines.value(2);
    writer.machine = lines.value(3);
    writer.boot = lines.value(4);
    return writer;
}

QByteArray read(int fd)
{
    QByteArray content(LongestLockFile, '\0');
    ssize_t n = 0;
    do {
        n = ::read(fd, content.data(), size_t(content.size()));
    } while (n < 0 && errno == EINTR);
    content.truncate(std::max<ssize_t>(n, 0));
    return content;
}

} // namespace LockFileContent
