// The master password dialog: creating the password at the first start, the three tries at later starts, every
// way out of the dialog, its messages, its two layouts, and that it keeps the main window hidden until the vault
// is unlocked.

#include "core/EntryListModel.h"
#include "core/VaultStore.h"
#include "support/AppFixture.h"
#include "support/HeldKey.h"
#include "ui/MainWindow.h"
#include "ui/PasswordDialog.h"
#include "ui/Twips.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <optional>

using namespace Qt::StringLiterals;

using Buttons = MessageBoxes::Buttons;
using Answer = MessageBoxes::Answer;
Q_DECLARE_METATYPE(MessageBoxes::Buttons)

namespace {

const QString TooShort = u"You must enter a password that is at least 4 characters long"_s;
const QString Mismatch = u"Your passwords did not match.  Please try again."_s;
const QString Wrong = u"Sorry, the password you entered was not correct."_s;
const QString ThreeTries = u"Only 3 tries allowed.  Click Ok to close."_s;
const QString AppTitle = u"Brisvane Full"_s;

// Keys for what a keyboard can send, the rest as a paste would bring it.
void type(QLineEdit *box, const QString &text)
{
    for (const QChar c : text) {
        if (c.unicode() < 0x80) {
            QTest::keyClick(box, char(c.unicode()));
        } else {
            box->insert(QString(c));
        }
    }
}

// A program between the main window's load and the unlock: the vault file as given (none: a first start), the
// main window loaded, and the dialog open in the mode that the file asks for.
class Gate final : public AppFixture {
public:
    explicit Gate(const std::optional<QByteArray> &vault = std::nullopt) : AppFixture(BeforeStart{vault})
    {
        app.loadMainWindow();
    }

    // A vault whose master password is `password`, holding the given user names (password and location derived).
    static QByteArray vaultWith(const QString &password, const QStringList &users = {})
    {
        Rows rows;
        for (const QString &u : users) {
            rows.append({u, u + u"-pw"_s, u + u".example"_s});
        }
        return vaultFor(rows, password);
    }

    PasswordDialog *dialog() const { return app.passwordDialog.get(); }
    bool createMode() const { return dialog()->mode() == PasswordDialog::Mode::Create; }
    QStringList users()
    {
        QStringList out;
        for (const QStringList &row : rows()) {
            out.append(row[0]);
        }
        return out;
    }
    // How often the start was finished: each finish reads the help window's start-up setting once.
    qsizetype startsFinished()
    {
        return fake.settings.reads.count(app.publisher().productName + u"/Settings/showHelp"_s);
    }

    // Types into the boxes as a user would, then clicks Ok.
    void submit(const QString &first, const QString &second = {})
    {
        PasswordDialog *d = dialog();
        d->passwordBox->clear();
        type(d->passwordBox, first);
        if (d->retypeBox->isVisible()) {
            d->retypeBox->clear();
            type(d->retypeBox, second);
        }
        QTest::mouseClick(d->okButton, Qt::LeftButton);
    }
};

} // namespace

class tst_PasswordDialog : public QObject {
    Q_OBJECT

private slots:
    void messages_haveTheirTextsTitlesAndButtons_data()
    {
        QTest::addColumn<bool>("create");
        QTest::addColumn<QStringList>("typed"); // each Ok: first box, then the second box in create mode
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("title");
        QTest::addColumn<Buttons>("buttons");
        QTest::newRow("too short") << true << QStringList{u"abc"_s, u"abc"_s} << TooShort << AppTitle << Buttons::Ok;
        QTest::newRow("no match") << true << QStringList{u"abcd"_s, u"abce"_s} << Mismatch << AppTitle << Buttons::Ok;
        QTest::newRow("wrong password") << false << QStringList{u"nope"_s} << Wrong << u"Incorrect Password"_s
                                        << Buttons::RetryCancel;
        QTest::newRow("third wrong password")
            << false << QStringList{u"one"_s, u"two"_s, u"three"_s} << ThreeTries << AppTitle << Buttons::Ok;
    }
    void messages_haveTheirTextsTitlesAndButtons()
    {
        QFETCH(bool, create);
        QFETCH(QStringList, typed);
        QFETCH(QString, text);
        QFETCH(QString, title);
        QFETCH(Buttons, buttons);
        Gate g(create ? std::nullopt : std::optional(Gate::vaultWith(u"secret"_s)));
        QCOMPARE(g.createMode(), create);
        if (create) {
            g.submit(typed[0], typed[1]);
        } else {
            for (const QString &t : typed) {
                g.submit(t);
            }
        }
        QVERIFY(!g.fake.messages.shown.isEmpty());
        const FakeMessageBoxes::Shown &last = g.fake.messages.shown.last();
        QCOMPARE(last.text, text);
        QCOMPARE(last.title, title);
        QCOMPARE(last.buttons, buttons);
    }

