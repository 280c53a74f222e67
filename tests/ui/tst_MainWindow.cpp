// The main window on its own: its design (captions, positions, keyboard order, menus, columns), the resize rule,
// the status text, the requests its buttons, menu items, keys and column headers emit with the row selected, and its
// close.

#include "core/EntryListModel.h"
#include "core/PublisherSettings.h"
#include "rtf/RtfReader.h"
#include "support/HeldKey.h"
#include "support/Widgets.h"
#include "ui/EntryListView.h"
#include "ui/MainWindow.h"
#include "ui/PictureButton.h"
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
#include <QStatusTipEvent>
#include <QTest>
#include <QTextDocument>

using namespace Qt::StringLiterals;

namespace {

using Rows = QList<QStringList>;

// Sorted by any column they change order, the user names differ in letter case, one password holds markup.
const Rows ThreeRows{
    {u"carol"_s, u"c-pass"_s, u"www.c.example"_s},
    {u"alice"_s, u"<b>a-pass"_s, u"/home/alice"_s},
    {u"Bob"_s, u"b-pass"_s, QString()},
};

// The buttons by name, and the request each emits: Add, Delete, Edit, Go To, website, then the three copy buttons.
// A request about the selected entry carries its row, which follows the name: "delete 1", "copy 0 -1".
const QStringList ButtonNames{u"addButton"_s,          u"deleteButton"_s,      u"editButton"_s,
                              u"goToButton"_s,         u"websiteButton"_s,     u"copyUsernameButton"_s,
                              u"copyPasswordButton"_s, u"copyLocationButton"_s};
const QStringList Requests{u"add"_s,     u"delete"_s, u"edit"_s,   u"goTo"_s,
                           u"website"_s, u"copy 0"_s, u"copy 1"_s, u"copy 2"_s};

QString request(qsizetype i, qsizetype selectedRow)
{
    return i == 0 || i == 4 ? Requests[i] : Requests[i] + u' ' + QString::number(selectedRow);
}

// A main window on a list of its own, shown as at the end of the start, recording every request it emits.
struct Window {
    explicit Window(const Rows &rows = {})
    {
        for (const QStringList &r : rows) {
            entries.appendEntry(Entry::fromText(r[0], r[1], r[2]));
        }
        QObject::connect(&main, &MainWindow::addRequested, &main, [this] { requests.append(Requests[0]); });
        QObject::connect(&main, &MainWindow::websiteRequested, &main, [this] { requests.append(Requests[4]); });
        const std::array<void (MainWindow::*)(qsizetype), 3> aboutARow{
            &MainWindow::deleteRequested, &MainWindow::editRequested, &MainWindow::goToRequested};
        for (qsizetype i = 1; i <= qsizetype(aboutARow.size()); ++i) {
            QObject::connect(&main, aboutARow[size_t(i - 1)], &main,
                             [this, i](qsizetype row) { requests.append(request(i, row)); });
        }
        QObject::connect(&main, &MainWindow::copyRequested, &main, [this](Entry::Field field, qsizetype row) {
            requests.append(u"copy "_s + QString::number(field) + u' ' + QString::number(row));
        });
        QObject::connect(&main, &MainWindow::sortRequested, &main,
                         [this](int column) { requests.append(u"sort "_s + QString::number(column)); });
        main.finishStartup();
    }
    PictureButton *button(qsizetype i) const { return child<PictureButton>(&main, ButtonNames[i]); }
    EntryListView *list() const { return child<EntryListView>(&main, u"entryList"_s); }
    QLabel *statusPanel() const { return child<QLabel>(&main, u"statusPanel"_s); }
    QList<QRect> buttonGeometries() const
    {
        QList<QRect> out;
        for (QToolButton *b : main.findChildren<QToolButton *>()) {
            out.append(b->geometry());
        }
        return out;
    }
    Rows rows() const
    {
        Rows out;
        for (int i = 0; i < entries.rowCount(); ++i) {
            const Entry &e = entries.entry(i);
            out.append({e.text(Entry::Username), e.text(Entry::Password), e.text(Entry::Location)});
        }
        return out;
    }

