// Saves into a folder that refuses new files go to the vault itself: room is reserved first, then the bytes are
// written over the old ones (a shorter vault padded to the old length with CR bytes, which read as empty lines),
// the file is cut to length and flushed. These tests make each of those steps fail and pin down what the vault
// holds afterwards. A fault before the first byte is written, which is also what a crash at that moment leaves,
// keeps the old vault byte for byte; a fault once all bytes are written leaves a file that reads as the new vault.
// A fault between the pieces of a vault over 16 MiB leaves the first piece new and the rest old: that is the limit
// of writing in place, which the program accepts only where the folder leaves no other way. Every fault is
// reported, the list keeps the change, and the next save that succeeds writes the whole vault again.

#include "reliability/PrivateTmpfs.h"
#include "support/VaultUnderTest.h"

#include "core/VaultFormat.h"

#include <QTest>

#include <cerrno>

using namespace Qt::StringLiterals;
using ReferenceVault::Entries;
using Step = VaultFile::Step;

namespace {

// A save writes at most this much in one call; a fault can strike between the pieces of a bigger vault.
constexpr qsizetype Piece = qsizetype(1) << 24;
constexpr qsizetype BigVault = 250'000;

// What the vault holds after the fault, in terms of the file before the save (old) and the one it was writing (new).
enum class Shape {
    Old,             // untouched
    New,             // written whole (not yet flushed, or not yet cut to length when that changed nothing)
    NewPaddedWithCr, // written whole over a longer file but not cut: CR bytes, which read as empty lines, pad it
    NewPieceThenOld  // the first piece written, the rest still old: the known limit of writing in place
};

QByteArray shaped(Shape shape, const QByteArray &before, const QByteArray &after)
{
    switch (shape) {
    case Shape::Old:
        return before;
    case Shape::New:
        return after;
    case Shape::NewPaddedWithCr:
        return after + QByteArray(std::max<qsizetype>(before.size() - after.size(), 0), '\r');
    case Shape::NewPieceThenOld:
        return after.left(Piece) + before.mid(Piece);
    }
    return {};
}

} // namespace

Q_DECLARE_METATYPE(Shape)

class tst_SaveInPlaceFaults : public QObject {
    Q_OBJECT

    ScratchFolder scratch_;

private slots:
    void initTestCase() { scratch_.mountTmpfs("size=1g"); }

    void save_folderRefusesNewFile_decidesOnWritingInPlace_data()
    {
        QTest::addColumn<int>("error");
        QTest::addColumn<bool>("inPlace");
        QTest::newRow("permission denied") << EACCES << true;
        QTest::newRow("operation not permitted") << EPERM << true;
        QTest::newRow("no space for a new file") << ENOSPC << true;
        QTest::newRow("quota exceeded") << EDQUOT << true;
        QTest::newRow("input/output error") << EIO << false;
        QTest::newRow("read-only file system") << EROFS << false;
        QTest::newRow("too many open files") << EMFILE << false;
    }
    void save_folderRefusesNewFile_decidesOnWritingInPlace()
    {
        QFETCH(int, error);
        QFETCH(bool, inPlace);
        QTemporaryDir dir(scratch_.path() + u"/refuse-XXXXXX"_s);
        VaultUnderTest v(dir.path());
        Entries expected = ReferenceVault::sampleEntries(5);
        v.list.appendEntries(ReferenceVault::entriesOf(expected));
        QVERIFY(v.save());
        const QByteArray before = v.onDisk();

        v.list.removeEntry(2);
        expected.erase(expected.begin() + 2);
        v.fault.refuseNewFiles(error);
        QCOMPARE(v.save(), inPlace);
        if (inPlace) {
            QVERIFY(v.onDisk() == v.fileOf(expected));
            QCOMPARE(v.fault.steps().mid(0, 2), (QList<Step>{Step::CreateTemp, Step::OpenInPlace}));
        } else {
            QVERIFY(v.onDisk() == before);
            QCOMPARE(v.last.status, VaultStore::Outcome::Status::Failed);
            QVERIFY2(v.last.error.contains(QString::fromLocal8Bit(std::strerror(error))), qPrintable(v.last.error));
        }
        QCOMPARE(ReferenceVault::leftovers(v.path), QStringList());
    }

