// The commands followed through the running program, from the main window's buttons: how each answers when none is
// selected; Delete and Copy (which row they act on, the confirmation text, what reaches the vault file and the
// clipboard, what the status bar says, also after a save that fails); Go To (which address a location becomes and
// what reaches the desktop's opener); sorting by a header click; Add and Edit through the entry dialog into the list
// and the vault file, also while the list changes under an open dialog; the close after a save that did not hold; the
// end; and the publisher's website through the hidden launcher window. The address rules themselves are tested in
// tests/core/tst_LocationAddress.cpp, the windows on their own in tests/ui.

#include "app/EntryCommands.h"
#include "core/CodePage1252.h"
#include "core/EntryListModel.h"
#include "core/VaultStore.h"
#include "support/AppFixture.h"
#include "support/Widgets.h"
#include "ui/EntryListView.h"
#include "ui/KeptValue.h"
#include "ui/MainWindow.h"
#include "ui/PictureButton.h"
#include "ui/WebsiteLauncher.h"

#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

#include <cerrno>

using namespace Qt::StringLiterals;

namespace {

const AppFixture::Rows &ThreeRows = AppFixture::ThreeRows;
const QString Saved = u"Added new entry.  Data saved."_s;
const QString NotSaved = u"Data not saved.  The change is kept until the next save."_s;
const QString Deleted = u"Entry deleted successfully, data saved."_s;
const char *const CopyButtons[] = {"copyUsernameButton", "copyPasswordButton", "copyLocationButton"};

void click(QWidget *window, const QString &button)
{
    child<PictureButton>(window, button)->click();
}

EntryDialog *openAdd(AppFixture &f)
{
    click(&f.main(), u"addButton"_s);
    return f.app.entryDialog();
}

EntryDialog *openEdit(AppFixture &f, int row)
{
    f.select({row});
    click(&f.main(), u"editButton"_s);
    return f.app.entryDialog();
}

QStringList texts(EntryDialog *dialog)
{
    QStringList out;
    for (const QString &box : {u"usernameBox"_s, u"passwordBox"_s, u"websiteBox"_s}) {
        out.append(child<QLineEdit>(dialog, box)->text());
    }
    return out;
}

void type(EntryDialog *dialog, const QStringList &fields)
{
    child<QLineEdit>(dialog, u"usernameBox"_s)->setText(fields[0]);
    child<QLineEdit>(dialog, u"passwordBox"_s)->setText(fields[1]);
    child<QLineEdit>(dialog, u"websiteBox"_s)->setText(fields[2]);
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
        const QString buttons[] = {u"editButton"_s, u"deleteButton"_s, u"copyPasswordButton"_s, u"goToButton"_s};
        click(&f.main(), buttons[command]);
        QCOMPARE(f.status(), status);
        QVERIFY(f.fake.messages.shown.isEmpty());
        QVERIFY(!f.app.entryDialog());
        QVERIFY(f.fake.opener.locations.isEmpty());
        // Copy empties the clipboard first, whatever follows; the others leave it alone.
        QCOMPARE(f.fake.clipboard.hasText, command != 2);
        QCOMPARE(f.rows(), rows);
        QCOMPARE(f.vaultBytes(), before);
    }

