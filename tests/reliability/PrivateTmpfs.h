#pragma once

#include <QDebug>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>

// A small tmpfs of its own for one test: a disk that can be filled to the last page, and that is fast. The test's
// thread first moves into a mount namespace of its own, so nobody else sees the mount and a test that crashes
// cannot leave it behind; the destructor unmounts it and moves the thread back. Needs root (CAP_SYS_ADMIN); where
// that is refused, mount() says why.
class PrivateTmpfs final {
public:
    PrivateTmpfs() = default;
    Q_DISABLE_COPY_MOVE(PrivateTmpfs)
    ~PrivateTmpfs() { unmount(); }

    // Options as for mount -o, e.g. "size=64k,nr_inodes=16".
    bool mount(const QByteArray &options)
    {
        unmount();
        if (!folder_.isValid()) {
            return fail(QStringLiteral("no temporary folder for the mount point"), 0);
        }
        homeNamespace_ = ::open("/proc/self/ns/mnt", O_RDONLY | O_CLOEXEC);
        if (homeNamespace_ < 0) {
            return fail(QStringLiteral("cannot open /proc/self/ns/mnt"), errno);
        }
        if (::unshare(CLONE_NEWNS) != 0) {
            return fail(QStringLiteral("unshare(CLONE_NEWNS) refused"), errno);
        }
        // Without this a shared root would carry the mount back out to everybody else.
        if (::mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) {
            return fail(QStringLiteral("cannot make the mounts private"), errno);
        }
        const QByteArray target = QFile::encodeName(folder_.path());
        if (::mount("brisvane-test", target.constData(), "tmpfs", MS_NOSUID | MS_NODEV, options.constData()) != 0) {
            return fail(QStringLiteral("mount -t tmpfs -o ") + QString::fromLatin1(options) +
                            QStringLiteral(" refused"),
                        errno);
        }
        mounted_ = true;
        return true;
    }

    // Makes the mounted file system read-only, or writable again.
    bool setReadOnly(bool readOnly)
    {
        const QByteArray target = QFile::encodeName(folder_.path());
        const unsigned long flags = MS_REMOUNT | MS_NOSUID | MS_NODEV | (readOnly ? MS_RDONLY : 0);
        return mounted_ && ::mount(nullptr, target.constData(), nullptr, flags, nullptr) == 0;
    }

    void unmount()
    {
        if (mounted_) {
            ::umount2(QFile::encodeName(folder_.path()).constData(), MNT_DETACH);
            mounted_ = false;
        }
        if (homeNamespace_ >= 0) {
            ::setns(homeNamespace_, CLONE_NEWNS);
            ::close(homeNamespace_);
            homeNamespace_ = -1;
        }
    }

    bool isMounted() const { return mounted_; }
    QString path() const { return folder_.path(); }
    QString why() const { return why_; }

private:
    bool fail(const QString &what, int error)
    {
        why_ = error ? what + QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(error)) : what;
        unmount();
        return false;
    }

    QTemporaryDir folder_;
    int homeNamespace_ = -1;
    bool mounted_ = false;
    QString why_;
};

// Where a test saves vaults many times over: a tmpfs of its own, which keeps that fast, or where the system refuses
// one, the ordinary temporary folder, and the test's log says so.
class ScratchFolder final {
public:
    // Options as for PrivateTmpfs::mount. False when the ordinary temporary folder stands in.
    bool mountTmpfs(const QByteArray &options)
    {
        if (tmpfs_.mount(options)) {
            return true;
        }
        qInfo("no tmpfs of its own (%s): running on %s", qPrintable(tmpfs_.why()), qPrintable(fallback_.path()));
        return false;
    }
    QString path() const { return tmpfs_.isMounted() ? tmpfs_.path() : fallback_.path(); }

private:
    PrivateTmpfs tmpfs_;
    QTemporaryDir fallback_;
};