    void save_stepInPlaceFails_data()
    {
        QTest::addColumn<qsizetype>("entries");
        QTest::addColumn<bool>("grow"); // the change adds an entry; otherwise it deletes one
        QTest::addColumn<int>("at");
        QTest::addColumn<Step>("step");
        QTest::addColumn<Shape>("shape");
        // Steps: 1 CreateTemp (refused), 2 OpenInPlace, 3 Reserve, 4 Write, 5 Truncate, 6 FlushFile.
        QTest::newRow("vault cannot be opened") << qsizetype(5) << true << 2 << Step::OpenInPlace << Shape::Old;
        QTest::newRow("no room to reserve") << qsizetype(5) << true << 3 << Step::Reserve << Shape::Old;
        QTest::newRow("write fails before the first byte") << qsizetype(5) << true << 4 << Step::Write << Shape::Old;
        QTest::newRow("write fails before the first byte, shrinking")
            << qsizetype(5) << false << 4 << Step::Write << Shape::Old;
        QTest::newRow("cut to length fails, growing") << qsizetype(5) << true << 5 << Step::Truncate << Shape::New;
        QTest::newRow("cut to length fails, shrinking")
            << qsizetype(5) << false << 5 << Step::Truncate << Shape::NewPaddedWithCr;
        QTest::newRow("flush fails") << qsizetype(5) << true << 6 << Step::FlushFile << Shape::New;
        QTest::newRow("flush fails, shrinking") << qsizetype(5) << false << 6 << Step::FlushFile << Shape::New;
        // Over 16 MiB the bytes go in two pieces: 4 and 5 Write, 6 Truncate, 7 FlushFile.
        QTest::newRow("big, first piece fails") << BigVault << true << 4 << Step::Write << Shape::Old;
        QTest::newRow("big, second piece fails") << BigVault << true << 5 << Step::Write << Shape::NewPieceThenOld;
    }
    void save_stepInPlaceFails()
    {
        QFETCH(qsizetype, entries);
        QFETCH(bool, grow);
        QFETCH(int, at);
        QFETCH(Step, step);
        QFETCH(Shape, shape);
        QTemporaryDir dir(scratch_.path() + u"/inplace-XXXXXX"_s);
        VaultUnderTest v(dir.path());
        Entries expected = ReferenceVault::sampleEntries(entries);
        v.list.appendEntries(ReferenceVault::entriesOf(expected));
        QVERIFY(v.save());
        const QByteArray before = v.onDisk();
        const Entries old = expected;

        if (grow) {
            expected.push_back({"added", "added pw", "https://added.test"});
            v.list.appendEntry(ReferenceVault::entryOf(expected.back()));
        } else {
            expected.erase(expected.begin() + 1);
            v.list.removeEntry(1);
        }
        v.fault.refuseNewFiles(EACCES);
        v.fault.arm(at, EIO, false);
        QVERIFY(!v.save());
        QCOMPARE(v.fault.fired(), 1);
        QCOMPARE(v.fault.steps().value(at - 1), step);
        QCOMPARE(v.last.status, VaultStore::Outcome::Status::Failed);
        QVERIFY(v.store.lastSaveFailed());
        QVERIFY(v.listed() == expected);
        const QByteArray after = v.fileOf(expected);
        const QByteArray found = v.onDisk();
        QVERIFY2(
            found == shaped(shape, before, after),
            qPrintable(
                u"%1 bytes on disk; before %2, after %3"_s.arg(found.size()).arg(before.size()).arg(after.size())));
        // What the next start would read, unless the program saves again first.
        if (shape != Shape::NewPieceThenOld) {
            const Entries read = ReferenceVault::fieldsOf(VaultFormat::parse(found));
            QVERIFY(read == (shape == Shape::Old ? old : expected));
        }

        // The folder still refuses new files; the next save writes everything in place.
        QVERIFY(v.save());
        QVERIFY(v.onDisk() == after);
        QCOMPARE(ReferenceVault::leftovers(v.path), QStringList());
    }
};

QTEST_GUILESS_MAIN(tst_SaveInPlaceFaults)
#include "tst_SaveInPlaceFaults.moc"
