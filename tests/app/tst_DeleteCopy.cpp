// The Delete and Copy commands: which row they act on, the confirmation text, what reaches the vault file and the
// clipboard, and what the status bar says, including after a save that fails. Also how every command on the
// selected entry answers when none is selected.

#include "app/EntryCommands.h"
#include "core/EntryListModel.h"
#include "ui/MainWindow.h"
#include "support/AppFixture.h"

#include <QTest>
#include <QToolButton>

using namespace Qt::StringLiterals;

namespace {

const ProgramFixture::Rows ThreeRows{
    {u"carol"_s, u"c-pass"_s, u"www.c.com"_s},
    {u"alice"_s, u"<b>a-pass"_s, u"/home/alice"_s},
    {u"bob"_s, u"b-pass"_s, QString()},
};

const QString Deleted = u"Entry deleted successfully, data saved."_s;

} // namespace

class tst_DeleteCopy : public QObject {
    Q_OBJECT

private slots:
    void commands_noSelection_askForOneAndChangeNothing_data()
    {
        QTest::addColumn<int>("command"); // 0 Edit, 1 Delete, 2 Copy, 3 Go To
        QTest::addColumn<ProgramFixture::Rows>("rows");
        QTest::addColumn<QString>("status");
        const char *names[] = {"edit", "delete", "copy", "go to"};
        const QString asks[] = {
            u"You must first select an entry to edit."_s, u"You must first select an entry to delete."_s,
            u"You must first select a row to copy from."_s, u"You must first select an entry to go to."_s};
        for (int command = 0; command < 4; ++command) {
            QTest::addRow("%s, empty list", names[command]) << command << ProgramFixture::Rows{} << asks[command];
            QTest::addRow("%s, nothing selected", names[command]) << command << ThreeRows << asks[command];
        }
    }
    void commands_noSelection_askForOneAndChangeNothing()
    {
        QFETCH(int, command);
        QFETCH(ProgramFixture::Rows, rows);
        QFETCH(QString, status);
        ProgramFixture f(rows);
        const QByteArray before = f.vaultBytes();
        f.fake.clipboard.setSecretText(u"old secret"_s);
        f.select({});
        switch (command) {
        case 0:
            f.main().mnuDataItem_Click(2);
            break;
        case 1:
            f.main().mnuDataItem_Click(1);
            break;
        case 2:
            f.main().mnuCopyItem_Click(1);
            break;
        default:
            f.main().mnuDataItem_Click(3);
            break;
        }
        QCOMPARE(f.status(), status);
        QVERIFY(f.fake.messages.shown.isEmpty());
        QVERIFY(!f.program.entryDialog.isLoaded());
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
            << u"Are you sure you want to delete the following information?\r\n\r\nUsername: bob\r\n"
               u"Password: b-pass\r\nUsed At: "_s;
        QTest::newRow("several selected: the first in list order")
            << QList<int>{2, 0} << 0
            << u"Are you sure you want to delete the following information?\r\n\r\nUsername: carol\r\n"
               u"Password: c-pass\r\nUsed At: www.c.com"_s;
    }
    void delete_confirmed_removesFirstSelectedRowAndSaves()
    {
        QFETCH(QList<int>, selected);
        QFETCH(int, removed);
        QFETCH(QString, question);
        ProgramFixture f(ThreeRows);
        f.select(selected);

        f.main().cmdDelete->click();

        QCOMPARE(f.fake.messages.shown.size(), 1);
        QCOMPARE(f.fake.messages.shown[0].text, question);
        QCOMPARE(f.fake.messages.shown[0].title, u"Confirm Delete"_s);
        QCOMPARE(f.fake.messages.shown[0].buttons, MessageBoxes::Buttons::OkCancel);
        ProgramFixture::Rows expected = ThreeRows;
        expected.removeAt(removed);
        QCOMPARE(f.rows(), expected);
        QCOMPARE(f.vaultBytes(), ProgramFixture::vaultFor(expected));
        QCOMPARE(f.status(), Deleted);
    }

