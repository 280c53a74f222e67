// The commands on the selected entry: how each answers when none is selected; Delete and Copy (which row they act
// on, the confirmation text, what reaches the vault file and the clipboard, what the status bar says, also after a
// save that fails); Go To (which address a location becomes and what reaches the desktop's opener); and the
// publisher's website through the hidden launcher window with its pending request. The address rules
// themselves are tested in tests/core/tst_LocationAddress.cpp.

#include "app/EntryCommands.h"
#include "ui/WebsiteLauncher.h"
#include "core/EntryListModel.h"
#include "support/AppFixture.h"
#include "ui/MainWindow.h"
#include "ui/PictureButton.h"

#include <QDir>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {

const AppFixture::Rows &ThreeRows = AppFixture::ThreeRows;
const QString Deleted = u"Entry deleted successfully, data saved."_s;

QUrl web(const QString &address)
{
    return QUrl(address, QUrl::TolerantMode);
}

QUrl file(const QString &path)
{
    return QUrl::fromLocalFile(path);
}

} // namespace

class tst_EntryCommands : public QObject {
    Q_OBJECT

private slots:
    void noSelection_asksForOneAndChangesNothing_data()
    {
        QTest::addColumn<int>("command"); // 0 Edit, 1 Delete, 2 Copy, 3 Go To
        QTest::addColumn<AppFixture::Rows>("rows");
        QTest::addColumn<QString>("status");
        const char *names[] = {"edit", "delete", "copy", "go to"};
        const QString asks[] = {
            u"You must first select an entry to edit."_s, u"You must first select an entry to delete."_s,
            u"You must first select a row to copy from."_s, u"You must first select an entry to go to."_s};
        for (int command = 0; command < 4; ++command) {
            QTest::addRow("%s, empty list", names[command]) << command << AppFixture::Rows{} << asks[command];
            QTest::addRow("%s, nothing selected", names[command]) << command << ThreeRows << asks[command];
        }
    }
    void noSelection_asksForOneAndChangesNothing()
    {
        QFETCH(int, command);
        QFETCH(AppFixture::Rows, rows);
        QFETCH(QString, status);
        AppFixture f(rows);
        const QByteArray before = f.vaultBytes();
        f.fake.clipboard.setSecretText(u"old secret"_s);
        f.select({});
        EntryCommands &commands = f.app.commands();
        switch (command) {
        case 0:
            commands.editEntry();
            break;
        case 1:
            commands.deleteEntry();
            break;
        case 2:
            commands.copyField(Entry::Password);
            break;
        default:
            commands.goToLocation();
            break;
        }
        QCOMPARE(f.status(), status);
        QVERIFY(f.fake.messages.shown.isEmpty());
        QVERIFY(!f.app.entryDialog.isLoaded());
        QVERIFY(f.fake.opener.locations.isEmpty());
        // Copy empties the clipboard first, whatever follows; the others leave it alone.
        QCOMPARE(f.fake.clipboard.hasText, command != 2);
        QCOMPARE(f.rows(), rows);
        QCOMPARE(f.vaultBytes(), before);
    }

    void delete_confirmed_removesFirstSelectedRowAndSaves_data()
    {
        QTest::addColumn<QList<int>>("selected");
        QTest::addColumn<int>("removed");
        QTest::addColumn<QString>("question");
        QTest::newRow("one row, password with markup shown as stored")
            << QList<int>{1} << 1
            << u"Are you sure you want to delete the following information?\r\n\r\nUsername: alice\r\n"
               u"Password: <b>a-pass\r\nUsed At: /home/alice"_s;
        QTest::newRow("empty location keeps its label's blank")
            << QList<int>{2} << 2
            << u"Are you sure you want to delete the following information?\r\n\r\nUsername: Bob\r\n"
               u"Password: b-pass\r\nUsed At: "_s;
        QTest::newRow("several selected: the first in list order")
            << QList<int>{2, 0} << 0
            << u"Are you sure you want to delete the following information?\r\n\r\nUsername: carol\r\n"
               u"Password: c-pass\r\nUsed At: www.c.example"_s;
    }
    void delete_confirmed_removesFirstSelectedRowAndSaves()
    {
        QFETCH(QList<int>, selected);
        QFETCH(int, removed);
        QFETCH(QString, question);
        AppFixture f(ThreeRows);
        f.select(selected);

        f.main().deleteButton->click();

        QCOMPARE(f.fake.messages.shown.size(), 1);
        QCOMPARE(f.fake.messages.shown[0].text, question);
        QCOMPARE(f.fake.messages.shown[0].title, u"Confirm Delete"_s);
        QCOMPARE(f.fake.messages.shown[0].buttons, MessageBoxes::Buttons::OkCancel);
        AppFixture::Rows expected = ThreeRows;
        expected.removeAt(removed);
        QCOMPARE(f.rows(), expected);
        QCOMPARE(f.vaultBytes(), AppFixture::vaultFor(expected));
        QCOMPARE(f.status(), Deleted);
    }

