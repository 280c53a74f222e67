#include "vault/xfileExists.h"

#include <QDir>
#include <QFileInfo>

namespace xfileExists {

bool FileExists(const QString &path)
{
    if (path.isEmpty()) {
        return false;
    }
    const QFileInfo info(path);
    if (!info.isFile()) {
        return false;
    }
#ifdef Q_OS_WIN
    if (info.isHidden()) {
        return false;
    }
#endif
    // The name found must be the name asked for; where the file system ignores letter case, so does this.
    return info.fileName().compare(FileNamePart(path), Qt::CaseInsensitive) == 0;
}

QString FileNamePart(const QString &path)
{
    const qsizetype at = path.lastIndexOf(QDir::separator());
    return at < 0 ? path : path.mid(at + 1);
}

} // namespace xfileExists