    void delete_cancelled_keepsListAndFile()
    {
        ProgramFixture f(ThreeRows);
        const QByteArray before = f.vaultBytes();
        f.fake.messages.answers = {MessageBoxes::Answer::Cancel};
        f.select({0});
        f.main().mnuDataItem_Click(1);
        QCOMPARE(f.fake.messages.shown.size(), 1);
        QCOMPARE(f.status(), u"Entry not deleted, cancelled by user"_s);
        QCOMPARE(f.rows(), ThreeRows);
        QCOMPARE(f.vaultBytes(), before);
    }

    void delete_onlyRow_leavesVaultWithPasswordLineAndEnd()
    {
        ProgramFixture f({{u"a"_s, u"b"_s, u"c"_s}});
        f.select({0});
        f.program.commands().cmdDelete_Click();
        QCOMPARE(f.entries().rowCount(), 0);
        QCOMPARE(f.vaultBytes(), QByteArray::fromHex("f0f7 0d0a 0d0a"));
        QCOMPARE(f.status(), Deleted);
    }

    void delete_saveFails_rowStaysGoneWithoutSuccessText()
    {
        ProgramFixture f(ThreeRows);
        const QByteArray before = f.vaultBytes();
        f.failSaves();
        f.select({1});

        f.program.commands().cmdDelete_Click();

        const ProgramFixture::Rows expected{ThreeRows[0], ThreeRows[2]};
        QCOMPARE(f.rows(), expected);
        QCOMPARE(f.vaultBytes(), before);
        QCOMPARE(f.fake.messages.shown.size(), 2); // the question, then the store's report
        QVERIFY(f.fake.messages.shown[1].text.contains(u"could not be saved"_s));
        QVERIFY(f.status() != Deleted);
        QVERIFY(f.program.store().lastSaveFailed());

        // The next delete that saves writes the earlier one too.
        f.program.store().setFaultHook({});
        f.select({0});
        f.program.commands().cmdDelete_Click();
        QCOMPARE(f.vaultBytes(), ProgramFixture::vaultFor({ThreeRows[2]}));
        QCOMPARE(f.status(), Deleted);
    }

    void copy_selectedField_reachesClipboardAndStatus_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("status");
        QTest::newRow("username") << 0 << 0 << u"carol"_s << u"Copied Username carol"_s;
        QTest::newRow("password, shown in the status") << 1 << 1 << u"<b>a-pass"_s << u"Copied Password <b>a-pass"_s;
        QTest::newRow("location") << 2 << 0 << u"www.c.com"_s << u"Copied Location www.c.com"_s;
        QTest::newRow("empty location: bare prefix") << 2 << 2 << QString() << u"Copied Location "_s;
    }
    void copy_selectedField_reachesClipboardAndStatus()
    {
        QFETCH(int, index);
        QFETCH(int, row);
        QFETCH(QString, value);
        QFETCH(QString, status);
        for (const bool byMenu : {false, true}) {
            ProgramFixture f(ThreeRows);
            f.fake.clipboard.setSecretText(u"old"_s);
            f.select({row});
            if (byMenu) {
                f.main().mnuCopyItem_Click(index);
            } else {
                f.main().cmdCopy[size_t(index)]->click();
            }
            QCOMPARE(f.fake.clipboard.clears, 1);
            QVERIFY(f.fake.clipboard.hasText);
            QCOMPARE(f.fake.clipboard.text, value);
            QCOMPARE(f.status(), status);
            QCOMPARE(f.vaultBytes(), ProgramFixture::vaultFor(ThreeRows));
        }
    }

    void copy_severalSelected_copiesFirstInListOrder()
    {
        ProgramFixture f(ThreeRows);
        f.select({2, 1});
        f.program.commands().cmdCopy_Click(0);
        QCOMPARE(f.fake.clipboard.text, u"alice"_s);
    }

    void copy_indexOutOfRange_onlyEmptiesClipboard()
    {
        ProgramFixture f(ThreeRows);
        f.main().SetStatusText(u"before"_s);
        f.select({0});
        for (const int index : {-1, 3, 32767}) {
            f.program.commands().cmdCopy_Click(index);
            QVERIFY(!f.fake.clipboard.hasText);
            QCOMPARE(f.status(), u"before"_s);
        }
    }
};

QTEST_MAIN(tst_DeleteCopy)
#include "tst_DeleteCopy.moc"
