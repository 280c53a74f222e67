// Only an ordinary file, or a link to one, counts as a file that exists: never a folder.

#include "core/FileSystem.h"
#include "core/VaultPath.h"
#include "support/ReferenceVault.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

class tst_FileSystem final : public QObject {
    Q_OBJECT

private slots:
    void fileExists_onlyForAFile_data()
    {
        QTest::addColumn<QString>("name"); // inside a folder holding the file data.enc, the folder "folder" and links
        QTest::addColumn<bool>("exists");
        QTest::newRow("file") << u"data.enc"_s << true;
        QTest::newRow("folder") << u"folder"_s << false;
        QTest::newRow("missing file") << u"missing.enc"_s << false;
        QTest::newRow("link to the file") << u"link"_s << true;
        QTest::newRow("link to the folder") << u"folderLink"_s << false;
        QTest::newRow("other letter case") << u"DATA.ENC"_s << false;
        QTest::newRow("file followed by /") << u"data.enc/"_s << false;
        QTest::newRow("dangling link") << u"dangling"_s << false;
        QTest::newRow("empty path") << QString() << false;
    }
    void fileExists_onlyForAFile()
    {
        QFETCH(QString, name);
        QFETCH(bool, exists);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString vault = VaultPath::inFolder(dir.path() + u'/');
        QVERIFY(ReferenceVault::writeFile(vault, "x"));
        QVERIFY(QDir(dir.path()).mkdir(u"folder"_s));
        QVERIFY(QFile::link(vault, dir.filePath(u"link"_s)));
        QVERIFY(QFile::link(dir.filePath(u"folder"_s), dir.filePath(u"folderLink"_s)));
        QVERIFY(QFile::link(dir.filePath(u"gone"_s), dir.filePath(u"dangling"_s)));
        QCOMPARE(FileSystem::fileExists(name.isEmpty() ? QString() : dir.path() + u'/' + name), exists);
    }
};

QTEST_GUILESS_MAIN(tst_FileSystem)
#include "tst_FileSystem.moc"
