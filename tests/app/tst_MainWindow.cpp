// The main window: its design (captions, positions, keyboard order, menus, columns), the resize rule, the status
// text, that menu items and buttons run the same commands, the header click, and the ways the program ends.

#include "app/EntryCommands.h"
#include "ui/EntryDialog.h"
#include "app/WebsiteLauncher.h"
#include "core/EntryListModel.h"
#include "ui/EntryListView.h"
#include "ui/MainWindow.h"
#include "ui/Twips.h"
#include "ui/SplashScreen.h"
#include "support/AppFixture.h"
#include "core/VaultStore.h"
#include "ui/HelpWindow.h"
#include "ui/AboutWindow.h"

#include <QApplication>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <optional>

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(std::optional<QString>)
Q_DECLARE_METATYPE(MessageBoxes::Answer)

namespace {

const ProgramFixture::Rows ThreeRows{
    {u"carol"_s, u"2-pass"_s, u"www.c.example"_s},
    {u"alice"_s, u"3-pass"_s, u"/home/alice"_s},
    {u"Bob"_s, u"1-pass"_s, u"b.example"_s},
};

const QString ShowHelpKey = u"Brisvane/Settings/showHelp"_s;

QToolButton *button(MainWindow &main, const QString &name)
{
    return main.findChild<QToolButton *>(name);
}

QAction *menuItem(MainWindow &main, const QString &name)
{
    return main.findChild<QAction *>(name);
}

// Everything a command can change that a user or the vault file would notice.
struct Effect {
    QString status;
    QString clipboard;
    bool entryDialog = false;
    QString requestMode;
    QStringList messages;
    QList<QUrl> opened;
    ProgramFixture::Rows rows;
    QByteArray vault;
    friend bool operator==(const Effect &, const Effect &) = default;
};

Effect effectOf(ProgramFixture &f)
{
    Effect e;
    e.status = f.status();
    e.clipboard = f.fake.clipboard.text;
    e.entryDialog = f.program.entryDialog.isLoaded();
    e.requestMode = f.program.entryRequest.Mode;
    for (const auto &m : f.fake.messages.shown) {
        e.messages.append(m.text);
    }
    e.opened = f.fake.opener.locations + f.fake.opener.urls;
    e.rows = f.rows();
    // A save writes the time into the status bar; the bytes of the file are what must agree.
    e.vault = f.vaultBytes();
    e.status.remove(QRegularExpression(u"^Saved .*"_s));
    return e;
}

// Without its file the help window is never shown, so the tests that open it lay one out.
void writeHelpFile(ProgramFixture &f)
{
    QFile help(f.dir.filePath(u"Help.rtf"_s));
    if (!help.open(QIODevice::WriteOnly) || help.write("{\\rtf1 Help}") < 0) {
        qFatal("could not write the help file");
    }
}

QList<QWidget *> tabWalk(QWidget *start, int steps)
{
    QList<QWidget *> out;
    start->setFocus(Qt::TabFocusReason);
    for (int i = 0; i < steps; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        out.append(QApplication::focusWidget());
    }
    return out;
}

} // namespace

