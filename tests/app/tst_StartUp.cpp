// The start-up through the running program: the vault's lock; then the splash window's last tick loads the main
// window, unseen, whose first look at the vault opens the password dialog; creating the master password or typing
// the stored one starts the program, and every other way out of the dialog ends it with the vault file as it was.

#include "core/EntryListModel.h"
#include "core/VaultLock.h"
#include "core/VaultStore.h"
#include "support/AppFixture.h"
#include "support/FakePlatform.h"
#include "support/Immutable.h"
#include "support/LeftLockFile.h"
#include "support/Widgets.h"
#include "ui/HelpWindow.h"
#include "ui/MainWindow.h"
#include "ui/PasswordDialog.h"
#include "ui/SplashScreen.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTest>
#include <QTimer>

#include <QDir>

#include <algorithm>
#include <csignal>
#include <optional>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(std::optional<QString>)

namespace {

const QString Wrong = u"Sorry, the password you entered was not correct."_s;
const QString ThreeTries = u"Only 3 tries allowed.  Click Ok to close."_s;

int mainWindowsAlive()
{
    const QWidgetList all = QApplication::topLevelWidgets();
    return int(std::count_if(all.begin(), all.end(), [](QWidget *w) { return qobject_cast<MainWindow *>(w); }));
}

// A program before its start, on the given vault file (a null one: none, a first start).
class StartUp final : public AppFixture {
public:
    explicit StartUp(const QByteArray &vault = {})
        : AppFixture(BeforeStart{vault.isNull() ? std::nullopt : std::optional(vault)})
    {}

    // A vault whose master password is `password`, holding the given user names (password and location derived).
    static QByteArray vaultWith(const QString &password, const QStringList &users = {})
    {
        Rows rows;
        for (const QString &u : users) {
            rows.append({u, u + u"-pw"_s, u + u".example"_s});
        }
        return vaultFor(rows, password);
    }

    PasswordDialog *dialog() const { return app.passwordDialog(); }
    // Fills the dialog's boxes (the second one shows only in create mode) and clicks Ok.
    void submit(const QString &first, const QString &second = {})
    {
        child<QLineEdit>(dialog(), u"passwordBox"_s)->setText(first);
        child<QLineEdit>(dialog(), u"retypeBox"_s)->setText(second);
        QTest::mouseClick(child<QPushButton>(dialog(), u"okButton"_s), Qt::LeftButton);
    }
    QString showHelpKey() const { return app.publisher().productName + u"/Settings/showHelp"_s; }
    // How often the start was finished: each finish reads the help window's start-up setting once.
    qsizetype startsFinished() const { return fake.settings.reads.count(showHelpKey()); }
    // What a save writes now: the master password the program kept, and its entries in their order.
    QByteArray savedAgain()
    {
        app.store().save();
        return vaultBytes();
    }
};

} // namespace

class tst_StartUp : public QObject {
    Q_OBJECT

private slots:
    void splash_tick75_stopsItsTimerThenLoadsTheMainWindowWithoutShowingIt()
    {
        StartUp s;
        QVERIFY(s.app.start());
        SplashScreen *splash = s.app.splashScreen();
        QVERIFY(splash && splash->isVisible());
        // Up to the last tick; the splash's own timer may have ticked meanwhile, wherever events ran.
        while (splash->counter() < 2 * (SplashScreen::Ticks - 1)) {
            splash->tick();
        }
        QVERIFY(!s.app.mainWindow());
        auto *timer = child<QTimer>(splash, u"tickTimer"_s);
        QList<bool> timerActiveDuringLoad;
        // The load lets pending events run; a tick that was already queued when it began runs among them.
        s.fake.events.onProcess = [&] {
            timerActiveDuringLoad.append(timer->isActive());
            splash->tick();
            QCoreApplication::processEvents();
        };

        splash->tick();

        s.fake.events.onProcess = nullptr;
        QVERIFY(!timerActiveDuringLoad.isEmpty()); // the load did let events run
        QVERIFY(!timerActiveDuringLoad.contains(true));
        QCOMPARE(mainWindowsAlive(), 1);
        MainWindow *main = s.app.mainWindow();
        // Not shown, nor even made a window of the desktop's, while the dialog guards it.
        QVERIFY(main && !main->isVisible() && !main->testAttribute(Qt::WA_WState_Created));
        QVERIFY(s.app.splashScreen() == splash && !splash->isVisible());
        // Its load ended by opening the dialog, a window of its own, in create mode on an empty folder.
        QVERIFY(s.dialog() && s.dialog()->isVisible() && !s.dialog()->parentWidget());
        QVERIFY(!child<QLineEdit>(s.dialog(), u"retypeBox"_s)->isHidden()); // create mode
        QTest::qWait(250);                                                  // the dialog's timer ticks meanwhile
        QVERIFY(!main->isVisible() && !main->testAttribute(Qt::WA_WState_Created));
        // The main window took the splash window's icon at its load.
        QCOMPARE(main->windowIcon().cacheKey(), splash->windowIcon().cacheKey());
    }