    void delete_cancelled_keepsListAndFile()
    {
        AppFixture f(ThreeRows);
        const QByteArray before = f.vaultBytes();
        f.fake.messages.answers = {MessageBoxes::Answer::Cancel};
        f.select({0});
        f.app.commands().deleteEntry();
        QCOMPARE(f.fake.messages.shown.size(), 1);
        QCOMPARE(f.status(), u"Entry not deleted, cancelled by user"_s);
        QCOMPARE(f.rows(), ThreeRows);
        QCOMPARE(f.vaultBytes(), before);
    }

    void delete_onlyRow_leavesVaultWithPasswordLineAndEnd()
    {
        AppFixture f({{u"a"_s, u"b"_s, u"c"_s}});
        f.select({0});
        f.app.commands().deleteEntry();
        QCOMPARE(f.entries().rowCount(), 0);
        QCOMPARE(f.vaultBytes(), QByteArray::fromHex("f0f7 0d0a 0d0a"));
        QCOMPARE(f.status(), Deleted);
    }

    void delete_saveFails_rowStaysGoneWithoutSuccessText()
    {
        AppFixture f(ThreeRows);
        const QByteArray before = f.vaultBytes();
        f.failSaves();
        f.select({1});

        f.app.commands().deleteEntry();

        const AppFixture::Rows expected{ThreeRows[0], ThreeRows[2]};
        QCOMPARE(f.rows(), expected);
        QCOMPARE(f.vaultBytes(), before);
        QCOMPARE(f.fake.messages.shown.size(), 2); // the question, then the store's report
        QVERIFY(f.fake.messages.shown[1].text.contains(u"could not be saved"_s));
        QVERIFY(f.status() != Deleted);
        QVERIFY(f.app.store().lastSaveFailed());

        // The next delete that saves writes the earlier one too.
        f.app.store().setFaultHook({});
        f.select({0});
        f.app.commands().deleteEntry();
        QCOMPARE(f.vaultBytes(), AppFixture::vaultFor({ThreeRows[2]}));
        QCOMPARE(f.status(), Deleted);
    }

    void copy_selectedField_reachesClipboardAndStatus_data()
    {
        QTest::addColumn<int>("field");
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("status");
        QTest::newRow("username") << int(Entry::Username) << 0 << u"Copied Username carol"_s;
        QTest::newRow("password, shown in the status") << int(Entry::Password) << 1 << u"Copied Password <b>a-pass"_s;
        QTest::newRow("location") << int(Entry::Location) << 0 << u"Copied Location www.c.example"_s;
        QTest::newRow("empty location: bare prefix") << int(Entry::Location) << 2 << u"Copied Location "_s;
    }
    void copy_selectedField_reachesClipboardAndStatus()
    {
        QFETCH(int, field);
        QFETCH(int, row);
        QFETCH(QString, status);
        AppFixture f(ThreeRows);
        f.fake.clipboard.setSecretText(u"old"_s);
        f.select({row});
        f.main().copyButtons[size_t(field)]->click();
        QCOMPARE(f.fake.clipboard.clears, 1);
        QVERIFY(f.fake.clipboard.hasText);
        QCOMPARE(f.fake.clipboard.text, ThreeRows[row][field]);
        QCOMPARE(f.status(), status);
        QCOMPARE(f.vaultBytes(), AppFixture::vaultFor(ThreeRows));
    }

    void copy_severalSelected_copiesFirstInListOrder()
    {
        AppFixture f(ThreeRows);
        f.select({2, 1});
        f.app.commands().copyField(Entry::Username);
        QCOMPARE(f.fake.clipboard.text, u"alice"_s);
    }

