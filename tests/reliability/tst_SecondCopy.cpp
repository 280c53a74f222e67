// Copies of the program started at the same moment on one vault: exactly one gets it, every other one is told
// that it is held; once the holder is killed, the next copy gets the vault at once. That holds whatever the folder
// allows: where it takes no lock file, the holder locks the vault file itself, and keeps that lock on the new file
// each save renames over the vault. It holds for links too: one vault reached through two links has one lock. A
// lock file that no running copy wrote (empty, zeros, junk) is taken over at once, but never one that a starting
// copy has made and not yet written. The copies are vault_locker, which takes the lock exactly as the program does
// at start, and saves through it on request, so that no display is needed.

#include "reliability/HelperProgram.h"
#include "reliability/PrivateTmpfs.h"
#include "reliability/SaveSeries.h"
#include "support/ReferenceVault.h"

#include "support/Immutable.h"
#include "support/SpecialFiles.h"

#include "core/VaultFile.h"

#include <QElapsedTimer>
#include <QLockFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

constexpr int Rounds = 100;
constexpr int Copies = 10;

// Starts a copy, through the command `via` where given; its answer is the first line it prints.
std::unique_ptr<QProcess> startCopy(const QString &locker, const QString &vault, const QStringList &via = {})
{
    auto process = std::make_unique<QProcess>();
    process->start(via.value(0, locker),
                   via.mid(1) + (via.isEmpty() ? QStringList{} : QStringList{locker}) + QStringList{vault});
    return process;
}

// As root: as the ordinary user; as another member of group 4242; in a process namespace of its own.
const QStringList AsNobody{u"setpriv"_s, u"--reuid=65534"_s, u"--regid=65534"_s, u"--clear-groups"_s};
const QStringList AsGroupMember{u"setpriv"_s, u"--reuid=4001"_s, u"--regid=4001"_s, u"--groups=4242"_s};
const QStringList InProcessNamespace{u"unshare"_s, u"--pid"_s, u"--fork"_s, u"--mount-proc"_s, u"--kill-child"_s};

QByteArray answerOf(QProcess &process)
{
    while (!process.canReadLine() && process.waitForReadyRead(10000)) {
    }
    return process.readLine().trimmed();
}

// Ends a holder the polite way: its stdin closes, it gives the lock up and exits.
bool release(QProcess &process)
{
    process.closeWriteChannel();
    return process.waitForFinished(10000) && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

// Has a holder save content k through its lock; its answer is "saved" or "failed".
QByteArray saveThrough(QProcess &holder, int k)
{
    holder.write("save " + QByteArray::number(k) + '\n');
    return answerOf(holder);
}

// A copy that was refused: it answered "held" and ended with exit code 1.
bool refused(QProcess &copy)
{
    return answerOf(copy) == "held" && copy.waitForFinished(10000) && copy.exitCode() == 1;
}

ino_t inodeOf(const QString &path)
{
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_ino : 0;
}

// The process a lock file names, or 0.
qint64 lockOwner(const QString &lockPath)
{
    return ReferenceVault::readAll(lockPath).split('\n').value(0).toLongLong();
}

} // namespace

class tst_SecondCopy : public QObject {
    Q_OBJECT

    QString locker_;

private slots:
    void initTestCase()
    {
        locker_ = helperProgram(u"vault_locker"_s);
        QVERIFY2(!locker_.isEmpty(), "vault_locker is not built next to this test");
    }