    void delete_asksThenRemovesFirstSelectedRowAndSaves_data()
    {
        QTest::addColumn<QList<int>>("selected");
        QTest::addColumn<int>("removed"); // -1: the user cancels
        QTest::addColumn<QString>("question");
        const QString carol = u"Are you sure you want to delete the following information?\r\n\r\nUsername: carol\r\n"
                              u"Password: c-pass\r\nUsed At: www.c.example"_s;
        QTest::newRow("one row, password with markup shown as stored")
            << QList<int>{1} << 1
            << u"Are you sure you want to delete the following information?\r\n\r\nUsername: alice\r\n"
               u"Password: <b>a-pass\r\nUsed At: /home/alice"_s;
        QTest::newRow("empty location keeps its label's blank")
            << QList<int>{2} << 2
            << u"Are you sure you want to delete the following information?\r\n\r\nUsername: Bob\r\n"
               u"Password: b-pass\r\nUsed At: "_s;
        QTest::newRow("several selected: the first in list order") << QList<int>{2, 0} << 0 << carol;
        QTest::newRow("cancelled: list and file kept") << QList<int>{0} << -1 << carol;
    }
    void delete_asksThenRemovesFirstSelectedRowAndSaves()
    {
        QFETCH(QList<int>, selected);
        QFETCH(int, removed);
        QFETCH(QString, question);
        AppFixture f(ThreeRows);
        f.select(selected);
        if (removed < 0) {
            f.fake.messages.answers = {MessageBoxes::Answer::Cancel};
        }

        click(&f.main(), u"deleteButton"_s);

        QCOMPARE(f.fake.messages.shown.size(), 1);
        QCOMPARE(f.fake.messages.shown[0].text, question);
        QCOMPARE(f.fake.messages.shown[0].title, u"Confirm Delete"_s);
        QCOMPARE(f.fake.messages.shown[0].buttons, MessageBoxes::Buttons::OkCancel);
        AppFixture::Rows expected = ThreeRows;
        if (removed >= 0) {
            expected.removeAt(removed);
        }
        QCOMPARE(f.rows(), expected);
        QCOMPARE(f.vaultBytes(), AppFixture::vaultFor(expected));
        QCOMPARE(f.status(), removed < 0 ? u"Entry not deleted, cancelled by user"_s : Deleted);
    }

    void delete_onlyRow_leavesVaultWithPasswordLineAndEnd()
    {
        AppFixture f({{u"a"_s, u"b"_s, u"c"_s}});
        f.select({0});
        click(&f.main(), u"deleteButton"_s);
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

        click(&f.main(), u"deleteButton"_s);

        const AppFixture::Rows expected{ThreeRows[0], ThreeRows[2]};
        QCOMPARE(f.rows(), expected);
        QCOMPARE(f.vaultBytes(), before);
        QCOMPARE(f.fake.messages.shown.size(), 2); // the question, then the report of the failure
        QVERIFY(f.fake.messages.shown[1].text.contains(u"could not be saved"_s));
        QCOMPARE(f.status(), NotSaved);
        QVERIFY(f.app.store().lastSaveFailed());

        // The next delete that saves writes the earlier one too.
        f.app.store().setFaultHook({});
        f.select({0});
        click(&f.main(), u"deleteButton"_s);
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
        click(&f.main(), QString::fromLatin1(CopyButtons[field]));
        QCOMPARE(f.fake.clipboard.clears, 1);
        QVERIFY(f.fake.clipboard.hasText);
        QCOMPARE(f.fake.clipboard.text, ThreeRows[row][field]);
        QCOMPARE(f.status(), status);
        QCOMPARE(f.vaultBytes(), AppFixture::vaultFor(ThreeRows));
    }

    void severalSelected_copyAndEditTakeTheFirstInListOrder()
    {
        AppFixture f(ThreeRows);
        f.select({2, 1}); // the first selected in list order counts, not the first selected in time
        click(&f.main(), u"copyUsernameButton"_s);
        QCOMPARE(f.fake.clipboard.text, u"alice"_s);
        click(&f.main(), u"editButton"_s);
        EntryDialog *d = f.app.entryDialog();
        QVERIFY(d && d->isVisible() && !d->parentWidget());
        QCOMPARE(d->windowTitle(), u"Edit an entry"_s);
        QCOMPARE(texts(d), ThreeRows[1]);
        QCOMPARE(d->editedRow(), 1);
    }

    void goTo_selectedLocation_reachesTheOpener()
    {
        AppFixture f({{u"a"_s, u"b"_s, u"www.example.com"_s}, {u"c"_s, u"d"_s, u"-x"_s}});
        f.select({1, 0});
        click(&f.main(), u"goToButton"_s);
        QCOMPARE(f.fake.opener.locations, QList<QUrl>{QUrl(u"http://www.example.com"_s, QUrl::TolerantMode)});
        QCOMPARE(f.status(), u"Opening Location..."_s);

        f.select({1});
        click(&f.main(), u"goToButton"_s);
        QCOMPARE(f.fake.opener.locations.last(), QUrl::fromLocalFile(QDir::homePath() + u"/-x"_s));
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
            << u"/srv/files"_s << true << u"/srv/files"_s << u"error 2: No such file or directory"_s;
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
        click(&f.main(), u"goToButton"_s);
        QCOMPARE(f.fake.messages.shown.size(), 1);
        QCOMPARE(f.fake.messages.shown[0].text,
                 u"This location could not be opened:\r\n"_s + shown + u"\r\n\r\n"_s + reason);
        QCOMPARE(f.fake.messages.shown[0].title, u"Brisvane Full"_s);
        QCOMPARE(f.status(), u"Location not opened."_s);
        QVERIFY(f.fake.opener.locations.isEmpty());
    }

