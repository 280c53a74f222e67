// The vault's code page and its keyless cipher, byte by byte.

#include "core/CodePage1252.h"
#include "core/HighBitCipher.h"

#include <QTest>

#include <array>

using namespace Qt::StringLiterals;

namespace {

// Windows-1252 as published, without best-fit additions. Bytes 0x00-0x7F and 0xA0-0xFF are the characters of
// the same number; this lists the block between them. The five bytes the code page leaves undefined stand for
// the control characters of the same number, so that every byte of a file survives a read and a write.
struct HighByte {
    unsigned char byte;
    char16_t character;
    const char *name;
};
constexpr std::array<HighByte, 32> Published = {{
    {0x80, 0x20AC, "euro sign"},
    {0x81, 0x0081, "undefined 0x81"},
    {0x82, 0x201A, "single low-9 quotation mark"},
    {0x83, 0x0192, "latin small f with hook"},
    {0x84, 0x201E, "double low-9 quotation mark"},
    {0x85, 0x2026, "horizontal ellipsis"},
    {0x86, 0x2020, "dagger"},
    {0x87, 0x2021, "double dagger"},
    {0x88, 0x02C6, "modifier circumflex"},
    {0x89, 0x2030, "per mille sign"},
    {0x8A, 0x0160, "capital S with caron"},
    {0x8B, 0x2039, "single left-pointing angle quotation mark"},
    {0x8C, 0x0152, "capital ligature OE"},
    {0x8D, 0x008D, "undefined 0x8D"},
    {0x8E, 0x017D, "capital Z with caron"},
    {0x8F, 0x008F, "undefined 0x8F"},
    {0x90, 0x0090, "undefined 0x90"},
    {0x91, 0x2018, "left single quotation mark"},
    {0x92, 0x2019, "right single quotation mark"},
    {0x93, 0x201C, "left double quotation mark"},
    {0x94, 0x201D, "right double quotation mark"},
    {0x95, 0x2022, "bullet"},
    {0x96, 0x2013, "en dash"},
    {0x97, 0x2014, "em dash"},
    {0x98, 0x02DC, "small tilde"},
    {0x99, 0x2122, "trade mark sign"},
    {0x9A, 0x0161, "small s with caron"},
    {0x9B, 0x203A, "single right-pointing angle quotation mark"},
    {0x9C, 0x0153, "small ligature oe"},
    {0x9D, 0x009D, "undefined 0x9D"},
    {0x9E, 0x017E, "small z with caron"},
    {0x9F, 0x0178, "capital Y with diaeresis"},
}};

char16_t publishedCharacter(unsigned char byte)
{
    for (const HighByte &h : Published) {
        if (h.byte == byte) {
            return h.character;
        }
    }
    return byte;
}

// The bytes with bit 7 of each inverted, as the vault file holds them.
QByteArray toggled(QByteArrayView bytes)
{
    QByteArray out(bytes.size(), Qt::Uninitialized);
    HighBitCipher::toggleInto(bytes.data(), out.data(), bytes.size());
    return out;
}

QString textOf(char16_t c)
{
    return QString(QChar(c));
}

QByteArray bytesOf(const char *hex)
{
    return QByteArray::fromHex(hex);
}

} // namespace

class tst_CodePage : public QObject {
    Q_OBJECT

private:
    static void addEveryByte()
    {
        QTest::addColumn<int>("byte");
        QTest::addColumn<int>("character");
        for (int b = 0; b < 256; ++b) {
            QByteArray name = "0x" + QByteArray::number(b, 16).rightJustified(2, '0');
            for (const HighByte &h : Published) {
                if (h.byte == b) {
                    name += ' ';
                    name += h.name;
                }
            }
            QTest::newRow(name.constData()) << b << int(publishedCharacter(static_cast<unsigned char>(b)));
        }
    }

private slots:
    void toUnicode_eachByte_isThePublishedCharacter_data() { addEveryByte(); }
    void toUnicode_eachByte_isThePublishedCharacter()
    {
        QFETCH(int, byte);
        QFETCH(int, character);
        const auto b = static_cast<unsigned char>(byte);

        QCOMPARE(int(CodePage1252::toUnicode(b)), character);
        QCOMPARE(CodePage1252::toByte(char16_t(character)), byte);

        const char raw = char(b);
        QCOMPARE(CodePage1252::toUnicode(QByteArrayView(&raw, 1)), textOf(char16_t(character)));
        QByteArray back;
        QVERIFY(CodePage1252::fromUnicode(textOf(char16_t(character)), back));
        QCOMPARE(back, QByteArray(1, raw));
    }

    void toggleHighBit_eachCharacter_swapsWithTheCharacterOfTheOtherHalf_data() { addEveryByte(); }
    void toggleHighBit_eachCharacter_swapsWithTheCharacterOfTheOtherHalf()
    {
        QFETCH(int, byte);
        QFETCH(int, character);
        const QByteArray plain(1, char(byte));
        const QByteArray enciphered = toggled(plain);
        QCOMPARE(CodePage1252::toUnicode(enciphered),
                 textOf(publishedCharacter(static_cast<unsigned char>(byte ^ 0x80))));
        QCOMPARE(toggled(enciphered), plain);
        QCOMPARE(CodePage1252::toUnicode(plain), textOf(char16_t(character)));
    }

