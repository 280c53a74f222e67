// A power cut loses more than a crash: whatever the kernel had not yet written to the disk. This test records the
// file operations of real saves, as the writer makes them through the C library (this program defines those
// functions itself, records, and passes each call on to the C library's own), replays every recording into each
// state that a power cut could leave on the disk, and reads data.enc in each of them as the next start would.
//
// What a power cut may leave, as modelled here:
//  - It falls between two recorded operations, or after the save has returned: only the operations before it
//    happened at all.
//  - A file holds at least what it held at its last fsync or fdatasync before the cut (for a file that existed
//    before the save and has not been flushed since, what it held then). Of its writes and changes of length
//    since that flush, any prefix may have reached the disk, counted in pieces: each write is cut at the
//    file's 4096-byte page boundaries, and a change of length is one piece. So: none of them, the first piece,
//    the first two, ... all of them. The length only changes with those pieces: a file never shows blocks
//    that were never written.
//  - A create, rename or unlink is on the disk once its folder (both folders, for a rename between two) has been
//    fsynced after it; an fsync of the file does not make its name durable. Of the folder operations not yet
//    flushed, any number may be undone, the newest first.
//  - Not modelled: pages reaching the disk out of the order they were written in, a new length reaching it
//    before the data, a disk that acknowledges a flush it has not made.
// One state is one cut point, one number of undone folder operations and one prefix of the unflushed pieces of
// the file that data.enc then names; other files do not change what data.enc reads as. Every such state is
// counted, also where two of them leave the same file. Where that file has more than 16 unflushed pieces, a
// sample of the prefixes stands for all: the first two, the last two, each side of every write call's end, and
// the quarters.
//
// Every state's data.enc, followed through a symbolic link, must read with the program's own parser as the old
// vault or the new one; one that is missing or has no master password line fails the test, and so does anything
// but the new vault once the save has reported success. Writing in place is not atomic: a cut between two
// pieces, or a torn page, leaves a file that is partly new and partly old. That known limit of the path the
// writer only takes when the folder refuses new files is counted as "mixed" and shown; on the rename path a
// mixed state fails the test.

#include "reliability/FileOpRecorder.h"
#include "reliability/PrivateTmpfs.h"
#include "support/ReferenceVault.h"

#include "core/VaultFile.h"
#include "core/VaultFormat.h"

#include <QTest>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <map>

using namespace Qt::StringLiterals;
using FileOpRecorder::FileOp;
using FileOpRecorder::Names;
using FileOpRecorder::Recording;

namespace {

constexpr qint64 Page = 4096;

// One recorded save, and what a power cut at any point of it leaves on the disk.
class PowerCuts {
public:
    explicit PowerCuts(const Recording &recording) : r_(recording), pieces_(recording.initial.size())
    {
        for (qsizetype i = 0; i < qsizetype(r_.ops.size()); ++i) {
            const FileOp &op = r_.ops[size_t(i)];
            if (op.kind == FileOp::Write) {
                for (qint64 from = 0; from < op.bytes.size();) {
                    const qint64 length = std::min<qint64>(op.bytes.size() - from, Page - (op.at + from) % Page);
                    pieces_[size_t(op.file)].push_back({i, from, length});
                    from += length;
                }
            } else if (op.kind == FileOp::Resize || (op.kind == FileOp::Reserve && !op.keepSize)) {
                pieces_[size_t(op.file)].push_back({i, 0, 0});
            }
        }
    }

    qsizetype cutPoints() const { return qsizetype(r_.ops.size()) + 1; }

    // How many pieces of `file` the operations before `cut` made, and how many of them a flush made durable.
    qsizetype written(int file, qsizetype cut) const
    {
        const std::vector<Piece> &p = pieces_[size_t(file)];
        return std::partition_point(p.begin(), p.end(), [cut](const Piece &x) { return x.op < cut; }) - p.begin();
    }
    qsizetype durable(int file, qsizetype cut) const
    {
        for (qsizetype i = cut - 1; i >= 0; --i) {
            const FileOp &op = r_.ops[size_t(i)];
            if (op.kind == FileOp::FlushFile && op.file == file) {
                return written(file, i);
            }
        }
        return 0;
    }

