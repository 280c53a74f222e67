#pragma once

#include <QByteArray>

#include <optional>

// What a lock file says about the copy that wrote it. The file is QLockFile's, one value a line: process, program,
// host name, machine, boot.
namespace LockFileContent {

// The copy that wrote a lock file, as the file names it.
struct Writer {
    qint64 pid = 0;
    QByteArray program;
    QByteArray host;
    QByteArray machine;
    QByteArray boot;
};

// The writer that the text names; nothing when it names no process (empty, zeros, garbled).
std::optional<Writer> parse(const QByteArray &content);

// The start of the open file, as much as a lock file holds.
QByteArray read(int fd);

} // namespace LockFileContent
