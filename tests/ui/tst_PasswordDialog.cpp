// The master password dialog on its own: its two layouts, tab order and keys, the checks of a new password and
// their messages, the three-tries rule, what it hands on, and that its timer keeps the main window hidden.

#include "core/PublisherSettings.h"
#include "support/FakePlatform.h"
#include "support/HeldKey.h"
#include "support/Widgets.h"
#include "ui/PasswordDialog.h"
#include "ui/Twips.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;

using Buttons = MessageBoxes::Buttons;
using Answer = MessageBoxes::Answer;
using Mode = PasswordDialog::Mode;

namespace {

const QString TooShort = u"You must enter a password that is at least 4 characters long"_s;
const QString Mismatch = u"Your passwords did not match.  Please try again."_s;
const QString Wrong = u"Sorry, the password you entered was not correct."_s;
const QString ThreeTries = u"Only 3 tries allowed.  Click Ok to close."_s;
const QString AppTitle = u"Brisvane Full"_s;

// Keys for what a keyboard can send, the rest as a paste would bring it.
void type(QLineEdit *box, const QString &text)
{
    box->clear();
    for (const QChar c : text) {
        if (c.unicode() >= 0x20 && c.unicode() < 0x80) {
            QTest::keyClick(box, char(c.unicode()));
        } else {
            box->insert(QString(c));
        }
    }
}

// The dialog as the program opens it, on fake platform operations, with a stand-in for the main window.
struct Gate {
    explicit Gate(Mode mode) : dialog(mode, fake.messages, publisher, &mainWindow) { dialog.show(); }

    QLineEdit *box(const QString &name) const { return child<QLineEdit>(&dialog, name); }
    QTimer *hideTimer() const { return child<QTimer>(&dialog, u"hideTimer"_s); }
    bool topmost() const { return dialog.windowFlags().testFlag(Qt::WindowStaysOnTopHint); }
    // Types into the boxes as a user would (the second one only in create mode), then clicks Ok.
    void submit(const QString &first, const QString &second = {})
    {
        type(box(u"passwordBox"_s), first);
        if (!box(u"retypeBox"_s)->isHidden()) {
            type(box(u"retypeBox"_s), second);
        }
        QTest::mouseClick(child<QPushButton>(&dialog, u"okButton"_s), Qt::LeftButton);
    }
    FakePlatform fake;
    const PublisherSettings publisher = PublisherSettings::fromBuild();
    QWidget mainWindow;
    PasswordDialog dialog;
    QSignalSpy created{&dialog, &PasswordDialog::passwordCreated};
    QSignalSpy entered{&dialog, &PasswordDialog::passwordEntered};
    QSignalSpy cancelled{&dialog, &PasswordDialog::cancelled};
};

} // namespace

