// The document view draws the tab leaders that Qt's text layout leaves out.

#include "rtf/RtfReader.h"
#include "ui/DocumentView.h"

#include <QAbstractTextDocumentLayout>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>

using namespace Qt::StringLiterals;

class tst_DocumentView final : public QObject {
    Q_OBJECT

private slots:
    void leaders_data();
    void leaders();
};

void tst_DocumentView::leaders_data()
{
    QTest::addColumn<QByteArray>("leader");
    QTest::addColumn<bool>("inked");

    QTest::newRow("dots") << "\\tldot"_ba << true;
    QTest::newRow("line") << "\\tlul"_ba << true;
    QTest::newRow("none") << QByteArray() << false;
}

// Between the word and the page number, along the line's lower half, there is ink only where a leader fills the tab.
void tst_DocumentView::leaders()
{
    QFETCH(QByteArray, leader);
    QFETCH(bool, inked);

    DocumentView view;
    view.resize(400, 100);
    RtfReader reader;
    QVERIFY(reader.read("{\\rtf1\\fs24\\tqr"_ba + leader + "\\tx4500 Keeping\\tab 1\\par}"_ba, *view.document()));
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    const QImage image = view.viewport()->grab().toImage();
    const QTextLine line = view.document()->begin().layout()->lineAt(0);
    const QPointF origin = view.document()->documentLayout()->blockBoundingRect(view.document()->begin()).topLeft();
    const int from = qRound(origin.x() + line.cursorToX(7)) + 4; // past "Keeping" and the gap before the leader
    const int to = qRound(origin.x() + line.cursorToX(8)) - 4;
    QVERIFY(to - from > 100);
    int ink = 0;
    for (int y = qRound(origin.y() + line.y() + line.height() / 2); y < origin.y() + line.y() + line.height(); ++y)
        for (int x = from; x < to; ++x)
            ink += qGray(image.pixel(x, y)) < 160 ? 1 : 0;
    QCOMPARE(ink > 20, inked);
}

QTEST_MAIN(tst_DocumentView)
#include "tst_DocumentView.moc"
