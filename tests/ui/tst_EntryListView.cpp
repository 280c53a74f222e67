// The entry list view over its model: the selection follows its rows when the model sorts itself.

#include "core/EntryListModel.h"
#include "ui/EntryListView.h"

#include <QTest>

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
        view.selectRow(1);
        view.selectRow(3, true); // "c" and "a"
        const QPersistentModelIndex d(model.index(0, 2));

        model.sortByHeaderClick(1); // a b c d
        QCOMPARE(view.firstSelectedRow(), 0);
        QVERIFY(view.isRowSelected(2));
        QVERIFY(!view.isRowSelected(1) && !view.isRowSelected(3));
        QCOMPARE(view.currentIndex().row(), 0);
        QCOMPARE(d.row(), 3);
        QCOMPARE(d.data().toString(), u"l0"_s);

        model.sortByHeaderClick(1); // d c b a
        QCOMPARE(view.firstSelectedRow(), 1);
        QCOMPARE(model.entry(view.firstSelectedRow()).text(Entry::Username), u"c"_s);
        QVERIFY(view.isRowSelected(3));
        QCOMPARE(d.row(), 0);
    }
};

QTEST_MAIN(tst_EntryListView)
#include "tst_EntryListView.moc"
