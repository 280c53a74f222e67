// The lock that keeps a second copy of the program off the vault, against real files in a temporary folder.
//
// Some cases make the folder immutable with chattr, since the tests run as root and mode bits do not stop root.
// They are skipped where the file system refuses chattr.

#include "core/VaultFile.h"
#include "core/VaultLock.h"
#include "support/Immutable.h"
#include "support/ReferenceVault.h"

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

    // Leaves the vault's lock file as a copy that has since ended would: a real lock, naming an ended process, or
    // the process `pid` where given.
    bool leaveLockOfAnEndedProcess(pid_t pid = 0)
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
        const pid_t child = pid ? pid : ::fork();
        if (child == 0) {
            ::_exit(0);
        }
        const qsizetype firstLineEnd = lockContent.indexOf('\n');
        if (child <= 0 || (!pid && ::waitpid(child, nullptr, 0) != child) || firstLineEnd <= 0) {
            return false;
        }
        lockContent.replace(0, firstLineEnd, QByteArray::number(qint64(child)));
        return writeFile(lockPath, lockContent);
    }

    // A lock file that no one holds is taken over at once (as the owner's alone, whatever the umask), whatever process
    // it names, this one or a live copy included: process numbers repeat across namespaces. The next copy is told
    // which lock is really held, also when the holder's lock file is deleted or another machine's put in its place.
    void vaultLock_leftLockFile_isTakenOver_data()
    {
        QTest::addColumn<int>("names");       // the left lock file: 0 an ended process, 1 this one, 2 a live copy
        QTest::addColumn<QByteArray>("then"); // what takes the holder's lock file's place: "-" nothing
        QTest::addColumn<QString>("said");
        const QString byLockFile = u"running (process %1 on this machine"_s.arg(::getpid());
        QTest::newRow("an ended process") << 0 << QByteArray() << byLockFile;
        QTest::newRow("this process") << 1 << QByteArray() << byLockFile;
        QTest::newRow("a live copy of this program, on another vault") << 2 << QByteArray() << byLockFile;
        QTest::newRow("then deleted") << 0 << QByteArray("-") << u"though there was no lock file"_s;
        QTest::newRow("then another machine's")
            << 0 << QByteArray("42\nBrisvane\nelsewhere\n") << u"deleting it would not help"_s;
    }
    void vaultLock_leftLockFile_isTakenOver()
    {
        QFETCH(int, names);
        QFETCH(QByteArray, then);
        QFETCH(QString, said);
        const pid_t live = names == 2 ? ::fork() : -1;
        if (live == 0) {
            ::pause(); // until it is killed
        }
        const auto end = qScopeGuard([live] { live > 0 && ::kill(live, SIGKILL) == 0 && ::waitpid(live, nullptr, 0); });
        QVERIFY(writeFile(path_, ThreeEntryVault));
        QVERIFY(leaveLockOfAnEndedProcess(names == 1 ? ::getpid() : std::max(live, 0)));
        const mode_t umask = ::umask(0);
        VaultLock lock(path_);
        QCOMPARE(lock.acquire(), VaultLock::Outcome::Locked);
        ::umask(umask);
        QCOMPARE(QFile::permissions(lock.lockFilePath()) & 0x7077, QFile::ReadOwner | QFile::WriteOwner);
        if (!then.isEmpty()) {
            QVERIFY(QFile::remove(lock.lockFilePath()) && (then == "-" || writeFile(lock.lockFilePath(), then)));
        }
        if (then == "-") { // the holder finds its lock file gone when it ends
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u"Could not remove our own lock file"_s));
        }
        VaultLock another(path_);
        QCOMPARE(another.acquire(), VaultLock::Outcome::HeldByAnother);
        QVERIFY2(another.heldText().contains(said), qPrintable(another.heldText()));
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
        QVERIFY(VaultFile::replace(path_, ThreeEntryVault, {}, &lock).confirmed());

        // The file that is the vault now is the one locked.
        QFile vault(path_);
        QVERIFY(vault.open(QIODevice::ReadOnly));
        QVERIFY(::flock(vault.handle(), LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK);
    }
};

QTEST_GUILESS_MAIN(tst_VaultLock)
#include "tst_VaultLock.moc"
