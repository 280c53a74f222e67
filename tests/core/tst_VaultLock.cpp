// The lock that keeps a second copy of the program off the vault, against real files in a temporary folder.
//
// Some cases make the folder immutable with chattr, since the tests run as root and mode bits do not stop root.
// They are skipped where the file system refuses chattr.

#include "core/VaultFile.h"
#include "core/VaultLock.h"
#include "support/Immutable.h"
#include "support/LeftLockFile.h"
#include "support/ReferenceVault.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <cstdio>
#include <sys/file.h>

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
            QVERIFY(LeftLockFile::leave(path_));
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

    // A save goes only to the vault file that the lock was taken on, in the folder it was in: another vault renamed
    // over it in its folder, or its folder moved away and another put in its place, is left as it is.
    void vaultLock_vaultReplacedOrMoved_saveRefused_data()
    {
        QTest::addColumn<bool>("vaultAtLockTime");
        QTest::newRow("vault replaced in its folder") << true;
        QTest::newRow("no vault yet, then its folder moved") << false;
    }
    void vaultLock_vaultReplacedOrMoved_saveRefused()
    {
        QFETCH(bool, vaultAtLockTime);
        const QByteArray other = ReferenceVault::file("other", {{"x", "y", "z"}});
        if (vaultAtLockTime) {
            QVERIFY(writeFile(path_, ThreeEntryVault));
        }
        VaultLock lock(path_);
        QCOMPARE(lock.acquire(), VaultLock::Outcome::Locked);
        if (vaultAtLockTime) {
            const QByteArray replacement = QFile::encodeName(path_ + u".other"_s);
            QVERIFY(writeFile(path_ + u".other"_s, other));
            QVERIFY(::rename(replacement.constData(), QFile::encodeName(path_).constData()) == 0);
        } else {
            QVERIFY(QDir().rename(folder_, folder_ + u".moved"_s) && QDir().mkdir(folder_));
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u"Could not remove our own lock file"_s));
        }
        const VaultFile::Outcome saved = VaultFile::replace(path_, ThreeEntryVault, {}, &lock);
        QVERIFY2(!saved.written() && saved.error.contains(u"is no longer the vault file"_s), qPrintable(saved.error));
        QCOMPARE(QFileInfo::exists(path_), vaultAtLockTime);
        QVERIFY(!vaultAtLockTime || readAll(path_) == other);
    }
};

QTEST_GUILESS_MAIN(tst_VaultLock)
#include "tst_VaultLock.moc"
