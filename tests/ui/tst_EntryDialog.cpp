// The entry dialog on its own: its design, which keys do what, what Save refuses with a message box of its own, and
// what it hands on (saveRequested, unloadRequested). What the program makes of it is followed in tst_EntryCommands.

#include "core/EntryListModel.h"
#include "core/PublisherSettings.h"
#include "support/FakePlatform.h"
#include "support/HeldKey.h"
#include "support/Widgets.h"
#include "ui/EntryDialog.h"
#include "ui/PictureButton.h"

#include <QLabel>
#include <QLineEdit>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

using Mode = EntryRequest::Mode;

// The dialog shown as the Add command, or the Edit command on the second of three entries, opens it. It records
// each save it hands on as {"add" or "edit <row>", user name, password, location}, and counts its unload requests.
struct Dialog {
    explicit Dialog(Mode mode = Mode::Add, const QString &location = u"/home/alice"_s)
        : dialog(request(mode, location), messages, publisher)
    {
        QObject::connect(
            &dialog, &EntryDialog::saveRequested, &dialog,
            [this](const EntryRequest &r, const QString &u, const QString &p, const QString &l) {
                saved.append({r.mode == Mode::Add ? u"add"_s : u"edit "_s + QString::number(r.entry.row()), u, p, l});
            });
        QObject::connect(&dialog, &EntryDialog::unloadRequested, &dialog, [this] { ++unloads; });
        dialog.show();
    }
    // The list as the command sees it, and the request it makes of the dialog.
    EntryRequest request(Mode mode, const QString &location)
    {
        entries.appendEntry(Entry::fromText(u"carol"_s, u"c-pass"_s, u"www.c.example"_s));
        entries.appendEntry(Entry::fromText(u"alice"_s, u"<b>a-pass"_s, u"/home/alice"_s));
        entries.appendEntry(Entry::fromText(u"Bob"_s, u"b-pass"_s, QString()));
        if (mode == Mode::Add) {
            return {};
        }
        return {Mode::Edit, QPersistentModelIndex(entries.index(1, 0)), u"alice"_s, u"<b>a-pass"_s, location};
    }
    QLineEdit *box(const QString &name) const { return child<QLineEdit>(&dialog, name); }
    PictureButton *button(const QString &name) const { return child<PictureButton>(&dialog, name); }
    QStringList texts() const
    {
        return {box(u"usernameBox"_s)->text(), box(u"passwordBox"_s)->text(), box(u"websiteBox"_s)->text()};
    }
    void type(const QString &username, const QString &password, const QString &location) const
    {
        box(u"usernameBox"_s)->setText(username);
        box(u"passwordBox"_s)->setText(password);
        box(u"websiteBox"_s)->setText(location);
    }

    EntryListModel entries;
    FakeMessageBoxes messages;
    const PublisherSettings publisher = PublisherSettings::fromBuild();
    QList<QStringList> saved;
    int unloads = 0;
    EntryDialog dialog;
};

} // namespace