    QStringList requests; // by name, in order
    EntryListModel entries;
    const PublisherSettings publisher = PublisherSettings::fromBuild();
    MainWindow main{entries, publisher, QIcon()};
};

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
    void load_captionsAndFontComeFromThePublisher()
    {
        Window w;
        const PublisherSettings &p = w.publisher;
        QCOMPARE(p.productName, u"Brisvane"_s);
        QVERIFY(!p.companyName.isEmpty());
        QVERIFY(!p.publisherUrl.contains(u"://"_s));
        QCOMPARE(w.main.windowTitle(), u"Brisvane by "_s + p.companyName);
        QCOMPARE(w.button(4)->text(), u"Visit "_s + p.publisherUrl);
        QCOMPARE(w.button(4)->accessibleName(), w.button(4)->text());
        QVERIFY(!w.main.windowIcon().isNull());
        QCOMPARE(w.main.font().family(), u"Verdana"_s);
        QCOMPARE(w.main.font().pointSizeF(), 8.25);
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
        Window w;
        PictureButton *b = w.button(index);
        if (!caption.isEmpty()) {
            QCOMPARE(b->text(), caption);
        }
        QCOMPARE(b->accessibleName(), b->text());
        QCOMPARE(b->geometry(), Twips::rect(twips));
        QCOMPARE(b->toolButtonStyle(), Qt::ToolButtonTextUnderIcon);
        QCOMPARE(b->iconSize(), QSize(32, 32));
        QVERIFY(!b->icon().isNull());
        QVERIFY(b->focusPolicy() & Qt::TabFocus);
    }

    void load_copyButtonsShareOnePicture()
    {
        Window w;
        const auto key = [&w](int i) { return w.button(i)->icon().pixmap(32).toImage(); };
        QCOMPARE(key(5), key(6));
        QCOMPARE(key(5), key(7));
        QVERIFY(key(0) != key(1));
    }

