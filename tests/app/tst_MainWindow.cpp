// The main window in the running program: its design (captions, positions, keyboard order, menus, columns), the
// resize rule, the status text, that menu items and buttons run the same commands, the header click, and the ways
// the program ends.

#include "app/WebsiteLauncher.h"
#include "core/EntryListModel.h"
#include "core/VaultStore.h"
#include "rtf/RtfReader.h"
#include "support/AppFixture.h"
#include "support/HeldKey.h"
#include "ui/EntryListView.h"
#include "ui/MainWindow.h"
#include "ui/PictureButton.h"
#include "ui/SplashScreen.h"
#include "ui/Twips.h"

#include <QApplication>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTest>
#include <QTextDocument>
#include <QTimer>

#include <memory>
#include <vector>

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(MessageBoxes::Answer)

namespace {

const AppFixture::Rows &ThreeRows = AppFixture::ThreeRows;

// The buttons in the order of the tables below: Add, Delete, Edit, Go To, website, then the three copy buttons.
std::array<PictureButton *, 8> buttons(MainWindow &m)
{
    return {m.addButton,     m.deleteButton,   m.editButton,     m.goToButton,
            m.websiteButton, m.copyButtons[0], m.copyButtons[1], m.copyButtons[2]};
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
    EntryDialog::Request::Mode requestMode{};
    QStringList messages;
    QList<QUrl> opened;
    AppFixture::Rows rows;
    QByteArray vault;
    friend bool operator==(const Effect &, const Effect &) = default;
};

Effect effectOf(AppFixture &f)
{
    Effect e;
    e.status = f.status();
    e.clipboard = f.fake.clipboard.text;
    e.entryDialog = f.app.entryDialog.isLoaded();
    e.requestMode = f.app.entryRequest.mode;
    e.messages = f.messageTexts();
    e.opened = f.fake.opener.locations + f.fake.opener.urls;
    e.rows = f.rows();
    // A save writes the time into the status bar; the bytes of the file are what must agree.
    e.vault = f.vaultBytes();
    e.status.remove(QRegularExpression(u"^Saved .*"_s));
    return e;
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
    void load_captionsComeFromThePublisher()
    {
        AppFixture f;
        const PublisherSettings &p = f.app.publisher();
        QCOMPARE(p.productName, u"Brisvane"_s);
        QVERIFY(!p.companyName.isEmpty());
        QVERIFY(!p.publisherUrl.contains(u"://"_s));
        QCOMPARE(f.main().windowTitle(), u"Brisvane by "_s + p.companyName);
        QCOMPARE(f.main().websiteButton->text(), u"Visit "_s + p.publisherUrl);
        QCOMPARE(f.main().websiteButton->accessibleName(), f.main().websiteButton->text());
        QVERIFY(!f.main().windowIcon().isNull());
        QVERIFY(f.main().parentWidget() == nullptr);
    }

    void load_buttons_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QRect>("twips");
        QTest::newRow("Add") << 0 << u"Add"_s << QRect(60, 60, 1155, 1035);
        QTest::newRow("Delete") << 1 << u"Delete"_s << QRect(1260, 60, 1155, 1035);
        QTest::newRow("Edit") << 2 << u"Edit"_s << QRect(2460, 60, 1155, 1035);
        QTest::newRow("Go To") << 3 << u"Go To"_s << QRect(3660, 60, 1155, 1035);
        QTest::newRow("website") << 4 << QString() << QRect(4860, 60, 4095, 1035);
        QTest::newRow("Copy Username") << 5 << u"Copy Username"_s << QRect(60, 1140, 2355, 795);
        QTest::newRow("Copy Password") << 6 << u"Copy Password"_s << QRect(2460, 1140, 2355, 795);
        QTest::newRow("Copy Used At") << 7 << u"Copy Used At"_s << QRect(4860, 1140, 4095, 795);
    }
    void load_buttons()
    {
        QFETCH(int, index);
        QFETCH(QString, caption);
        QFETCH(QRect, twips);
        AppFixture f;
        PictureButton *b = buttons(f.main())[size_t(index)];
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

    void load_fontIsVerdanaAtTheDialogsSize()
    {
        AppFixture f;
        QCOMPARE(f.main().font().family(), u"Verdana"_s);
        QCOMPARE(f.main().font().pointSizeF(), 8.25);
    }

    void load_copyButtonsShareOnePicture()
    {
        AppFixture f;
        const auto key = [](QToolButton *b) { return b->icon().pixmap(32).toImage(); };
        const MainWindow &m = f.main();
        QCOMPARE(key(m.copyButtons[0]), key(m.copyButtons[1]));
        QCOMPARE(key(m.copyButtons[0]), key(m.copyButtons[2]));
        QVERIFY(key(m.addButton) != key(m.deleteButton));
    }

    void load_tabOrder()
    {
        AppFixture f;
        MainWindow &m = f.main();
        m.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&m));
        const QList<QWidget *> expected{m.editButton, m.deleteButton,   m.websiteButton,  m.entryList, m.copyButtons[0],
                                        m.goToButton, m.copyButtons[1], m.copyButtons[2], m.addButton};
        QCOMPARE(tabWalk(m.addButton, int(expected.size())), expected);
    }

    void keys_enterPressesTheFocusedButtonOnce_data()
    {
        QTest::addColumn<int>("index"); // into buttons(); -1: the list has the focus
        for (int i = 0; i < 8; ++i) {
            QTest::addRow("button %d", i) << i;
        }
        QTest::newRow("the list") << -1;
    }
    void keys_enterPressesTheFocusedButtonOnce()
    {
        QFETCH(int, index);
        AppFixture f(ThreeRows);
        f.select({1});
        MainWindow &m = f.main();
        std::vector<std::unique_ptr<QSignalSpy>> spies;
        for (PictureButton *b : buttons(m)) {
            spies.push_back(std::make_unique<QSignalSpy>(b, &QAbstractButton::clicked));
        }
        const auto presses = [&] {
            QList<int> counts;
            for (const auto &spy : spies) {
                counts.append(int(spy->count()));
            }
            return counts;
        };
        QWidget *focused = index < 0 ? static_cast<QWidget *>(m.entryList) : buttons(m)[size_t(index)];
        QList<int> expected(8, 0);
        for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter}) {
            holdKey(focused, key);
            if (index >= 0) {
                ++expected[index];
            }
            QCOMPARE(presses(), expected);
        }
        if (index < 0) {
            QVERIFY(!f.app.entryDialog.isLoaded());
            QVERIFY(f.fake.messages.shown.isEmpty());
            QCOMPARE(f.rows(), ThreeRows);
        }
    }

    void load_menus()
    {
        // The desktop's menu font, unlike the window's: the bar and every menu show it.
        const QFont desktopMenus(u"DejaVu Serif"_s, 11);
        const auto restore =
            qScopeGuard([before = QApplication::font("QMenu")] { QApplication::setFont(before, "QMenu"); });
        QApplication::setFont(desktopMenus, "QMenu");
        AppFixture f;
        QCOMPARE(f.main().menuBar()->font(), desktopMenus);
        const QList<QPair<QString, QStringList>> expected{
            {u"File"_s, {u"Exit"_s}},
            {u"Data"_s,
             {u"Add Username/Password"_s, u"Delete Selected Item"_s, u"Edit Selected Item"_s,
              u"Goto \"Used At\" Location"_s}},
            {u"Copy"_s, {u"Selected Username"_s, u"Selected Password"_s, u"Selected Used At Location"_s}},
            {u"Help"_s, {u"View Help"_s}},
            {u"About"_s, {u"About this software"_s}},
        };
        const QList<QAction *> menus = f.main().menuBar()->actions();
        QCOMPARE(menus.size(), expected.size());
        for (qsizetype i = 0; i < menus.size(); ++i) {
            QCOMPARE(menus[i]->text(), expected[i].first);
            QMenu *menu = menus[i]->menu();
            QVERIFY(menu);
            QCOMPARE(menu->font(), desktopMenus);
            const QList<QAction *> items = menu->actions();
            QCOMPARE(items.size(), expected[i].second.size());
            for (qsizetype j = 0; j < items.size(); ++j) {
                QCOMPARE(items[j]->text(), expected[i].second[j]);
                QVERIFY(items[j]->shortcut().isEmpty());
            }
        }
    }

    void load_columnsTakeTheCopyButtonsWidths()
    {
        AppFixture f;
        QHeaderView *h = f.main().entryList->header();
        QCOMPARE(h->count(), 3);
        QCOMPARE(h->sectionSize(0), Twips::toPixels(2345));
        QCOMPARE(h->sectionSize(1), Twips::toPixels(2375));
        QCOMPARE(h->sectionSize(2), Twips::toPixels(4095));
        QVERIFY(!h->stretchLastSection());
        QVERIFY(!h->isSortIndicatorShown());
        QCOMPARE(h->defaultAlignment() & Qt::AlignHorizontal_Mask, Qt::AlignLeft);
        QCOMPARE(f.main().entryList->pos(), QPoint(Twips::toPixels(60), Twips::toPixels(1980)));
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
        AppFixture f({{u"a"_s, u"b"_s, u"c"_s}});
        MainWindow &m = f.main();
        QVERIFY(QTest::qWaitForWindowExposed(&m));
        QList<QRect> buttons;
        for (QToolButton *b : m.findChildren<QToolButton *>()) {
            buttons.append(b->geometry());
        }
        const QRect list = m.entryList->geometry();
        const QList<int> columns{m.entryList->columnWidth(0), m.entryList->columnWidth(1), m.entryList->columnWidth(2)};

        m.resize(m.width() + 300, m.height() + 200);
        QTRY_COMPARE(m.entryList->size(), list.size() + QSize(300, 200));
        QCOMPARE(m.entryList->pos(), list.topLeft());
        QList<QRect> after;
        for (QToolButton *b : m.findChildren<QToolButton *>()) {
            after.append(b->geometry());
        }
        QCOMPARE(after, buttons);
        QCOMPARE((QList<int>{m.entryList->columnWidth(0), m.entryList->columnWidth(1), m.entryList->columnWidth(2)}),
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
        AppFixture f;
        MainWindow &m = f.main();
        QVERIFY(QTest::qWaitForWindowExposed(&m));
        m.resize(size);
        QTest::qWait(50);
        const QSize twips = MainWindow::listSizeFor(MainWindow::outerSizeTwips(m.size()), QPoint(60, 1980));
        QCOMPARE(m.entryList->size(), QSize(Twips::toPixels(twips.width()), Twips::toPixels(twips.height())));
        QVERIFY(m.entryList->width() >= 0 && m.entryList->height() >= 0);
    }

    void minimiseAndRestore_keepsTheListSize()
    {
        AppFixture f;
        MainWindow &m = f.main();
        QVERIFY(QTest::qWaitForWindowExposed(&m));
        const QSize normal = m.size();
        const QSize list = m.entryList->size();
        m.setWindowState(Qt::WindowMinimized);
        QVERIFY(m.isMinimized());
        // Some desktops shrink a minimised window; the list must not follow.
        m.resize(160, 30);
        QTest::qWait(50);
        QCOMPARE(m.entryList->size(), list);
        m.setWindowState(Qt::WindowNoState);
        m.resize(normal);
        QTRY_COMPARE(m.entryList->size(), list);
    }

    void statusPanel_keepsItsLoadWidth()
    {
        AppFixture f;
        MainWindow &m = f.main();
        QVERIFY(QTest::qWaitForWindowExposed(&m));
        // The window's outer width when it loaded, before any frame was added.
        const int loadWidth = Twips::toPixels(9015);
        QCOMPARE(m.statusPanel->sizeHint().width(), loadWidth);
        const int left = m.statusPanel->x();
        m.resize(m.width() + 250, m.height() + 40);
        QTRY_COMPARE(m.width(), Twips::toPixels(9015) + 250);
        QCOMPARE(m.statusPanel->width(), loadWidth);
        QCOMPARE(m.statusPanel->x(), left);
        f.app.setStatusText(u"A status text much longer than before, to see that the panel does not grow"_s);
        QTest::qWait(0);
        QCOMPARE(m.statusPanel->width(), loadWidth);
    }

    // A status tip (a control's hint for the status bar) would take the bar's place for a moment; the panel stays.
    void statusPanel_staysThroughAStatusTip()
    {
        AppFixture f;
        MainWindow &m = f.main();
        QVERIFY(QTest::qWaitForWindowExposed(&m));
        f.app.setStatusText(u"Loaded 3 entries"_s);
        const QRect before = m.statusPanel->geometry();
        QStatusTipEvent tip(u"A hint from a control"_s);
        QApplication::sendEvent(&m, &tip);
        QTest::qWait(0);
        QVERIFY(m.statusPanel->isVisible());
        QCOMPARE(m.statusText(), u"Loaded 3 entries"_s);
        QCOMPARE(m.statusPanel->geometry(), before);
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
        AppFixture f;
        f.app.setStatusText(text);
        QCOMPARE(f.main().statusText(), text);
        QCOMPARE(f.main().statusPanel->text(), text);
        QCOMPARE(f.main().statusPanel->textFormat(), Qt::PlainText);
        // It stays: nothing clears it by time.
        QTest::qWait(50);
        QCOMPARE(f.main().statusText(), text);
    }

    // Every menu command the help file names is one the menus have, by its name on screen.
    void helpFile_namesTheMenusCommandsAsTheyAre()
    {
        QFile file(QStringLiteral(BRISVANE_SOURCE_DIR "/assets/Help.rtf"));
        QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(file.fileName()));
        QTextDocument document;
        RtfReader reader;
        QVERIFY2(reader.read(file.readAll(), document), qPrintable(reader.errorString()));
        const QString help = document.toPlainText();

        AppFixture f;
        QMap<QString, QStringList> menus;
        for (QAction *title : f.main().menuBar()->actions()) {
            for (QAction *item : title->menu()->actions()) {
                menus[title->text()].append(item->text());
            }
        }
        QStringList named;
        // "choose X from the Y menu" and "Y > X" name an item; "the Y menu" names a menu.
        const QRegularExpression itemNames[] = {
            QRegularExpression(u"[Cc]hoose (?<item>.+?) from the (?<menu>\\S+) menu"_s),
            QRegularExpression(u"\\b(?<menu>\\w+) > (?<item>[^.,;\\n]+)"_s)};
        for (const QRegularExpression &re : itemNames) {
            for (const QRegularExpressionMatch &m : re.globalMatch(help)) {
                named.append(m.captured(u"menu") + u" > "_s + m.captured(u"item").trimmed());
                QVERIFY2(menus.value(m.captured(u"menu")).contains(m.captured(u"item").trimmed()),
                         qPrintable(u"no item \""_s + named.last() + u'"'));
            }
        }
        static const QRegularExpression menuName(u"\\b[Tt]he (\\S+) menu"_s);
        for (const QRegularExpressionMatch &m : menuName.globalMatch(help)) {
            named.append(m.captured(1));
            QVERIFY2(menus.contains(m.captured(1)), qPrintable(u"no menu \""_s + m.captured(1) + u'"'));
        }
        QVERIFY2(named.size() >= 4, qPrintable(named.join(u", "_s)));
    }

    void menuItemAndButton_haveTheSameEffect_data()
    {
        QTest::addColumn<int>("button");
        QTest::addColumn<QString>("itemName");
        QTest::addColumn<QList<int>>("selected");
        QTest::newRow("Add") << 0 << u"addAction"_s << QList<int>{};
        QTest::newRow("Delete, nothing selected") << 1 << u"deleteAction"_s << QList<int>{};
        QTest::newRow("Delete the second row") << 1 << u"deleteAction"_s << QList<int>{1};
        QTest::newRow("Edit the third row") << 2 << u"editAction"_s << QList<int>{2};
        QTest::newRow("Edit, nothing selected") << 2 << u"editAction"_s << QList<int>{};
        QTest::newRow("Go To the first row") << 3 << u"goToAction"_s << QList<int>{0};
        QTest::newRow("Copy Username") << 5 << u"copyUsernameAction"_s << QList<int>{2};
        QTest::newRow("Copy Password") << 6 << u"copyPasswordAction"_s << QList<int>{1, 2};
        QTest::newRow("Copy Used At") << 7 << u"copyLocationAction"_s << QList<int>{0};
        QTest::newRow("Copy, nothing selected") << 7 << u"copyLocationAction"_s << QList<int>{};
    }
    void menuItemAndButton_haveTheSameEffect()
    {
        QFETCH(int, button);
        QFETCH(QString, itemName);
        QFETCH(QList<int>, selected);

        AppFixture byButton(ThreeRows);
        byButton.select(selected);
        const Effect before = effectOf(byButton);
        QTest::mouseClick(buttons(byButton.main())[size_t(button)], Qt::LeftButton);
        const Effect clicked = effectOf(byButton);
        QVERIFY2(!(clicked == before), "the button did nothing that can be seen");

        AppFixture byMenu(ThreeRows);
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
        AppFixture f(ThreeRows);
        MainWindow &m = f.main();
        QVERIFY(QTest::qWaitForWindowExposed(&m));
        f.app.setStatusText(u"before"_s);
        const QByteArray vault = f.vaultBytes();
        const QRect cell = m.entryList->visualRect(f.entries().index(1, 0));
        QVERIFY(cell.isValid());
        QTest::mouseDClick(m.entryList->viewport(), Qt::LeftButton, {}, cell.center());
        QTest::qWait(50);
        QVERIFY(!f.app.entryDialog.isLoaded());
        QVERIFY(f.fake.messages.shown.isEmpty());
        QVERIFY(f.fake.opener.locations.isEmpty());
        QCOMPARE(m.entryList->findChild<QLineEdit *>(), nullptr); // no cell editor opened
        QCOMPARE(f.rows(), ThreeRows);
        QCOMPARE(f.status(), u"before"_s);
        QCOMPARE(f.vaultBytes(), vault);
    }

    void headerClick_sortsTheList()
    {
        AppFixture f(ThreeRows);
        MainWindow &m = f.main();
        QVERIFY(QTest::qWaitForWindowExposed(&m));
        QHeaderView *h = m.entryList->header();
        const QPoint password(h->sectionViewportPosition(1) + 10, h->height() / 2);
        QTest::mouseClick(h->viewport(), Qt::LeftButton, {}, password);
        QCOMPARE(f.rows().value(0).value(1), u"<b>a-pass"_s);
        QCOMPARE(f.rows().value(2).value(1), u"c-pass"_s);
        QTest::mouseClick(h->viewport(), Qt::LeftButton, {}, password);
        QCOMPARE(f.rows().value(0).value(1), u"c-pass"_s);
        const QPoint username(h->sectionViewportPosition(0) + 10, h->height() / 2);
        QTest::mouseClick(h->viewport(), Qt::LeftButton, {}, username);
        QCOMPARE(f.rows().value(0).value(0), u"alice"_s);
        QCOMPARE(f.rows().value(1).value(0), u"Bob"_s);
        // Two quick clicks are two header clicks, though the second arrives as a double-click: two flips.
        QTest::mouseClick(h->viewport(), Qt::LeftButton, {}, password);
        QTest::mouseDClick(h->viewport(), Qt::LeftButton, {}, password);
        QCOMPARE(f.rows().value(0).value(1), u"<b>a-pass"_s);
        // Sorting changes the order only in memory; the file follows at the next save.
        QCOMPARE(f.vaultBytes(), AppFixture::vaultFor(ThreeRows));
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
        AppFixture f(ThreeRows);
        f.writeHelpFile();
        f.app.start();
        f.app.splash.get()->tickTimer->stop();
        f.app.openHelpWindow();
        f.app.openAboutWindow();
        f.app.openEntryDialog();
        f.app.launchWebsite();
        f.app.websiteLauncher.get()->lifetimeTimer->stop();
        QVERIFY(f.app.helpWindow.isLoaded() && f.app.aboutWindow.isLoaded());
        QVERIFY(f.app.entryDialog.isLoaded() && f.app.websiteLauncher.isLoaded());
        const QByteArray vault = f.vaultBytes();

        if (byMenu) {
            menuItem(f.main(), u"exitAction"_s)->trigger();
        } else {
            f.main().close();
        }
        QCOMPARE(f.fake.end.ends, 1);
        QVERIFY(!f.app.helpWindow.isLoaded());
        QVERIFY(!f.app.aboutWindow.isLoaded());
        QVERIFY(!f.app.entryDialog.isLoaded());
        QVERIFY(!f.app.splash.isLoaded());
        QVERIFY(!f.app.websiteLauncher.isLoaded());
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
        AppFixture f(ThreeRows);
        const QByteArray before = f.vaultBytes();
        f.failSaves();
        f.entries().appendEntry(Entry::fromText(u"dave"_s, u"4-pass"_s, u"d.example"_s));
        QVERIFY(!f.app.store().save());
        QVERIFY(f.app.store().lastSaveFailed());
        QCOMPARE(f.vaultBytes(), before);
        f.fake.messages.shown.clear();
        if (retryWorks) {
            f.app.store().setFaultHook({});
        }
        f.fake.messages.answers = {MessageBoxes::Answer::Ok, answer};

        f.main().close();
        QCOMPARE(f.fake.end.ends, ends ? 1 : 0);
        if (retryWorks) {
            QVERIFY(f.fake.messages.shown.isEmpty());
            AppFixture::Rows rows = ThreeRows;
            rows.append({u"dave"_s, u"4-pass"_s, u"d.example"_s});
            QCOMPARE(f.vaultBytes(), AppFixture::vaultFor(rows));
            return;
        }
        QCOMPARE(f.fake.messages.shown.size(), 2); // the failed retry, then the question
        const FakeMessageBoxes::Shown &question = f.fake.messages.shown.last();
        QCOMPARE(question.buttons, MessageBoxes::Buttons::OkCancel);
        QCOMPARE(f.vaultBytes(), before);
        if (!ends) {
            QVERIFY(f.app.mainWindow.isLoaded());
            QVERIFY(f.main().isVisible());
            QCOMPARE(f.rows().size(), 4);
            // Once the disk works again, closing saves the change and ends.
            f.app.store().setFaultHook({});
            f.main().close();
            QCOMPARE(f.fake.end.ends, 1);
            QCOMPARE(f.vaultBytes(), AppFixture::vaultFor(f.rows()));
        }
    }

    void close_afterAnUnconfirmedSave_saysTheChangeIsWritten()
    {
        AppFixture f(ThreeRows);
        f.app.store().setFaultHook([](VaultFile::Step step) { return step == VaultFile::Step::FlushFolder ? EIO : 0; });
        f.entries().appendEntry(Entry::fromText(u"dave"_s, u"4-pass"_s, u"d.example"_s));
        QVERIFY(!f.app.store().save());
        QVERIFY(f.app.store().lastSaveUnconfirmed());
        f.fake.messages.shown.clear();
        f.fake.messages.answers = {MessageBoxes::Answer::Ok, MessageBoxes::Answer::Ok};

        f.main().close();
        QCOMPARE(f.fake.messages.shown.size(), 2); // the retry, again not confirmed, then the question
        QVERIFY2(f.fake.messages.shown.last().text.startsWith(u"Your last change was written, but the disk"_s),
                 qPrintable(f.fake.messages.shown.last().text));
        QCOMPARE(f.fake.end.ends, 1);
        QCOMPARE(f.vaultBytes(), AppFixture::vaultFor(f.rows()));
    }

    void close_withoutAFailedSave_writesNothing()
    {
        AppFixture f(ThreeRows);
        f.entries().appendEntry(Entry::fromText(u"unsaved"_s, QString(), QString()));
        const QByteArray before = f.vaultBytes();
        f.main().close();
        QCOMPARE(f.fake.end.ends, 1);
        QCOMPARE(f.vaultBytes(), before);
    }
};

QTEST_MAIN(tst_MainWindow)
#include "tst_MainWindow.moc"
