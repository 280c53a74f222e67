// Fields of megabytes on screen: the entry list lays out and paints only what a cell shows, and the status panel
// holds the start of a long status text, also for a screen reader.

#include "core/EntryListModel.h"
#include "core/PublisherSettings.h"
#include "support/FakePlatform.h"
#include "support/Widgets.h"
#include "ui/EntryListView.h"
#include "ui/MainWindow.h"

#include <QAccessible>
#include <QLabel>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

constexpr qsizetype Huge = qsizetype(2) * 1024 * 1024;

} // namespace

class tst_LongFields final : public QObject {
    Q_OBJECT

private slots:
    void entryList_hugeFields_sizeHintsStayBounded()
    {
        EntryListModel model;
        model.appendEntry(Entry::fromFields(QByteArray(Huge, 'u'), QByteArray(Huge, 'p'), QByteArray(Huge, 'l')));
        model.appendEntry(Entry::fromText(u"short"_s, u"pw"_s, u"site"_s));
        EntryListView view;
        view.setEntryModel(&model);
        view.resize(600, 300);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        selectRows(&view, {0});
        QVERIFY(!view.grab().isNull());

        // At most the shown characters, at the widest letter, and the cell's margins.
        const int widest = QFontMetrics(view.font()).horizontalAdvance(QString(EntryListModel::ShownLength + 1, u'W'));
        const QAbstractItemView &itemView = view;
        for (int col = 0; col < Entry::FieldCount; ++col) {
            const int width = itemView.sizeHintForColumn(col);
            QVERIFY2(width > 0 && width <= widest + 100, qPrintable(u"column %1: %2 pixels"_s.arg(col).arg(width)));
        }
        QCOMPARE(view.sizeHintForRow(0), view.sizeHintForRow(1));
    }

    void statusPanel_longText_showsItsStart()
    {
        EntryListModel model;
        const PublisherSettings publisher = PublisherSettings::fromBuild();
        MainWindow window(model, publisher, QIcon());

        const QString text = u"Copied Password "_s + QString(Huge, u'x');
        window.setStatusText(text);
        const QString shown = child<QLabel>(&window, u"statusPanel"_s)->text();
        QVERIFY2(shown.size() < 1000, qPrintable(QString::number(shown.size())));
        QVERIFY(shown.endsWith(u'…'));
        QVERIFY(text.startsWith(shown.chopped(1)));
        QAccessibleInterface *panel = QAccessible::queryAccessibleInterface(child<QLabel>(&window, u"statusPanel"_s));
        QVERIFY(panel);
        QCOMPARE(panel->text(QAccessible::Name), shown);
    }
};

QTEST_MAIN(tst_LongFields)
#include "tst_LongFields.moc"
