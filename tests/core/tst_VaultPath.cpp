// The vault's path rule: "/" is the one separator for joining the folder and the name.

#include "core/VaultPath.h"

#include <QTest>

using namespace Qt::StringLiterals;

class tst_VaultPath final : public QObject {
    Q_OBJECT

private slots:
    void inFolder_joinsWithOneSeparator_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("path");
        QTest::newRow("folder") << u"/srv/app"_s << u"/srv/app/data.enc"_s;
        QTest::newRow("folder ending with /") << u"/srv/app/"_s << u"/srv/app/data.enc"_s;
        QTest::newRow("root") << u"/"_s << u"/data.enc"_s;
        QTest::newRow("backslash is part of the folder's name") << u"/srv/a\\"_s << u"/srv/a\\/data.enc"_s;
    }
    void inFolder_joinsWithOneSeparator()
    {
        QFETCH(QString, folder);
        QFETCH(QString, path);
        QCOMPARE(VaultPath::inFolder(folder), path);
    }
};

QTEST_GUILESS_MAIN(tst_VaultPath)
#include "tst_VaultPath.moc"
