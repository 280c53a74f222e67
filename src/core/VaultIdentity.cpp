#include "core/VaultIdentity.h"

#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>

VaultIdentity::VaultIdentity(const QString &vaultPath) : path_(vaultPath) {}

VaultIdentity::FileId VaultIdentity::idOf(const QString &path)
{
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0) {
        return {};
    }
    return {st.st_dev, st.st_ino};
}

void VaultIdentity::findOnce()
{
    if (found_) {
        return;
    }
    found_ = true;
    file_ = idOf(path_);
    folder_ = idOf(QFileInfo(path_).absolutePath());
}

bool VaultIdentity::allowsSaveTo(const QString &target) const
{
    const bool folderMoved = folder_.isKnown() && idOf(QFileInfo(target).absolutePath()) != folder_;
    const bool fileReplaced = file_.isKnown() && idOf(target) != file_;
    return target == path_ && !folderMoved && !fileReplaced;
}

void VaultIdentity::noteNewFile(int fd)
{
    struct stat st {};
    newFile_ = ::fstat(fd, &st) == 0 ? FileId{st.st_dev, st.st_ino} : FileId{};
}

void VaultIdentity::newFileIsTheVault()
{
    file_ = newFile_;
}