class tst_EntryDialog : public QObject {
    Q_OBJECT

private slots:
    void load_addMode_looksAsDesignedAndStartsOnCancel()
    {
        Dialog d;
        EntryDialog &w = d.dialog;
        QCOMPARE(w.windowTitle(), u"Add an entry"_s);
        QCOMPARE(w.size(), QSize(312, 174));
        QCOMPARE(w.minimumSize(), w.maximumSize());
        QVERIFY(!w.windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
        QVERIFY(!w.windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
        QVERIFY(!w.isModal());
        QCOMPARE(d.texts(), QStringList(3, QString()));
        QCOMPARE(d.box(u"passwordBox"_s)->echoMode(), QLineEdit::Normal);

        const QList<QWidget *> order{d.button(u"cancelButton"_s), d.button(u"saveButton"_s), d.box(u"usernameBox"_s),
                                     d.box(u"passwordBox"_s), d.box(u"websiteBox"_s)};
        QCOMPARE(w.focusWidget(), order[0]);
        for (qsizetype i = 0; i + 1 < order.size(); ++i) {
            QWidget *next = order[i]->nextInFocusChain();
            while (next->focusPolicy() == Qt::NoFocus) {
                next = next->nextInFocusChain();
            }
            QCOMPARE(next, order[i + 1]);
        }

        // Every control can be found by a screen reader, the boxes through their labels too.
        for (const QString &label : {u"usernameLabel"_s, u"passwordLabel"_s, u"websiteLabel"_s}) {
            QWidget *buddy = child<QLabel>(&w, label)->buddy();
            QVERIFY(buddy && !buddy->accessibleName().isEmpty());
        }
        QCOMPARE(order[1]->accessibleName(), u"Save"_s);
        QCOMPARE(order[0]->accessibleName(), u"Cancel"_s);
    }

    void load_editMode_showsTheRequestedEntry()
    {
        Dialog d(Mode::Edit);
        QCOMPARE(d.dialog.windowTitle(), u"Edit an entry"_s);
        QCOMPARE(d.texts(), (QStringList{u"alice"_s, u"<b>a-pass"_s, u"/home/alice"_s}));
        QCOMPARE(d.dialog.editedRow(), 1);
    }

    void keys_escapeAndEnter_doOnlyWhatTheDialogSays()
    {
        Dialog d;
        d.type(u"u"_s, u"p"_s, u"l"_s);
        QTest::keyClick(&d.dialog, Qt::Key_Escape);
        QTest::keyClick(d.box(u"usernameBox"_s), Qt::Key_Escape);
        QTest::keyClick(d.box(u"usernameBox"_s), Qt::Key_Return);
        QTest::keyClick(d.box(u"passwordBox"_s), Qt::Key_Return);
        QTest::keyClick(d.box(u"passwordBox"_s), Qt::Key_Enter);
        QVERIFY(d.dialog.isVisible());
        QVERIFY(d.saved.isEmpty());
        QCOMPARE(d.unloads, 0);
        QVERIFY(d.messages.shown.isEmpty());

        // Enter in the website box saves, exactly once however long it is held.
        holdKey(d.box(u"websiteBox"_s), Qt::Key_Return);
        QCOMPARE(d.saved, (QList<QStringList>{{u"add"_s, u"u"_s, u"p"_s, u"l"_s}}));
        QCOMPARE(d.unloads, 1);
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
        Dialog d;
        d.type(u"dave"_s, u"d-pass"_s, u"d.example"_s);
        PictureButton *button = d.button(save ? u"saveButton"_s : u"cancelButton"_s);
        button->setFocus();

        holdKey(button, Qt::Key(key));

        QCOMPARE(d.saved.size(), save ? 1 : 0);
        QCOMPARE(d.unloads, 1);
        QVERIFY(d.messages.shown.isEmpty());
    }

    void close_cancelOrCloseBox_handsNothingOn_data()
    {
        QTest::addColumn<bool>("byFrame");
        QTest::newRow("Cancel button") << false;
        QTest::newRow("close box") << true;
    }
    void close_cancelOrCloseBox_handsNothingOn()
    {
        QFETCH(bool, byFrame);
        Dialog d(Mode::Edit);
        d.type(u"changed"_s, u"changed"_s, u"changed"_s);
        if (byFrame) {
            QVERIFY(d.dialog.close());
        } else {
            d.button(u"cancelButton"_s)->click();
        }
        QVERIFY(d.saved.isEmpty());
        QCOMPARE(d.unloads, 1);
    }

    void save_emptyOrUnstorableField_refusesAndHandsNothingOn_data()
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
    void save_emptyOrUnstorableField_refusesAndHandsNothingOn()
    {
        QFETCH(bool, edit);
        QFETCH(QStringList, fields);
        QFETCH(QString, message);
        Dialog d(edit ? Mode::Edit : Mode::Add);
        d.type(fields[0], fields[1], fields[2]);

        // Enter in the website box runs the same checks as the Save button, once while the key is held.
        if (edit) {
            holdKey(d.box(u"websiteBox"_s), Qt::Key_Return);
        } else {
            d.button(u"saveButton"_s)->click();
        }

        QCOMPARE(d.messages.shown.size(), 1);
        QVERIFY2(d.messages.shown[0].text.startsWith(message), qPrintable(d.messages.shown[0].text));
        QCOMPARE(d.messages.shown[0].title, u"Error"_s);
        QCOMPARE(d.messages.shown[0].buttons, MessageBoxes::Buttons::Ok);
        QVERIFY(d.saved.isEmpty());
        QCOMPARE(d.unloads, 0);
        QCOMPARE(d.texts(), fields);
    }

    void save_editedEntryDeleted_saysSoAndKeepsItsText()
    {
        Dialog d(Mode::Edit);
        d.type(u"alicia"_s, u"new"_s, u"www.new.com"_s);
        d.entries.removeEntry(1);

        d.button(u"saveButton"_s)->click();

        QCOMPARE(d.messages.shown.size(), 1);
        QVERIFY(d.messages.shown[0].text.startsWith(u"The entry you were editing has been deleted"_s));
        QVERIFY(d.saved.isEmpty());
        QCOMPARE(d.unloads, 0);
        QCOMPARE(d.texts(), (QStringList{u"alicia"_s, u"new"_s, u"www.new.com"_s}));
    }
};

QTEST_MAIN(tst_EntryDialog)
#include "tst_EntryDialog.moc"