class tst_MainWindow : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { ProgramFixture::deleteUnloaded(); }

    void load_captionsComeFromThePublisher()
    {
        ProgramFixture f;
        const PublisherSettings &p = f.program.publisher();
        QCOMPARE(p.productName, u"Brisvane"_s);
        QVERIFY(!p.companyName.isEmpty());
        QVERIFY(!p.publisherUrl.contains(u"://"_s));
        QCOMPARE(f.main().windowTitle(), u"Brisvane by "_s + p.companyName);
        QCOMPARE(f.main().cmdWebsite->text(), u"Visit "_s + p.publisherUrl);
        QCOMPARE(f.main().cmdWebsite->accessibleName(), f.main().cmdWebsite->text());
        QVERIFY(!f.main().windowIcon().isNull());
        QVERIFY(f.main().parentWidget() == nullptr);
    }

    void load_buttons_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QRect>("twips");
        QTest::newRow("Add") << u"cmdAdd"_s << u"Add"_s << QRect(60, 60, 1155, 1035);
        QTest::newRow("Delete") << u"cmdDelete"_s << u"Delete"_s << QRect(1260, 60, 1155, 1035);
        QTest::newRow("Edit") << u"cmdEdit"_s << u"Edit"_s << QRect(2460, 60, 1155, 1035);
        QTest::newRow("Go To") << u"cmdGoto"_s << u"Go To"_s << QRect(3660, 60, 1155, 1035);
        QTest::newRow("website") << u"cmdWebsite"_s << QString() << QRect(4860, 60, 4095, 1035);
        QTest::newRow("Copy Username") << u"cmdCopy0"_s << u"Copy Username"_s << QRect(60, 1140, 2355, 795);
        QTest::newRow("Copy Password") << u"cmdCopy1"_s << u"Copy Password"_s << QRect(2460, 1140, 2355, 795);
        QTest::newRow("Copy Used At") << u"cmdCopy2"_s << u"Copy Used At"_s << QRect(4860, 1140, 4095, 795);
    }
    void load_buttons()
    {
        QFETCH(QString, name);
        QFETCH(QString, caption);
        QFETCH(QRect, twips);
        ProgramFixture f;
        QToolButton *b = button(f.main(), name);
        QVERIFY(b);
        if (!caption.isEmpty()) {
            QCOMPARE(b->text(), caption);
        }
        QCOMPARE(b->accessibleName(), b->text());
        QCOMPARE(b->geometry(), Twips::rect(twips.x(), twips.y(), twips.width(), twips.height()));
        QCOMPARE(b->toolButtonStyle(), Qt::ToolButtonTextUnderIcon);
        QCOMPARE(b->iconSize(), QSize(32, 32));
        QVERIFY(!b->icon().isNull());
        QVERIFY(b->focusPolicy() & Qt::TabFocus);
    }

    void load_copyButtonsShareOnePicture()
    {
        ProgramFixture f;
        const auto key = [](QToolButton *b) { return b->icon().pixmap(32).toImage(); };
        QCOMPARE(key(f.main().cmdCopy[0]), key(f.main().cmdCopy[1]));
        QCOMPARE(key(f.main().cmdCopy[0]), key(f.main().cmdCopy[2]));
        QVERIFY(key(f.main().cmdAdd) != key(f.main().cmdDelete));
    }

    void load_tabOrder()
    {
        ProgramFixture f;
        MainWindow &m = f.main();
        m.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&m));
        const QList<QWidget *> expected{m.cmdEdit, m.cmdDelete,  m.cmdWebsite, m.lstPass, m.cmdCopy[0],
                                        m.cmdGoto, m.cmdCopy[1], m.cmdCopy[2], m.cmdAdd};
        QCOMPARE(tabWalk(m.cmdAdd, int(expected.size())), expected);
    }

    void load_menus()
    {
        ProgramFixture f;
        const QList<QPair<QString, QStringList>> expected{
            {u"File"_s, {u"Exit"_s}},
            {u"Data"_s,
             {u"Add Username/Password"_s, u"Delete Selected Item"_s, u"Edit Selected Item"_s,
              u"Goto \"Used At\" Location"_s}},
            {u"Copy"_s, {u"Selected Username"_s, u"Selected Password"_s, u"Selected Used At Location"_s}},
            {u"Help"_s, {u"View Help"_s}},
            {u"About"_s, {u"About this software"_s}},
        };
        const QStringList names{u"mnuFile"_s, u"mnuData"_s, u"mnuCopy"_s, u"mnuHelp"_s, u"mnuAbout"_s};
        const QList<QAction *> menus = f.main().menuBar()->actions();
        QCOMPARE(menus.size(), expected.size());
        for (qsizetype i = 0; i < menus.size(); ++i) {
            QCOMPARE(menus[i]->text(), expected[i].first);
            QMenu *menu = menus[i]->menu();
            QVERIFY(menu);
            QCOMPARE(menu->objectName(), names[i]);
            const QList<QAction *> items = menu->actions();
            QCOMPARE(items.size(), expected[i].second.size());
            for (qsizetype j = 0; j < items.size(); ++j) {
                QCOMPARE(items[j]->text(), expected[i].second[j]);
                QCOMPARE(items[j]->objectName(), names[i] + u"Item"_s + QString::number(j));
                QVERIFY(items[j]->shortcut().isEmpty());
            }
        }
    }

    void load_columnsTakeTheCopyButtonsWidths()
    {
        ProgramFixture f;
        QHeaderView *h = f.main().lstPass->header();
        QCOMPARE(h->count(), 3);
        QCOMPARE(h->sectionSize(0), Twips::toPixels(2345));
        QCOMPARE(h->sectionSize(1), Twips::toPixels(2375));
        QCOMPARE(h->sectionSize(2), Twips::toPixels(4095));
        QVERIFY(!h->stretchLastSection());
        QVERIFY(!h->isSortIndicatorShown());
        QCOMPARE(h->defaultAlignment() & Qt::AlignHorizontal_Mask, Qt::AlignLeft);
        QCOMPARE(f.main().lstPass->pos(), QPoint(Twips::toPixels(60), Twips::toPixels(1980)));
    }

    void listSizeFor_data()
    {
        QTest::addColumn<QSize>("outer");
        QTest::addColumn<QSize>("list");
        QTest::newRow("design size") << QSize(9015, 7195) << QSize(8895, 4215);
        QTest::newRow("larger") << QSize(12000, 9000) << QSize(11880, 6020);
        QTest::newRow("exactly the offsets") << QSize(120, 2980) << QSize(0, 0);
        QTest::newRow("smaller than the offsets mirrors") << QSize(60, 1000) << QSize(60, 1980);
        QTest::newRow("zero size") << QSize(0, 0) << QSize(120, 2980);
    }
    void listSizeFor()
    {
        QFETCH(QSize, outer);
        QFETCH(QSize, list);
        QCOMPARE(MainWindow::listSizeFor(outer, QPoint(60, 1980)), list);
    }

    void resize_enlarging_growsOnlyTheList()
    {
        ProgramFixture f({{u"a"_s, u"b"_s, u"c"_s}});
        MainWindow &m = f.main();
        QVERIFY(QTest::qWaitForWindowExposed(&m));
        QList<QRect> buttons;
        for (QToolButton *b : m.findChildren<QToolButton *>()) {
            buttons.append(b->geometry());
        }
        const QRect list = m.lstPass->geometry();
        const QList<int> columns{m.lstPass->columnWidth(0), m.lstPass->columnWidth(1), m.lstPass->columnWidth(2)};

        m.resize(m.width() + 300, m.height() + 200);
        QTRY_COMPARE(m.lstPass->size(), list.size() + QSize(300, 200));
        QCOMPARE(m.lstPass->pos(), list.topLeft());
        QList<QRect> after;
        for (QToolButton *b : m.findChildren<QToolButton *>()) {
            after.append(b->geometry());
        }
        QCOMPARE(after, buttons);
        QCOMPARE((QList<int>{m.lstPass->columnWidth(0), m.lstPass->columnWidth(1), m.lstPass->columnWidth(2)}),
                 columns);
    }

    void resize_listFollowsTheRule_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::newRow("wide and short") << QSize(900, 300);
        QTest::newRow("narrow and tall") << QSize(300, 700);
        QTest::newRow("smaller than the list's offsets") << QSize(40, 120);
    }
    void resize_listFollowsTheRule()
    {
        QFETCH(QSize, size);
        ProgramFixture f;
        MainWindow &m = f.main();
        QVERIFY(QTest::qWaitForWindowExposed(&m));
        m.resize(size);
        QTest::qWait(50);
        const QSize twips = MainWindow::listSizeFor(MainWindow::outerSizeTwips(m.size()), QPoint(60, 1980));
        QCOMPARE(m.lstPass->size(), QSize(Twips::toPixels(twips.width()), Twips::toPixels(twips.height())));
        QVERIFY(m.lstPass->width() >= 0 && m.lstPass->height() >= 0);
    }

    void minimiseAndRestore_keepsTheListSize()
    {
        ProgramFixture f;
        MainWindow &m = f.main();
        QVERIFY(QTest::qWaitForWindowExposed(&m));
        const QSize normal = m.size();
        const QSize list = m.lstPass->size();
        m.setWindowState(Qt::WindowMinimized);
        QVERIFY(m.isMinimized());
        // Some desktops shrink a minimised window; the list must not follow.
        m.resize(160, 30);
        QTest::qWait(50);
        QCOMPARE(m.lstPass->size(), list);
        m.setWindowState(Qt::WindowNoState);
        m.resize(normal);
        QTRY_COMPARE(m.lstPass->size(), list);
    }

    void statusPanel_keepsItsLoadWidth()
    {
        ProgramFixture f;
        MainWindow &m = f.main();
        QVERIFY(QTest::qWaitForWindowExposed(&m));
        // The window's outer width when it loaded, before any frame was added.
        const int loadWidth = Twips::toPixels(9015);
        QCOMPARE(m.statusPanel->sizeHint().width(), loadWidth);
        m.resize(m.width() + 250, m.height() + 40);
        QTRY_COMPARE(m.width(), Twips::toPixels(9015) + 250);
        QCOMPARE(m.statusPanel->width(), loadWidth);
        f.program.SetStatusText(u"A status text much longer than before, to see that the panel does not grow"_s);
        QTest::qWait(0);
        QCOMPARE(m.statusPanel->width(), loadWidth);
    }

    void setStatusText_showsPlainText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("markup") << u"<b>x"_s;
        QTest::newRow("whole rich text") << u"<html><body><img src=\"x\">Loaded</body></html>"_s;
        QTest::newRow("ampersand") << u"Tom & Jerry"_s;
        QTest::newRow("two blanks kept") << u"Added new entry.  Data saved."_s;
        QTest::newRow("empty") << QString();
    }
    void setStatusText_showsPlainText()
    {
        QFETCH(QString, text);
        ProgramFixture f;
        f.program.SetStatusText(text);
        QCOMPARE(f.main().statusText(), text);
        QCOMPARE(f.main().statusPanel->text(), text);
        QCOMPARE(f.main().statusPanel->textFormat(), Qt::PlainText);
        // It stays: nothing clears it by time.
        QTest::qWait(50);
        QCOMPARE(f.main().statusText(), text);
    }

    void menuItemAndButton_haveTheSameEffect_data()
    {
        QTest::addColumn<QString>("buttonName");
        QTest::addColumn<QString>("itemName");
        QTest::addColumn<QList<int>>("selected");
        QTest::newRow("Add") << u"cmdAdd"_s << u"mnuDataItem0"_s << QList<int>{};
        QTest::newRow("Delete, nothing selected") << u"cmdDelete"_s << u"mnuDataItem1"_s << QList<int>{};
        QTest::newRow("Delete the second row") << u"cmdDelete"_s << u"mnuDataItem1"_s << QList<int>{1};
        QTest::newRow("Edit the third row") << u"cmdEdit"_s << u"mnuDataItem2"_s << QList<int>{2};
        QTest::newRow("Edit, nothing selected") << u"cmdEdit"_s << u"mnuDataItem2"_s << QList<int>{};
        QTest::newRow("Go To the first row") << u"cmdGoto"_s << u"mnuDataItem3"_s << QList<int>{0};
        QTest::newRow("Copy Username") << u"cmdCopy0"_s << u"mnuCopyItem0"_s << QList<int>{2};
        QTest::newRow("Copy Password") << u"cmdCopy1"_s << u"mnuCopyItem1"_s << QList<int>{1, 2};
        QTest::newRow("Copy Used At") << u"cmdCopy2"_s << u"mnuCopyItem2"_s << QList<int>{0};
        QTest::newRow("Copy, nothing selected") << u"cmdCopy2"_s << u"mnuCopyItem2"_s << QList<int>{};
    }
    void menuItemAndButton_haveTheSameEffect()
    {
        QFETCH(QString, buttonName);
        QFETCH(QString, itemName);
        QFETCH(QList<int>, selected);

        ProgramFixture byButton(ThreeRows);
        byButton.select(selected);
        const Effect before = effectOf(byButton);
        QToolButton *b = button(byButton.main(), buttonName);
        QVERIFY(b);
        QTest::mouseClick(b, Qt::LeftButton);
        const Effect clicked = effectOf(byButton);
        QVERIFY2(!(clicked == before), "the button did nothing that can be seen");

        ProgramFixture byMenu(ThreeRows);
        byMenu.select(selected);
        QAction *item = menuItem(byMenu.main(), itemName);
        QVERIFY(item);
        item->trigger();
        const Effect chosen = effectOf(byMenu);
        QCOMPARE(chosen.status, clicked.status);
        QCOMPARE(chosen.clipboard, clicked.clipboard);
        QCOMPARE(chosen.entryDialog, clicked.entryDialog);
        QCOMPARE(chosen.requestMode, clicked.requestMode);
        QCOMPARE(chosen.messages, clicked.messages);
        QCOMPARE(chosen.opened, clicked.opened);
        QCOMPARE(chosen.rows, clicked.rows);
        QCOMPARE(chosen.vault, clicked.vault);
    }

    void doubleClickOnARow_doesNothing()
    {
        ProgramFixture f(ThreeRows);
        MainWindow &m = f.main();
        QVERIFY(QTest::qWaitForWindowExposed(&m));
        f.program.SetStatusText(u"before"_s);
        const QByteArray vault = f.vaultBytes();
        const QRect cell = m.lstPass->visualRect(f.entries().index(1, 0));
        QVERIFY(cell.isValid());
        QTest::mouseDClick(m.lstPass->viewport(), Qt::LeftButton, {}, cell.center());
        QTest::qWait(50);
        QVERIFY(!f.program.entryDialog.isLoaded());
        QVERIFY(f.fake.messages.shown.isEmpty());
        QVERIFY(f.fake.opener.locations.isEmpty());
        QCOMPARE(m.lstPass->findChild<QLineEdit *>(), nullptr); // no cell editor opened
        QCOMPARE(f.rows(), ThreeRows);
        QCOMPARE(f.status(), u"before"_s);
        QCOMPARE(f.vaultBytes(), vault);
    }

    void headerClick_sortsTheList()
    {
        ProgramFixture f(ThreeRows);
        MainWindow &m = f.main();
        QVERIFY(QTest::qWaitForWindowExposed(&m));
        QHeaderView *h = m.lstPass->header();
        const QPoint password(h->sectionViewportPosition(1) + 10, h->height() / 2);
        QTest::mouseClick(h->viewport(), Qt::LeftButton, {}, password);
        QCOMPARE(f.rows().value(0).value(1), u"1-pass"_s);
        QCOMPARE(f.rows().value(2).value(1), u"3-pass"_s);
        QTest::mouseClick(h->viewport(), Qt::LeftButton, {}, password);
        QCOMPARE(f.rows().value(0).value(1), u"3-pass"_s);
        const QPoint username(h->sectionViewportPosition(0) + 10, h->height() / 2);
        QTest::mouseClick(h->viewport(), Qt::LeftButton, {}, username);
        QCOMPARE(f.rows().value(0).value(0), u"alice"_s);
        QCOMPARE(f.rows().value(1).value(0), u"Bob"_s);
        // Two quick clicks are two header clicks, though the second arrives as a double-click: two flips.
        QTest::mouseClick(h->viewport(), Qt::LeftButton, {}, password);
        QTest::mouseDClick(h->viewport(), Qt::LeftButton, {}, password);
        QCOMPARE(f.rows().value(0).value(1), u"1-pass"_s);
        // Sorting changes the order only in memory; the file follows at the next save.
        QCOMPARE(f.vaultBytes(), ProgramFixture::vaultFor(ThreeRows));
    }

    void exitOrCloseBox_endsAndUnloadsTheOtherWindows_data()
    {
        QTest::addColumn<bool>("byMenu");
        QTest::newRow("File, Exit") << true;
        QTest::newRow("close box") << false;
    }
    void exitOrCloseBox_endsAndUnloadsTheOtherWindows()
    {
        QFETCH(bool, byMenu);
        ProgramFixture f(ThreeRows);
        writeHelpFile(f);
        f.program.splash.load(f.program)->Timer2->stop();
        f.program.openHelpWindow();
        f.program.openAboutWindow();
        f.program.commands().cmdAdd_Click(0);
        f.program.websiteLauncher.load(f.program)->Timer1->stop();
        QVERIFY(f.program.helpWindow.isLoaded() && f.program.aboutWindow.isLoaded());
        QVERIFY(f.program.entryDialog.isLoaded() && f.program.websiteLauncher.isLoaded());
        const QByteArray vault = f.vaultBytes();

        if (byMenu) {
            menuItem(f.main(), u"mnuFileItem0"_s)->trigger();
        } else {
            f.main().close();
        }
        QCOMPARE(f.fake.end.ends, 1);
        QVERIFY(!f.program.helpWindow.isLoaded());
        QVERIFY(!f.program.aboutWindow.isLoaded());
        QVERIFY(!f.program.entryDialog.isLoaded());
        QVERIFY(!f.program.splash.isLoaded());
        QVERIFY(!f.program.websiteLauncher.isLoaded());
        QVERIFY(f.fake.messages.shown.isEmpty());
        QCOMPARE(f.vaultBytes(), vault);
    }

    void close_afterAFailedSave_triesAgainThenAsks_data()
    {
        QTest::addColumn<bool>("retryWorks");
        QTest::addColumn<MessageBoxes::Answer>("answer");
        QTest::addColumn<bool>("ends");
        QTest::newRow("the retry saves") << true << MessageBoxes::Answer::Ok << true;
        QTest::newRow("the retry fails, OK closes") << false << MessageBoxes::Answer::Ok << true;
        QTest::newRow("the retry fails, Cancel keeps it open") << false << MessageBoxes::Answer::Cancel << false;
    }
    void close_afterAFailedSave_triesAgainThenAsks()
    {
        QFETCH(bool, retryWorks);
        QFETCH(MessageBoxes::Answer, answer);
        QFETCH(bool, ends);
        ProgramFixture f(ThreeRows);
        const QByteArray before = f.vaultBytes();
        f.failSaves();
        f.entries().appendEntry(Entry::fromText(u"dave"_s, u"4-pass"_s, u"d.example"_s));
        QVERIFY(!f.program.store().save());
        QVERIFY(f.program.store().lastSaveFailed());
        QCOMPARE(f.vaultBytes(), before);
        f.fake.messages.shown.clear();
        if (retryWorks) {
            f.program.store().setFaultHook({});
        }
        f.fake.messages.answers = {MessageBoxes::Answer::Ok, answer};

        f.main().close();
        QCOMPARE(f.fake.end.ends, ends ? 1 : 0);
        if (retryWorks) {
            QVERIFY(f.fake.messages.shown.isEmpty());
            ProgramFixture::Rows rows = ThreeRows;
            rows.append({u"dave"_s, u"4-pass"_s, u"d.example"_s});
            QCOMPARE(f.vaultBytes(), ProgramFixture::vaultFor(rows));
            return;
        }
        QCOMPARE(f.fake.messages.shown.size(), 2); // the failed retry, then the question
        const FakeMessageBoxes::Shown &question = f.fake.messages.shown.last();
        QCOMPARE(question.buttons, MessageBoxes::Buttons::OkCancel);
        QCOMPARE(f.vaultBytes(), before);
        if (!ends) {
            QVERIFY(f.program.mainWindow.isLoaded());
            QVERIFY(f.main().isVisible());
            QCOMPARE(f.rows().size(), 4);
            // Once the disk works again, closing saves the change and ends.
            f.program.store().setFaultHook({});
            f.main().close();
            QCOMPARE(f.fake.end.ends, 1);
            QCOMPARE(f.vaultBytes(), ProgramFixture::vaultFor(f.rows()));
        }
    }

    void close_withoutAFailedSave_writesNothing()
    {
        ProgramFixture f(ThreeRows);
        f.entries().appendEntry(Entry::fromText(u"unsaved"_s, QString(), QString()));
        const QByteArray before = f.vaultBytes();
        f.main().close();
        QCOMPARE(f.fake.end.ends, 1);
        QCOMPARE(f.vaultBytes(), before);
    }

    void finishStartup_opensHelpOnlyForExactlyOne_data()
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
    void finishStartup_opensHelpOnlyForExactlyOne()
    {
        QFETCH(std::optional<QString>, stored);
        QFETCH(bool, opens);
        ProgramFixture f;
        writeHelpFile(f);
        QVERIFY(!f.program.helpWindow.isLoaded());
        f.fake.settings.values.remove(ShowHelpKey);
        if (stored) {
            f.fake.settings.values.insert(ShowHelpKey, *stored);
        }
        f.main().finishStartup();
        QCOMPARE(f.program.helpWindow.isLoaded(), opens);
        QCOMPARE(f.program.helpWindow.isLoaded() && f.program.helpWindow.get()->isVisible(), opens);
        QVERIFY(f.main().isVisible());
        QVERIFY(!f.program.passwordDialog.isLoaded());
    }
};

QTEST_MAIN(tst_MainWindow)
#include "tst_MainWindow.moc"
