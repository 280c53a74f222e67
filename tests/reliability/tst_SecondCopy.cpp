// Copies of the program started at the same moment on one vault: exactly one gets it, every other one is told
// that it is held; once the holder is killed, the next copy gets the vault at once. A folder that refuses the lock
// file is never taken for one that another copy holds. The copies are vault_locker, which takes the lock exactly
// as the program does at start, so that no display is needed.

#include "reliability/HelperProgram.h"
#include "reliability/PrivateTmpfs.h"
#include "reliability/SaveSeries.h"
#include "support/ReferenceVault.h"

#include "core/VaultFile.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

constexpr int Rounds = 100;
constexpr int Copies = 10;

// Starts a copy; its answer is the first line it prints.
std::unique_ptr<QProcess> startCopy(const QString &locker, const QString &vault)
{
    auto process = std::make_unique<QProcess>();
    process->start(locker, {vault});
    return process;
}

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

    void copiesStartedAtOnce_exactlyOneGetsTheVault_andTheNextGetsItOnceTheHolderIsKilled()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString vault = dir.filePath(u"data.enc"_s);
        QVERIFY(VaultFile::replace(vault, SaveSeries::content(3)).ok);
        qint64 slowestTakeover = 0;

        for (int round = 0; round < Rounds; ++round) {
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
            QVERIFY(QFileInfo::exists(vault + u".lock"_s));

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
        qInfo("%d rounds of %d copies started at once; the slowest takeover after a kill took %lld ms", Rounds, Copies,
              slowestTakeover);
    }

    void holder_clearsLeftoversOfAnInterruptedSave_othersTouchNothing()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString vault = dir.filePath(u"data.enc"_s);
        QVERIFY(VaultFile::replace(vault, SaveSeries::content(3)).ok);
        const auto holder = startCopy(locker_, vault);
        QCOMPARE(answerOf(*holder), QByteArray("locked"));

        // A save of the holder's in progress: a second copy must not take its new file away.
        QFile temp(VaultFile::temporaryPrefix(vault) + u"AbC123"_s);
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

    void folderRefusesTheLockFile_isNeverReportedAsHeld_data()
    {
        QTest::addColumn<QByteArray>("options");
        QTest::addColumn<bool>("readOnly");
        QTest::addColumn<bool>("fill");
        QTest::newRow("read-only folder") << QByteArray("size=64k") << true << false;
        QTest::newRow("no inode left") << QByteArray("size=64k,nr_inodes=2") << false << false;
        QTest::newRow("no room left") << QByteArray("size=64k") << false << true;
    }
    void folderRefusesTheLockFile_isNeverReportedAsHeld()
    {
        QFETCH(QByteArray, options);
        QFETCH(bool, readOnly);
        QFETCH(bool, fill);
        PrivateTmpfs disk;
        if (!disk.mount(options)) {
            QSKIP(qPrintable(u"needs a tmpfs of its own, which was refused: "_s + disk.why()));
        }
        const QString vault = disk.path() + u"/data.enc"_s;
        QVERIFY(VaultFile::replace(vault, SaveSeries::content(3).left(100)).ok);
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
        // Both copies go on without the lock; neither is told that the other holds the vault.
        const auto first = startCopy(locker_, vault);
        QCOMPARE(answerOf(*first), QByteArray("unavailable"));
        const auto second = startCopy(locker_, vault);
        QCOMPARE(answerOf(*second), QByteArray("unavailable"));
        QVERIFY(first->waitForFinished(10000));
        QVERIFY(second->waitForFinished(10000));
        QCOMPARE(ReferenceVault::readAll(vault), SaveSeries::content(3).left(100));
    }
};

QTEST_GUILESS_MAIN(tst_SecondCopy)
#include "tst_SecondCopy.moc"