    // The opener reports when it ends, which may be after another command has set the status.
    void opener_failsLater_saysSoOnlyOverItsOwnStatus()
    {
        AppFixture f({{u"a"_s, u"b"_s, u"www.example.com"_s}});
        f.select({0});
        click(&f.main(), u"goToButton"_s);
        const QUrl address = f.fake.opener.locations.value(0);
        click(&f.main(), u"copyUsernameButton"_s);
        f.fake.opener.report(Opener::Request::Location, address, u"xdg-open ended with exit status 3."_s);
        QCOMPARE(f.status(), u"Copied Username a"_s);
        click(&f.main(), u"goToButton"_s);
        f.fake.opener.report(Opener::Request::Website, QUrl(u"http://www.brisvane.example"_s), u"why"_s);
        QCOMPARE(f.status(), u"Opening Location..."_s);
        f.fake.opener.report(Opener::Request::Location, address, u"why"_s);
        QCOMPARE(f.status(), u"Location not opened."_s);
        QCOMPARE(f.fake.messages.shown.size(), 3);
        QCOMPARE(f.fake.messages.shown[0].text, u"This location could not be opened:\r\nhttp://www.example.com\r\n\r\n"
                                                u"xdg-open ended with exit status 3."_s);
        QVERIFY(f.fake.messages.shown[1].text.contains(u"http://www.brisvane.example"_s));
    }

    // A header click asks the commands, which sort the list itself: the order that every command scans and that a
    // save writes. The file follows at the next save, and the status bar keeps its text.
    void headerClick_sortsTheList()
    {
        AppFixture f(ThreeRows);
        QVERIFY(QTest::qWaitForWindowExposed(&f.main()));
        const QString status = f.status();
        QHeaderView *h = child<EntryListView>(&f.main(), u"entryList"_s)->header();
        const auto clickOn = [h](int column) {
            QTest::mouseClick(h->viewport(), Qt::LeftButton, {},
                              QPoint(h->sectionViewportPosition(column) + 10, h->height() / 2));
        };
        clickOn(1);
        QCOMPARE(f.rows(), (AppFixture::Rows{ThreeRows[1], ThreeRows[2], ThreeRows[0]}));
        clickOn(1);
        QCOMPARE(f.rows().value(0).value(1), u"c-pass"_s);
        clickOn(0);
        QCOMPARE(f.rows().value(0).value(0), u"alice"_s);
        QCOMPARE(f.rows().value(1).value(0), u"Bob"_s);
        QCOMPARE(f.vaultBytes(), AppFixture::vaultFor(ThreeRows));
        QCOMPARE(f.status(), status);
    }

    void add_appendsRowWritesVaultAndReports_data()
    {
        QTest::addColumn<QStringList>("fields");
        QTest::newRow("ordinary") << QStringList{u"dave"_s, u"d-pass"_s, u"www.d.org"_s};
        QTest::newRow("empty website") << QStringList{u"dave"_s, u"d-pass"_s, QString()};
        QTest::newRow("only blanks, kept as typed") << QStringList{u" "_s, u"  "_s, u" "_s};
        QTest::newRow("website ends with |") << QStringList{u"dave"_s, u"p"_s, u"a|"_s};
        QTest::newRow("Western European text and markup")
            << QStringList{u"Zoë <b>"_s, u"€uro ÿ"_s, u"C:\\Users\\Zoë"_s};
    }
    void add_appendsRowWritesVaultAndReports()
    {
        QFETCH(QStringList, fields);
        AppFixture f(ThreeRows);
        EntryDialog *d = openAdd(f);
        QVERIFY(d && d->isVisible() && !d->parentWidget());
        QCOMPARE(d->windowTitle(), u"Add an entry"_s);
        type(d, fields);

        click(d, u"saveButton"_s);

        AppFixture::Rows expected = ThreeRows;
        expected.append(fields);
        QCOMPARE(f.rows(), expected);
        QCOMPARE(f.vaultBytes(), AppFixture::vaultFor(expected));
        QCOMPARE(f.status(), Saved);
        QVERIFY(f.fake.messages.shown.isEmpty());
        QVERIFY(!f.app.entryDialog());
    }