    void goTo_selectedLocation_reachesTheOpener()
    {
        AppFixture f({{u"a"_s, u"b"_s, u"www.example.com"_s}, {u"c"_s, u"d"_s, u"-x"_s}});
        f.select({1, 0});
        f.main().goToButton->click();
        QCOMPARE(f.fake.opener.locations, QList<QUrl>{web(u"http://www.example.com"_s)});
        QCOMPARE(f.status(), u"Opening Location..."_s);

        f.select({1});
        f.app.commands().goToLocation();
        QCOMPARE(f.fake.opener.locations.last(), file(QDir::homePath() + u"/-x"_s));
        QVERIFY(f.fake.messages.shown.isEmpty());
        QVERIFY(f.fake.opener.urls.isEmpty());
    }

    void goTo_cannotOpen_saysWhichAndWhy_data()
    {
        QTest::addColumn<QString>("location");
        QTest::addColumn<bool>("openerFails");
        QTest::addColumn<QString>("shown"); // the line of the message that names the location
        QTest::addColumn<QString>("reason");
        QTest::newRow("opener cannot start")
            << u"/srv/files"_s << true << u"/srv/files"_s << u"No such file or directory"_s;
        QTest::newRow("not a valid address")
            << u"www.exa mple.com"_s << false << u"http://www.exa mple.com"_s << u"It is not a valid address."_s;
    }
    void goTo_cannotOpen_saysWhichAndWhy()
    {
        QFETCH(QString, location);
        QFETCH(bool, openerFails);
        QFETCH(QString, shown);
        QFETCH(QString, reason);
        AppFixture f({{u"a"_s, u"b"_s, location}});
        f.fake.opener.failToStart = openerFails;
        f.select({0});
        f.app.commands().goToLocation();
        QCOMPARE(f.fake.messages.shown.size(), 1);
        QCOMPARE(f.fake.messages.shown[0].text,
                 u"This location could not be opened:\r\n"_s + shown + u"\r\n\r\n"_s + reason);
        QCOMPARE(f.fake.messages.shown[0].title, u"Brisvane Full"_s);
        QCOMPARE(f.status(), u"Opening Location..."_s);
        QVERIFY(f.fake.opener.locations.isEmpty());
    }

    void website_command_opensSiteOnceThroughHiddenLauncher()
    {
        AppFixture f;
        f.main().websiteButton->click();
        const QUrl site(u"http://"_s + f.app.publisher().publisherUrl);
        QCOMPARE(f.fake.opener.urls, QList<QUrl>{site});
        QVERIFY(f.app.websiteRequest.isEmpty());
        WebsiteLauncher *launcher = f.app.websiteLauncher.get();
        QVERIFY(launcher);
        QVERIFY(!launcher->isVisible());
        QCOMPARE(launcher->lifetimeTimer->interval(), 1000);
        QVERIFY(launcher->lifetimeTimer->isActive());

        // A second request while it exists waits: nothing opens and nothing is shown.
        f.app.commands().openWebsite();
        QCOMPARE(f.fake.opener.urls.size(), 1);
        QCOMPARE(f.app.websiteRequest, u"Website"_s);
        QVERIFY(!launcher->isVisible());

        // The timer destroys it; the pending request is carried out by the next creation.
        QTRY_VERIFY_WITH_TIMEOUT(!f.app.websiteLauncher.isLoaded(), 5000);
        f.app.launchWebsite();
        QCOMPARE(f.fake.opener.urls, (QList<QUrl>{site, site}));
        QVERIFY(f.app.websiteRequest.isEmpty());
    }

    void website_launcherWithoutRequest_opensNothing()
    {
        AppFixture f;
        f.app.websiteRequest = u"website"_s; // not exactly "Website"
        f.app.publisher().publisherUrl.clear();
        f.app.launchWebsite();
        QVERIFY(f.fake.opener.urls.isEmpty());
        QCOMPARE(f.app.websiteRequest, u"website"_s);
        QVERIFY(!f.app.publisher().publisherUrl.isEmpty()); // refilled by the launcher's load
        f.app.websiteLauncher.get()->expire();
        QVERIFY(!f.app.websiteLauncher.isLoaded());
    }
};

QTEST_MAIN(tst_EntryCommands)
#include "tst_EntryCommands.moc"
