// A save killed at any moment leaves the vault whole: the content of the last save reported complete or of the
// one after it, never a mix, and the next start clears away the temporary file the killed save left.

#include "reliability/HelperProgram.h"
#include "reliability/SaveSeries.h"
#include "support/ReferenceVault.h"

#include "core/VaultFile.h"
#include "core/VaultLock.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

constexpr int Kills = 1000;

// The number on the last complete line the saver printed, or `none` when it finished no save.
quint64 lastReported(const QByteArray &output, quint64 none)
{
    const qsizetype end = output.lastIndexOf('\n');
    if (end < 0) {
        return none;
    }
    const qsizetype start = output.lastIndexOf('\n', end - 1) + 1;
    bool ok = false;
    const quint64 k = output.mid(start, end - start).toULongLong(&ok);
    return ok ? k : none;
}

QString describeMismatch(const QByteArray &file, quint64 k)
{
    const auto firstDifference = [&](const QByteArray &expected) {
        qsizetype i = 0;
        while (i < file.size() && i < expected.size() && file[i] == expected[i]) {
            ++i;
        }
        return i;
    };
    const QByteArray a = SaveSeries::content(k);
    const QByteArray b = SaveSeries::content(k + 1);
    return u"the vault (%1 bytes) is neither save %2 (%3 bytes, differs at %4) nor save %5 (%6 bytes, differs at %7)"_s
        .arg(file.size())
        .arg(k)
        .arg(a.size())
        .arg(firstDifference(a))
        .arg(k + 1)
        .arg(b.size())
        .arg(firstDifference(b));
}

} // namespace

class tst_CrashDuringSave : public QObject {
    Q_OBJECT

private slots:
    void kill_atRandomMoments_leavesLastOrNextSaveAndNoLeftovers()
    {
        const QString saver = helperProgram(u"vault_saver"_s);
        QVERIFY2(!saver.isEmpty(), "vault_saver is not built next to this test");
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString vault = dir.filePath(u"data.enc"_s);
        QVERIFY(VaultFile::replace(vault, SaveSeries::content(0)).confirmed());

        const quint32 seed = QRandomGenerator::global()->generate();
        qInfo("seed %u", seed);
        QRandomGenerator random(seed);

        quint64 onDisk = 0; // the save that the vault holds
        int leftBehind = 0; // kills that caught a save between its new file and the rename
        int newerThanReported = 0;
        for (int kill = 0; kill < Kills; ++kill) {
            QProcess process;
            process.start(saver, {u"series"_s, vault, QString::number(onDisk + 1)});
            QVERIFY2(process.waitForStarted(), qPrintable(process.errorString()));
            QByteArray output;
            if (random.bounded(2) == 0) {
                QTest::qSleep(int(random.bounded(31)));
            } else {
                // Some saves first, then a kill a little way into the next one.
                const int saves = 1 + int(random.bounded(3));
                while (output.count('\n') < saves && process.waitForReadyRead(2000)) {
                    output += process.readAllStandardOutput();
                }
                QTest::qSleep(int(random.bounded(4)));
            }
            process.kill();
            QVERIFY(process.waitForFinished(5000));
            QVERIFY2(
                process.exitStatus() == QProcess::CrashExit,
                qPrintable(u"the saver ended by itself: "_s + QString::fromLocal8Bit(process.readAllStandardError())));
            output += process.readAllStandardOutput();

            const quint64 reported = lastReported(output, onDisk);
            const quint64 last = std::max(reported, onDisk);
            const QByteArray file = ReferenceVault::readAll(vault);
            if (file == SaveSeries::content(last + 1)) {
                ++newerThanReported;
                onDisk = last + 1;
            } else {
                QVERIFY2(file == SaveSeries::content(last), qPrintable(describeMismatch(file, last)));
                onDisk = last;
            }

            // The next start: the copy that gets the lock clears what the killed save left.
            if (!ReferenceVault::leftovers(vault).isEmpty()) {
                ++leftBehind;
            }
            VaultLock lock(vault);
            QCOMPARE(lock.acquire(), VaultLock::Outcome::Locked);
            VaultFile::removeLeftovers(vault);
            QCOMPARE(ReferenceVault::leftovers(vault), QStringList());
            QCOMPARE(ReferenceVault::readAll(vault), SaveSeries::content(onDisk));
        }
        qInfo("%d kills survived; %llu saves completed; %d kills left a temporary file behind; %d caught a save "
              "after its rename but before it was reported",
              Kills, static_cast<unsigned long long>(onDisk), leftBehind, newerThanReported);
        // Proof that the kills hit saves in the middle, not only the gaps between them.
        QVERIFY2(leftBehind > 0, "no kill landed inside a save");
    }
};

QTEST_GUILESS_MAIN(tst_CrashDuringSave)
#include "tst_CrashDuringSave.moc"