    void add_toEmptyVault_writesPasswordLineEntryAndEnd()
    {
        AppFixture f;
        EntryDialog *d = openAdd(f);
        type(d, {u"a"_s, u"b"_s, u"c"_s});
        click(d, u"saveButton"_s);
        // "pw", CR LF; "a|||b|||c" with the top bit of every byte flipped, CR LF; CR LF.
        QCOMPARE(f.vaultBytes(), QByteArray::fromHex("f0f7 0d0a e1fcfcfce2fcfcfce3 0d0a 0d0a"));
    }

    void edit_rewritesItsRowEvenUnchanged_data()
    {
        QTest::addColumn<QStringList>("fields"); // empty: saved as opened
        QTest::newRow("changed") << QStringList{u"alicia"_s, u"new"_s, QString()};
        QTest::newRow("unchanged") << QStringList{};
    }
    void edit_rewritesItsRowEvenUnchanged()
    {
        QFETCH(QStringList, fields);
        AppFixture f(ThreeRows);
        EntryDialog *d = openEdit(f, 1);
        if (!fields.isEmpty()) {
            type(d, fields);
        }
        QFile::remove(f.vaultPath()); // shows that the save really happens

        click(d, u"saveButton"_s);

        AppFixture::Rows expected = ThreeRows;
        if (!fields.isEmpty()) {
            expected[1] = fields;
        }
        QCOMPARE(f.rows(), expected);
        QCOMPARE(f.vaultBytes(), AppFixture::vaultFor(expected));
        QCOMPARE(f.status(), Saved);
        QVERIFY(!f.app.entryDialog());
    }

    // A password too long to edit is kept whole, every byte value included, and the dialog says so; one at the
    // limit stays editable.
    void edit_tooLongToEdit_keptWholeAndSaidWhy_data()
    {
        QTest::addColumn<int>("length");
        QTest::addColumn<QString>("username"); // empty: saved as opened
        QTest::newRow("at the limit, editable") << int(KeptValue::EditableLength) << QString();
        QTest::newRow("too long, saved untouched") << int(KeptValue::EditableLength) + 1 << QString();
        QTest::newRow("too long, another box changed") << int(KeptValue::EditableLength) + 1 << u"alicia"_s;
    }
    void edit_tooLongToEdit_keptWholeAndSaidWhy()
    {
        QFETCH(int, length);
        QFETCH(QString, username);
        QByteArray bytes(length, Qt::Uninitialized);
        for (int i = 0; i < length; ++i) {
            const auto b = char(i % 256);
            bytes[i] = b == '\r' || b == '\n' || b == '|' || b == char(0x8D) ? 'x' : b;
        }
        AppFixture::Rows rows = {{u"al"_s, CodePage1252::toUnicode(bytes), u"site"_s}};
        AppFixture f(rows);
        EntryDialog *d = openEdit(f, 0);
        const bool kept = length > KeptValue::EditableLength;
        QCOMPARE(child<QLineEdit>(d, u"passwordBox"_s)->isReadOnly(), kept);
        QCOMPARE(d->findChild<QLabel *>(u"keptValueNotice"_s) != nullptr, kept);
        if (!username.isEmpty()) {
            child<QLineEdit>(d, u"usernameBox"_s)->setText(username);
            rows[0][0] = username;
        }
        click(d, u"saveButton"_s);
        QCOMPARE(f.vaultBytes(), AppFixture::vaultFor(rows));
        QCOMPARE(f.entries().entry(0).field(Entry::Password), QByteArrayView(bytes));
    }

