// The master password dialog: creating the password at the first start, the three tries at later starts, every
// way out of the dialog, its messages, its two layouts, and that it keeps the main window hidden until the vault
// is unlocked.

#include "core/EntryListModel.h"
#include "ui/MainWindow.h"
#include "app/Application.h"
#include "ui/Twips.h"
#include "support/FakePlatform.h"
#include "core/CodePage1252.h"
#include "core/VaultFormat.h"
#include "ui/PasswordDialog.h"
#include "core/VaultStore.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
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

// Counts the reads of the one setting, so that a test can tell how often the start was finished.
class CountingSettings final : public SettingsStore {
public:
    QString read(const QString &application, const QString &section, const QString &key,
                 const QString &defaultValue) override
    {
        if (key == u"showHelp"_s) {
            ++showHelpReads;
        }
        return inner.read(application, section, key, defaultValue);
    }
    void write(const QString &application, const QString &section, const QString &key, const QString &value) override
    {
        inner.write(application, section, key, value);
    }
    FakeSettings inner;
    int showHelpReads = 0;
};

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

QByteArray bytes1252(const QString &text)
{
    QByteArray out;
    CodePage1252::fromUnicode(text, out);
    return out;
}

// A program between the main window's load and the unlock: the vault file as given (none: a first start), the
// main window loaded, and the dialog open in the mode that the file asks for.
class Gate final {
public:
    explicit Gate(const std::optional<QByteArray> &vault = std::nullopt)
    {
        if (vault) {
            QFile file(path());
            if (!file.open(QIODevice::WriteOnly) || file.write(*vault) != vault->size()) {
                qFatal("could not write the vault fixture");
            }
        }
        program.publisher() = PublisherSettings::fromBuild();
        settings.inner.values.insert(u"Brisvane/Settings/showHelp"_s, u"0"_s);
        program.mainWindow.load(program);
    }
    ~Gate()
    {
        program.unloadOtherWindows();
        program.passwordDialog.unload();
        program.mainWindow.unload();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    Q_DISABLE_COPY_MOVE(Gate)

    // A vault whose master password is `password`, holding the given user names (password and location derived).
    static QByteArray vaultWith(const QString &password, const QStringList &users = {})
    {
        std::vector<Entry> entries;
        for (const QString &u : users) {
            entries.push_back(Entry::fromText(u, u + u"-pw"_s, u + u".example"_s));
        }
        return VaultFormat::serialize(bytes1252(password), entries);
    }

    QString path() const { return dir.filePath(u"data.enc"_s); }
    QByteArray file() const
    {
        QFile f(path());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    PasswordDialog *dialog() const { return program.passwordDialog.get(); }
    MainWindow *main() const { return program.mainWindow.get(); }
    QStringList users()
    {
        QStringList out;
        for (const Entry &e : program.entries().entries()) {
            out.append(e.text(Entry::Username));
        }
        return out;
    }
    QStringList texts() const
    {
        QStringList out;
        for (const auto &s : fake.messages.shown) {
            out.append(s.text);
        }
        return out;
    }

    // Types into the boxes as a user would, then clicks Ok.
    void submit(const QString &first, const QString &second = {})
    {
        PasswordDialog *d = dialog();
        d->txtPass->clear();
        type(d->txtPass, first);
        if (d->txtPass2->isVisible()) {
            d->txtPass2->clear();
            type(d->txtPass2, second);
        }
        QTest::mouseClick(d->cmdOK, Qt::LeftButton);
    }

    QTemporaryDir dir;
    FakePlatform fake;
    CountingSettings settings;
    Platform platform{fake.messages, fake.clipboard, fake.opener, settings, fake.end, fake.events};
    Application program{platform, dir.path()};
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
        QCOMPARE(g.program.CreateMode, create);
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
        QCOMPARE(g.texts(), QStringList{TooShort});
        QCOMPARE(g.dialog()->txtPass->text(), first);
        QCOMPARE(g.dialog()->txtPass2->text(), second);
        QCOMPARE(g.file(), QByteArray("\r\n"));
        QVERIFY(g.program.store().masterPassword().isEmpty());
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
        QCOMPARE(g.texts(), QStringList{Mismatch});
        QCOMPARE(g.dialog()->txtPass->text(), QString());
        QCOMPARE(g.dialog()->txtPass2->text(), QString());
        QCOMPARE(g.file(), QByteArray("\r\n"));
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
        QTest::keyClicks(g.dialog()->txtPass, u"abcd"_s);
        QTest::keyClick(inSecondBox ? g.dialog()->txtPass2 : g.dialog()->txtPass, Qt::Key(key));
        QCOMPARE(g.texts(), QStringList{Mismatch});
        QCOMPARE(g.dialog()->txtPass->text(), QString());
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
        QCOMPARE(g.file(), file);
        QCOMPARE(g.main()->statusText(), u"Password created successfully"_s);
        QCOMPARE(g.program.entries().rowCount(), 0);
        QCOMPARE(g.program.store().masterPassword(), password);
        QCOMPARE(g.settings.showHelpReads, 1); // the start was finished once
        QVERIFY(g.main()->isVisible());
        QVERIFY(!g.program.passwordDialog.isLoaded());
        QVERIFY(!dialog || !dialog->Timer1->isActive());
        QCOMPARE(g.fake.end.ends, 0);
    }

    void create_emptyFirstLineWithEntries_keepsThem()
    {
        const QByteArray vault = Gate::vaultWith(QString(), {u"ann"_s, u"bob"_s});
        Gate g(vault);
        QVERIFY(g.program.CreateMode);
        g.submit(u"abcd"_s, u"abcd"_s);
        QCOMPARE(g.users(), (QStringList{u"ann"_s, u"bob"_s}));
        QCOMPARE(g.file(), Gate::vaultWith(u"abcd"_s, {u"ann"_s, u"bob"_s}));
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
        g.dialog()->txtPass->setText(password);
        g.dialog()->txtPass2->setText(password);
        g.dialog()->cmdOK_Click();
        QCOMPARE(g.fake.messages.shown.size(), 1);
        const FakeMessageBoxes::Shown &m = g.fake.messages.shown.first();
        QVERIFY2(m.text.startsWith(u"The master password"_s) && m.text.contains(cause), qPrintable(m.text));
        QCOMPARE(m.title, AppTitle);
        QCOMPARE(m.buttons, Buttons::Ok);
        QCOMPARE(g.file(), QByteArray("\r\n"));
        QVERIFY(g.program.store().masterPassword().isEmpty());
        QVERIFY(g.program.passwordDialog.isLoaded());
        QVERIFY(g.dialog()->Timer1->isActive());
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
        QCOMPARE(g.texts(), QStringList{Wrong});
        QCOMPARE(topmostDuringMessage, QList<bool>{true});
        QCOMPARE(g.dialog()->failedTries(), 1);
        QCOMPARE(g.dialog()->txtPass->text(), QString());
        QCOMPARE(g.program.entries().rowCount(), 0);
        QVERIFY(g.program.store().masterPassword().isEmpty());
        QCOMPARE(g.file(), vault);
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
        QCOMPARE(g.main()->statusText(), u"Loaded %1 entries"_s.arg(users.size()));
        QCOMPARE(g.program.store().masterPassword(), stored);
        QCOMPARE(g.settings.showHelpReads, 1);
        QVERIFY(g.main()->isVisible());
        QVERIFY(!g.program.passwordDialog.isLoaded());
        QCOMPARE(g.file(), vault);
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
        QCOMPARE(g.texts(), (QStringList{Wrong, Wrong}));
        QCOMPARE(g.main()->statusText(), u"Loaded 2 entries"_s);
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
        QCOMPARE(g.texts(), (QStringList{Wrong, Wrong, Wrong, ThreeTries}));
        QCOMPARE(g.fake.end.ends, 1);
        QVERIFY(!g.dialog()->Timer1->isActive());
        QCOMPARE(g.file(), vault);
        QCOMPARE(g.program.entries().rowCount(), 0);
        QVERIFY(g.program.store().masterPassword().isEmpty());
    }

    void enter_wrongThenCancel_endsWithoutAnotherMessage()
    {
        const QByteArray vault = Gate::vaultWith(u"Secret"_s, {u"ann"_s});
        Gate g(vault);
        g.fake.messages.answers = {Answer::Cancel};
        g.submit(u"nope"_s);
        QCOMPARE(g.texts(), QStringList{Wrong});
        QCOMPARE(g.fake.end.ends, 1);
        QVERIFY(!g.dialog()->Timer1->isActive());
        QCOMPARE(g.file(), vault);
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
        QTest::keyClicks(g.dialog()->txtPass, u"Secret"_s);
        if (closeBox) {
            g.dialog()->close();
        } else {
            QTest::mouseClick(g.dialog()->cmdCancel, Qt::LeftButton);
        }
        QCOMPARE(g.fake.end.ends, 1);
        QVERIFY(g.fake.messages.shown.isEmpty());
        QCOMPARE(g.file(), vault);
        QCOMPARE(g.program.entries().rowCount(), 0);
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
        QTest::keyClicks(g.dialog()->txtPass, u"typed"_s);
        QTest::keyClick(g.dialog()->txtPass, Qt::Key_Escape);
        QTest::keyClick(g.dialog(), Qt::Key_Escape);
        QVERIFY(g.dialog()->isVisible());
        QCOMPARE(g.dialog()->txtPass->text(), u"typed"_s);
        QVERIFY(g.fake.messages.shown.isEmpty());
        QCOMPARE(g.fake.end.ends, 0);
    }

    void createMode_layoutAndText()
    {
        Gate g;
        PasswordDialog *d = g.dialog();
        QCOMPARE(d->windowTitle(), u"Password Required"_s);
        QCOMPARE(d->SkinLabel1->text(),
                 u"Because this is the first time you have used Brisvane, you will need to create a master password.  "
                 u"This password will be required to open the program from now on, and can not be reset.\r\n\r\n"
                 u"Please enter a password that you will not forget."_s);
        QCOMPARE(d->SkinLabel1->textFormat(), Qt::PlainText);
        QVERIFY(d->SkinLabel1->wordWrap());
        QCOMPARE(d->SkinLabel1->height(), Twips::toPixels(1500));
        QCOMPARE(d->txtPass->y(), Twips::toPixels(1700));
        QCOMPARE(d->txtPass2->y(), Twips::toPixels(2075));
        QCOMPARE(d->cmdOK->y(), Twips::toPixels(2450));
        QCOMPARE(d->cmdCancel->y(), Twips::toPixels(2450));
        QCOMPARE(d->SkinLabel2->y(), d->txtPass->y());
        QCOMPARE(d->SkinLabel3->y(), d->txtPass2->y());
        QVERIFY(!d->txtPass2->isHidden());
        QVERIFY(!d->SkinLabel3->isHidden());
        QCOMPARE(d->outerHeightTwips(), 3505);
        QCOMPARE(d->height(), Twips::toPixels(3505 - PasswordDialog::FrameTwips));
        QCOMPARE(d->width(), Twips::toPixels(6825));
        QCOMPARE(d->minimumSize(), d->maximumSize());
    }

    void enterMode_layoutAndText()
    {
        Gate g(Gate::vaultWith(u"Secret"_s));
        PasswordDialog *d = g.dialog();
        QCOMPARE(d->SkinLabel1->text(), u"Please enter your password"_s);
        QCOMPARE(d->SkinLabel1->height(), Twips::toPixels(315));
        QCOMPARE(d->txtPass->y(), Twips::toPixels(360));
        QCOMPARE(d->cmdOK->y(), Twips::toPixels(780));
        QCOMPARE(d->cmdCancel->y(), Twips::toPixels(780));
        QCOMPARE(d->SkinLabel2->y(), d->txtPass->y());
        QVERIFY(d->txtPass2->isHidden());
        QVERIFY(d->SkinLabel3->isHidden());
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
        QCOMPARE(d->txtPass->geometry().x(), Twips::toPixels(1740));
        QCOMPARE(d->txtPass->width(), Twips::toPixels(4995));
        QCOMPARE(d->cmdOK->x(), Twips::toPixels(4500));
        QCOMPARE(d->cmdCancel->x(), Twips::toPixels(5700));
        QCOMPARE(d->cmdOK->text(), u"Ok"_s);
        QCOMPARE(d->cmdCancel->text(), u"Cancel"_s);
        QCOMPARE(d->SkinLabel2->text(), u"Password:"_s);
        QVERIFY(!d->cmdOK->isDefault() && !d->cmdOK->autoDefault());
        QVERIFY(!d->cmdCancel->isDefault() && !d->cmdCancel->autoDefault());
        const Qt::WindowFlags flags = d->windowFlags();
        QVERIFY(flags.testFlag(Qt::WindowCloseButtonHint));
        QVERIFY(!flags.testFlag(Qt::WindowMinimizeButtonHint));
        QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
        QVERIFY(flags.testFlag(Qt::WindowStaysOnTopHint));
        QVERIFY(!d->isModal());
        QVERIFY(d->isVisible());
        QCOMPARE(d->parentWidget(), nullptr);
        for (QWidget *w : std::initializer_list<QWidget *>{d, d->txtPass, d->txtPass2, d->cmdOK, d->cmdCancel}) {
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
        QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget *>(d->cmdOK));
        QCOMPARE(d->cmdOK->nextInFocusChain(), static_cast<QWidget *>(d->cmdCancel));
        QCOMPARE(d->cmdCancel->nextInFocusChain(), static_cast<QWidget *>(d->txtPass));
    }

    void passwordBoxes_showAnAsteriskPerCharacter()
    {
        Gate g;
        for (QLineEdit *box : {g.dialog()->txtPass, g.dialog()->txtPass2}) {
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
        QCOMPARE(d->Timer1->interval(), 100);
        QVERIFY(d->Timer1->isActive());
        // The splash shows the main window right after its load; the dialog hides it again.
        g.main()->show();
        QTRY_VERIFY_WITH_TIMEOUT(!g.main()->isVisible(), 1000);
        g.submit(u"Secret"_s);
        QVERIFY(g.main()->isVisible());
        QTest::qWait(300);
        QVERIFY(g.main()->isVisible());
    }
};

QTEST_MAIN(tst_PasswordDialog)
#include "tst_PasswordDialog.moc"