    // Searches the whole Basic Multilingual Plane: exactly the 256 published characters have a byte. A stray
    // extra mapping would let a character be stored as the wrong byte.
    void toByte_everyBmpCharacter_onlyThePublishedOnesHaveBytes()
    {
        std::array<int, 256> hits{};
        int mapped = 0;
        for (int c = 0; c <= 0xFFFF; ++c) {
            const int b = CodePage1252::toByte(char16_t(c));
            if (b < 0) {
                continue;
            }
            QVERIFY2(b < 256, qPrintable(u"U+%1 maps outside a byte"_s.arg(c, 4, 16, QChar(u'0'))));
            QVERIFY2(publishedCharacter(static_cast<unsigned char>(b)) == c,
                     qPrintable(u"U+%1 maps to 0x%2, which stands for another character"_s.arg(c, 4, 16, QChar(u'0'))
                                    .arg(b, 2, 16, QChar(u'0'))));
            ++hits[b];
            ++mapped;
        }
        QCOMPARE(mapped, 256);
        for (int b = 0; b < 256; ++b) {
            QCOMPARE(hits[b], 1);
        }
    }

    void fromUnicode_allBytesAsText_giveTheSameBytesBack()
    {
        QByteArray all(256, Qt::Uninitialized);
        for (int b = 0; b < 256; ++b) {
            all[b] = char(b);
        }
        const QString text = CodePage1252::toUnicode(all);
        QCOMPARE(text.size(), 256);
        QByteArray back;
        QVERIFY(CodePage1252::fromUnicode(text, back));
        QCOMPARE(back, all);
    }

    void fromUnicode_characterWithoutByte_isRefusedAtItsPosition_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<qsizetype>("badIndex");
        QTest::newRow("U+0100 latin capital A with macron") << u"\u0100"_s << qsizetype(0);
        QTest::newRow("U+4E2D after two letters") << u"ab\u4E2Dc"_s << qsizetype(2);
        QTest::newRow("emoji surrogate pair") << u"x\U0001F600"_s << qsizetype(1);
        QTest::newRow("lone high surrogate") << QString(QChar(0xD83D)) << qsizetype(0);
        QTest::newRow("lone low surrogate") << (u"ok"_s + QChar(0xDE00)) << qsizetype(2);
        QTest::newRow("U+0080, whose byte holds the euro sign") << u"a\u0080"_s << qsizetype(1);
        QTest::newRow("U+008A, whose byte holds S caron") << u"\u008A"_s << qsizetype(0);
        QTest::newRow("U+009F, whose byte holds Y diaeresis") << u"\u009F"_s << qsizetype(0);
        QTest::newRow("U+FFFD replacement character") << u"\uFFFD"_s << qsizetype(0);
        QTest::newRow("U+2028 line separator") << u"a\u2028"_s << qsizetype(1);
        QTest::newRow("first of two refused characters") << u"\u20AC\u0100\u0101"_s << qsizetype(1);
    }
    void fromUnicode_characterWithoutByte_isRefusedAtItsPosition()
    {
        QFETCH(QString, text);
        QFETCH(qsizetype, badIndex);
        QByteArray out;
        qsizetype at = -1;
        QVERIFY(!CodePage1252::fromUnicode(text, out, &at));
        QCOMPARE(at, badIndex);
        QVERIFY(!CodePage1252::fromUnicode(text, out)); // no index wanted: still refused, no crash
    }

    void fromUnicode_emptyText_isEmptyBytes()
    {
        QByteArray out = "left over";
        QVERIFY(CodePage1252::fromUnicode(QString(), out));
        QVERIFY(out.isEmpty());
        QVERIFY(CodePage1252::toUnicode(QByteArrayView()).isEmpty());
    }

    void toggleHighBit_bytes_data()
    {
        QTest::addColumn<QByteArray>("plain");
        QTest::addColumn<QByteArray>("enciphered");
        QTest::newRow("abc") << QByteArrayLiteral("abc") << bytesOf("e1e2e3");
        QTest::newRow("empty") << QByteArray() << QByteArray();
        QTest::newRow("space <-> 0xA0") << QByteArrayLiteral(" ") << bytesOf("a0");
        QTest::newRow("euro 0x80 <-> NUL") << bytesOf("80") << bytesOf("00");
        QTest::newRow("S caron 0x8A <-> LF") << bytesOf("8a") << bytesOf("0a");
        QTest::newRow("0x8D <-> CR") << bytesOf("8d") << bytesOf("0d");
        QTest::newRow("separator") << QByteArrayLiteral("|||") << bytesOf("fcfcfc");
        QTest::newRow("0xFF <-> 0x7F") << bytesOf("ff") << bytesOf("7f");
    }
    void toggleHighBit_bytes()
    {
        QFETCH(QByteArray, plain);
        QFETCH(QByteArray, enciphered);
        QCOMPARE(toggled(plain), enciphered);
        QCOMPARE(toggled(enciphered), plain);
    }
};

QTEST_GUILESS_MAIN(tst_CodePage)
#include "tst_CodePage.moc"
