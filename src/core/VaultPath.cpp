#include "core/VaultPath.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace VaultPath {

QString inFolder(const QString &folder)
{
    const QString name = QString::fromUtf16(FileName);
    return folder.endsWith(u'/') ? folder + name : folder + u'/' + name;
}

QString besideExecutable()
{
    return inFolder(QCoreApplication::applicationDirPath());
}

bool fileExists(const QString &path)
{
    return !path.isEmpty() && QFileInfo(path).isFile();
}

QString fileNamePart(const QString &path)
{
    return path.sliced(path.lastIndexOf(u'/') + 1);
}

} // namespace VaultPath