    void create_samePasswordTwice_writesItAndStarts_data()
    {
        QTest::addColumn<QByteArray>("vault");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QStringList>("users");
        const QByteArray none;
        QTest::newRow("four letters") << none << u"abcd"_s << QByteArray::fromHex("e1e2e3e4 0d0a") << QStringList();
        QTest::newRow("Western European characters")
            << none << u"pä€ß"_s << QByteArray::fromHex("f064005f 0d0a") << QStringList();
        QTest::newRow("markup stays text")
            << none << u"<b>x"_s << QByteArray::fromHex("bce2bef8 0d0a") << QStringList();
        QTest::newRow("bars are allowed in line 1")
            << none << u"a|||b|"_s << QByteArray::fromHex("e1fcfcfce2fc 0d0a") << QStringList();
        const QStringList kept{u"ann"_s, u"bob"_s};
        QTest::newRow("empty first line with entries keeps them")
            << StartUp::vaultWith(QString(), kept) << u"abcd"_s << StartUp::vaultWith(u"abcd"_s, kept) << kept;
    }
    void create_samePasswordTwice_writesItAndStarts()
    {
        QFETCH(QByteArray, vault);
        QFETCH(QString, password);
        QFETCH(QByteArray, file);
        QFETCH(QStringList, users);
        StartUp s(vault);
        s.app.loadMainWindow();
        QVERIFY(!child<QLineEdit>(s.dialog(), u"retypeBox"_s)->isHidden()); // create mode

        s.submit(password, password);

        QVERIFY(s.fake.messages.shown.isEmpty());
        QCOMPARE(s.vaultBytes(), file);
        QCOMPARE(s.status(), u"Password created successfully"_s);
        QCOMPARE(s.startsFinished(), 1);
        QVERIFY(s.main().isVisible());
        QVERIFY(!s.dialog());
        QCOMPARE(s.fake.end.ends, 0);
        QCOMPARE(s.savedAgain(), StartUp::vaultWith(password, users));
    }

