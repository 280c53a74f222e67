// The start of a long text as windows show it: cut at a character, never inside one, with "…" for the rest.

#include "core/BoundedText.h"

#include <QTest>

using namespace Qt::StringLiterals;

class tst_BoundedText final : public QObject {
    Q_OBJECT

private slots:
    void boundedText_neverSplitsACharacter_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<qsizetype>("length");
        QTest::addColumn<QString>("bounded");
        QTest::newRow("fits") << u"abc"_s << qsizetype(3) << u"abc"_s;
        QTest::newRow("cut") << u"abcd"_s << qsizetype(3) << u"abc…"_s;
        QTest::newRow("pair at the cut left off whole") << u"ab😀d"_s << qsizetype(3) << u"ab…"_s;
        QTest::newRow("pair before the cut kept whole") << u"a😀cd"_s << qsizetype(3) << u"a😀…"_s;
    }
    void boundedText_neverSplitsACharacter()
    {
        QFETCH(QString, text);
        QFETCH(qsizetype, length);
        QFETCH(QString, bounded);
        QCOMPARE(BoundedText::of(text, length), bounded);
    }
};

QTEST_GUILESS_MAIN(tst_BoundedText)
#include "tst_BoundedText.moc"