    // The prefixes of the unflushed pieces that a power cut may leave: all of them, or a sample of a long run.
    QList<qsizetype> tornPrefixes(int file, qsizetype from, qsizetype to) const
    {
        QList<qsizetype> out;
        if (to - from <= 16) {
            for (qsizetype j = from; j <= to; ++j) {
                out.append(j);
            }
            return out;
        }
        out = {from, from + 1, to - 1, to};
        const std::vector<Piece> &p = pieces_[size_t(file)];
        for (qsizetype j = from + 1; j < to; ++j) {
            if (p[size_t(j)].op != p[size_t(j - 1)].op) {
                out.append({j - 1, j, j + 1});
            }
        }
        for (qsizetype i = 1; i < 4; ++i) {
            out.append(from + (to - from) * i / 4);
        }
        std::sort(out.begin(), out.end());
        out.erase(std::unique(out.begin(), out.end()), out.end());
        return out;
    }

    // The folder operations before `cut` that no folder flush has made durable yet, oldest first.
    QList<qsizetype> unflushedFolderOps(qsizetype cut) const
    {
        QList<qsizetype> out;
        for (qsizetype i = 0; i < cut; ++i) {
            const FileOp &op = r_.ops[size_t(i)];
            if (op.kind != FileOp::Create && op.kind != FileOp::Rename && op.kind != FileOp::Exchange &&
                op.kind != FileOp::Unlink) {
                continue;
            }
            QStringList folders{QFileInfo(op.path).path()};
            if (op.kind == FileOp::Rename || op.kind == FileOp::Exchange) {
                folders.append(QFileInfo(op.to).path());
            }
            for (qsizetype j = i + 1; j < cut && !folders.isEmpty(); ++j) {
                if (r_.ops[size_t(j)].kind == FileOp::FlushFolder) {
                    folders.removeAll(r_.ops[size_t(j)].path);
                }
            }
            if (!folders.isEmpty()) {
                out.append(i);
            }
        }
        return out;
    }

    // The names on the disk after a cut before `cut` that undid the folder operations `undone`.
    Names namesAt(qsizetype cut, const QList<qsizetype> &undone) const
    {
        Names names = r_.names;
        for (qsizetype i = 0; i < cut; ++i) {
            const FileOp &op = r_.ops[size_t(i)];
            if (undone.contains(i)) {
                continue;
            }
            if (op.kind == FileOp::Create) {
                names[op.path] = {op.file, {}};
            } else if (op.kind == FileOp::Rename) {
                const auto from = names.find(op.path);
                if (from != names.end() && op.path != op.to) {
                    names[op.to] = from->second;
                    names.erase(op.path);
                }
            } else if (op.kind == FileOp::Exchange) {
                std::swap(names[op.path], names[op.to]);
            } else if (op.kind == FileOp::Unlink) {
                names.erase(op.path);
            }
        }
        return names;
    }

    // The file that `path` names, through symbolic links; -1 where it names nothing.
    static int fileAt(const Names &names, QString path)
    {
        for (int hops = 0; hops < 40; ++hops) {
            const auto it = names.find(path);
            if (it == names.end()) {
                return -1;
            }
            if (it->second.file >= 0) {
                return it->second.file;
            }
            path = QDir::cleanPath(QDir(QFileInfo(path).path()).absoluteFilePath(it->second.link));
        }
        return -1;
    }