    // Only the stored password unlocks, as typed to the letter; the wrong ones before it change nothing.
    void enter_rightPasswordAfterWrongOnes_unlocks_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QStringList>("wrong");
        QTest::addColumn<QStringList>("users");
        const QString secret = u"Secret"_s;
        const QStringList ann{u"ann"_s};
        QTest::newRow("three entries in file order")
            << secret << QStringList() << QStringList{u"zed"_s, u"amy"_s, u"Bob"_s};
        QTest::newRow("no entries") << secret << QStringList() << QStringList();
        QTest::newRow("one entry") << u"x"_s << QStringList() << QStringList{u"solo"_s};
        QTest::newRow("Western European password") << u"pässwörd€"_s << QStringList() << ann;
        QTest::newRow("markup in the password") << u"<b>x</b>"_s << QStringList() << ann;
        QTest::newRow("letter case differs") << secret << QStringList{u"secret"_s} << ann;
        QTest::newRow("empty") << secret << QStringList{QString()} << ann;
        QTest::newRow("prefix of the stored one") << secret << QStringList{u"Secre"_s} << ann;
        QTest::newRow("trailing blank") << secret << QStringList{u"Secret "_s} << ann;
        QTest::newRow("accent missing") << u"pässe"_s << QStringList{u"passe"_s} << ann;
        QTest::newRow("two wrong tries") << secret << QStringList{u"one"_s, u"two"_s}
                                         << QStringList{u"ann"_s, u"bob"_s};
    }
    void enter_rightPasswordAfterWrongOnes_unlocks()
    {
        QFETCH(QString, stored);
        QFETCH(QStringList, wrong);
        QFETCH(QStringList, users);
        const QByteArray vault = StartUp::vaultWith(stored, users);
        StartUp s(vault);
        s.app.loadMainWindow();
        QVERIFY(child<QLineEdit>(s.dialog(), u"retypeBox"_s)->isHidden()); // enter mode
        for (const QString &typed : wrong) {
            s.submit(typed);
            QVERIFY(s.dialog() && !s.app.store().isUnlocked());
            QCOMPARE(s.entries().rowCount(), 0);
        }

        s.submit(stored);

        QCOMPARE(s.messageTexts(), QStringList(wrong.size(), Wrong));
        QCOMPARE(s.status(), u"Loaded %1 entries"_s.arg(users.size()));
        QCOMPARE(s.startsFinished(), 1);
        QVERIFY(s.main().isVisible());
        QVERIFY(!s.dialog());
        QCOMPARE(s.fake.end.ends, 0);
        QCOMPARE(s.vaultBytes(), vault);
        QCOMPARE(s.savedAgain(), vault);
    }

    // The third wrong try, Cancel after a wrong one, the Cancel button or the close box: the program ends, once, and
    // nothing is read into the list or written, whatever the boxes hold.
    void gate_leftWithoutAPassword_endsAndLeavesTheFile_data()
    {
        QTest::addColumn<bool>("create");
        QTest::addColumn<QStringList>("wrong");
        QTest::addColumn<bool>("answerCancel");
        QTest::addColumn<QString>("leave"); // empty: the wrong tries end it
        QTest::addColumn<QStringList>("messages");
        const QStringList none;
        QTest::newRow("three wrong tries") << false << QStringList{u"one"_s, u"two"_s, u"three"_s} << false << QString()
                                           << QStringList{Wrong, Wrong, Wrong, ThreeTries};
        QTest::newRow("Cancel after a wrong try")
            << false << QStringList{u"nope"_s} << true << QString() << QStringList{Wrong};
        QTest::newRow("create mode, Cancel") << true << none << false << u"Cancel"_s << none;
        QTest::newRow("create mode, close box") << true << none << false << u"close box"_s << none;
        QTest::newRow("enter mode, Cancel") << false << none << false << u"Cancel"_s << none;
        QTest::newRow("enter mode, close box") << false << none << false << u"close box"_s << none;
    }
    void gate_leftWithoutAPassword_endsAndLeavesTheFile()
    {
        QFETCH(bool, create);
        QFETCH(QStringList, wrong);
        QFETCH(bool, answerCancel);
        QFETCH(QString, leave);
        QFETCH(QStringList, messages);
        const QByteArray vault = create ? QByteArray("\r\n") : StartUp::vaultWith(u"Secret"_s, {u"ann"_s});
        StartUp s(vault);
        s.app.loadMainWindow();
        if (answerCancel) {
            s.fake.messages.answers = {MessageBoxes::Answer::Cancel};
        }
        for (const QString &typed : wrong) {
            s.submit(typed);
        }
        if (!leave.isEmpty()) {
            child<QLineEdit>(s.dialog(), u"passwordBox"_s)->setText(u"Secret"_s);
            child<QLineEdit>(s.dialog(), u"retypeBox"_s)->setText(u"Secret"_s);
            if (leave == u"Cancel"_s) {
                QTest::mouseClick(child<QPushButton>(s.dialog(), u"cancelButton"_s), Qt::LeftButton);
            } else {
                s.dialog()->close();
            }
        }
        QCOMPARE(s.fake.end.ends, 1);
        QCOMPARE(s.fake.end.lastExitStatus, 0); // an ordinary end
        QCOMPARE(s.messageTexts(), messages);
        QCOMPARE(s.vaultBytes(), vault);
        QCOMPARE(s.entries().rowCount(), 0);
        QVERIFY(!s.app.store().isUnlocked());
        QCOMPARE(s.startsFinished(), 0);
    }

    // A vault that cannot be opened, or a master password that cannot be written: one box that says what is left,
    // then an end with a failing exit status.
    void start_thatCannotOpenTheVault_endsWithOneBoxAndAFailingStatus_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("closing");
        QTest::newRow("the vault is a folder") << u"folder"_s << u"the vault file is unchanged."_s;
        QTest::newRow("no vault can be made") << u"no file"_s << u"no vault file was made."_s;
        QTest::newRow("the first password cannot be written") << u"no write"_s << u"the vault file is unchanged."_s;
    }
    void start_thatCannotOpenTheVault_endsWithOneBoxAndAFailingStatus()
    {
        QFETCH(QString, fault);
        QFETCH(QString, closing);
        StartUp s;
        if (fault == u"folder"_s) {
            QVERIFY(QDir().mkdir(s.vaultPath()));
        }
        if (fault == u"no file"_s) {
            MAKE_IMMUTABLE(before, s.dir.path());
            s.app.loadMainWindow();
        } else {
            s.app.loadMainWindow();
        }
        if (fault == u"no write"_s) {
            MAKE_IMMUTABLE(vault, s.vaultPath());
            MAKE_IMMUTABLE(after, s.dir.path());
            s.submit(u"Secret"_s, u"Secret"_s);
        }
        QCOMPARE(s.fake.end.ends, 1);
        QCOMPARE(s.fake.end.lastExitStatus, 1);
        QCOMPARE(s.messageTexts().size(), 1);
        QVERIFY2(s.messageTexts().constFirst().endsWith(closing), qPrintable(s.messageTexts().constFirst()));
        QVERIFY(!s.app.store().isUnlocked());
    }

    void finishedStart_opensHelpOnlyForExactlyOne_data()
    {
        QTest::addColumn<std::optional<QString>>("stored");
        QTest::addColumn<bool>("opens");
        QTest::newRow("absent") << std::optional<QString>() << true;
        QTest::newRow("1") << std::optional(u"1"_s) << true;
        QTest::newRow("0") << std::optional(u"0"_s) << false;
        QTest::newRow("empty") << std::optional(QString()) << false;
        QTest::newRow("leading blank") << std::optional(u" 1"_s) << false;
        QTest::newRow("trailing blank") << std::optional(u"1 "_s) << false;
        QTest::newRow("leading zero") << std::optional(u"01"_s) << false;
        QTest::newRow("yes") << std::optional(u"yes"_s) << false;
    }
    void finishedStart_opensHelpOnlyForExactlyOne()
    {
        QFETCH(std::optional<QString>, stored);
        QFETCH(bool, opens);
        StartUp s;
        s.writeHelpFile();
        s.fake.settings.values.remove(s.showHelpKey());
        if (stored) {
            s.fake.settings.values.insert(s.showHelpKey(), *stored);
        }
        s.app.loadMainWindow();

        s.submit(u"abcd"_s, u"abcd"_s);

        QVERIFY(s.main().isVisible());
        QVERIFY(!s.dialog());
        QCOMPARE(s.app.helpWindow() != nullptr, opens);
        QVERIFY(!opens || s.app.helpWindow()->isVisible());
        QVERIFY(s.fake.settings.writes.isEmpty());
    }
    // A lock file that no one holds is taken over at once (as the owner's alone, whatever the umask), whatever process
    // it names, this one or a live copy included: process numbers repeat across namespaces. The next copy is told
    // which lock is really held, also when the holder's lock file is deleted or another machine's put in its place.
    void start_leftLockFile_isTakenOver_data()
    {
        QTest::addColumn<int>("names");       // the left lock file: 0 an ended process, 1 this one, 2 a live copy
        QTest::addColumn<QByteArray>("then"); // what takes the holder's lock file's place: "-" nothing
        QTest::addColumn<QString>("said");
        const QString byLockFile = u"running (process %1 on this machine"_s.arg(::getpid());
        QTest::newRow("an ended process") << 0 << QByteArray() << byLockFile;
        QTest::newRow("this process") << 1 << QByteArray() << byLockFile;
        QTest::newRow("a live copy of this program, on another vault") << 2 << QByteArray() << byLockFile;
        QTest::newRow("then deleted") << 0 << QByteArray("-") << u"though there was no lock file"_s;
        QTest::newRow("then another machine's")
            << 0 << QByteArray("42\nBrisvane\nelsewhere\n") << u"deleting it would not help"_s;
    }
    void start_leftLockFile_isTakenOver()
    {
        QFETCH(int, names);
        QFETCH(QByteArray, then);
        QFETCH(QString, said);
        const pid_t live = names == 2 ? ::fork() : -1;
        if (live == 0) {
            ::pause(); // until it is killed
        }
        const auto end = qScopeGuard([live] { live > 0 && ::kill(live, SIGKILL) == 0 && ::waitpid(live, nullptr, 0); });
        StartUp s(StartUp::vaultWith(u"Secret"_s, {u"ann"_s}));
        QVERIFY(LeftLockFile::leave(s.vaultPath(), names == 1 ? ::getpid() : std::max(live, 0)));
        const mode_t umask = ::umask(0);
        QVERIFY(s.app.start());
        ::umask(umask);
        const QString lockPath = VaultLock::lockPath(s.vaultPath());
        QCOMPARE(QFile::permissions(lockPath) & 0x7077, QFile::ReadOwner | QFile::WriteOwner);
        if (!then.isEmpty()) {
            QVERIFY(QFile::remove(lockPath) && (then == "-" || ReferenceVault::writeFile(lockPath, then)));
        }
        if (then == "-") { // the holder finds its lock file gone when it ends
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u"Could not remove our own lock file"_s));
        }
        FakePlatform another;
        Application second(another.platform, s.dir.path());
        QVERIFY(!second.start());
        QCOMPARE(another.messages.shown.size(), 1);
        const QString text = another.messages.shown.constFirst().text;
        QVERIFY2(text.startsWith(u"Brisvane is already open with this vault:\r\n"_s) && text.contains(said),
                 qPrintable(text));
        QVERIFY(s.fake.messages.shown.isEmpty());
    }
};

QTEST_MAIN(tst_StartUp)
#include "tst_StartUp.moc"