    void copiesStartedAtOnce_exactlyOneGetsTheVault_andTheNextGetsItOnceTheHolderIsKilled_data()
    {
        QTest::addColumn<bool>("folderTakesNoLockFile");
        QTest::addColumn<int>("rounds");
        QTest::newRow("lock file beside the vault") << false << Rounds;
        QTest::newRow("immutable folder, the vault file locked") << true << Rounds / 4;
    }
    void copiesStartedAtOnce_exactlyOneGetsTheVault_andTheNextGetsItOnceTheHolderIsKilled()
    {
        QFETCH(bool, folderTakesNoLockFile);
        QFETCH(int, rounds);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString vault = dir.filePath(u"data.enc"_s);
        QVERIFY(VaultFile::replace(vault, SaveSeries::content(3)).confirmed());
        std::optional<Immutable> frozen;
        if (folderTakesNoLockFile) {
            frozen.emplace(dir.path());
            if (!frozen->ok()) {
                QSKIP("chattr +i is refused here (not root, or a file system without the immutable attribute)");
            }
        }
        qint64 slowestTakeover = 0;

        for (int round = 0; round < rounds; ++round) {
            std::vector<std::unique_ptr<QProcess>> copies;
            for (int i = 0; i < Copies; ++i) {
                copies.push_back(startCopy(locker_, vault));
            }
            int holder = -1;
            for (int i = 0; i < Copies; ++i) {
                const QByteArray answer = answerOf(*copies[size_t(i)]);
                if (answer == "locked") {
                    QVERIFY2(holder < 0, qPrintable(u"round %1: two copies got the vault"_s.arg(round)));
                    holder = i;
                } else {
                    QVERIFY2(answer == "held", qPrintable(u"round %1: a copy answered \"%2\""_s.arg(round).arg(
                                                   QString::fromLatin1(answer))));
                }
            }
            QVERIFY2(holder >= 0, qPrintable(u"round %1: no copy got the vault"_s.arg(round)));
            for (int i = 0; i < Copies; ++i) {
                if (i != holder) {
                    QVERIFY(copies[size_t(i)]->waitForFinished(10000));
                    QCOMPARE(copies[size_t(i)]->exitCode(), 1);
                }
            }

            // The holder dies without giving the lock up; its lock file stays behind.
            QProcess &killed = *copies[size_t(holder)];
            killed.kill();
            QVERIFY(killed.waitForFinished(10000));
            QCOMPARE(QFileInfo::exists(vault + u".lock"_s), !folderTakesNoLockFile);

            QElapsedTimer clock;
            clock.start();
            const auto next = startCopy(locker_, vault);
            QCOMPARE(answerOf(*next), QByteArray("locked"));
            slowestTakeover = std::max(slowestTakeover, clock.elapsed());
            QVERIFY(release(*next));
            QVERIFY(!QFileInfo::exists(vault + u".lock"_s));
        }
        // The holders only ever read the vault: it is as it was.
        QCOMPARE(ReferenceVault::readAll(vault), SaveSeries::content(3));
        qInfo("%d rounds of %d copies started at once; the slowest takeover after a kill took %lld ms", rounds, Copies,
              slowestTakeover);
    }

    void holder_clearsLeftoversOfAnInterruptedSave_othersTouchNothing()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString vault = dir.filePath(u"data.enc"_s);
        QVERIFY(VaultFile::replace(vault, SaveSeries::content(3)).confirmed());
        const auto holder = startCopy(locker_, vault);
        QCOMPARE(answerOf(*holder), QByteArray("locked"));

        // A save of the holder's in progress: a second copy must not take its new file away.
        QFile temp(vault + u".saving-AbC123"_s);
        QVERIFY(temp.open(QIODevice::WriteOnly));
        temp.close();
        const auto second = startCopy(locker_, vault);
        QCOMPARE(answerOf(*second), QByteArray("held"));
        QVERIFY(second->waitForFinished(10000));
        QVERIFY(temp.exists());

