// The status text of a confirmed save: the date and time in the user's own format, the year in full, no time zone.

#include "app/SaveReport.h"

#include <QDateTime>
#include <QLocale>
#include <QTest>
#include <QTimeZone>

using namespace Qt::StringLiterals;

class tst_SaveReport final : public QObject {
    Q_OBJECT

private slots:
    // The year in four digits, in the user's order and with the user's separators.
    void savedStatusText_isShortDateBlankLongTimeWithoutZone_data()
    {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QString>("text");
        QTest::newRow("en_US") << QLocale(QLocale::English, QLocale::UnitedStates) << u"Saved 12/6/2026 2:45:37 PM"_s;
        QTest::newRow("en_GB, yyyy already")
            << QLocale(QLocale::English, QLocale::UnitedKingdom) << u"Saved 06/12/2026 14:45:37"_s;
        QTest::newRow("de_DE") << QLocale(QLocale::German, QLocale::Germany) << u"Saved 06.12.2026 14:45:37"_s;
        QTest::newRow("ja_JP, year first")
            << QLocale(QLocale::Japanese, QLocale::Japan) << u"Saved 2026/12/06 14\u664245\u520637\u79D2"_s;
        QTest::newRow("nl_NL, two-digit day and month")
            << QLocale(QLocale::Dutch, QLocale::Netherlands) << u"Saved 06-12-2026 14:45:37"_s;
        QTest::newRow("fr_CA, quoted letters kept")
            << QLocale(QLocale::French, QLocale::Canada) << u"Saved 2026-12-06 14 h 45 min 37 s"_s;
    }
    void savedStatusText_isShortDateBlankLongTimeWithoutZone()
    {
        QFETCH(QLocale, locale);
        QFETCH(QString, text);
        // A zone that the long time format would name, were it not left out.
        const QDateTime when(QDate(2026, 12, 6), QTime(14, 45, 37), QTimeZone("Europe/Berlin"));
        QCOMPARE(SaveReport::savedStatusText(when, locale), text);
    }
};

QTEST_GUILESS_MAIN(tst_SaveReport)
#include "tst_SaveReport.moc"