    // The content of `file` with its first `kept` pieces on the disk.
    QByteArray content(int file, qsizetype kept) const
    {
        QByteArray out = r_.initial[size_t(file)];
        const auto setLength = [&out](qint64 length) {
            out.append(QByteArray(qsizetype(std::max<qint64>(length - out.size(), 0)), '\0'));
            out.truncate(qsizetype(length));
        };
        for (qsizetype i = 0; i < kept; ++i) {
            const Piece &p = pieces_[size_t(file)][size_t(i)];
            const FileOp &op = r_.ops[size_t(p.op)];
            if (op.kind == FileOp::Write) {
                const qint64 at = op.at + p.from;
                if (out.size() < at + p.length) {
                    setLength(at + p.length);
                }
                std::memcpy(out.data() + at, op.bytes.constData() + p.from, size_t(p.length));
            } else if (op.kind == FileOp::Resize) {
                setLength(op.at);
            } else if (out.size() < op.at) {
                setLength(op.at);
            }
        }
        return out;
    }
    qsizetype pieceCount(int file) const { return qsizetype(pieces_[size_t(file)].size()); }

    // An operation as a person reads it, for failure messages; names are given below `root`.
    QString describe(qsizetype i, const QString &root) const
    {
        const auto shortName = [&root](QString name) { return name.remove(0, root.size() + 1); };
        if (i >= qsizetype(r_.ops.size())) {
            return u"the save returned"_s;
        }
        const FileOp &op = r_.ops[size_t(i)];
        const QString file = u"file %1"_s.arg(op.file);
        switch (op.kind) {
        case FileOp::Create:
            return u"create %1 as %2"_s.arg(shortName(op.path), file);
        case FileOp::Write:
            return u"write %1 bytes at %2 of %3"_s.arg(op.bytes.size()).arg(op.at).arg(file);
        case FileOp::Resize:
            return u"set the length of %1 to %2"_s.arg(file).arg(op.at);
        case FileOp::Reserve:
            return u"reserve %1 bytes for %2"_s.arg(op.at).arg(file);
        case FileOp::FlushFile:
            return u"flush "_s + file;
        case FileOp::Rename:
            return u"rename %1 to %2"_s.arg(shortName(op.path), shortName(op.to));
        case FileOp::Exchange:
            return u"swap %1 and %2"_s.arg(shortName(op.path), shortName(op.to));
        case FileOp::Unlink:
            return u"unlink "_s + shortName(op.path);
        case FileOp::FlushFolder:
            return u"flush the folder "_s + (op.path == root ? u"."_s : shortName(op.path));
        case FileOp::Unknown:
            return u"unexpected: "_s + op.path;
        }
        return {};
    }

private:
    struct Piece {
        qsizetype op;
        qint64 from = 0; // Write: the part of the written bytes that this piece is
        qint64 length = 0;
    };
    const Recording &r_;
    std::vector<std::vector<Piece>> pieces_; // by file, in the order they were made
};

struct Tally {
    qsizetype old = 0;
    qsizetype fresh = 0;
    qsizetype mixed = 0;
    qsizetype lost = 0; // missing or unreadable
    qsizetype total() const { return old + fresh + mixed + lost; }
    Tally &operator+=(const Tally &t)
    {
        old += t.old;
        fresh += t.fresh;
        mixed += t.mixed;
        lost += t.lost;
        return *this;
    }
};

// Where the replay of everything recorded differs from what is on the disk after the save: a call that the
// recording missed. Empty where they agree.
QString replayDiffers(const PowerCuts &cuts, const QString &root)
{
    std::vector<QByteArray> contents;
    const Names onDisk = FileOpRecorder::scan(root, contents);
    const Names replayed = cuts.namesAt(cuts.cutPoints() - 1, {});
    for (const auto &[name, node] : onDisk) {
        const auto it = replayed.find(name);
        if (it == replayed.end()) {
            return name + u" is on the disk but not in the replay"_s;
        }
        const bool same =
            node.file >= 0 ? it->second.file >= 0 && cuts.content(it->second.file, cuts.pieceCount(it->second.file)) ==
                                                         contents[size_t(node.file)]
                           : it->second.link == node.link;
        if (!same) {
            return name + u" on the disk differs from the replay"_s;
        }
    }
    return replayed.size() == onDisk.size() ? QString() : u"the replay has names that the disk has not"_s;
}

enum class Reads { Old, New, Mixed, Unreadable };

// Reads data.enc in every state that a power cut during the recorded save may leave. Mixed states are
// failures unless `mixedExpected`; anything but the new vault after the save returned is one in any case.
Tally checkEveryState(const PowerCuts &cuts, const QString &root, const QByteArray &before, const QByteArray &after,
                      bool mixedExpected, QStringList &failures)
{
    const QString vault = root + u"/data.enc"_s;
    const std::vector<Entry> oldEntries = VaultFormat::parse(before);
    const std::vector<Entry> newEntries = VaultFormat::parse(after);
    std::map<std::pair<int, qsizetype>, Reads> known; // many states leave the same file behind
    const auto reads = [&](int file, qsizetype kept) {
        const auto it = known.find({file, kept});
        if (it != known.end()) {
            return it->second;
        }
        const QByteArray bytes = cuts.content(file, kept);
        Reads r = Reads::Mixed;
        if (bytes == before) {
            r = Reads::Old;
        } else if (bytes == after) {
            r = Reads::New;
        } else {
            const QByteArrayView password = VaultFormat::firstLine(bytes);
            const std::vector<Entry> entries = VaultFormat::parse(bytes);
            if (password.isEmpty()) {
                r = Reads::Unreadable;
            } else if (password == VaultFormat::firstLine(before) && entries == oldEntries) {
                r = Reads::Old;
            } else if (password == VaultFormat::firstLine(after) && entries == newEntries) {
                r = Reads::New;
            }
        }
        known[{file, kept}] = r;
        return r;
    };

    Tally tally;
    const qsizetype end = cuts.cutPoints() - 1;
    for (qsizetype cut = 0; cut <= end; ++cut) {
        const QList<qsizetype> unflushed = cuts.unflushedFolderOps(cut);
        for (qsizetype undone = 0; undone <= unflushed.size(); ++undone) {
            const auto fail = [&](const QString &what) {
                failures.append(
                    u"cut before \u201c%1\u201d, %2 folder operation(s) undone: %3"_s.arg(cuts.describe(cut, root))
                        .arg(undone)
                        .arg(what));
            };
            const int file = PowerCuts::fileAt(cuts.namesAt(cut, unflushed.mid(unflushed.size() - undone)), vault);
            if (file < 0) {
                ++tally.lost;
                fail(u"data.enc is missing"_s);
                continue;
            }
            const qsizetype written = cuts.written(file, cut);
            for (const qsizetype kept : cuts.tornPrefixes(file, cuts.durable(file, cut), written)) {
                const QString pieces = u"%1 of %2 pieces of file %3 kept"_s.arg(kept).arg(written).arg(file);
                switch (reads(file, kept)) {
                case Reads::Old:
                    ++tally.old;
                    if (cut == end) {
                        fail(pieces + u": the old vault, though the save reported success"_s);
                    }
                    break;
                case Reads::New:
                    ++tally.fresh;
                    break;
                case Reads::Mixed:
                    ++tally.mixed;
                    if (!mixedExpected || cut == end) {
                        fail(pieces + u": neither the old vault nor the new one"_s);
                    }
                    break;
                case Reads::Unreadable:
                    ++tally.lost;
                    fail(pieces + u": no master password"_s);
                    break;
                }
            }
        }
    }
    return tally;
}

} // namespace