    void create_firstFieldTooShort_keepsBothFields_data()
    {
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("second");
        QTest::newRow("same three characters") << u"abc"_s << u"abc"_s;
        QTest::newRow("both empty") << QString() << QString();
        QTest::newRow("only the second is long enough") << u"ab"_s << u"abcdef"_s;
        QTest::newRow("three characters beyond ASCII") << u"€é§"_s << u"€é§"_s;
    }
    void create_firstFieldTooShort_keepsBothFields()
    {
        QFETCH(QString, first);
        QFETCH(QString, second);
        Gate g;
        g.submit(first, second);
        QCOMPARE(g.messageTexts(), QStringList{TooShort});
        QCOMPARE(g.dialog()->passwordBox->text(), first);
        QCOMPARE(g.dialog()->retypeBox->text(), second);
        QCOMPARE(g.vaultBytes(), QByteArray("\r\n"));
        QVERIFY(g.app.store().masterPassword().isEmpty());
        QCOMPARE(g.fake.end.ends, 0);
    }

    void create_fieldsDiffer_emptiesBothFields_data()
    {
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("second");
        QTest::newRow("last character differs") << u"abcd"_s << u"abce"_s;
        QTest::newRow("letter case differs") << u"abcd"_s << u"abcD"_s;
        QTest::newRow("second empty") << u"abcd"_s << QString();
        QTest::newRow("second longer") << u"abcd"_s << u"abcde"_s;
        QTest::newRow("trailing blank") << u"abcd"_s << u"abcd "_s;
    }
    void create_fieldsDiffer_emptiesBothFields()
    {
        QFETCH(QString, first);
        QFETCH(QString, second);
        Gate g;
        g.submit(first, second);
        QCOMPARE(g.messageTexts(), QStringList{Mismatch});
        QCOMPARE(g.dialog()->passwordBox->text(), QString());
        QCOMPARE(g.dialog()->retypeBox->text(), QString());
        QCOMPARE(g.vaultBytes(), QByteArray("\r\n"));
        QCOMPARE(g.fake.end.ends, 0);
    }

    void create_enterInEitherBox_runsOkOnce_data()
    {
        QTest::addColumn<bool>("inSecondBox");
        QTest::addColumn<int>("key");
        QTest::newRow("Return in the first box") << false << int(Qt::Key_Return);
        QTest::newRow("keypad Enter in the first box") << false << int(Qt::Key_Enter);
        QTest::newRow("Return in the second box") << true << int(Qt::Key_Return);
    }
    void create_enterInEitherBox_runsOkOnce()
    {
        QFETCH(bool, inSecondBox);
        QFETCH(int, key);
        Gate g;
        g.dialog()->show();
        QTest::keyClicks(g.dialog()->passwordBox, u"abcd"_s);
        holdKey(inSecondBox ? g.dialog()->retypeBox : g.dialog()->passwordBox, Qt::Key(key));
        QCOMPARE(g.messageTexts(), QStringList{Mismatch});
        QCOMPARE(g.dialog()->passwordBox->text(), QString());
    }

