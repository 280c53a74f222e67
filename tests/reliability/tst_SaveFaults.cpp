// Every file operation of a save made to fail in turn, once and for good: the failure is always reported, the
// entry list keeps the change for the next save, and the vault on disk is the old one byte for byte, or, where
// only the folder flush after the rename failed, the new one reported as not yet safe on disk.

#include "reliability/PrivateTmpfs.h"
#include "support/VaultUnderTest.h"

#include <QTest>

#include <cerrno>

using namespace Qt::StringLiterals;
using ReferenceVault::Entries;
using Step = VaultFile::Step;

namespace {

// Big enough that a save writes it in two pieces, so that a fault can strike between them.
constexpr qsizetype BigVault = 250'000;
const QByteArray Master = VaultUnderTest::Master;
constexpr auto Failed = VaultStore::Outcome::Status::Failed;
constexpr auto NotConfirmed = VaultStore::Outcome::Status::NotConfirmed;

// As every message built from an error number shows it: the number and its words.
QString reason(int error)
{
    return u"error %1: %2"_s.arg(error).arg(QString::fromLocal8Bit(std::strerror(error)));
}

bool landsBeforeFailing(Step step)
{
    return step == Step::OpenFolder || step == Step::FlushFolder;
}

using Vault = VaultUnderTest;

} // namespace

class tst_SaveFaults : public QObject {
    Q_OBJECT

public:
    // The steps that one save of a vault with `entries` entries makes, in order.
    QList<Step> stepsOfASave(qsizetype entries)
    {
        QTemporaryDir dir(scratch_.path() + u"/census-XXXXXX"_s);
        Vault v(dir.path());
        v.list.appendEntries(ReferenceVault::entriesOf(ReferenceVault::sampleEntries(entries)));
        v.save();
        return v.fault.steps();
    }

private:
    ScratchFolder scratch_;

private slots:
    void initTestCase()
    {
        // The vaults of over 16 MiB are written many times over.
        scratch_.mountTmpfs("size=1g");
    }

    void save_stepsComeInDurableOrder_data()
    {
        QTest::addColumn<qsizetype>("entries");
        QTest::addColumn<QList<Step>>("steps");
        const QList<Step> after = {Step::FlushFile, Step::Close, Step::Rename, Step::OpenFolder, Step::FlushFolder};
        QTest::newRow("small vault") << qsizetype(3) << (QList<Step>{Step::CreateTemp, Step::Write} + after);
        QTest::newRow("vault over 16 MiB")
            << BigVault << (QList<Step>{Step::CreateTemp, Step::Write, Step::Write} + after);
        QTest::newRow("no entries") << qsizetype(0) << (QList<Step>{Step::CreateTemp, Step::Write} + after);
    }
    void save_stepsComeInDurableOrder()
    {
        QFETCH(qsizetype, entries);
        QFETCH(QList<Step>, steps);
        QCOMPARE(stepsOfASave(entries), steps);
    }

    void save_stepFails_reportsAndKeepsChangeAndOldFile_data()
    {
        QTest::addColumn<qsizetype>("entries");
        QTest::addColumn<int>("at");
        QTest::addColumn<Step>("step");
        QTest::addColumn<bool>("everySave");
        for (const auto &[name, entries] : {std::pair{"small", qsizetype(3)}, std::pair{"big", BigVault}}) {
            const QList<Step> steps = stepsOfASave(entries);
            for (int at = 1; at <= steps.size(); ++at) {
                // A vault of any size goes through the same steps; only its writing comes in several pieces.
                if (entries == BigVault && steps[at - 1] != Step::Write) {
                    continue;
                }
                for (const bool everySave : {false, true}) {
                    QTest::addRow("%s/%d %s/%s", name, at, stepName(steps[at - 1]), everySave ? "every save" : "once")
                        << entries << at << steps[at - 1] << everySave;
                }
            }
        }
    }
    void save_stepFails_reportsAndKeepsChangeAndOldFile()
    {
        QFETCH(qsizetype, entries);
        QFETCH(int, at);
        QFETCH(Step, step);
        QFETCH(bool, everySave);
        QTemporaryDir dir(scratch_.path() + u"/fault-XXXXXX"_s);
        Vault v(dir.path());
        Entries expected = ReferenceVault::sampleEntries(entries);
        v.list.appendEntries(ReferenceVault::entriesOf(expected));
        QVERIFY(v.save());
        const QByteArray before = v.onDisk();
        QCOMPARE(before, ReferenceVault::file(Master, expected));

        // An added entry whose save fails.
        expected.push_back({"added", "added pw", "https://added.test"});
        v.list.appendEntry(ReferenceVault::entryOf(expected.back()));
        v.fault.arm(at, EIO, everySave);
        QVERIFY(!v.save());
        QCOMPARE(v.fault.fired(), 1);
        QCOMPARE(v.fault.steps().value(at - 1), step);
        // The vault either is as it was, reported as not saved, or holds the change, reported as not confirmed by
        // the disk: one report, which says the one thing that happened.
        QCOMPARE(v.last.status, landsBeforeFailing(step) ? NotConfirmed : Failed);
        QVERIFY2(v.last.error.contains(reason(EIO)), qPrintable(v.last.error));
        QVERIFY(v.store.lastSaveFailed());
        QVERIFY2(v.listed() == expected, qPrintable(ReferenceVault::firstDifference(v.listed(), expected)));
        QVERIFY(v.onDisk() == (landsBeforeFailing(step) ? ReferenceVault::file(Master, expected) : before));
        QCOMPARE(ReferenceVault::leftovers(v.path), QStringList());

        // An edit made after the failure: the next save that succeeds writes both changes.
        expected[0] = {"edited", "edited pw", "https://edited.test"};
        v.list.setEntry(0, ReferenceVault::entryOf(expected[0]));
        if (everySave) {
            QVERIFY(!v.save());
            QCOMPARE(v.fault.fired(), 2);
            QCOMPARE(v.last.status, landsBeforeFailing(step) ? NotConfirmed : Failed);
            QVERIFY(v.onDisk() == (landsBeforeFailing(step) ? ReferenceVault::file(Master, expected) : before));
            QCOMPARE(ReferenceVault::leftovers(v.path), QStringList());
            v.fault.lift();
        }
        QVERIFY(v.save());
        QVERIFY(!v.store.lastSaveFailed());
        QVERIFY(v.last.error.isEmpty());
        QVERIFY(v.onDisk() == ReferenceVault::file(Master, expected));
        QCOMPARE(ReferenceVault::leftovers(v.path), QStringList());
    }