    void load_tabOrder()
    {
        Window w;
        w.main.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w.main));
        const QList<QWidget *> expected{w.button(2), w.button(1), w.button(4), w.list(),   w.button(5),
                                        w.button(3), w.button(6), w.button(7), w.button(0)};
        QCOMPARE(tabWalk(w.button(0), int(expected.size())), expected);
    }

    void keys_enterPressesTheFocusedButtonOnce_data()
    {
        QTest::addColumn<int>("index"); // of the button; -1: the list has the focus
        for (int i = 0; i < 8; ++i) {
            QTest::newRow(qPrintable(ButtonNames[i])) << i;
        }
        QTest::newRow("the list") << -1;
    }
    void keys_enterPressesTheFocusedButtonOnce()
    {
        QFETCH(int, index);
        Window w(ThreeRows);
        selectRows(w.list(), {1});
        QWidget *focused = index < 0 ? static_cast<QWidget *>(w.list()) : w.button(index);
        QStringList expected;
        for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter}) {
            holdKey(focused, key);
            if (index >= 0) {
                expected.append(request(index, 1));
            }
            QCOMPARE(w.requests, expected);
        }
        QCOMPARE(w.rows(), ThreeRows);
    }

    void load_menus()
    {
        // The desktop's menu font, unlike the window's: the bar and every menu show it.
        const QFont desktopMenus(u"DejaVu Serif"_s, 11);
        const auto restore =
            qScopeGuard([before = QApplication::font("QMenu")] { QApplication::setFont(before, "QMenu"); });
        QApplication::setFont(desktopMenus, "QMenu");
        Window w;
        QCOMPARE(w.main.menuBar()->font(), desktopMenus);
        const QList<QPair<QString, QStringList>> expected{
            {u"File"_s, {u"Exit"_s}},
            {u"Data"_s,
             {u"Add Username/Password"_s, u"Delete Selected Item"_s, u"Edit Selected Item"_s,
              u"Goto \"Used At\" Location"_s}},
            {u"Copy"_s, {u"Selected Username"_s, u"Selected Password"_s, u"Selected Used At Location"_s}},
            {u"Help"_s, {u"View Help"_s}},
            {u"About"_s, {u"About this software"_s}},
        };
        const QList<QAction *> menus = w.main.menuBar()->actions();
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
        Window w;
        QHeaderView *h = w.list()->header();
        QCOMPARE(h->count(), 3);
        QCOMPARE(h->sectionSize(0), Twips::toPixels(2345));
        QCOMPARE(h->sectionSize(1), Twips::toPixels(2375));
        QCOMPARE(h->sectionSize(2), Twips::toPixels(4095));
        QVERIFY(!h->stretchLastSection());
        QVERIFY(!h->isSortIndicatorShown());
        QCOMPARE(h->defaultAlignment() & Qt::AlignHorizontal_Mask, Qt::AlignLeft);
        QCOMPARE(w.list()->pos(), QPoint(Twips::toPixels(60), Twips::toPixels(1980)));
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
        Window w(ThreeRows);
        QVERIFY(QTest::qWaitForWindowExposed(&w.main));
        const QList<QRect> buttons = w.buttonGeometries();
        const QRect list = w.list()->geometry();
        const auto columns = [&w] {
            return QList<int>{w.list()->columnWidth(0), w.list()->columnWidth(1), w.list()->columnWidth(2)};
        };
        const QList<int> columnsBefore = columns();

        w.main.resize(w.main.width() + 300, w.main.height() + 200);
        QTRY_COMPARE(w.list()->size(), list.size() + QSize(300, 200));
        QCOMPARE(w.list()->pos(), list.topLeft());
        QCOMPARE(w.buttonGeometries(), buttons);
        QCOMPARE(columns(), columnsBefore);
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
        Window w;
        QVERIFY(QTest::qWaitForWindowExposed(&w.main));
        w.main.resize(size);
        QTest::qWait(50);
        const QSize twips = MainWindow::listSizeFor(MainWindow::outerSizeTwips(w.main.size()), QPoint(60, 1980));
        QCOMPARE(w.list()->size(), QSize(Twips::toPixels(twips.width()), Twips::toPixels(twips.height())));
        QVERIFY(w.list()->width() >= 0 && w.list()->height() >= 0);
    }

    void minimiseAndRestore_keepsTheListSize()
    {
        Window w;
        QVERIFY(QTest::qWaitForWindowExposed(&w.main));
        const QSize normal = w.main.size();
        const QSize list = w.list()->size();
        w.main.setWindowState(Qt::WindowMinimized);
        QVERIFY(w.main.isMinimized());
        // Some desktops shrink a minimised window; the list must not follow.
        w.main.resize(160, 30);
        QTest::qWait(50);
        QCOMPARE(w.list()->size(), list);
        w.main.setWindowState(Qt::WindowNoState);
        w.main.resize(normal);
        QTRY_COMPARE(w.list()->size(), list);
    }

    void statusPanel_keepsItsLoadWidth()
    {
        Window w;
        QVERIFY(QTest::qWaitForWindowExposed(&w.main));
        QLabel *panel = w.statusPanel();
        // The window's outer width when it loaded, before any frame was added.
        const int loadWidth = Twips::toPixels(9015);
        QCOMPARE(panel->sizeHint().width(), loadWidth);
        const int left = panel->x();
        w.main.resize(w.main.width() + 250, w.main.height() + 40);
        QTRY_COMPARE(w.main.width(), Twips::toPixels(9015) + 250);
        QCOMPARE(panel->width(), loadWidth);
        QCOMPARE(panel->x(), left);
        w.main.setStatusText(u"A status text much longer than before, to see that the panel does not grow"_s);
        QTest::qWait(0);
        QCOMPARE(panel->width(), loadWidth);
    }

    // A status tip (a control's hint for the status bar) would take the bar's place for a moment; the panel stays.
    void statusPanel_staysThroughAStatusTip()
    {
        Window w;
        QVERIFY(QTest::qWaitForWindowExposed(&w.main));
        w.main.setStatusText(u"Loaded 3 entries"_s);
        const QRect before = w.statusPanel()->geometry();
        QStatusTipEvent tip(u"A hint from a control"_s);
        QApplication::sendEvent(&w.main, &tip);
        QTest::qWait(0);
        QVERIFY(w.statusPanel()->isVisible());
        QCOMPARE(w.statusPanel()->text(), u"Loaded 3 entries"_s);
        QCOMPARE(w.statusPanel()->geometry(), before);
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
        Window w;
        w.main.setStatusText(text);
        QCOMPARE(w.statusPanel()->text(), text);
        QCOMPARE(w.statusPanel()->textFormat(), Qt::PlainText);
        // It stays: nothing clears it by time.
        QTest::qWait(50);
        QCOMPARE(w.statusPanel()->text(), text);
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

        Window w;
        QMap<QString, QStringList> menus;
        for (QAction *title : w.main.menuBar()->actions()) {
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

    void menuItemAndButton_askForTheSameCommand_data()
    {
        QTest::addColumn<int>("button");
        QTest::addColumn<QString>("itemName");
        QTest::newRow("Add") << 0 << u"addAction"_s;
        QTest::newRow("Delete") << 1 << u"deleteAction"_s;
        QTest::newRow("Edit") << 2 << u"editAction"_s;
        QTest::newRow("Go To") << 3 << u"goToAction"_s;
        QTest::newRow("Copy Username") << 5 << u"copyUsernameAction"_s;
        QTest::newRow("Copy Password") << 6 << u"copyPasswordAction"_s;
        QTest::newRow("Copy Used At") << 7 << u"copyLocationAction"_s;
    }
    void menuItemAndButton_askForTheSameCommand()
    {
        QFETCH(int, button);
        QFETCH(QString, itemName);
        Window w(ThreeRows);
        QTest::mouseClick(w.button(button), Qt::LeftButton);
        child<QAction>(&w.main, itemName)->trigger();
        QCOMPARE(w.requests, QStringList(2, request(button, -1)));
    }

    void doubleClickOnARow_doesNothing()
    {
        Window w(ThreeRows);
        QVERIFY(QTest::qWaitForWindowExposed(&w.main));
        w.main.setStatusText(u"before"_s);
        const QRect cell = w.list()->visualRect(w.list()->model()->index(1, 0));
        QVERIFY(cell.isValid());
        QTest::mouseDClick(w.list()->viewport(), Qt::LeftButton, {}, cell.center());
        QTest::qWait(50);
        QVERIFY(w.requests.isEmpty());
        QCOMPARE(w.list()->findChild<QLineEdit *>(), nullptr); // no cell editor opened
        QCOMPARE(w.rows(), ThreeRows);
        QCOMPARE(w.statusPanel()->text(), u"before"_s);
    }

    // The window sorts nothing itself: a header click asks for its column.
    void headerClick_asksToSortByItsColumn()
    {
        Window w(ThreeRows);
        QVERIFY(QTest::qWaitForWindowExposed(&w.main));
        QHeaderView *h = w.list()->header();
        const auto header = [h](int column) {
            return QPoint(h->sectionViewportPosition(column) + 10, h->height() / 2);
        };
        QTest::mouseClick(h->viewport(), Qt::LeftButton, {}, header(1));
        QCOMPARE(w.rows(), ThreeRows);
        QTest::mouseClick(h->viewport(), Qt::LeftButton, {}, header(1));
        QTest::mouseClick(h->viewport(), Qt::LeftButton, {}, header(0));
        // Two quick clicks are two header clicks, though the second arrives as a double-click.
        QTest::mouseClick(h->viewport(), Qt::LeftButton, {}, header(2));
        QTest::mouseDClick(h->viewport(), Qt::LeftButton, {}, header(2));
        QCOMPARE(w.requests, (QStringList{u"sort 1"_s, u"sort 1"_s, u"sort 0"_s, u"sort 2"_s, u"sort 2"_s}));
    }

    void close_exitOrCloseBox_closesOnceTheGuardAgrees_data()
    {
        QTest::addColumn<bool>("byMenu");
        QTest::addColumn<bool>("agrees");
        QTest::newRow("File, Exit") << true << true;
        QTest::newRow("close box") << false << true;
        QTest::newRow("File, Exit, the guard says no") << true << false;
        QTest::newRow("close box, the guard says no") << false << false;
    }
    void close_exitOrCloseBox_closesOnceTheGuardAgrees()
    {
        QFETCH(bool, byMenu);
        QFETCH(bool, agrees);
        Window w;
        int asked = 0;
        QObject::connect(&w.main, &MainWindow::closeRequested, &w.main, [&] {
            ++asked;
            if (!agrees) {
                w.main.keepOpen();
            }
        });
        QSignalSpy closing(&w.main, &MainWindow::closing);
        if (byMenu) {
            child<QAction>(&w.main, u"exitAction"_s)->trigger();
        } else {
            w.main.close();
        }
        QCOMPARE(asked, 1);
        QCOMPARE(closing.count(), agrees ? 1 : 0);
        QCOMPARE(w.main.isVisible(), !agrees);
    }
};

QTEST_MAIN(tst_MainWindow)
#include "tst_MainWindow.moc"
