#include "core/VaultPath.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace VaultPath {

QString inFolder(const QString &folder)
{
    return folder + u'/' + QString::fromUtf16(FileName);
}

QString besideExecutable()
{
    return inFolder(QCoreApplication::applicationDirPath());
}

bool fileExists(const QString &path)
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
    return info.fileName().compare(fileNamePart(path), Qt::CaseInsensitive) == 0;
}

QString fileNamePart(const QString &path)
{
    qsizetype at = path.lastIndexOf(u'/');
#ifdef Q_OS_WIN
    at = std::max(at, path.lastIndexOf(u'\\'));
#endif
    return at < 0 ? path : path.mid(at + 1);
}

} // namespace VaultPath