    void create_messagesAreNotHiddenBehindTheTopmostDialog()
    {
        Gate g;
        QList<bool> topmostDuringMessage;
        g.fake.messages.onShow = [&](const FakeMessageBoxes::Shown &) {
            topmostDuringMessage.append(g.dialog()->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        };
        QVERIFY(g.dialog()->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        g.submit(u"abc"_s, u"abc"_s);
        g.submit(u"abcd"_s, u"abcx"_s);
        QCOMPARE(topmostDuringMessage, (QList<bool>{false, false}));
        QVERIFY(g.dialog()->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QVERIFY(g.dialog()->isVisible());
    }

    void create_samePasswordTwice_writesItAndStarts_data()
    {
        QTest::addColumn<QString>("password");
        QTest::addColumn<QByteArray>("file");
        QTest::newRow("four letters") << u"abcd"_s << QByteArray::fromHex("e1e2e3e4 0d0a");
        QTest::newRow("Western European characters") << u"pä€ß"_s << QByteArray::fromHex("f064005f 0d0a");
        QTest::newRow("markup stays text") << u"<b>x"_s << QByteArray::fromHex("bce2bef8 0d0a");
        QTest::newRow("bars are allowed in line 1") << u"a|||b|"_s << QByteArray::fromHex("e1fcfcfce2fc 0d0a");
    }
    void create_samePasswordTwice_writesItAndStarts()
    {
        QFETCH(QString, password);
        QFETCH(QByteArray, file);
        Gate g;
        QPointer<PasswordDialog> dialog = g.dialog();
        g.submit(password, password);
        QVERIFY(g.fake.messages.shown.isEmpty());
        QCOMPARE(g.vaultBytes(), file);
        QCOMPARE(g.main().statusText(), u"Password created successfully"_s);
        QCOMPARE(g.app.entries().rowCount(), 0);
        QCOMPARE(g.app.store().masterPassword(), password);
        QCOMPARE(g.startsFinished(), 1); // the start was finished once
        QVERIFY(g.main().isVisible());
        QVERIFY(!g.app.passwordDialog.isLoaded());
        QVERIFY(!dialog || !dialog->hideTimer->isActive());
        QCOMPARE(g.fake.end.ends, 0);
    }

    void create_emptyFirstLineWithEntries_keepsThem()
    {
        const QByteArray vault = Gate::vaultWith(QString(), {u"ann"_s, u"bob"_s});
        Gate g(vault);
        QVERIFY(g.createMode());
        g.submit(u"abcd"_s, u"abcd"_s);
        QCOMPARE(g.users(), (QStringList{u"ann"_s, u"bob"_s}));
        QCOMPARE(g.vaultBytes(), Gate::vaultWith(u"abcd"_s, {u"ann"_s, u"bob"_s}));
    }

    void create_passwordTheFileCannotHold_isRefused_data()
    {
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("cause");
        QTest::newRow("Chinese character") << u"abcd中"_s << u"\"中\""_s;
        QTest::newRow("emoji") << u"abcd😀"_s << u"\"😀\""_s;
        QTest::newRow("control character U+008D") << u"ab\u008Dcd"_s << u"U+008D"_s;
        // A paste brings a line break into the box, and the box keeps it.
        QTest::newRow("line feed") << u"abcd\nefgh"_s << u"line break"_s;
        QTest::newRow("carriage return") << u"abcd\r"_s << u"line break"_s;
    }
    void create_passwordTheFileCannotHold_isRefused()
    {
        QFETCH(QString, password);
        QFETCH(QString, cause);
        Gate g;
        g.dialog()->passwordBox->setText(password);
        g.dialog()->retypeBox->setText(password);
        g.dialog()->confirm();
        QCOMPARE(g.fake.messages.shown.size(), 1);
        const FakeMessageBoxes::Shown &m = g.fake.messages.shown.first();
        QVERIFY2(m.text.startsWith(u"The master password"_s) && m.text.contains(cause), qPrintable(m.text));
        QCOMPARE(m.title, AppTitle);
        QCOMPARE(m.buttons, Buttons::Ok);
        QCOMPARE(g.vaultBytes(), QByteArray("\r\n"));
        QVERIFY(g.app.store().masterPassword().isEmpty());
        QVERIFY(g.app.passwordDialog.isLoaded());
        QVERIFY(g.dialog()->hideTimer->isActive());
        QCOMPARE(g.fake.end.ends, 0);
    }

    void enter_wrongPassword_isRefused_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("typed");
        QTest::newRow("letter case differs") << u"Secret"_s << u"secret"_s;
        QTest::newRow("empty") << u"Secret"_s << QString();
        QTest::newRow("prefix of the stored one") << u"Secret"_s << u"Secre"_s;
        QTest::newRow("trailing blank") << u"Secret"_s << u"Secret "_s;
        QTest::newRow("accent missing") << u"pässe"_s << u"passe"_s;
    }
    void enter_wrongPassword_isRefused()
    {
        QFETCH(QString, stored);
        QFETCH(QString, typed);
        const QByteArray vault = Gate::vaultWith(stored, {u"ann"_s});
        Gate g(vault);
        QList<bool> topmostDuringMessage;
        g.fake.messages.onShow = [&](const FakeMessageBoxes::Shown &) {
            topmostDuringMessage.append(g.dialog()->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        };
        g.submit(typed);
        QCOMPARE(g.messageTexts(), QStringList{Wrong});
        QCOMPARE(topmostDuringMessage, QList<bool>{true});
        QCOMPARE(g.dialog()->failedTries(), 1);
        QCOMPARE(g.dialog()->passwordBox->text(), QString());
        QCOMPARE(g.app.entries().rowCount(), 0);
        QVERIFY(g.app.store().masterPassword().isEmpty());
        QCOMPARE(g.vaultBytes(), vault);
        QCOMPARE(g.fake.end.ends, 0);
    }

    void enter_rightPassword_unlocks_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QStringList>("users");
        QTest::newRow("three entries in file order") << u"Secret"_s << QStringList{u"zed"_s, u"amy"_s, u"Bob"_s};
        QTest::newRow("no entries") << u"Secret"_s << QStringList{};
        QTest::newRow("one entry") << u"x"_s << QStringList{u"solo"_s};
        QTest::newRow("Western European password") << u"pässwörd€"_s << QStringList{u"ann"_s};
        QTest::newRow("markup in the password") << u"<b>x</b>"_s << QStringList{u"ann"_s};
    }
    void enter_rightPassword_unlocks()
    {
        QFETCH(QString, stored);
        QFETCH(QStringList, users);
        const QByteArray vault = Gate::vaultWith(stored, users);
        Gate g(vault);
        g.submit(stored);
        QVERIFY(g.fake.messages.shown.isEmpty());
        QCOMPARE(g.users(), users);
        QCOMPARE(g.main().statusText(), u"Loaded %1 entries"_s.arg(users.size()));
        QCOMPARE(g.app.store().masterPassword(), stored);
        QCOMPARE(g.startsFinished(), 1);
        QVERIFY(g.main().isVisible());
        QVERIFY(!g.app.passwordDialog.isLoaded());
        QCOMPARE(g.vaultBytes(), vault);
        QCOMPARE(g.fake.end.ends, 0);
    }

    void enter_twoWrongThenRight_unlocks()
    {
        const QByteArray vault = Gate::vaultWith(u"Secret"_s, {u"ann"_s, u"bob"_s});
        Gate g(vault);
        g.submit(u"one"_s);
        g.submit(u"two"_s);
        QCOMPARE(g.dialog()->failedTries(), 2);
        g.submit(u"Secret"_s);
        QCOMPARE(g.messageTexts(), (QStringList{Wrong, Wrong}));
        QCOMPARE(g.main().statusText(), u"Loaded 2 entries"_s);
        QCOMPARE(g.users(), (QStringList{u"ann"_s, u"bob"_s}));
        QCOMPARE(g.fake.end.ends, 0);
    }

    void enter_threeWrongWithRetry_endsAndLeavesTheFile()
    {
        const QByteArray vault = Gate::vaultWith(u"Secret"_s, {u"ann"_s});
        Gate g(vault);
        g.submit(u"one"_s);
        g.submit(u"two"_s);
        QCOMPARE(g.fake.end.ends, 0);
        g.submit(u"three"_s);
        QCOMPARE(g.messageTexts(), (QStringList{Wrong, Wrong, Wrong, ThreeTries}));
        QCOMPARE(g.fake.end.ends, 1);
        QVERIFY(!g.dialog()->hideTimer->isActive());
        QCOMPARE(g.vaultBytes(), vault);
        QCOMPARE(g.app.entries().rowCount(), 0);
        QVERIFY(g.app.store().masterPassword().isEmpty());
    }

    void enter_wrongThenCancel_endsWithoutAnotherMessage()
    {
        const QByteArray vault = Gate::vaultWith(u"Secret"_s, {u"ann"_s});
        Gate g(vault);
        g.fake.messages.answers = {Answer::Cancel};
        g.submit(u"nope"_s);
        QCOMPARE(g.messageTexts(), QStringList{Wrong});
        QCOMPARE(g.fake.end.ends, 1);
        QVERIFY(!g.dialog()->hideTimer->isActive());
        QCOMPARE(g.vaultBytes(), vault);
    }

    void anyMode_cancelOrCloseBox_endsProgram_data()
    {
        QTest::addColumn<bool>("create");
        QTest::addColumn<bool>("closeBox");
        QTest::newRow("create mode, Cancel") << true << false;
        QTest::newRow("create mode, close box") << true << true;
        QTest::newRow("enter mode, Cancel") << false << false;
        QTest::newRow("enter mode, close box") << false << true;
    }
    void anyMode_cancelOrCloseBox_endsProgram()
    {
        QFETCH(bool, create);
        QFETCH(bool, closeBox);
        const QByteArray vault = create ? QByteArray("\r\n") : Gate::vaultWith(u"Secret"_s, {u"ann"_s});
        Gate g(vault);
        g.dialog()->show();
        QTest::keyClicks(g.dialog()->passwordBox, u"Secret"_s);
        if (closeBox) {
            g.dialog()->close();
        } else {
            QTest::mouseClick(g.dialog()->cancelButton, Qt::LeftButton);
        }
        QCOMPARE(g.fake.end.ends, 1);
        QVERIFY(g.fake.messages.shown.isEmpty());
        QCOMPARE(g.vaultBytes(), vault);
        QCOMPARE(g.app.entries().rowCount(), 0);
    }

    // Neither button is the window's default; Enter presses the one that has the focus, once while it is held.
    void anyMode_enterOnOkOrCancel_pressesItOnce_data()
    {
        QTest::addColumn<bool>("create");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<int>("key");
        QTest::newRow("enter mode, Ok, Return") << false << true << int(Qt::Key_Return);
        QTest::newRow("enter mode, Ok, keypad Enter") << false << true << int(Qt::Key_Enter);
        QTest::newRow("enter mode, Cancel, Return") << false << false << int(Qt::Key_Return);
        QTest::newRow("create mode, Ok, keypad Enter") << true << true << int(Qt::Key_Enter);
        QTest::newRow("create mode, Cancel, keypad Enter") << true << false << int(Qt::Key_Enter);
    }
    void anyMode_enterOnOkOrCancel_pressesItOnce()
    {
        QFETCH(bool, create);
        QFETCH(bool, ok);
        QFETCH(int, key);
        const QByteArray vault = create ? QByteArray("\r\n") : Gate::vaultWith(u"Secret"_s, {u"ann"_s});
        Gate g(vault);
        g.dialog()->show();
        type(g.dialog()->passwordBox, u"Secret"_s);
        if (create) {
            type(g.dialog()->retypeBox, u"Secret"_s);
        }
        QPushButton *button = ok ? g.dialog()->okButton : g.dialog()->cancelButton;
        button->setFocus();

        holdKey(button, Qt::Key(key));

        QVERIFY(!button->isDefault() && !button->autoDefault());
        QVERIFY(g.fake.messages.shown.isEmpty());
        QCOMPARE(g.fake.end.ends, ok ? 0 : 1);
        QCOMPARE(g.startsFinished(), ok ? 1 : 0);
        // Creating writes the password line alone.
        QCOMPARE(g.vaultBytes(), ok && create ? Gate::vaultWith(u"Secret"_s).chopped(2) : vault);
    }

    void anyMode_escape_doesNothing_data()
    {
        QTest::addColumn<bool>("create");
        QTest::newRow("create mode") << true;
        QTest::newRow("enter mode") << false;
    }
    void anyMode_escape_doesNothing()
    {
        QFETCH(bool, create);
        Gate g(create ? std::nullopt : std::optional(Gate::vaultWith(u"Secret"_s)));
        g.dialog()->show();
        QTest::keyClicks(g.dialog()->passwordBox, u"typed"_s);
        QTest::keyClick(g.dialog()->passwordBox, Qt::Key_Escape);
        QTest::keyClick(g.dialog(), Qt::Key_Escape);
        QVERIFY(g.dialog()->isVisible());
        QCOMPARE(g.dialog()->passwordBox->text(), u"typed"_s);
        QVERIFY(g.fake.messages.shown.isEmpty());
        QCOMPARE(g.fake.end.ends, 0);
    }

    void createMode_layoutAndText()
    {
        Gate g;
        PasswordDialog *d = g.dialog();
        QCOMPARE(d->windowTitle(), u"Password Required"_s);
        QCOMPARE(d->promptLabel->text(),
                 u"Because this is the first time you have used Brisvane, you will need to create a master password.  "
                 u"This password will be required to open the program from now on, and can not be reset.\r\n\r\n"
                 u"Please enter a password that you will not forget."_s);
        QCOMPARE(d->promptLabel->textFormat(), Qt::PlainText);
        QVERIFY(d->promptLabel->wordWrap());
        QCOMPARE(d->promptLabel->height(), Twips::toPixels(1500));
        QCOMPARE(d->passwordBox->y(), Twips::toPixels(1700));
        QCOMPARE(d->retypeBox->y(), Twips::toPixels(2075));
        QCOMPARE(d->okButton->y(), Twips::toPixels(2450));
        QCOMPARE(d->cancelButton->y(), Twips::toPixels(2450));
        QCOMPARE(d->passwordLabel->y(), d->passwordBox->y());
        QCOMPARE(d->retypeLabel->y(), d->retypeBox->y());
        QVERIFY(!d->retypeBox->isHidden());
        QVERIFY(!d->retypeLabel->isHidden());
        QCOMPARE(d->outerHeightTwips(), 3505);
        QCOMPARE(d->height(), Twips::toPixels(3505 - PasswordDialog::FrameTwips));
        QCOMPARE(d->width(), Twips::toPixels(6825));
        QCOMPARE(d->minimumSize(), d->maximumSize());
    }

    void enterMode_layoutAndText()
    {
        Gate g(Gate::vaultWith(u"Secret"_s));
        PasswordDialog *d = g.dialog();
        QCOMPARE(d->promptLabel->text(), u"Please enter your password"_s);
        QCOMPARE(d->promptLabel->height(), Twips::toPixels(315));
        QCOMPARE(d->passwordBox->y(), Twips::toPixels(360));
        QCOMPARE(d->okButton->y(), Twips::toPixels(780));
        QCOMPARE(d->cancelButton->y(), Twips::toPixels(780));
        QCOMPARE(d->passwordLabel->y(), d->passwordBox->y());
        QVERIFY(d->retypeBox->isHidden());
        QVERIFY(d->retypeLabel->isHidden());
        QCOMPARE(d->outerHeightTwips(), 1845);
        QCOMPARE(d->height(), Twips::toPixels(1845 - PasswordDialog::FrameTwips));
        QCOMPARE(d->width(), Twips::toPixels(6825));
    }

    void anyMode_designPositionsAndFrame_data()
    {
        QTest::addColumn<bool>("create");
        QTest::newRow("create mode") << true;
        QTest::newRow("enter mode") << false;
    }
    void anyMode_designPositionsAndFrame()
    {
        QFETCH(bool, create);
        Gate g(create ? std::nullopt : std::optional(Gate::vaultWith(u"Secret"_s)));
        PasswordDialog *d = g.dialog();
        QCOMPARE(d->passwordBox->geometry().x(), Twips::toPixels(1740));
        QCOMPARE(d->passwordBox->width(), Twips::toPixels(4995));
        QCOMPARE(d->okButton->x(), Twips::toPixels(4500));
        QCOMPARE(d->cancelButton->x(), Twips::toPixels(5700));
        QCOMPARE(d->okButton->text(), u"Ok"_s);
        QCOMPARE(d->cancelButton->text(), u"Cancel"_s);
        QCOMPARE(d->passwordLabel->text(), u"Password:"_s);
        QVERIFY(!d->okButton->isDefault() && !d->okButton->autoDefault());
        QVERIFY(!d->cancelButton->isDefault() && !d->cancelButton->autoDefault());
        const Qt::WindowFlags flags = d->windowFlags();
        QVERIFY(flags.testFlag(Qt::WindowCloseButtonHint));
        QVERIFY(!flags.testFlag(Qt::WindowMinimizeButtonHint));
        QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
        QVERIFY(flags.testFlag(Qt::WindowStaysOnTopHint));
        QVERIFY(!d->isModal());
        QVERIFY(d->isVisible());
        QCOMPARE(d->parentWidget(), nullptr);
        for (QWidget *w :
             std::initializer_list<QWidget *>{d, d->passwordBox, d->retypeBox, d->okButton, d->cancelButton}) {
            QVERIFY2(!w->objectName().isEmpty() && !w->accessibleName().isEmpty(), qPrintable(w->objectName()));
        }
    }

    void anyMode_focusStartsOnFirstFocusableControlInTabOrder()
    {
        Gate g(Gate::vaultWith(u"Secret"_s));
        PasswordDialog *d = g.dialog();
        d->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(d));
        // The prompt comes first in tab order but takes no focus; Ok is next.
        QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget *>(d->okButton));
        QCOMPARE(d->okButton->nextInFocusChain(), static_cast<QWidget *>(d->cancelButton));
        QCOMPARE(d->cancelButton->nextInFocusChain(), static_cast<QWidget *>(d->passwordBox));
    }

    void passwordBoxes_showAnAsteriskPerCharacter()
    {
        Gate g;
        for (QLineEdit *box : {g.dialog()->passwordBox, g.dialog()->retypeBox}) {
            type(box, u"ab€d"_s);
            QCOMPARE(box->text(), u"ab€d"_s);
            QCOMPARE(box->displayText(), u"****"_s);
        }
    }

    void timer_hidesTheMainWindowUntilTheUnlock()
    {
        const QByteArray vault = Gate::vaultWith(u"Secret"_s, {u"ann"_s});
        Gate g(vault);
        PasswordDialog *d = g.dialog();
        QCOMPARE(d->hideTimer->interval(), 100);
        QVERIFY(d->hideTimer->isActive());
        // The splash shows the main window right after its load; the dialog hides it again.
        g.main().show();
        QTRY_VERIFY_WITH_TIMEOUT(!g.main().isVisible(), 1000);
        g.submit(u"Secret"_s);
        QVERIFY(g.main().isVisible());
        QTest::qWait(300);
        QVERIFY(g.main().isVisible());
    }
};

QTEST_MAIN(tst_PasswordDialog)
#include "tst_PasswordDialog.moc"
