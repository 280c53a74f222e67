// The lock that keeps a second copy of the program off the vault, against real files in a temporary folder.
//
// Some cases make the folder immutable with chattr, since the tests run as root and mode bits do not stop root.
// They are skipped where the file system refuses chattr.

#include "core/VaultFile.h"
#include "core/VaultLock.h"
#include "support/Immutable.h"
#include "support/ReferenceVault.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace Qt::StringLiterals;
using ReferenceVault::readAll;
using ReferenceVault::writeFile;

Q_DECLARE_METATYPE(VaultLock::Outcome)

namespace {
const QByteArray ThreeEntryVault = ReferenceVault::file("pw", {{"a", "b", "c"}, {"d", "e", "f"}, {"g", "h", "i"}});
} // namespace

class tst_VaultLock : public QObject {
    Q_OBJECT

private:
    QTemporaryDir tmp_;
    QString folder_;
    QString path_;

private slots:
    void init() { QVERIFY(ReferenceVault::newVaultFolder(tmp_.path(), folder_, path_)); }

    void vaultLock_secondLockOnTheSameVault_isRefused()
    {
        VaultLock first(path_);
        QCOMPARE(first.acquire(), VaultLock::Outcome::Locked);
        VaultLock second(path_);
        QCOMPARE(second.acquire(), VaultLock::Outcome::HeldByAnother);
    }

    void vaultLock_releasedWhenItsOwnerEnds()
    {
        {
            VaultLock first(path_);
            QCOMPARE(first.acquire(), VaultLock::Outcome::Locked);
        }
        VaultLock second(path_);
        QCOMPARE(second.acquire(), VaultLock::Outcome::Locked);
    }

    // A live copy's lock is never taken over, however old the lock file is. The lock file is written by hand, as a
    // live copy leaves it where the file system keeps no lock of its own on it (a network folder, say): only its
    // age and the process it names tell whether it is stale.
    void vaultLock_oldLockOfALiveOwner_isStillRefused()
    {
        const QString lockPath = VaultLock::lockPath(path_);
        QByteArray lockContent; // names this process, which is alive
        {
            QLockFile real(lockPath);
            QVERIFY(real.tryLock(0));
            lockContent = readAll(lockPath);
        }
        QVERIFY(writeFile(lockPath, lockContent));
        QFile lockFile(lockPath);
        QVERIFY(lockFile.open(QIODevice::ReadWrite));
        QVERIFY(lockFile.setFileTime(QDateTime(QDate(2001, 1, 1), QTime(0, 0)), QFileDevice::FileModificationTime));
        lockFile.close();

        VaultLock lock(path_);
        QCOMPARE(lock.acquire(), VaultLock::Outcome::HeldByAnother);
        QCOMPARE(readAll(lockPath), lockContent);
    }

    // The lock of a copy that crashed names a process that is gone: it is taken over at once.
    // Leaves the vault's lock file as a copy that has since ended would: a real lock, naming an ended process.
    bool leaveLockOfAnEndedProcess()
    {
        const QString lockPath = VaultLock::lockPath(path_);
        QByteArray lockContent;
        {
            QLockFile real(lockPath);
            if (!real.tryLock(0)) {
                return false;
            }
            lockContent = readAll(lockPath);
        }
        const pid_t child = ::fork();
        if (child == 0) {
            ::_exit(0);
        }
        const qsizetype firstLineEnd = lockContent.indexOf('\n');
        if (child <= 0 || ::waitpid(child, nullptr, 0) != child || firstLineEnd <= 0) {
            return false;
        }
        lockContent.replace(0, firstLineEnd, QByteArray::number(qint64(child)));
        return writeFile(lockPath, lockContent);
    }

    void vaultLock_lockOfADeadProcess_isTakenOver()
    {
        QVERIFY(leaveLockOfAnEndedProcess());
        VaultLock lock(path_);
        QCOMPARE(lock.acquire(), VaultLock::Outcome::Locked);
        VaultLock another(path_);
        QCOMPARE(another.acquire(), VaultLock::Outcome::HeldByAnother);
    }

    // A folder that takes no lock file, nor lets a crashed copy's lock be removed: the vault file itself is locked,
    // against this process's own second lock too. With no vault file yet there is nothing left to lock.
    void vaultLock_folderRefusesChanges_data()
    {
        QTest::addColumn<bool>("crashedCopysLock");
        QTest::addColumn<bool>("vaultExists");
        QTest::addColumn<VaultLock::Outcome>("outcome");
        QTest::newRow("no lock file can be made") << false << true << VaultLock::Outcome::Locked;
        QTest::newRow("crashed copy's lock left") << true << true << VaultLock::Outcome::Locked;
        QTest::newRow("crashed copy's lock left, no vault") << true << false << VaultLock::Outcome::Unavailable;
    }
    void vaultLock_folderRefusesChanges()
    {
        QFETCH(bool, crashedCopysLock);
        QFETCH(bool, vaultExists);
        QFETCH(VaultLock::Outcome, outcome);
        if (vaultExists) {
            QVERIFY(writeFile(path_, ThreeEntryVault));
        }
        if (crashedCopysLock) {
            QVERIFY(leaveLockOfAnEndedProcess());
        }
        MAKE_IMMUTABLE(folder, folder_);
        VaultLock lock(path_);
        QCOMPARE(lock.acquire(), outcome);
        QCOMPARE(lock.holdsVaultFile(), outcome == VaultLock::Outcome::Locked);
        VaultLock another(path_);
        QCOMPARE(another.acquire(),
                 outcome == VaultLock::Outcome::Locked ? VaultLock::Outcome::HeldByAnother : outcome);
    }

    // A copy that could only lock the vault file (its lock file's place was taken) holds off a later copy that can
    // make the lock file again: that one notices the lock on the vault file, and takes its lock file away again.
    void vaultLock_vaultFileHolder_holdsOffALaterLockFile()
    {
        QVERIFY(writeFile(path_, ThreeEntryVault));
        const QString lockPath = VaultLock::lockPath(path_);
        QVERIFY(QDir().mkdir(lockPath));
        VaultLock first(path_);
        QCOMPARE(first.acquire(), VaultLock::Outcome::Locked);
        QVERIFY(!first.holdsLockFile());
        QVERIFY(QDir().rmdir(lockPath));
        VaultLock second(path_);
        QCOMPARE(second.acquire(), VaultLock::Outcome::HeldByAnother);
        QVERIFY(!QFileInfo::exists(lockPath));
    }

    // The lock file's holder locks the vault file too, and follows each new file that a save renames over the
    // vault; a copy that could only lock the vault file is then held off by either lock.
    void vaultLock_holderKeepsTheVaultFileLockedThroughSaves()
    {
        QVERIFY(writeFile(path_, ThreeEntryVault));
        VaultLock lock(path_);
        QCOMPARE(lock.acquire(), VaultLock::Outcome::Locked);
        QVERIFY(lock.holdsLockFile());
        QVERIFY(lock.holdsVaultFile());
        QVERIFY(VaultFile::replace(path_, ThreeEntryVault, {}, &lock).ok);

        // The file that is the vault now is the one locked.
        QFile vault(path_);
        QVERIFY(vault.open(QIODevice::ReadOnly));
        QVERIFY(::flock(vault.handle(), LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK);
    }
};

QTEST_GUILESS_MAIN(tst_VaultLock)
#include "tst_VaultLock.moc"