    // A location that typed text could not hold, or a long one, goes back byte for byte when a password changes.
    void edit_locationLeftAlone_savedAsRead_data()
    {
        QTest::addColumn<QString>("location");
        QTest::newRow("holds |||") << u"a|||b|||c"_s;
        QTest::newRow("40,000 characters") << QString(40'000, u'l');
    }
    void edit_locationLeftAlone_savedAsRead()
    {
        QFETCH(QString, location);
        AppFixture::Rows rows = {{u"al"_s, u"pw"_s, location}};
        AppFixture f(rows);
        EntryDialog *d = openEdit(f, 0);
        QVERIFY(!child<QLineEdit>(d, u"websiteBox"_s)->isReadOnly());
        child<QLineEdit>(d, u"passwordBox"_s)->setText(u"new"_s);
        click(d, u"saveButton"_s);
        rows[0][1] = u"new"_s;
        QCOMPARE(f.vaultBytes(), AppFixture::vaultFor(rows));
        QCOMPARE(f.status(), Saved);
    }

    void edit_followsItsEntryWhenTheListChanges_data()
    {
        QTest::addColumn<int>("change"); // 0: sort by user name, 1: delete the rows above, 2: both
        QTest::newRow("after a sort") << 0;
        QTest::newRow("after deleting the rows above") << 1;
        QTest::newRow("after a sort and a delete") << 2;
    }
    void edit_followsItsEntryWhenTheListChanges()
    {
        QFETCH(int, change);
        AppFixture f(ThreeRows);
        EntryDialog *d = openEdit(f, 2); // Bob
        const QStringList robert{u"robert"_s, u"r-pass"_s, u"www.r.net"_s};
        type(d, robert);

        AppFixture::Rows expected;
        if (change != 1) {
            QVERIFY(f.entries().sortByHeaderClick(0)); // alice, Bob, carol
            QCOMPARE(f.rows()[1][0], u"Bob"_s);
            // Sorting changes the order only in memory; the file follows at the next save.
            QCOMPARE(f.vaultBytes(), AppFixture::vaultFor(ThreeRows));
        }
        if (change == 0) {
            expected = {ThreeRows[1], robert, ThreeRows[0]};
        } else {
            const int above = change == 1 ? 2 : 1;
            for (int i = 0; i < above; ++i) {
                f.select({0});
                click(&f.main(), u"deleteButton"_s);
            }
            expected = change == 1 ? AppFixture::Rows{robert} : AppFixture::Rows{robert, ThreeRows[0]};
        }
        f.fake.messages.shown.clear();

        click(d, u"saveButton"_s);

        QCOMPARE(f.rows(), expected);
        QCOMPARE(f.vaultBytes(), AppFixture::vaultFor(expected));
        QCOMPARE(f.status(), Saved);
        QVERIFY(f.fake.messages.shown.isEmpty());
    }

    void commands_whileDialogOpen_bringItForwardAndChangeNothingInIt_data()
    {
        QTest::addColumn<bool>("openedForEdit");
        QTest::newRow("Edit while an Add is open: stays an Add") << false;
        QTest::newRow("Add while an Edit is open: stays an Edit of its entry") << true;
    }
    void commands_whileDialogOpen_bringItForwardAndChangeNothingInIt()
    {
        QFETCH(bool, openedForEdit);
        AppFixture f(ThreeRows);
        EntryDialog *d = openedForEdit ? openEdit(f, 0) : openAdd(f);
        const QString caption = d->windowTitle();
        const QStringList typed{u"new"_s, u"n-pass"_s, QString()};
        type(d, typed);

        QCOMPARE(openedForEdit ? openAdd(f) : openEdit(f, 1), d);
        QCOMPARE(d->windowTitle(), caption);
        QCOMPARE(texts(d), typed);

        click(d, u"saveButton"_s);
        AppFixture::Rows expected = ThreeRows;
        if (openedForEdit) {
            expected[0] = typed;
        } else {
            expected.append(typed);
        }
        QCOMPARE(f.rows(), expected);
    }

    void cancel_writesNothingAndTheNextAddStartsEmpty()
    {
        AppFixture f(ThreeRows);
        const QByteArray before = f.vaultBytes();
        EntryDialog *d = openEdit(f, 0);
        type(d, {u"changed"_s, u"changed"_s, u"changed"_s});
        click(d, u"cancelButton"_s);
        QVERIFY(!f.app.entryDialog());
        AppFixture::deleteUnloaded();
        QCOMPARE(f.rows(), ThreeRows);
        QCOMPARE(f.vaultBytes(), before);

        EntryDialog *next = openAdd(f);
        QVERIFY(next);
        QCOMPARE(next->windowTitle(), u"Add an entry"_s);
        QCOMPARE(texts(next), QStringList(3, QString()));
    }

    void save_vaultCannotBeWritten_keepsChangeAndClaimsNoSuccess_data()
    {
        QTest::addColumn<bool>("edit");
        QTest::newRow("add") << false;
        QTest::newRow("edit") << true;
    }
    void save_vaultCannotBeWritten_keepsChangeAndClaimsNoSuccess()
    {
        QFETCH(bool, edit);
        AppFixture f(ThreeRows);
        const QByteArray before = f.vaultBytes();
        f.failSaves();
        EntryDialog *d = edit ? openEdit(f, 0) : openAdd(f);
        const QStringList typed{u"new"_s, u"n-pass"_s, u"www.n.com"_s};
        type(d, typed);

        click(d, u"saveButton"_s);

        AppFixture::Rows expected = ThreeRows;
        if (edit) {
            expected[0] = typed;
        } else {
            expected.append(typed);
        }
        QCOMPARE(f.rows(), expected);
        QCOMPARE(f.status(), NotSaved);
        QCOMPARE(f.fake.messages.shown.size(), 1); // the report of the failure
        QVERIFY(f.app.store().lastSaveFailed());
        QVERIFY(!f.app.entryDialog());
        QCOMPARE(f.vaultBytes(), before);

        // The next save that works writes the kept change too.
        f.app.store().setFaultHook({});
        EntryDialog *next = openAdd(f);
        type(next, {u"later"_s, u"l"_s, QString()});
        click(next, u"saveButton"_s);
        expected.append(QStringList{u"later"_s, u"l"_s, QString()});
        QCOMPARE(f.vaultBytes(), AppFixture::vaultFor(expected));
        QCOMPARE(f.status(), Saved);
    }

    void exit_unloadsTheOtherWindowsAndEnds()
    {
        AppFixture f(ThreeRows);
        f.writeHelpFile();
        QVERIFY(f.app.start());
        f.app.openHelpWindow();
        f.app.openAboutWindow();
        openAdd(f);
        f.app.openWebsite();
        QVERIFY(f.app.splashScreen() && f.app.helpWindow() && f.app.aboutWindow());
        QVERIFY(f.app.entryDialog() && f.app.websiteLauncher());
        const QByteArray vault = f.vaultBytes();

        child<QAction>(&f.main(), u"exitAction"_s)->trigger();

        QCOMPARE(f.fake.end.ends, 1);
        QVERIFY(!f.main().parentWidget()); // a window of its own, which outlives the splash window
        QVERIFY(!f.app.helpWindow() && !f.app.aboutWindow() && !f.app.entryDialog());
        QVERIFY(!f.app.splashScreen() && !f.app.websiteLauncher());
        QVERIFY(f.fake.messages.shown.isEmpty());
        QCOMPARE(f.vaultBytes(), vault);
    }

    // A change that could not be saved, or that the disk did not confirm, is saved once more at the close; if that
    // does not do it either, the user decides. Without such a change, the close writes nothing.
    void close_afterASaveThatDidNotHold_triesAgainThenAsks_data()
    {
        QTest::addColumn<QString>("lastSave");
        QTest::addColumn<bool>("retryWorks");
        QTest::addColumn<MessageBoxes::Answer>("answer");
        QTest::addColumn<QString>("question"); // how it starts; empty: none is asked
        QTest::addColumn<bool>("ends");
        const QString failed = u"Your last change could not be saved"_s;
        QTest::newRow("no failed save: nothing written")
            << u"none"_s << false << MessageBoxes::Answer::Ok << QString() << true;
        QTest::newRow("the retry saves") << u"failed"_s << true << MessageBoxes::Answer::Ok << QString() << true;
        QTest::newRow("the retry fails, OK closes")
            << u"failed"_s << false << MessageBoxes::Answer::Ok << failed << true;
        QTest::newRow("the retry fails, Cancel keeps it open")
            << u"failed"_s << false << MessageBoxes::Answer::Cancel << failed << false;
        QTest::newRow("not confirmed, nor the retry: says the change is written")
            << u"not confirmed"_s << false << MessageBoxes::Answer::Ok
            << u"Your last change was written, but the disk"_s << true;
    }
    void close_afterASaveThatDidNotHold_triesAgainThenAsks()
    {
        QFETCH(QString, lastSave);
        QFETCH(bool, retryWorks);
        QFETCH(MessageBoxes::Answer, answer);
        QFETCH(QString, question);
        QFETCH(bool, ends);
        AppFixture f(ThreeRows);
        const QByteArray before = f.vaultBytes();
        AppFixture::Rows changed = ThreeRows;
        changed.append({u"dave"_s, u"4-pass"_s, u"d.example"_s});
        f.entries().appendEntry(Entry::fromText(u"dave"_s, u"4-pass"_s, u"d.example"_s));
        if (lastSave != u"none"_s) {
            const auto step = lastSave == u"failed"_s ? VaultFile::Step::Rename : VaultFile::Step::FlushFolder;
            f.app.store().setFaultHook([step](VaultFile::Step s) { return s == step ? EIO : 0; });
            QVERIFY(!f.app.store().save().confirmed());
            QVERIFY(f.app.store().lastSaveFailed());
        }
        if (retryWorks) {
            f.app.store().setFaultHook({});
        }
        f.fake.messages.answers = {MessageBoxes::Answer::Ok, answer};

        f.main().close();

        QCOMPARE(f.fake.end.ends, ends ? 1 : 0);
        // The failed retry reports itself, then the question follows.
        QCOMPARE(f.fake.messages.shown.size(), question.isEmpty() ? 0 : 2);
        if (!question.isEmpty()) {
            QVERIFY2(f.fake.messages.shown.last().text.startsWith(question), qPrintable(f.messageTexts().last()));
            QCOMPARE(f.fake.messages.shown.last().buttons, MessageBoxes::Buttons::OkCancelByDefaultCancel);
        }
        const bool written = retryWorks || lastSave == u"not confirmed"_s;
        QCOMPARE(f.vaultBytes(), written ? AppFixture::vaultFor(changed) : before);
        if (!ends) {
            QVERIFY(f.main().isVisible());
            QCOMPARE(f.rows(), changed);
            // Once the disk works again, closing saves the change and ends.
            f.app.store().setFaultHook({});
            f.main().close();
            QCOMPARE(f.fake.end.ends, 1);
            QCOMPARE(f.vaultBytes(), AppFixture::vaultFor(changed));
        }
    }

    void website_opensTheSiteOnceThroughTheHiddenLauncher()
    {
        AppFixture f;
        click(&f.main(), u"websiteButton"_s);
        const QUrl site(u"http://"_s + f.app.publisher().publisherUrl);
        QCOMPARE(f.fake.opener.urls, QList<QUrl>{site});
        WebsiteLauncher *launcher = f.app.websiteLauncher();
        QVERIFY(launcher);
        QVERIFY(!launcher->isVisible());
        QCOMPARE(child<QTimer>(launcher, u"lifetimeTimer"_s)->interval(), 1000);
        QVERIFY(child<QTimer>(launcher, u"lifetimeTimer"_s)->isActive());

        // A second request while it exists waits: nothing opens and nothing is shown.
        f.app.openWebsite();
        QCOMPARE(f.fake.opener.urls.size(), 1);
        QCOMPARE(f.app.websiteLauncher(), launcher);
        QVERIFY(!launcher->isVisible());

        // The timer unloads it; the next load serves the request, once.
        QTRY_VERIFY_WITH_TIMEOUT(!f.app.websiteLauncher(), 5000);
        f.app.openWebsite();
        QCOMPARE(f.fake.opener.urls, (QList<QUrl>{site, site}));

        // A launcher loaded without a request opens nothing.
        WebsiteLauncher unasked(f.app.publisher(), f.fake.opener, false);
        QCOMPARE(f.fake.opener.urls.size(), 2);
    }
};

QTEST_MAIN(tst_EntryCommands)
#include "tst_EntryCommands.moc"
