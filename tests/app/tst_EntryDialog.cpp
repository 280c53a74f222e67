// The entry dialog and the Add and Edit commands: what Save refuses, what it writes into the list and the vault
// file, which keys do what, and what an open dialog does when the list or the request changes under it.

#include "app/EntryCommands.h"
#include "core/EntryListModel.h"
#include "support/AppFixture.h"
#include "support/HeldKey.h"
#include "ui/EntryDialog.h"
#include "ui/MainWindow.h"
#include "ui/PictureButton.h"

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QString Saved = u"Added new entry.  Data saved."_s;
const QString NotSaved = u"Data not saved.  The change is kept until the next save."_s;

const AppFixture::Rows &ThreeRows = AppFixture::ThreeRows;

EntryDialog *openAdd(AppFixture &f)
{
    f.app.commands().addEntry();
    return f.app.entryDialog.get();
}

EntryDialog *openEdit(AppFixture &f, int row)
{
    f.select({row});
    f.app.commands().editEntry();
    return f.app.entryDialog.get();
}

void type(EntryDialog *dialog, const QString &username, const QString &password, const QString &location)
{
    dialog->usernameBox->setText(username);
    dialog->passwordBox->setText(password);
    dialog->websiteBox->setText(location);
}

} // namespace

class tst_EntryDialog : public QObject {
    Q_OBJECT

private slots:
    void load_addMode_looksAsDesignedAndStartsOnCancel()
    {
        AppFixture f;
        EntryDialog *d = openAdd(f);
        QVERIFY(d && d->isVisible());
        QCOMPARE(d->windowTitle(), u"Add an entry"_s);
        QCOMPARE(d->size(), QSize(312, 174));
        QCOMPARE(d->minimumSize(), d->maximumSize());
        QVERIFY(!d->windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
        QVERIFY(!d->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
        QVERIFY(!d->parentWidget());
        QVERIFY(!d->isModal());
        QVERIFY(d->usernameBox->text().isEmpty() && d->passwordBox->text().isEmpty() &&
                d->websiteBox->text().isEmpty());
        QCOMPARE(d->passwordBox->echoMode(), QLineEdit::Normal);

        QCOMPARE(d->focusWidget(), d->cancelButton);
        const QList<QWidget *> order{d->cancelButton, d->saveButton, d->usernameBox, d->passwordBox, d->websiteBox};
        for (qsizetype i = 0; i + 1 < order.size(); ++i) {
            QWidget *next = order[i]->nextInFocusChain();
            while (next->focusPolicy() == Qt::NoFocus) {
                next = next->nextInFocusChain();
            }
            QCOMPARE(next, order[i + 1]);
        }

        // Every control can be found by a screen reader, the boxes through their labels too.
        for (QLabel *label : {d->usernameLabel, d->passwordLabel, d->websiteLabel}) {
            QVERIFY(label->buddy() && !label->buddy()->accessibleName().isEmpty());
        }
        QCOMPARE(d->saveButton->accessibleName(), u"Save"_s);
        QCOMPARE(d->cancelButton->accessibleName(), u"Cancel"_s);
    }

    void load_editMode_showsTheSelectedEntry()
    {
        AppFixture f(ThreeRows);
        f.select({2, 1}); // the first selected in list order counts, not the first selected in time
        f.app.commands().editEntry();
        EntryDialog *d = f.app.entryDialog.get();
        QVERIFY(d);
        QCOMPARE(d->windowTitle(), u"Edit an entry"_s);
        QCOMPARE(d->usernameBox->text(), u"alice"_s);
        QCOMPARE(d->passwordBox->text(), u"<b>a-pass"_s);
        QCOMPARE(d->websiteBox->text(), u"/home/alice"_s);
        QCOMPARE(d->editedRow(), 1);
    }

    void keys_escapeAndEnter_doOnlyWhatTheDialogSays()
    {
        AppFixture f(ThreeRows);
        EntryDialog *d = openAdd(f);
        type(d, u"u"_s, u"p"_s, u"l"_s);
        QTest::keyClick(d, Qt::Key_Escape);
        QTest::keyClick(d->usernameBox, Qt::Key_Escape);
        QTest::keyClick(d->usernameBox, Qt::Key_Return);
        QTest::keyClick(d->passwordBox, Qt::Key_Return);
        QTest::keyClick(d->passwordBox, Qt::Key_Enter);
        QCOMPARE(f.app.entryDialog.get(), d);
        QVERIFY(d->isVisible());
        QCOMPARE(f.entries().rowCount(), 3);
        QVERIFY(f.fake.messages.shown.isEmpty());

        // Enter in the website box saves, exactly once however long it is held.
        holdKey(d->websiteBox, Qt::Key_Return);
        QCOMPARE(f.entries().rowCount(), 4);
        QVERIFY(!f.app.entryDialog.isLoaded());
        QCOMPARE(f.status(), Saved);
    }

    void keys_enterOnSaveOrCancel_pressesItOnce_data()
    {
        QTest::addColumn<bool>("save");
        QTest::addColumn<int>("key");
        QTest::newRow("Save, Return") << true << int(Qt::Key_Return);
        QTest::newRow("Save, keypad Enter") << true << int(Qt::Key_Enter);
        QTest::newRow("Cancel, Return") << false << int(Qt::Key_Return);
        QTest::newRow("Cancel, keypad Enter") << false << int(Qt::Key_Enter);
    }
    void keys_enterOnSaveOrCancel_pressesItOnce()
    {
        QFETCH(bool, save);
        QFETCH(int, key);
        AppFixture f(ThreeRows);
        f.main().setStatusText(u"before"_s);
        EntryDialog *d = openAdd(f);
        type(d, u"dave"_s, u"d-pass"_s, u"d.example"_s);
        PictureButton *button = save ? d->saveButton : d->cancelButton;
        button->setFocus();

        holdKey(button, Qt::Key(key));

        AppFixture::Rows expected = ThreeRows;
        if (save) {
            expected.append({u"dave"_s, u"d-pass"_s, u"d.example"_s});
        }
        QVERIFY(!f.app.entryDialog.isLoaded());
        QCOMPARE(f.rows(), expected);
        QCOMPARE(f.vaultBytes(), AppFixture::vaultFor(expected));
        QCOMPARE(f.status(), save ? Saved : u"before"_s);
        QVERIFY(f.fake.messages.shown.isEmpty());
    }

    void close_cancelOrFrame_writesNothingAndNextAddStartsEmpty_data()
    {
        QTest::addColumn<bool>("byFrame");
        QTest::newRow("Cancel button") << false;
        QTest::newRow("close box") << true;
    }
    void close_cancelOrFrame_writesNothingAndNextAddStartsEmpty()
    {
        QFETCH(bool, byFrame);
        AppFixture f(ThreeRows);
        const QByteArray before = f.vaultBytes();
        EntryDialog *d = openEdit(f, 0);
        type(d, u"changed"_s, u"changed"_s, u"changed"_s);
        if (byFrame) {
            QVERIFY(d->close());
        } else {
            d->cancelButton->click();
        }
        QVERIFY(!f.app.entryDialog.isLoaded());
        AppFixture::deleteUnloaded();
        QCOMPARE(f.rows(), ThreeRows);
        QCOMPARE(f.vaultBytes(), before);

        EntryDialog *next = openAdd(f);
        QVERIFY(next);
        QCOMPARE(next->windowTitle(), u"Add an entry"_s);
        QVERIFY(next->usernameBox->text().isEmpty() && next->websiteBox->text().isEmpty());
    }

    void save_emptyOrUnstorableField_refusesAndChangesNothing_data()
    {
        QTest::addColumn<bool>("edit");
        QTest::addColumn<QStringList>("fields");
        QTest::addColumn<QString>("message"); // the whole message, or a part that names field and cause

        const auto both = [](const char *name, const QStringList &fields, const QString &message) {
            QTest::addRow("add, %s", name) << false << fields << message;
            QTest::addRow("edit, %s", name) << true << fields << message;
        };
        both("no username or password: user name first", {QString(), QString(), u"x"_s},
             u"You must enter a username"_s);
        both("no password", {u"u"_s, QString(), u"x"_s}, u"You must enter a password"_s);
        both("||| in username", {u"a|||b"_s, u"p"_s, QString()}, u"The username can not contain \"|||\""_s);
        both("||| in password", {u"u"_s, u"|||"_s, QString()}, u"The password can not contain \"|||\""_s);
        both("||| in website", {u"u"_s, u"p"_s, u"x|||y"_s}, u"The website can not contain \"|||\""_s);
        both("line feed in username", {u"a\nb"_s, u"p"_s, QString()}, u"The username can not contain a line"_s);
        both("carriage return in website", {u"u"_s, u"p"_s, u"x\ry"_s}, u"The website can not contain a line"_s);
        both("username ends with |", {u"u|"_s, u"p"_s, QString()}, u"The username can not end with \"|\""_s);
        both("password ends with |", {u"u"_s, u"p|"_s, QString()}, u"The password can not end with \"|\""_s);
        both("CJK in username", {u"中"_s, u"p"_s, QString()}, u"The username can not contain the character \"中\""_s);
        both("CJK in website", {u"u"_s, u"p"_s, u"www.中.com"_s}, u"The website can not contain the character"_s);
        both("U+008D in password", {u"u"_s, u"a\u008Db"_s, QString()}, u"The password can not contain the control"_s);
    }
    void save_emptyOrUnstorableField_refusesAndChangesNothing()
    {
        QFETCH(bool, edit);
        QFETCH(QStringList, fields);
        QFETCH(QString, message);
        AppFixture f(ThreeRows);
        const QByteArray before = f.vaultBytes();
        f.main().setStatusText(u"before"_s);
        EntryDialog *d = edit ? openEdit(f, 1) : openAdd(f);
        type(d, fields[0], fields[1], fields[2]);

        // Enter in the website box runs the same checks as the Save button, once while the key is held.
        if (edit) {
            holdKey(d->websiteBox, Qt::Key_Return);
        } else {
            d->saveButton->click();
        }

        QCOMPARE(f.fake.messages.shown.size(), 1);
        QVERIFY2(f.fake.messages.shown[0].text.startsWith(message), qPrintable(f.fake.messages.shown[0].text));
        QCOMPARE(f.fake.messages.shown[0].title, u"Error"_s);
        QCOMPARE(f.fake.messages.shown[0].buttons, MessageBoxes::Buttons::Ok);
        QCOMPARE(f.rows(), ThreeRows);
        QCOMPARE(f.vaultBytes(), before);
        QCOMPARE(f.status(), u"before"_s);
        QCOMPARE(f.app.entryDialog.get(), d);
        QCOMPARE(d->usernameBox->text(), fields[0]);
    }

    void save_add_appendsRowWritesVaultAndReports_data()
    {
        QTest::addColumn<QStringList>("fields");
        QTest::newRow("ordinary") << QStringList{u"dave"_s, u"d-pass"_s, u"www.d.org"_s};
        QTest::newRow("empty website") << QStringList{u"dave"_s, u"d-pass"_s, QString()};
        QTest::newRow("only blanks, kept as typed") << QStringList{u" "_s, u"  "_s, u" "_s};
        QTest::newRow("website ends with |") << QStringList{u"dave"_s, u"p"_s, u"a|"_s};
        QTest::newRow("Western European text and markup")
            << QStringList{u"Zoë <b>"_s, u"€uro ÿ"_s, u"C:\\Users\\Zoë"_s};
    }
    void save_add_appendsRowWritesVaultAndReports()
    {
        QFETCH(QStringList, fields);
        AppFixture f(ThreeRows);
        EntryDialog *d = openAdd(f);
        type(d, fields[0], fields[1], fields[2]);

        d->saveButton->click();

        AppFixture::Rows expected = ThreeRows;
        expected.append(fields);
        QCOMPARE(f.rows(), expected);
        QCOMPARE(f.vaultBytes(), AppFixture::vaultFor(expected));
        QCOMPARE(f.status(), Saved);
        QVERIFY(f.fake.messages.shown.isEmpty());
        QVERIFY(!f.app.entryDialog.isLoaded());
    }

    void save_addToEmptyVault_writesPasswordLineEntryAndEnd()
    {
        AppFixture f;
        type(openAdd(f), u"a"_s, u"b"_s, u"c"_s);
        f.app.entryDialog.get()->saveButton->click();
        // "pw", CR LF; "a|||b|||c" with the top bit of every byte flipped, CR LF; CR LF.
        QCOMPARE(f.vaultBytes(), QByteArray::fromHex("f0f7 0d0a e1fcfcfce2fcfcfce3 0d0a 0d0a"));
    }

    void save_edit_rewritesItsRowEvenUnchanged_data()
    {
        QTest::addColumn<QStringList>("fields"); // empty: saved as opened
        QTest::newRow("changed") << QStringList{u"alicia"_s, u"new"_s, QString()};
        QTest::newRow("unchanged") << QStringList{};
    }
    void save_edit_rewritesItsRowEvenUnchanged()
    {
        QFETCH(QStringList, fields);
        AppFixture f(ThreeRows);
        EntryDialog *d = openEdit(f, 1);
        if (!fields.isEmpty()) {
            type(d, fields[0], fields[1], fields[2]);
        }
        QFile::remove(f.vaultPath()); // shows that the save really happens

        d->saveButton->click();

        AppFixture::Rows expected = ThreeRows;
        if (!fields.isEmpty()) {
            expected[1] = fields;
        }
        QCOMPARE(f.rows(), expected);
        QCOMPARE(f.vaultBytes(), AppFixture::vaultFor(expected));
        QCOMPARE(f.status(), Saved);
        QVERIFY(!f.app.entryDialog.isLoaded());
    }

    void save_edit_followsItsEntryWhenTheListChanges_data()
    {
        QTest::addColumn<int>("change"); // 0: sort by user name, 1: delete the rows above, 2: both
        QTest::newRow("after a sort") << 0;
        QTest::newRow("after deleting the rows above") << 1;
        QTest::newRow("after a sort and a delete") << 2;
    }
    void save_edit_followsItsEntryWhenTheListChanges()
    {
        QFETCH(int, change);
        AppFixture f(ThreeRows);
        EntryDialog *d = openEdit(f, 2); // Bob
        type(d, u"robert"_s, u"r-pass"_s, u"www.r.net"_s);

        AppFixture::Rows expected;
        if (change != 1) {
            QVERIFY(f.entries().sortByHeaderClick(1)); // alice, Bob, carol
            QCOMPARE(f.rows()[1][0], u"Bob"_s);
        }
        if (change == 0) {
            expected = {ThreeRows[1], {u"robert"_s, u"r-pass"_s, u"www.r.net"_s}, ThreeRows[0]};
        } else {
            const int above = change == 1 ? 2 : 1;
            for (int i = 0; i < above; ++i) {
                f.select({0});
                f.app.commands().deleteEntry();
            }
            expected = change == 1 ? AppFixture::Rows{{u"robert"_s, u"r-pass"_s, u"www.r.net"_s}}
                                   : AppFixture::Rows{{u"robert"_s, u"r-pass"_s, u"www.r.net"_s}, ThreeRows[0]};
        }
        f.fake.messages.shown.clear();

        d->saveButton->click();

        QCOMPARE(f.rows(), expected);
        QCOMPARE(f.vaultBytes(), AppFixture::vaultFor(expected));
        QCOMPARE(f.status(), Saved);
        QVERIFY(f.fake.messages.shown.isEmpty());
    }

    void save_editedEntryDeleted_saysSoAndKeepsDialogWithItsText()
    {
        AppFixture f(ThreeRows);
        EntryDialog *d = openEdit(f, 1);
        type(d, u"alicia"_s, u"new"_s, u"www.new.com"_s);
        f.select({1});
        f.app.commands().deleteEntry();
        const AppFixture::Rows afterDelete{ThreeRows[0], ThreeRows[2]};
        QCOMPARE(f.rows(), afterDelete);
        const QString status = f.status();
        f.fake.messages.shown.clear();

        d->saveButton->click();

        QCOMPARE(f.fake.messages.shown.size(), 1);
        QVERIFY(f.fake.messages.shown[0].text.startsWith(u"The entry you were editing has been deleted"_s));
        QCOMPARE(f.rows(), afterDelete);
        QCOMPARE(f.vaultBytes(), AppFixture::vaultFor(afterDelete));
        QCOMPARE(f.status(), status);
        QCOMPARE(f.app.entryDialog.get(), d);
        QCOMPARE(d->usernameBox->text(), u"alicia"_s);
        QCOMPARE(d->websiteBox->text(), u"www.new.com"_s);
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
        type(d, u"new"_s, u"n-pass"_s, QString());

        QCOMPARE(openedForEdit ? openAdd(f) : openEdit(f, 1), d);
        // The command still records its own request; the open dialog keeps the one it was opened with.
        QCOMPARE(f.app.entryRequest.mode,
                 openedForEdit ? EntryDialog::Request::Mode::Add : EntryDialog::Request::Mode::Edit);
        QCOMPARE(d->windowTitle(), caption);
        QCOMPARE(d->usernameBox->text(), u"new"_s);

        d->saveButton->click();
        AppFixture::Rows expected = ThreeRows;
        if (openedForEdit) {
            expected[0] = QStringList{u"new"_s, u"n-pass"_s, QString()};
        } else {
            expected.append(QStringList{u"new"_s, u"n-pass"_s, QString()});
        }
        QCOMPARE(f.rows(), expected);
    }

    void save_longFieldsBeyondLineEditDefault_areKeptWhole()
    {
        const QString longLocation(40000, u'x');
        AppFixture f({{u"u"_s, u"p"_s, longLocation}});
        EntryDialog *d = openEdit(f, 0);
        QCOMPARE(d->websiteBox->text().size(), longLocation.size());
        d->saveButton->click();
        QCOMPARE(f.rows()[0][2], longLocation);
        QCOMPARE(f.vaultBytes(), AppFixture::vaultFor({{u"u"_s, u"p"_s, longLocation}}));
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
        type(d, u"new"_s, u"n-pass"_s, u"www.n.com"_s);

        d->saveButton->click();

        AppFixture::Rows expected = ThreeRows;
        if (edit) {
            expected[0] = QStringList{u"new"_s, u"n-pass"_s, u"www.n.com"_s};
        } else {
            expected.append(QStringList{u"new"_s, u"n-pass"_s, u"www.n.com"_s});
        }
        QCOMPARE(f.rows(), expected);
        QCOMPARE(f.status(), NotSaved);
        QCOMPARE(f.fake.messages.shown.size(), 1); // the store's report of the failure
        QVERIFY(f.app.store().lastSaveFailed());
        QVERIFY(!f.app.entryDialog.isLoaded());
        QCOMPARE(f.vaultBytes(), before);

        // The next save that works writes the kept change too.
        f.app.store().setFaultHook({});
        EntryDialog *next = openAdd(f);
        type(next, u"later"_s, u"l"_s, QString());
        next->saveButton->click();
        expected.append(QStringList{u"later"_s, u"l"_s, QString()});
        QCOMPARE(f.vaultBytes(), AppFixture::vaultFor(expected));
        QCOMPARE(f.status(), Saved);
    }
};

QTEST_MAIN(tst_EntryDialog)
#include "tst_EntryDialog.moc"