class tst_PasswordDialog : public QObject {
    Q_OBJECT

private slots:
    void anyMode_layoutInTwipsAndTabOrder_data()
    {
        QTest::addColumn<bool>("create");
        QTest::addColumn<QString>("prompt");
        QTest::addColumn<int>("promptHeight");
        QTest::addColumn<int>("passwordTop");
        QTest::addColumn<int>("retypeTop"); // 0: the second box and its label are hidden
        QTest::addColumn<int>("buttonsTop");
        QTest::addColumn<int>("outerHeight");
        QTest::newRow("create mode")
            << true
            << u"Because this is the first time you have used Brisvane, you will need to create a master password.  "
               u"This password will be required to open the program from now on, and can not be reset.\r\n\r\n"
               u"Please enter a password that you will not forget."_s
            << 1500 << 1700 << 2075 << 2450 << 3505;
        QTest::newRow("enter mode") << false << u"Please enter your password"_s << 315 << 360 << 0 << 780 << 1845;
    }
    void anyMode_layoutInTwipsAndTabOrder()
    {
        QFETCH(bool, create);
        QFETCH(QString, prompt);
        QFETCH(int, promptHeight);
        QFETCH(int, passwordTop);
        QFETCH(int, retypeTop);
        QFETCH(int, buttonsTop);
        QFETCH(int, outerHeight);
        Gate g(create ? Mode::Create : Mode::Enter);
        PasswordDialog &d = g.dialog;
        auto *promptLabel = child<QLabel>(&d, u"promptLabel"_s);
        auto *passwordLabel = child<QLabel>(&d, u"passwordLabel"_s);
        auto *retypeLabel = child<QLabel>(&d, u"retypeLabel"_s);
        auto *okButton = child<QPushButton>(&d, u"okButton"_s);
        auto *cancelButton = child<QPushButton>(&d, u"cancelButton"_s);
        QLineEdit *passwordBox = g.box(u"passwordBox"_s);
        QLineEdit *retypeBox = g.box(u"retypeBox"_s);
        QCOMPARE(d.windowTitle(), u"Password Required"_s);
        QVERIFY(!d.windowIcon().availableSizes().isEmpty()); // the program's, before the main window sets it
        QCOMPARE(promptLabel->text(), prompt);
        QCOMPARE(promptLabel->textFormat(), Qt::PlainText);
        QVERIFY(promptLabel->wordWrap());
        QCOMPARE(promptLabel->height(), Twips::toPixels(promptHeight));
        QCOMPARE(passwordBox->geometry(), Twips::rect(1740, passwordTop, 4995, 315));
        QCOMPARE(okButton->pos(), Twips::rect(4500, buttonsTop, 0, 0).topLeft());
        QCOMPARE(cancelButton->pos(), Twips::rect(5700, buttonsTop, 0, 0).topLeft());
        QCOMPARE(passwordLabel->y(), passwordBox->y());
        QCOMPARE(retypeBox->isHidden(), retypeTop == 0);
        QCOMPARE(retypeLabel->isHidden(), retypeTop == 0);
        if (retypeTop != 0) {
            QCOMPARE(retypeBox->y(), Twips::toPixels(retypeTop));
            QCOMPARE(retypeLabel->y(), retypeBox->y());
        }
        QCOMPARE(d.height(), Twips::toPixels(outerHeight - PasswordDialog::FrameTwips));
        QCOMPARE(d.width(), Twips::toPixels(6825));
        QCOMPARE(d.minimumSize(), d.maximumSize());
        QCOMPARE(okButton->text(), u"Ok"_s);
        QCOMPARE(cancelButton->text(), u"Cancel"_s);
        QCOMPARE(passwordLabel->text(), u"Password:"_s);
        QVERIFY(!okButton->isDefault() && !okButton->autoDefault());
        QVERIFY(!cancelButton->isDefault() && !cancelButton->autoDefault());
        const Qt::WindowFlags flags = d.windowFlags();
        QVERIFY(flags.testFlag(Qt::WindowCloseButtonHint));
        QVERIFY(!flags.testFlag(Qt::WindowMinimizeButtonHint));
        QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
        QVERIFY(g.topmost());
        QVERIFY(!d.isModal());
        for (QWidget *w : std::initializer_list<QWidget *>{&d, passwordBox, retypeBox, okButton, cancelButton}) {
            QVERIFY2(!w->objectName().isEmpty() && !w->accessibleName().isEmpty(), qPrintable(w->objectName()));
        }
        d.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&d));
        // The prompt comes first in tab order but takes no focus; Ok is next.
        QTRY_COMPARE(QApplication::focusWidget(), okButton);
        QCOMPARE(okButton->nextInFocusChain(), cancelButton);
        QCOMPARE(cancelButton->nextInFocusChain(), passwordBox);
    }

    void passwordBoxes_showAnAsteriskPerCharacter()
    {
        Gate g(Mode::Create);
        for (const QString &name : {u"passwordBox"_s, u"retypeBox"_s}) {
            type(g.box(name), u"ab€d"_s);
            QCOMPARE(g.box(name)->text(), u"ab€d"_s);
            QCOMPARE(g.box(name)->displayText(), u"****"_s);
        }
    }

    // Enter in a box runs Ok; on a button, neither being the window's default, it presses that one. Held down, it
    // acts once. Escape does nothing, in a box or on the window.
    void anyMode_keys_enterActsOncePerStrokeEscapeNothing_data()
    {
        QTest::addColumn<bool>("create");
        QTest::addColumn<QString>("control"); // empty: the window itself
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("outcome");
        const QString handedOn = u"handed on"_s, cancelled = u"cancelled"_s, nothing = u"nothing"_s;
        const auto row = [](const char *name, bool create, const QString &control, Qt::Key key,
                            const QString &outcome) {
            QTest::newRow(name) << create << control << int(key) << outcome;
        };
        row("create mode, Return in the first box", true, u"passwordBox"_s, Qt::Key_Return, handedOn);
        row("create mode, keypad Enter in the first box", true, u"passwordBox"_s, Qt::Key_Enter, handedOn);
        row("create mode, Return in the second box", true, u"retypeBox"_s, Qt::Key_Return, handedOn);
        row("create mode, keypad Enter on Ok", true, u"okButton"_s, Qt::Key_Enter, handedOn);
        row("create mode, keypad Enter on Cancel", true, u"cancelButton"_s, Qt::Key_Enter, cancelled);
        row("create mode, Escape in the box", true, u"passwordBox"_s, Qt::Key_Escape, nothing);
        row("create mode, Escape on the window", true, {}, Qt::Key_Escape, nothing);
        row("enter mode, Return in the box", false, u"passwordBox"_s, Qt::Key_Return, handedOn);
        row("enter mode, Return on Ok", false, u"okButton"_s, Qt::Key_Return, handedOn);
        row("enter mode, keypad Enter on Ok", false, u"okButton"_s, Qt::Key_Enter, handedOn);
        row("enter mode, Return on Cancel", false, u"cancelButton"_s, Qt::Key_Return, cancelled);
        row("enter mode, Escape in the box", false, u"passwordBox"_s, Qt::Key_Escape, nothing);
        row("enter mode, Escape on the window", false, {}, Qt::Key_Escape, nothing);
    }
    void anyMode_keys_enterActsOncePerStrokeEscapeNothing()
    {
        QFETCH(bool, create);
        QFETCH(QString, control);
        QFETCH(int, key);
        QFETCH(QString, outcome);
        Gate g(create ? Mode::Create : Mode::Enter);
        type(g.box(u"passwordBox"_s), u"Secret"_s);
        type(g.box(u"retypeBox"_s), create ? u"Secret"_s : QString());
        QWidget *target = control.isEmpty() ? &g.dialog : child<QWidget>(&g.dialog, control);
        target->setFocus();

        holdKey(target, Qt::Key(key));

        QSignalSpy &handedOn = create ? g.created : g.entered;
        QCOMPARE(handedOn.size(), outcome == u"handed on"_s ? 1 : 0);
        QVERIFY(handedOn.isEmpty() || handedOn.first().first().toString() == u"Secret"_s);
        QCOMPARE(g.cancelled.size(), outcome == u"cancelled"_s ? 1 : 0);
        QVERIFY(g.fake.messages.shown.isEmpty());
        QVERIFY(g.dialog.isVisible());
        QCOMPARE(g.box(u"passwordBox"_s)->text(), u"Secret"_s);
        // Stopped once a password or the cancel is handed on: what comes next shows the main window or ends.
        QCOMPARE(g.hideTimer()->isActive(), outcome == u"nothing"_s);
    }

    // A new password is refused with a message above the dialog, which is topmost again afterwards: too short, the
    // two boxes differ (both are emptied), or the vault file could not hold it.
    void create_refusedPassword_saysWhyAndHandsNothingOn_data()
    {
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("second");
        QTest::addColumn<QString>("says"); // the whole message, or how it begins when `naming` is given
        QTest::addColumn<bool>("kept");
        QTest::addColumn<QString>("naming");
        const auto row = [](const char *name, const QString &first, const QString &second, const QString &says,
                            bool kept, const QString &naming = {}) {
            QTest::newRow(name) << first << second << says << kept << naming;
        };
        row("too short: same three characters", u"abc"_s, u"abc"_s, TooShort, true);
        row("too short: both empty", {}, {}, TooShort, true);
        row("too short: only the second is long enough", u"ab"_s, u"abcdef"_s, TooShort, true);
        row("too short: three characters beyond ASCII", u"€é§"_s, u"€é§"_s, TooShort, true);
        row("differ: last character", u"abcd"_s, u"abce"_s, Mismatch, false);
        row("differ: letter case", u"abcd"_s, u"abcD"_s, Mismatch, false);
        row("differ: second empty", u"abcd"_s, {}, Mismatch, false);
        row("differ: second longer", u"abcd"_s, u"abcde"_s, Mismatch, false);
        row("differ: trailing blank", u"abcd"_s, u"abcd "_s, Mismatch, false);
        const QString cannotHold = u"The master password"_s;
        row("cannot hold: Chinese character", u"abcd中"_s, u"abcd中"_s, cannotHold, true, u"\"中\""_s);
        row("cannot hold: emoji", u"abcd😀"_s, u"abcd😀"_s, cannotHold, true, u"\"😀\""_s);
        row("cannot hold: control character U+008D", u"ab\u008Dcd"_s, u"ab\u008Dcd"_s, cannotHold, true, u"U+008D"_s);
        // A paste brings a line break into the box, and the box keeps it.
        row("cannot hold: line feed", u"abcd\nefgh"_s, u"abcd\nefgh"_s, cannotHold, true, u"line break"_s);
        row("cannot hold: carriage return", u"abcd\r"_s, u"abcd\r"_s, cannotHold, true, u"line break"_s);
    }
    void create_refusedPassword_saysWhyAndHandsNothingOn()
    {
        QFETCH(QString, first);
        QFETCH(QString, second);
        QFETCH(QString, says);
        QFETCH(bool, kept);
        QFETCH(QString, naming);
        Gate g(Mode::Create);
        QList<bool> topmostDuringMessage;
        g.fake.messages.onShow = [&](const FakeMessageBoxes::Shown &) { topmostDuringMessage.append(g.topmost()); };
        // Off and on top again without ever leaving the screen: a window mapped anew need not get the keyboard back.
        const EventCount hidden(&g.dialog, QEvent::Hide);

        g.submit(first, second);

        QCOMPARE(g.fake.messages.shown.size(), 1);
        const FakeMessageBoxes::Shown &m = g.fake.messages.shown.first();
        QVERIFY2(naming.isEmpty() ? m.text == says : m.text.startsWith(says) && m.text.contains(naming),
                 qPrintable(m.text));
        QCOMPARE(m.title, AppTitle);
        QCOMPARE(m.buttons, Buttons::Ok);
        QCOMPARE(topmostDuringMessage, QList<bool>{false});
        QVERIFY(g.topmost() && g.dialog.isVisible());
        QCOMPARE(hidden.count, 0);
        QCOMPARE(g.box(u"passwordBox"_s)->text(), kept ? first : QString());
        QCOMPARE(g.box(u"retypeBox"_s)->text(), kept ? second : QString());
        QVERIFY(g.hideTimer()->isActive());
        QCOMPARE(g.created.size() + g.entered.size() + g.cancelled.size(), 0);
    }

    // A wrong password is answered with Retry or Cancel; Retry empties the box for the next try, Cancel or the third
    // wrong try ends.
    void enter_rejectPassword_retryCancelAndThreeTries_data()
    {
        QTest::addColumn<int>("rejected");
        QTest::addColumn<bool>("answerCancel");
        QTest::addColumn<QStringList>("messages");
        QTest::newRow("one wrong, Retry") << 1 << false << QStringList{Wrong};
        QTest::newRow("two wrong, Retry") << 2 << false << QStringList{Wrong, Wrong};
        QTest::newRow("one wrong, Cancel") << 1 << true << QStringList{Wrong};
        QTest::newRow("third wrong") << 3 << false << QStringList{Wrong, Wrong, Wrong, ThreeTries};
    }
    void enter_rejectPassword_retryCancelAndThreeTries()
    {
        QFETCH(int, rejected);
        QFETCH(bool, answerCancel);
        QFETCH(QStringList, messages);
        Gate g(Mode::Enter);
        if (answerCancel) {
            g.fake.messages.answers = {Answer::Cancel};
        }
        // Each box stands above the topmost dialog, which keeps the main window hidden meanwhile.
        QList<bool> duringMessage;
        g.fake.messages.onShow = [&](const FakeMessageBoxes::Shown &) {
            duringMessage.append(g.topmost() && g.hideTimer()->isActive());
        };

        for (int i = 0; i < rejected; ++i) {
            g.submit(u"wrong"_s);
            g.dialog.rejectPassword();
        }

        const bool ends = answerCancel || rejected == PasswordDialog::MaxTries;
        QStringList texts;
        for (const FakeMessageBoxes::Shown &m : g.fake.messages.shown) {
            texts.append(m.text);
            QCOMPARE(m.title, m.text == Wrong ? u"Incorrect Password"_s : AppTitle);
            QCOMPARE(m.buttons, m.text == Wrong ? Buttons::RetryCancel : Buttons::Ok);
        }
        QCOMPARE(texts, messages);
        QVERIFY(!duringMessage.contains(false));
        QCOMPARE(g.entered.size(), rejected);
        QCOMPARE(g.cancelled.size(), ends ? 1 : 0);
        QCOMPARE(g.box(u"passwordBox"_s)->text(), ends ? u"wrong"_s : QString());
        QCOMPARE(g.hideTimer()->isActive(), !ends);
    }

    void timer_keepsTheMainWindowHiddenUntilAPasswordIsHandedOn()
    {
        Gate g(Mode::Enter);
        QCOMPARE(g.hideTimer()->interval(), 100);
        QVERIFY(g.hideTimer()->isActive());
        // The splash shows the main window right after its load; the dialog hides it again.
        g.mainWindow.show();
        QTRY_VERIFY_WITH_TIMEOUT(!g.mainWindow.isVisible(), 1000);
        g.submit(u"Secret"_s);
        // A right password shows the main window before the dialog goes.
        g.mainWindow.show();
        QTest::qWait(300);
        QVERIFY(g.mainWindow.isVisible());
    }
};

QTEST_MAIN(tst_PasswordDialog)
#include "tst_PasswordDialog.moc"
