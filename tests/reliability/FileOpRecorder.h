#pragma once

#include <QByteArray>
#include <QString>

#include <map>
#include <vector>

// Records what a piece of code does to the files below one folder, call by call, as it reaches the C library:
// FileOpRecorder.cpp defines the C library's file functions (open, write, fsync, rename, ...) in the test
// program itself, passes every call on to the real one, and notes those that concern the folder while a
// recording runs. Only one test program links it, since it stands in for those functions for the whole program.
namespace FileOpRecorder {

struct FileOp {
    enum Kind { Create, Write, Resize, Reserve, FlushFile, Rename, Exchange, Unlink, FlushFolder, Unknown };
    Kind kind = Unknown;
    int file = -1;        // Create, Write, Resize, Reserve, FlushFile: which file, numbered by the recording
    qint64 at = 0;        // Write: the offset; Resize: the new length; Reserve: the end of the room
    bool keepSize = true; // Reserve: the room is reserved without lengthening the file
    QByteArray bytes;     // Write
    QString path, to;     // Create, Unlink: the name; Rename: from `path` to `to`; Exchange: the two names
                          // swapped; FlushFolder: the folder;
                          // Unknown: a call the recording cannot follow, which no replay can be trusted after
};

// A name below the folder: a regular file, or a symbolic link to `link` as the link holds it.
struct Node {
    int file = -1;
    QString link;
};
using Names = std::map<QString, Node>; // by absolute, cleaned name

struct Recording {
    Names names;                     // as the recording found them
    std::vector<QByteArray> initial; // each file's content when the recording began; new files start empty
    std::vector<FileOp> ops;
};

// `root` is an absolute folder name without symbolic links in it. Calls on names below it, and on descriptors
// opened through such names, are recorded until stop().
void start(const QString &root);
Recording stop();

// The files and symbolic links below `root` as they are now; the content of each file goes to `contents`.
Names scan(const QString &root, std::vector<QByteArray> &contents);

} // namespace FileOpRecorder
