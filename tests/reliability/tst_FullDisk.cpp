// Saves onto a disk with too little room: a tmpfs of 64 pages that the test fills until exactly F pages are free,
// for every F from none to a little more than the save needs. Where the room is short, the old vault stays whole
// byte for byte, the failure is reported, no temporary file stays behind and the room the save took is given
// back; where it suffices, the new vault is written. Both ways of saving are covered: a new file beside the
// vault, and, when the disk has no inode left for a new file, the vault written in place.

#include "reliability/PrivateTmpfs.h"
#include "support/VaultUnderTest.h"

#include <QTest>

#include <cerrno>
#include <fcntl.h>
#include <sys/statvfs.h>
#include <unistd.h>

using namespace Qt::StringLiterals;
using ReferenceVault::Entries;

namespace {

// tmpfs counts its room in memory pages.
const qsizetype Page = qsizetype(::sysconf(_SC_PAGESIZE));
constexpr int DiskPages = 64;

qsizetype pagesFor(qsizetype bytes)
{
    return (bytes + Page - 1) / Page;
}

qsizetype freePages(const QString &folder)
{
    struct statvfs s {};
    if (::statvfs(QFile::encodeName(folder).constData(), &s) != 0) {
        return -1;
    }
    return qsizetype(s.f_bavail * s.f_frsize / Page);
}

// Takes all free room but `pages`, and with `alsoInodes` every inode too. The filler is made first, while a new
// file can still be created.
bool fillLeaving(const QString &folder, qsizetype pages, bool alsoInodes)
{
    const int fd = ::open(QFile::encodeName(folder + u"/filler"_s).constData(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) {
        return false;
    }
    for (int i = 0; alsoInodes; ++i) {
        const QByteArray name = QFile::encodeName(folder + u"/inode-"_s + QString::number(i));
        const int more = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (more < 0) {
            break;
        }
        ::close(more);
    }
    const QByteArray block(Page, 'f');
    off_t size = 0;
    while (::write(fd, block.constData(), size_t(Page)) == Page) {
        size += Page;
    }
    const bool ok = ::ftruncate(fd, size - off_t(pages * Page)) == 0;
    ::close(fd);
    return ok && freePages(folder) == pages;
}

// The entries after the change: the first `oldEntries` sample entries turned into `newEntries`, by adding new ones
// at the end or deleting from the front.
Entries changed(qsizetype oldEntries, qsizetype newEntries)
{
    Entries entries = ReferenceVault::sampleEntries(oldEntries);
    if (newEntries > oldEntries) {
        const Entries added = ReferenceVault::sampleEntries(newEntries - oldEntries, "new");
        entries.insert(entries.end(), added.begin(), added.end());
    } else {
        entries.erase(entries.begin(), entries.begin() + (oldEntries - newEntries));
    }
    return entries;
}

qsizetype pagesOf(const Entries &entries)
{
    return pagesFor(ReferenceVault::file(VaultUnderTest::Master, entries).size());
}

} // namespace

class tst_FullDisk : public QObject {
    Q_OBJECT

private slots:
    void save_diskNearlyFull_data()
    {
        QTest::addColumn<bool>("inPlace");
        QTest::addColumn<qsizetype>("oldEntries");
        QTest::addColumn<qsizetype>("newEntries");
        QTest::addColumn<qsizetype>("free");
        QTest::addColumn<bool>("fits");
        // Sample entries take 70 to 75 bytes each in the file, about 55 to a page.
        const std::pair<qsizetype, qsizetype> sizes[] = {{40, 80}, {100, 320}, {300, 310}, {200, 100}};
        for (const bool inPlace : {false, true}) {
            for (const auto &[oldEntries, newEntries] : sizes) {
                const qsizetype before = pagesOf(ReferenceVault::sampleEntries(oldEntries));
                const qsizetype after = pagesOf(changed(oldEntries, newEntries));
                // Beside: the whole new file needs room next to the old one. In place: only what it adds.
                const qsizetype needed = inPlace ? std::max<qsizetype>(after - before, 0) : after;
                for (qsizetype free = 0; free <= after + 1; ++free) {
                    QTest::addRow("%s/%lld to %lld pages/%lld free", inPlace ? "in place" : "beside", qlonglong(before),
                                  qlonglong(after), qlonglong(free))
                        << inPlace << oldEntries << newEntries << free << (free >= needed);
                }
            }
        }
    }
    void save_diskNearlyFull()
    {
        QFETCH(bool, inPlace);
        QFETCH(qsizetype, oldEntries);
        QFETCH(qsizetype, newEntries);
        QFETCH(qsizetype, free);
        QFETCH(bool, fits);
        PrivateTmpfs disk;
        if (!disk.mount("size=" + QByteArray::number(DiskPages * Page / 1024) + "k,nr_inodes=64")) {
            QSKIP(qPrintable(u"needs a tmpfs of its own to fill, which was refused: "_s + disk.why()));
        }
        VaultUnderTest v(disk.path());
        v.list.appendEntries(ReferenceVault::entriesOf(ReferenceVault::sampleEntries(oldEntries)));
        QVERIFY(v.save());
        const QByteArray before = v.onDisk();

        const Entries expected = changed(oldEntries, newEntries);
        if (newEntries > oldEntries) {
            v.list.appendEntries(ReferenceVault::entriesOf({expected.begin() + oldEntries, expected.end()}));
        }
        while (v.list.rowCount() > newEntries) {
            v.list.removeEntry(0);
        }
        QVERIFY2(fillLeaving(disk.path(), free, inPlace), qPrintable(u"%1 pages free"_s.arg(freePages(disk.path()))));

        const bool saved = v.save();
        QCOMPARE(saved, fits);
        QCOMPARE(v.fault.steps().contains(VaultFile::Step::OpenInPlace), inPlace);
        QCOMPARE(ReferenceVault::leftovers(v.path), QStringList());
        QVERIFY(v.listed() == expected);
        if (fits) {
            QVERIFY(v.onDisk() == v.fileOf(expected));
            QVERIFY(!v.store.lastSaveFailed());
        } else {
            QVERIFY2(v.onDisk() == before,
                     qPrintable(u"%1 bytes on disk, %2 before"_s.arg(v.onDisk().size()).arg(before.size())));
            QCOMPARE(v.last.status, VaultStore::Outcome::Status::Failed);
            QVERIFY2(v.last.error.contains(u"error 28: "_s + QString::fromLocal8Bit(std::strerror(ENOSPC))),
                     qPrintable(v.last.error));
            QVERIFY(v.store.lastSaveFailed());
            // The failed save gave back all the room it took.
            QCOMPARE(freePages(disk.path()), free);

            // Room made: the next save writes everything.
            QVERIFY(QFile::remove(disk.path() + u"/filler"_s));
            QVERIFY(v.save());
            QVERIFY(v.onDisk() == v.fileOf(expected));
        }
    }
};

QTEST_GUILESS_MAIN(tst_FullDisk)
#include "tst_FullDisk.moc"
