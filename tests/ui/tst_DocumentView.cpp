// The document view draws the tab leaders that Qt's text layout leaves out.
#include "rtf/RtfReader.h"
#include "ui/DocumentView.h"

#include <QAbstractTextDocumentLayout>
#include <QTest>
#include <QTextBlock>

using namespace Qt::StringLiterals;

class tst_DocumentView final : public QObject {
    Q_OBJECT

private slots:
    void leaders_data()
    {
        QTest::addColumn<QByteArray>("leader");
        QTest::addColumn<bool>("inked");
        QTest::newRow("dots") << "\\tldot"_ba << true;
        QTest::newRow("line") << "\\tlul"_ba << true;
        QTest::newRow("none") << QByteArray() << false;
    }
    // Between the word and the page number, in the line's lower half, there is ink only where a leader fills the tab.
    void leaders()
    {
        QFETCH(QByteArray, leader);
        QFETCH(bool, inked);
        DocumentView view;
        view.resize(400, 100);
        QVERIFY(RtfReader().read("{\\rtf1\\tqr"_ba + leader + "\\tx4500 Keeping\\tab 1\\par}"_ba, *view.document()));
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        const QImage image = view.viewport()->grab().toImage();
        const QTextLine line = view.document()->begin().layout()->lineAt(0);
        const QPointF at = view.document()->documentLayout()->blockBoundingRect(view.document()->begin()).topLeft();
        int ink = 0;
        for (int y = qRound(at.y() + line.y() + line.height() / 2); y < at.y() + line.y() + line.height(); ++y)
            for (int x = qRound(at.x() + line.cursorToX(7)) + 4; x < at.x() + line.cursorToX(8) - 4; ++x)
                ink += qGray(image.pixel(x, y)) < 160 ? 1 : 0;
        QCOMPARE(ink > 20, inked);
    }
};

QTEST_MAIN(tst_DocumentView)
#include "tst_DocumentView.moc"
