// Reading and replacing the vault file directly, and the tidying of what an interrupted save left beside it.

#include "core/VaultFile.h"
#include "support/ReferenceVault.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <cstdio>

using namespace Qt::StringLiterals;
using ReferenceVault::namesIn;
using ReferenceVault::readAll;
using ReferenceVault::writeFile;
using VaultFile::Step;

namespace {
const QByteArray ThreeEntryVault = ReferenceVault::file("pw", {{"a", "b", "c"}, {"d", "e", "f"}, {"g", "h", "i"}});
} // namespace

class tst_VaultFile : public QObject {
    Q_OBJECT

private:
    QTemporaryDir tmp_;
    QString folder_;
    QString path_;

private slots:
    void init() { QVERIFY(ReferenceVault::newVaultFolder(tmp_.path(), folder_, path_)); }

    // A vault larger than one write: a fault in a later write still leaves the old vault whole.
    void replace_faultInALaterWriteOfALargeVault_leavesTheOldVault()
    {
        QVERIFY(writeFile(path_, ThreeEntryVault));
        const QByteArray big(40 << 20, 'x');
        int writes = 0;
        const VaultFile::Outcome r =
            VaultFile::replace(path_, big, [&](Step s) { return s == Step::Write && ++writes == 2 ? EIO : 0; });
        QVERIFY(!r.written());
        QCOMPARE(writes, 2);
        QCOMPARE(readAll(path_), ThreeEntryVault);
        QCOMPARE(namesIn(folder_), QStringList{u"data.enc"_s});
    }

    // A file moved into the vault's place while a save runs is never written over: the save is refused and says so.
    // Moved in just before the rename, or before the vault is opened to be written in place.
    void replace_fileMovedInDuringTheSave_isKept_data()
    {
        QTest::addColumn<bool>("inPlace");
        QTest::newRow("beside the vault") << false;
        QTest::newRow("in place, the folder takes no new file") << true;
    }
    void replace_fileMovedInDuringTheSave_isKept()
    {
        QFETCH(bool, inPlace);
        QVERIFY(writeFile(path_, ThreeEntryVault) && writeFile(folder_ + u"/other.enc"_s, "other"));
        const VaultFile::Outcome r = VaultFile::replace(path_, "new", [&](Step s) {
            if (s == (inPlace ? Step::OpenInPlace : Step::Rename)) {
                ::rename(QFile::encodeName(folder_ + u"/other.enc"_s).constData(),
                         QFile::encodeName(path_).constData());
            }
            return inPlace && s == Step::CreateTemp ? EACCES : 0;
        });
        QVERIFY2(r.error.contains(u"was replaced by another file while Brisvane was saving"_s), qPrintable(r.error));
        QCOMPARE(readAll(path_), "other");
        QCOMPARE(namesIn(folder_), QStringList{u"data.enc"_s});
    }

    // Leftovers of a save that a crash interrupted

    void removeLeftovers_removesOnlyTheTemporaryFilesOfThisVault()
    {
        const QStringList removed = {u"data.enc.saving-abc123"_s, u"data.enc.saving-ZZZZZZ"_s,
                                     u"data.enc.saving-000000"_s, u"data.enc.saving-a1B2c3"_s};
        const QStringList kept = {
            u"data.enc"_s,                // the vault
            u"data.enc.lock"_s,           // another copy's lock
            u"data.enc.bak"_s,            // a backup the user made
            u"data.enc.saving-abc12"_s,   // five characters
            u"data.enc.saving-abc1234"_s, // seven characters
            u"DATA.ENC.saving-abc123"_s,  // another file's name in another case
            u"Data.enc.saving-abc123"_s,
            u"data.enc.SAVING-abc123"_s,
            u"other.enc.saving-abc123"_s,
            u"xdata.enc.saving-abc123"_s,
            u"data.enc.saving-abc123.bak"_s,
            u"data.enc.saving-"_s,
            u"notes.txt"_s,
        };
        for (const QString &name : removed + kept) {
            QVERIFY(writeFile(folder_ + u'/' + name, "x"));
        }
        QVERIFY(QDir(folder_).mkpath(u"data.enc.saving-folder/inside"_s));
        VaultFile::removeLeftovers(path_);
        QCOMPARE(readAll(path_), "x");
        QCOMPARE(namesIn(folder_ + u"/data.enc.saving-folder"_s), QStringList{u"inside"_s});

        QStringList expected = kept;
        expected << u"data.enc.saving-folder"_s;
        expected.sort();
        QStringList remaining = namesIn(folder_);
        remaining.sort();
        QCOMPARE(remaining.join(u", "_s), expected.join(u", "_s));
    }

    // A vault reached through a link keeps its temporary files beside the file it points to.
    void removeLeftovers_vaultIsALink_cleansBesideTheTarget()
    {
        const QString realFolder = folder_ + u"/real"_s;
        QVERIFY(QDir().mkdir(realFolder));
        QVERIFY(writeFile(realFolder + u"/vault.enc"_s, ThreeEntryVault));
        QVERIFY(writeFile(realFolder + u"/vault.enc.saving-abcdef"_s, "x"));
        QVERIFY(writeFile(realFolder + u"/data.enc.saving-abcdef"_s, "x"));
        QVERIFY(QFile::link(realFolder + u"/vault.enc"_s, path_));
        VaultFile::removeLeftovers(path_);
        QCOMPARE(namesIn(realFolder), (QStringList{u"data.enc.saving-abcdef"_s, u"vault.enc"_s}));
    }

    // Brackets in the vault's name are part of the name, not a pattern.
    void removeLeftovers_bracketsInTheName_matchLiterally()
    {
        const QString target = folder_ + u"/v[1].enc"_s;
        QVERIFY(writeFile(target, ThreeEntryVault));
        QVERIFY(writeFile(target + u".saving-abcdef"_s, "x"));
        QVERIFY(writeFile(folder_ + u"/v1.enc.saving-abcdef"_s, "x"));
        VaultFile::removeLeftovers(target);
        QCOMPARE(namesIn(folder_), (QStringList{u"v1.enc.saving-abcdef"_s, u"v[1].enc"_s}));
    }
};

QTEST_GUILESS_MAIN(tst_VaultFile)
#include "tst_VaultFile.moc"
