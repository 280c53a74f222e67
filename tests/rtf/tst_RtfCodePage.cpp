// The Windows code pages that RTF files name, decoded by number, on sound and on broken bytes.

#include "rtf/RtfCodePage.h"

#include <QTest>

using namespace Qt::StringLiterals;

class tst_RtfCodePage : public QObject {
    Q_OBJECT

private slots:
    void decode_data();
    void decode();
};

void tst_RtfCodePage::decode_data()
{
    QTest::addColumn<int>("codePage");
    QTest::addColumn<QByteArray>("hex");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("leadBytes"); // which bytes may start a pair, whatever their place, as 1 and 0
    QTest::newRow("1250 Polish") << 1250 << "5a61bff3b3e6"_ba << u"Zażółć"_s << u"000000"_s;
    QTest::newRow("1251 Russian") << 1251 << "cff0e8e2e5f2"_ba << u"Привет"_s << u"000000"_s;
    QTest::newRow("1253 Greek") << 1253 << "c3e5e9dc"_ba << u"Γειά"_s << u"0000"_s;
    QTest::newRow("1254 Turkish") << 1254 << "f0fcfe"_ba << u"ğüş"_s << u"000"_s;
    QTest::newRow("1255 Hebrew") << 1255 << "f9ece5ed"_ba << u"שלום"_s << u"0000"_s;
    QTest::newRow("1256 Arabic") << 1256 << "e3d1cdc8c7"_ba << u"مرحبا"_s << u"00000"_s;
    QTest::newRow("1257 Baltic") << 1257 << "e0e8e6"_ba << u"ąčę"_s << u"000"_s;
    QTest::newRow("1258 Vietnamese") << 1258 << "f0f56e"_ba << u"đơn"_s << u"000"_s;
    QTest::newRow("874 Thai") << 874 << "cac7d1ca"_ba << u"สวัส"_s << u"0000"_s;
    QTest::newRow("932 Japanese") << 932 << "82b182f1a0"_ba << u"こん\uFFFD"_s << u"10110"_s;
    QTest::newRow("936 Chinese") << 936 << "c4e3bac3"_ba << u"你好"_s << u"1111"_s;
    QTest::newRow("949 Korean") << 949 << "c7d1b1b9"_ba << u"한국"_s << u"1111"_s;
    QTest::newRow("950 Chinese") << 950 << "a741a66e"_ba << u"你好"_s << u"1010"_s;
    QTest::newRow("lead byte before a space") << 936 << "c420c4e3"_ba << u"\uFFFD 你"_s << u"1011"_s;
    QTest::newRow("lead byte at the end") << 950 << "41a7"_ba << u"A\uFFFD"_s << u"01"_s;
    QTest::newRow("pair without a character") << 932 << "854041"_ba << u"\uFFFDA"_s << u"100"_s;
    QTest::newRow("byte without a character") << 1255 << "ff41"_ba << u"\uFFFDA"_s << u"00"_s;
    QTest::newRow("page without a table") << 20290 << "41c1"_ba << u"A\uFFFD"_s << u"00"_s;
    QTest::newRow("Johab pair without a table") << 1361 << "884141"_ba << u"\uFFFDA"_s << u"100"_s;
}

void tst_RtfCodePage::decode()
{
    QFETCH(int, codePage);
    QFETCH(QByteArray, hex);
    QFETCH(QString, text);
    QFETCH(QString, leadBytes);
    const QByteArray bytes = QByteArray::fromHex(hex);
    QCOMPARE(rtfDecodeBytes(codePage, bytes), text);
    QString leads;
    for (const char byte : bytes)
        leads += rtfIsLeadByte(codePage, uchar(byte)) ? u'1' : u'0';
    QCOMPARE(leads, leadBytes);
    QCOMPARE(rtfCanDecode(codePage), codePage != 20290 && codePage != 1361);
}

QTEST_GUILESS_MAIN(tst_RtfCodePage)
#include "tst_RtfCodePage.moc"