class tst_PowerCut : public QObject {
    Q_OBJECT

    ScratchFolder scratch_;
    Tally all_;

private slots:
    void initTestCase() { scratch_.mountTmpfs("size=256m"); }

    void cleanupTestCase()
    {
        qInfo("%lld power-cut states checked: %lld old, %lld new, %lld mixed%s", qlonglong(all_.total()),
              qlonglong(all_.old), qlonglong(all_.fresh), qlonglong(all_.mixed),
              all_.lost ? qPrintable(u", %1 missing or unreadable"_s.arg(all_.lost)) : "");
    }

    void save_powerCutAnywhere_leavesOldOrNewVault_data()
    {
        QTest::addColumn<bool>("inPlace");
        QTest::addColumn<bool>("throughLink");
        QTest::addColumn<qsizetype>("oldEntries");
        QTest::addColumn<qsizetype>("newEntries");
        // About 70 bytes an entry: 250,000 of them are over 16 MiB, which the writer writes in two calls.
        QTest::newRow("beside the vault") << false << false << qsizetype(100) << qsizetype(120);
        QTest::newRow("beside the vault, over 16 MiB") << false << false << qsizetype(100) << qsizetype(250'000);
        QTest::newRow("in place, shrinking") << true << false << qsizetype(120) << qsizetype(100);
        QTest::newRow("in place, over 16 MiB") << true << false << qsizetype(1000) << qsizetype(250'000);
        QTest::newRow("through a symbolic link") << false << true << qsizetype(100) << qsizetype(120);
    }
    void save_powerCutAnywhere_leavesOldOrNewVault()
    {
        QFETCH(bool, inPlace);
        QFETCH(bool, throughLink);
        QFETCH(qsizetype, oldEntries);
        QFETCH(qsizetype, newEntries);
        QTemporaryDir dir(scratch_.path() + u"/cut-XXXXXX"_s);
        QVERIFY(dir.isValid());
        const QString root = QFileInfo(dir.path()).canonicalFilePath();
        const QString vault = root + u"/data.enc"_s;
        const QString target = throughLink ? root + u"/real/data.enc"_s : vault;
        if (throughLink) {
            QVERIFY(QDir(root).mkdir(u"real"_s));
            QVERIFY(QFile::link(target, vault));
        }
        const QByteArray master = "master pw \xe9";
        const QByteArray before = ReferenceVault::file(master, ReferenceVault::sampleEntries(oldEntries, "old"));
        const QByteArray after = ReferenceVault::file(master, ReferenceVault::sampleEntries(newEntries, "new"));
        QVERIFY(ReferenceVault::writeFile(target, before));

        // A folder that refuses new files looks like this to the writer, which then writes the vault in place.
        const VaultFile::FaultHook refuseNewFiles = [](VaultFile::Step step) {
            return step == VaultFile::Step::CreateTemp ? EACCES : 0;
        };
        FileOpRecorder::start(root);
        const VaultFile::Outcome result = VaultFile::replace(vault, after, inPlace ? refuseNewFiles : nullptr);
        const Recording recording = FileOpRecorder::stop();
        QVERIFY2(result.confirmed(), qPrintable(result.error));
        QVERIFY(QFileInfo(vault).isSymLink() == throughLink);

        const PowerCuts cuts(recording);
        const QString missed = replayDiffers(cuts, root);
        QVERIFY2(missed.isEmpty(), qPrintable(missed));
        bool renamed = false;
        for (const FileOp &op : recording.ops) {
            QVERIFY2(op.kind != FileOp::Unknown, qPrintable(op.path));
            renamed = renamed || op.kind == FileOp::Rename || op.kind == FileOp::Exchange;
        }
        QCOMPARE(renamed, !inPlace); // the save took the path that this row is about

        QStringList failures;
        const Tally tally = checkEveryState(cuts, root, before, after, inPlace, failures);
        all_ += tally;
        qInfo("%lld states over %lld cut points: %lld old, %lld new, %lld mixed%s", qlonglong(tally.total()),
              qlonglong(cuts.cutPoints()), qlonglong(tally.old), qlonglong(tally.fresh), qlonglong(tally.mixed),
              inPlace && tally.mixed ? ", the known limit of writing in place: a cut between two writes, or a torn "
                                       "page, leaves a file partly new and partly old"
                                     : "");
        QVERIFY2(failures.isEmpty(),
                 qPrintable(u"%1 states fail, among them:\n"_s.arg(failures.size()) + failures.mid(0, 5).join(u'\n')));
    }
};

QTEST_GUILESS_MAIN(tst_PowerCut)
#include "tst_PowerCut.moc"
