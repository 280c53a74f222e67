#pragma once

#include <QLockFile>
#include <QString>

// Held while a copy creates or examines the lock file, so that no copy ever sees another one's lock file between
// its creation and its first write, when it is still empty, and takes it for a stale one. QLockFile's own removal
// of stale locks takes the same name, so it waits as well.
class LockFileGuard final {
public:
    // Waits for the guard of the lock file at `lockPath` while other copies hold it; held() says whether it came.
    explicit LockFileGuard(const QString &lockPath);
    Q_DISABLE_COPY_MOVE(LockFileGuard)

    bool held() const { return file_.isLocked(); }

    // Takes `file` at once, made readable and writable by its owner alone whatever the umask: QLockFile makes its
    // files with mode 0666 less the umask, so that under a umask of 000 anyone could rewrite a lock file.
    static bool tryLockOwnerOnly(QLockFile &file);

private:
    QLockFile file_;
};
