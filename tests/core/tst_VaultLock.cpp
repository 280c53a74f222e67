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
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <csignal>
#include <sys/file.h>
#include <sys/stat.h>
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

    // Leaves the vault's lock file as a copy that has since ended would: a real lock file, unlocked, naming `pid`.
    bool leaveLockNaming(pid_t pid)
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
        const qsizetype firstLineEnd = lockContent.indexOf('\n');
        lockContent.replace(0, firstLineEnd, QByteArray::number(qint64(pid)));
        return firstLineEnd > 0 && writeFile(lockPath, lockContent);
    }
    // A process of this program that has ended, or one that runs until it is killed.
    static pid_t childProcess(bool ended)
    {
        const pid_t child = ::fork();
        if (child == 0) {
            ended ? ::_exit(0) : void(::pause());
        }
        return ended && child > 0 && ::waitpid(child, nullptr, 0) != child ? -1 : child;
    }
    bool leaveLockOfAnEndedProcess() { return leaveLockNaming(childProcess(true)); }

    // A lock file that no one holds is taken over at once, whatever live process it names, this one included:
    // process numbers repeat across process namespaces (a sandbox, a container), so only the lock counts. The next
    // copy is then refused by the lock, and told so.
    void vaultLock_leftLockFile_isTakenOver_data()
    {
        QTest::addColumn<int>("names");
        QTest::newRow("an ended process") << 0;
        QTest::newRow("this process") << 1;
        QTest::newRow("a live copy of this program, on another vault") << 2;
    }
    void vaultLock_leftLockFile_isTakenOver()
    {
        QFETCH(int, names);
        const pid_t pid = names == 1 ? ::getpid() : childProcess(names == 0);
        const auto endChild = qScopeGuard([&] {
            if (names == 2 && pid > 0 && ::kill(pid, SIGKILL) == 0) {
                ::waitpid(pid, nullptr, 0);
            }
        });
        QVERIFY(pid > 0 && leaveLockNaming(pid));
        const mode_t umask = ::umask(0); // the lock file is the owner's alone all the same
        VaultLock lock(path_);
        QCOMPARE(lock.acquire(), VaultLock::Outcome::Locked);
        ::umask(umask);
        struct stat st {};
        QVERIFY(::stat(QFile::encodeName(lock.lockFilePath()).constData(), &st) == 0);
        QCOMPARE(st.st_mode & 0777, mode_t(0600));
        VaultLock another(path_);
        QCOMPARE(another.acquire(), VaultLock::Outcome::HeldByAnother);
        QVERIFY2(another.heldText().contains(u"running (process %1 on this machine"_s.arg(::getpid())),
                 qPrintable(another.heldText()));
    }

    // A refusal names the lock that is really held, with advice that helps: the holder's lock file was deleted,
    // or another machine's put in its place, while it runs.
    void vaultLock_refusal_namesTheLockThatIsHeld_data()
    {
        QTest::addColumn<QByteArray>("lockFile"); // empty: none
        QTest::addColumn<QString>("said");
        QTest::newRow("lock file deleted") << QByteArray() << u"though there was no lock file"_s;
        QTest::newRow("another machine's put in its place")
            << QByteArray("4242\nBrisvane\nelsewhere\nc0ffee\nboot\n") << u"deleting it would not help"_s;
    }
    void vaultLock_refusal_namesTheLockThatIsHeld()
    {
        QFETCH(QByteArray, lockFile);
        QFETCH(QString, said);
        QVERIFY(writeFile(path_, ThreeEntryVault));
        VaultLock holder(path_);
        QCOMPARE(holder.acquire(), VaultLock::Outcome::Locked);
        QVERIFY(QFile::remove(holder.lockFilePath()));
        QVERIFY(lockFile.isEmpty() || writeFile(holder.lockFilePath(), lockFile));
        if (lockFile.isEmpty()) { // the holder finds its lock file gone when it ends
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u"Could not remove our own lock file"_s));
        }
        VaultLock second(path_);
        QCOMPARE(second.acquire(), VaultLock::Outcome::HeldByAnother);
        QVERIFY2(second.heldText().contains(said), qPrintable(second.heldText()));
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