    // The first save of a new master password, over a file whose empty first line is followed by entries.
    void createMasterPassword_stepFails_data()
    {
        QTest::addColumn<int>("at");
        QTest::addColumn<Step>("step");
        const QList<Step> steps = stepsOfASave(3);
        for (int at = 1; at <= steps.size(); ++at) {
            QTest::addRow("%d %s", at, stepName(steps[at - 1])) << at << steps[at - 1];
        }
    }
    void createMasterPassword_stepFails()
    {
        QFETCH(int, at);
        QFETCH(Step, step);
        QTemporaryDir dir(scratch_.path() + u"/create-XXXXXX"_s);
        Vault v(dir.path());
        const Entries entries = ReferenceVault::sampleEntries(3);
        const QByteArray before = ReferenceVault::file({}, entries);
        QVERIFY(ReferenceVault::writeFile(v.path, before));
        QCOMPARE(v.store.checkFirstRun().gate, VaultStore::FirstRun::Gate::CreatePassword);

        v.fault.arm(at, EIO, false);
        v.fault.beginSave();
        const VaultStore::Outcome created = v.store.createMasterPassword(VaultUnderTest::MasterText);

        QCOMPARE(v.fault.fired(), 1);
        QCOMPARE(ReferenceVault::leftovers(v.path), QStringList());
        QVERIFY2(created.error.contains(reason(EIO)), qPrintable(created.error));
        if (landsBeforeFailing(step)) {
            // The new file is in place: the program goes on with it, told that the disk has not confirmed it.
            QCOMPARE(created.status, NotConfirmed);
            QVERIFY(v.onDisk() == ReferenceVault::file(Master, entries));
            QVERIFY(v.listed() == entries);
        } else {
            // Nothing was entered yet: the program ends, and the file is as it was.
            QCOMPARE(created.status, Failed);
            QVERIFY(v.onDisk() == before);
            QVERIFY(v.list.entries().empty());
        }
    }

    void checkFirstRun_creatingTheFileFails_data()
    {
        QTest::addColumn<int>("at");
        QTemporaryDir dir(scratch_.path() + u"/first-XXXXXX"_s);
        Vault census(dir.path());
        census.fault.beginSave();
        census.store.checkFirstRun();
        const QList<Step> steps = census.fault.steps();
        for (int at = 1; at <= steps.size(); ++at) {
            QTest::addRow("%d %s", at, stepName(steps[at - 1])) << at;
        }
    }
    void checkFirstRun_creatingTheFileFails()
    {
        QFETCH(int, at);
        QTemporaryDir dir(scratch_.path() + u"/first-XXXXXX"_s);
        Vault v(dir.path());
        v.fault.arm(at, EIO, false);
        v.fault.beginSave();
        QCOMPARE(v.store.checkFirstRun().gate, VaultStore::FirstRun::Gate::CannotOpen);
        QCOMPARE(v.fault.fired(), 1);
        // No half-made vault is left for the next start to mistake for one.
        QVERIFY(!QFileInfo::exists(v.path));

        v.fault.beginSave();
        QCOMPARE(v.store.checkFirstRun().gate, VaultStore::FirstRun::Gate::CreatePassword);
        QCOMPARE(v.onDisk(), QByteArray("\r\n"));
    }
};

QTEST_GUILESS_MAIN(tst_SaveFaults)
#include "tst_SaveFaults.moc"