        holder->kill();
        QVERIFY(holder->waitForFinished(10000));
        const auto next = startCopy(locker_, vault);
        QCOMPARE(answerOf(*next), QByteArray("locked"));
        QVERIFY(!temp.exists());
        QVERIFY(release(*next));
        QCOMPARE(ReferenceVault::readAll(vault), SaveSeries::content(3));
    }

    // A folder that takes no lock file is never taken for a vault that another copy holds, nor left unguarded:
    // the first copy locks the vault file itself, the second is refused, and the holder's saves go through.
    void folderRefusesTheLockFile_oneCopyHoldsTheVaultFile_data()
    {
        QTest::addColumn<QByteArray>("options");
        QTest::addColumn<bool>("readOnly");
        QTest::addColumn<bool>("fill");
        QTest::addColumn<bool>("immutableFolder");
        QTest::addColumn<bool>("saves");
        QTest::newRow("read-only folder") << QByteArray("size=64k") << true << false << false << false;
        QTest::newRow("no inode left") << QByteArray("size=64k,nr_inodes=2") << false << false << false << true;
        QTest::newRow("no room left") << QByteArray("size=64k") << false << true << false << false;
        QTest::newRow("immutable folder, writable vault") << QByteArray("size=64k") << false << false << true << true;
    }
    void folderRefusesTheLockFile_oneCopyHoldsTheVaultFile()
    {
        QFETCH(QByteArray, options);
        QFETCH(bool, readOnly);
        QFETCH(bool, fill);
        QFETCH(bool, immutableFolder);
        QFETCH(bool, saves);
        PrivateTmpfs disk;
        if (!disk.mount(options)) {
            QSKIP(qPrintable(u"needs a tmpfs of its own, which was refused: "_s + disk.why()));
        }
        const QString vault = disk.path() + u"/data.enc"_s;
        QVERIFY(VaultFile::replace(vault, SaveSeries::content(3).left(100)).confirmed());
        if (fill) {
            QFile filler(disk.path() + u"/filler"_s);
            QVERIFY(filler.open(QIODevice::WriteOnly));
            const QByteArray block(4096, 'f');
            while (filler.write(block) == block.size() && filler.flush()) {
            }
        }
        if (readOnly) {
            QVERIFY(disk.setReadOnly(true));
        }
        std::optional<Immutable> frozen;
        if (immutableFolder) {
            frozen.emplace(disk.path());
            if (!frozen->ok()) {
                QSKIP("chattr +i is refused here");
            }
        }
        const auto first = startCopy(locker_, vault);
        QCOMPARE(answerOf(*first), QByteArray("locked"));
        QVERIFY(!QFileInfo::exists(vault + u".lock"_s));
        if (saves) {
            // Written in place, since the folder takes no new file: the vault file and its lock stay.
            QCOMPARE(saveThrough(*first, 1), QByteArray("saved"));
            QCOMPARE(ReferenceVault::readAll(vault), SaveSeries::content(1));
        }
        const auto second = startCopy(locker_, vault);
        QVERIFY(refused(*second));
        QVERIFY(release(*first));
        const auto third = startCopy(locker_, vault);
        QCOMPARE(answerOf(*third), QByteArray("locked"));
        QVERIFY(release(*third));
    }

    // Where the lock file goes stands something that can be no lock file, in a folder that takes new files: the
    // vault file itself is locked, and each save moves that lock to the new file that it renames over the vault,
    // which a copy started after the save must find locked.
    void lockPlaceTaken_vaultFileLockedAndKeptThroughSaves_data()
    {
        QTest::addColumn<SpecialFiles::Kind>("what");
        QTest::newRow("folder") << SpecialFiles::Kind::Folder;
        QTest::newRow("named pipe") << SpecialFiles::Kind::NamedPipe;
        QTest::newRow("socket") << SpecialFiles::Kind::Socket;
    }
    void lockPlaceTaken_vaultFileLockedAndKeptThroughSaves()
    {
        QFETCH(SpecialFiles::Kind, what);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString vault = dir.filePath(u"data.enc"_s);
        QVERIFY(VaultFile::replace(vault, SaveSeries::content(3)).confirmed());
        QVERIFY(SpecialFiles::make(what, vault + u".lock"_s));

        const auto holder = startCopy(locker_, vault);
        QCOMPARE(answerOf(*holder), QByteArray("locked"));
        for (const int k : {4, 5}) {
            const ino_t before = inodeOf(vault);
            QCOMPARE(saveThrough(*holder, k), QByteArray("saved"));
            QVERIFY(inodeOf(vault) != before); // a new file, renamed over the vault
            QCOMPARE(ReferenceVault::readAll(vault), SaveSeries::content(quint64(k)));
            const auto late = startCopy(locker_, vault);
            QVERIFY2(refused(*late), "a copy started after a save got the vault");
        }
        QVERIFY(release(*holder));
        const auto next = startCopy(locker_, vault);
        QCOMPARE(answerOf(*next), QByteArray("locked"));
        QVERIFY(release(*next));
        QCOMPARE(ReferenceVault::readAll(vault), SaveSeries::content(5));
    }

    // One vault reached through links from two program folders has one lock, beside the file itself; only its
    // holder clears leftovers, and only beside that file.
    void linksToOneVault_oneCopyHoldsIt_data()
    {
        QTest::addColumn<bool>("firstIsALink");
        QTest::addColumn<bool>("vaultExists");
        QTest::newRow("two links in two folders") << true << true;
        QTest::newRow("the vault itself and a link to it") << false << true;
        QTest::newRow("two links to a vault not made yet") << true << false;
    }
    void linksToOneVault_oneCopyHoldsIt()
    {
        QFETCH(bool, firstIsALink);
        QFETCH(bool, vaultExists);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QDir root(dir.path());
        QVERIFY(root.mkdir(u"real"_s) && root.mkdir(u"a"_s) && root.mkdir(u"b"_s));
        const QString target = dir.filePath(u"real/vault.enc"_s);
        if (vaultExists) {
            QVERIFY(VaultFile::replace(target, SaveSeries::content(3)).confirmed());
        }
        const QString viaA = firstIsALink ? dir.filePath(u"a/data.enc"_s) : target;
        const QString viaB = dir.filePath(u"b/data.enc"_s);
        if (firstIsALink) {
            QVERIFY(QFile::link(u"../real/vault.enc"_s, viaA));
        }
        QVERIFY(QFile::link(target, viaB));

        const auto first = startCopy(locker_, viaA);
        QCOMPARE(answerOf(*first), QByteArray("locked"));
        QVERIFY(QFileInfo::exists(target + u".lock"_s));
        // A save of the holder's in progress beside the real file: the refused copy must leave it alone.
        QFile temp(target + u".saving-AbC123"_s);
        QVERIFY(temp.open(QIODevice::WriteOnly));
        temp.close();
        const auto second = startCopy(locker_, viaB);
        QVERIFY(refused(*second));
        QVERIFY(temp.exists());
        QVERIFY(release(*first));

        const auto next = startCopy(locker_, viaB);
        QCOMPARE(answerOf(*next), QByteArray("locked"));
        QVERIFY(!temp.exists());
        QVERIFY(release(*next));
        QCOMPARE(root.entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 (QStringList{u"a"_s, u"b"_s, u"real"_s}));
    }

    // A lock file that no running copy wrote: what a crash, a power cut or a full disk may leave. It is taken
    // over at once, and the new holder's own lock is then held against the next copy.
    void unreadableLockFile_isTakenOverAtOnce_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("zeros") << QByteArray(80, '\0');
        QTest::newRow("junk") << QByteArray("\xff\xfe not a lock\n\n");
        QTest::newRow("process number 0") << QByteArray("0\nBrisvane\nhost\n");
    }
    void unreadableLockFile_isTakenOverAtOnce()
    {
        QFETCH(QByteArray, content);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString vault = dir.filePath(u"data.enc"_s);
        QVERIFY(VaultFile::replace(vault, SaveSeries::content(3)).confirmed());
        QVERIFY(ReferenceVault::writeFile(vault + u".lock"_s, content));

        const auto first = startCopy(locker_, vault);
        QCOMPARE(answerOf(*first), QByteArray("locked"));
        QCOMPARE(lockOwner(vault + u".lock"_s), first->processId());
        const auto second = startCopy(locker_, vault);
        QVERIFY(refused(*second));
        QVERIFY(release(*first));
        QVERIFY(!QFileInfo::exists(vault + u".lock"_s));
    }

    // A lock file left behind that names a process of another user (its number reused), another machine, or that
    // cannot be read: no one holds the lock on it nor on the vault file, so an ordinary user's copy takes it over.
    void leftLockFile_judgedByTheFileLocks_data()
    {
        QTest::addColumn<QByteArray>("content"); // empty: what QLockFile writes, naming this (root's) process
        QTest::addColumn<bool>("unreadable");
        QTest::newRow("another user's live process") << QByteArray() << false;
        QTest::newRow("another machine") << QByteArray("4242\nBrisvane\nelsewhere\nc0ffee\nboot\n") << false;
        QTest::newRow("another user's, unreadable") << QByteArray() << true;
    }
    void leftLockFile_judgedByTheFileLocks()
    {
        QFETCH(QByteArray, content);
        QFETCH(bool, unreadable);
        if (::geteuid() != 0) {
            QSKIP("needs root to leave a lock file as another user");
        }
        QTemporaryDir dir;
        QVERIFY(dir.isValid() && ::chmod(QFile::encodeName(dir.path()).constData(), 0777) == 0);
        const QString vault = dir.filePath(u"data.enc"_s);
        QVERIFY(VaultFile::replace(vault, SaveSeries::content(3)).confirmed());
        QVERIFY(::chown(QFile::encodeName(vault).constData(), 65534, 65534) == 0);
        QLockFile left(vault + u".lock"_s);
        QVERIFY(left.tryLock(0));
        content = content.isEmpty() ? ReferenceVault::readAll(vault + u".lock"_s) : content;
        left.unlock();
        QVERIFY(ReferenceVault::writeFile(vault + u".lock"_s, content));
        QVERIFY(QFile::setPermissions(vault + u".lock"_s,
                                      unreadable ? QFile::ReadOwner : QFile::ReadOwner | QFile::ReadOther));

        const auto first = startCopy(locker_, vault, AsNobody);
        QCOMPARE(answerOf(*first), QByteArray("locked"));
        QVERIFY(refused(*startCopy(locker_, vault, AsNobody)));
        QVERIFY(release(*first));
    }

    // In a process namespace of its own (a sandbox, a container) every copy has the same process number: a killed
    // copy's lock file names the number that the next copy has itself. It is taken over all the same.
    void killedInAProcessNamespace_theNextCopyThereGetsTheVault()
    {
        if (QProcess::execute(InProcessNamespace.first(), InProcessNamespace.mid(1) + QStringList{u"true"_s}) != 0) {
            QSKIP("needs root for a process namespace of its own");
        }
        QTemporaryDir dir;
        const QString vault = dir.filePath(u"data.enc"_s);
        QVERIFY(dir.isValid() && VaultFile::replace(vault, SaveSeries::content(3)).confirmed());
        const auto killed = startCopy(locker_, vault, InProcessNamespace);
        QCOMPARE(answerOf(*killed), QByteArray("locked"));
        killed->kill();
        QVERIFY(killed->waitForFinished(10000));
        const auto next = startCopy(locker_, vault, InProcessNamespace);
        QCOMPARE(answerOf(*next), QByteArray("locked"));
        QCOMPARE(lockOwner(vault + u".lock"_s), 1);
        QVERIFY(release(*next));
    }

    // A save by another member of the vault's group, in a folder that the group shares, leaves the vault to its
    // owner: its owner, group and mode stay.
    void saveByAnotherGroupMember_keepsOwnerGroupAndMode()
    {
        if (::geteuid() != 0) {
            QSKIP("needs root to act as two users");
        }
        QTemporaryDir dir;
        const QString vault = dir.filePath(u"data.enc"_s);
        const auto give = [](const QString &path, uid_t owner, mode_t mode) {
            return ::chown(QFile::encodeName(path).constData(), owner, 4242) == 0 &&
                   ::chmod(QFile::encodeName(path).constData(), mode) == 0;
        };
        QVERIFY(VaultFile::replace(vault, SaveSeries::content(3)).confirmed() && give(dir.path(), 0, 0775) &&
                give(vault, 4000, 0660));
        const auto member = startCopy(locker_, vault, AsGroupMember);
        QCOMPARE(answerOf(*member), QByteArray("locked"));
        QCOMPARE(saveThrough(*member, 4), QByteArray("saved"));
        QVERIFY(release(*member));
        struct stat st {};
        QVERIFY(::stat(QFile::encodeName(vault).constData(), &st) == 0);
        QCOMPARE(QList<uint>({st.st_uid, st.st_gid, st.st_mode & 07777}), QList<uint>({4000, 4242, 0660}));
    }

    // Another machine's lock file on a folder that other machines may share (a user-space file system stands for
    // one here): nothing here can see that machine's lock, so the copy asks instead of taking it over.
    void otherMachinesLockOnASharedFolder_isAskedAbout()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid() && QDir(dir.path()).mkdir(u"real"_s) && QDir(dir.path()).mkdir(u"shared"_s));
        QVERIFY(VaultFile::replace(dir.filePath(u"real/data.enc"_s), SaveSeries::content(3)).confirmed());
        QVERIFY(
            ReferenceVault::writeFile(dir.filePath(u"real/data.enc.lock"_s), "4242\nBrisvane\nelsewhere\nc0ffee\n"));
        if (QProcess::execute(u"bindfs"_s, {dir.filePath(u"real"_s), dir.filePath(u"shared"_s)}) != 0) {
            QSKIP("needs bindfs and FUSE to stand for a shared folder");
        }
        const auto copy = startCopy(locker_, dir.filePath(u"shared/data.enc"_s));
        QCOMPARE(answerOf(*copy), QByteArray("other machine"));
        QVERIFY(copy->waitForFinished(10000));
        QCOMPARE(QProcess::execute(u"fusermount"_s, {u"-u"_s, dir.filePath(u"shared"_s)}), 0);
    }

    // Copies that could take no lock at the start (no vault yet, no lock file possible): the first save makes the
    // vault and locks it, the other copy's save is refused, and it saves once the holder has ended.
    void copiesStartedWithoutALock_neverSaveOverTheHolder()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString vault = dir.filePath(u"data.enc"_s);
        QVERIFY(QDir().mkdir(vault + u".lock"_s));
        const auto a = startCopy(locker_, vault);
        const auto b = startCopy(locker_, vault);
        QCOMPARE(answerOf(*a) + answerOf(*b), QByteArray("unavailableunavailable"));
        QCOMPARE(saveThrough(*b, 1), QByteArray("saved"));
        QCOMPARE(saveThrough(*a, 2), QByteArray("failed"));
        QCOMPARE(ReferenceVault::readAll(vault), SaveSeries::content(1));
        QVERIFY(refused(*startCopy(locker_, vault)));
        QVERIFY(release(*b));
        QCOMPARE(saveThrough(*a, 3), QByteArray("saved"));
        QVERIFY(refused(*startCopy(locker_, vault)));
        QVERIFY(release(*a));
    }

    // The holder's folder moved away, and another vault put in its place that another copy opened: the holder's
    // save is refused, and neither vault changes.
    void vaultMovedUnderItsHolder_saveRefused()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString vault = dir.filePath(u"app/data.enc"_s);
        QVERIFY(QDir(dir.path()).mkdir(u"app"_s) && VaultFile::replace(vault, SaveSeries::content(3)).confirmed());
        const auto a = startCopy(locker_, vault);
        QCOMPARE(answerOf(*a), QByteArray("locked"));
        QVERIFY(QDir(dir.path()).rename(u"app"_s, u"moved"_s) && QDir(dir.path()).mkdir(u"app"_s));
        QVERIFY(VaultFile::replace(vault, SaveSeries::content(4)).confirmed());
        const auto b = startCopy(locker_, vault);
        QCOMPARE(answerOf(*b), QByteArray("locked"));
        QCOMPARE(saveThrough(*a, 5), QByteArray("failed"));
        QCOMPARE(ReferenceVault::readAll(vault), SaveSeries::content(4));
        QCOMPARE(ReferenceVault::readAll(dir.filePath(u"moved/data.enc"_s)), SaveSeries::content(3));
        QVERIFY(release(*a) && release(*b));
    }

    // A copy that has made its lock file but not yet written it leaves it empty for a moment. A copy starting then
    // must not take that for a stale lock. Made here by hand: the lock file made and empty, under the guard that a
    // starting copy holds for that moment; then written, as that copy goes on to do.
    void lockFileBeingWritten_isNotTakenOver()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString vault = dir.filePath(u"data.enc"_s);
        QVERIFY(VaultFile::replace(vault, SaveSeries::content(3)).confirmed());
        const QString lockPath = vault + u".lock"_s;
        QLockFile guard(lockPath + u".rmlock"_s);
        QVERIFY(guard.tryLock(0));
        QVERIFY(ReferenceVault::writeFile(lockPath, {}));

        const auto copy = startCopy(locker_, vault);
        QVERIFY(copy->waitForStarted(10000));
        // It may wait for the guard, or find the vault held at once; it must never take the lock.
        copy->waitForReadyRead(500);

        // What the starting copy writes: its lock, held as QLockFile holds it.
        QVERIFY(QFile::remove(lockPath));
        QLockFile starting(lockPath);
        starting.setStaleLockTime(0);
        QVERIFY(starting.tryLock(0));
        guard.unlock();
        QVERIFY(refused(*copy));
        QVERIFY(starting.isLocked());
    }
};

QTEST_GUILESS_MAIN(tst_SecondCopy)
#include "tst_SecondCopy.moc"
