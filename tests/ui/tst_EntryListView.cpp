// The entry list view over its model: the selection follows its rows when the model sorts itself, and a tooltip
// shows a cell's text as typed.

#include "core/EntryListModel.h"
#include "support/Widgets.h"
#include "ui/EntryListView.h"

#include <QApplication>
#include <QHelpEvent>
#include <QTest>
#include <QTextDocument>
#include <QToolTip>

using namespace Qt::StringLiterals;

class tst_EntryListView : public QObject {
    Q_OBJECT

private slots:
    void sort_selectionFollowsItsRows()
    {
        EntryListModel model;
        model.setTextOrder(TextOrder(QLocale(QLocale::English, QLocale::UnitedStates)));
        std::vector<Entry> rows;
        const QStringList names{u"d"_s, u"c"_s, u"b"_s, u"a"_s};
        for (qsizetype i = 0; i < names.size(); ++i) {
            rows.push_back(Entry::fromText(names[i], u"p%1"_s.arg(i), u"l%1"_s.arg(i)));
        }
        model.appendEntries(std::move(rows));
        EntryListView view;
        view.setEntryModel(&model);
        selectRows(&view, {1, 3}); // "c" and "a"
        const QPersistentModelIndex d(model.index(0, 2));

        model.sortByHeaderClick(0); // a b c d
        QCOMPARE(view.firstSelectedRow(), 0);
        const auto isSelected = [&view](int row) { return view.selectionModel()->isRowSelected(row, {}); };
        QVERIFY(isSelected(2));
        QVERIFY(!isSelected(1) && !isSelected(3));
        QCOMPARE(view.currentIndex().row(), 0);
        QCOMPARE(d.row(), 3);
        QCOMPARE(d.data().toString(), u"l0"_s);

        model.sortByHeaderClick(0); // d c b a
        QCOMPARE(view.firstSelectedRow(), 1);
        QCOMPARE(model.entry(view.firstSelectedRow()).text(Entry::Username), u"c"_s);
        QVERIFY(isSelected(3));
        QCOMPARE(d.row(), 0);
    }

    void tooltip_showsTheTextAsTyped()
    {
        EntryListModel model;
        model.appendEntries({Entry::fromText(u"<b>bold</b> & co"_s, u"pw"_s, QString())});
        EntryListView view;
        view.setEntryModel(&model);
        view.resize(400, 200);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        const QRect cell = view.visualRect(view.model()->index(0, 0));
        QHelpEvent help(QEvent::ToolTip, cell.center(), view.viewport()->mapToGlobal(cell.center()));
        QApplication::sendEvent(view.viewport(), &help);
        QTextDocument shown;
        shown.setHtml(QToolTip::text());
        QCOMPARE(shown.toPlainText(), u"<b>bold</b> & co"_s);
    }
};

QTEST_MAIN(tst_EntryListView)
#include "tst_EntryListView.moc"
