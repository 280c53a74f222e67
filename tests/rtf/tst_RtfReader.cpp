#include "rtf/RtfReader.h"

#include <QColor>
#include <QFile>
#include <QFont>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

using namespace Qt::StringLiterals;

namespace {

// The document's text with paragraph ends as '\n'; unlike toPlainText() it keeps no-break spaces and line
// separators as they are.
QString textOf(const QTextDocument &document)
{
    QString text = document.toRawText();
    text.replace(QChar::ParagraphSeparator, u'\n');
    return text;
}

QString colorName(const QBrush &brush)
{
    return brush.style() == Qt::NoBrush ? QString() : brush.color().name();
}

// A compact description of the formatting that matters to the help window, so that a failure shows
// everything that differs at once.
QString describe(const QTextCharFormat &format)
{
    QStringList words;
    if (format.fontWeight() >= QFont::Bold)
        words << u"bold"_s;
    if (format.fontItalic())
        words << u"italic"_s;
    if (format.fontUnderline())
        words << u"underline"_s;
    if (format.fontStrikeOut())
        words << u"strike"_s;
    if (format.verticalAlignment() == QTextCharFormat::AlignSuperScript)
        words << u"super"_s;
    if (format.verticalAlignment() == QTextCharFormat::AlignSubScript)
        words << u"sub"_s;
    words << QString::number(format.fontPointSize()) + u"pt"_s;
    if (const QString color = colorName(format.foreground()); !color.isEmpty())
        words << u"color="_s + color;
    if (const QString color = colorName(format.background()); !color.isEmpty())
        words << u"background="_s + color;
    if (const QStringList families = format.fontFamilies().toStringList(); !families.isEmpty())
        words << u"font="_s + families.join(u',');
    return words.join(u' ');
}

QString describe(const QTextBlockFormat &format)
{
    QStringList words;
    const Qt::Alignment alignment = format.alignment() & Qt::AlignHorizontal_Mask;
    words << (alignment == Qt::AlignHCenter   ? u"center"_s
              : alignment == Qt::AlignRight   ? u"right"_s
              : alignment == Qt::AlignJustify ? u"justify"_s
                                              : u"left"_s);
    const auto length = [&words](const char16_t *name, qreal value) {
        if (value != 0)
            words << QString::fromUtf16(name) + u'=' + QString::number(value, 'g', 4);
    };
    length(u"margin", format.leftMargin());
    length(u"right", format.rightMargin());
    length(u"indent", format.textIndent());
    length(u"top", format.topMargin());
    length(u"bottom", format.bottomMargin());
    for (const QTextOption::Tab &tab : format.tabPositions())
        length(u"tab", tab.position);
    return words.join(u' ');
}

// The format of the first character of the first occurrence of needle.
QTextCharFormat formatAt(QTextDocument &document, const QString &needle)
{
    const int position = int(textOf(document).indexOf(needle));
    if (position < 0)
        return {};
    QTextCursor cursor(&document);
    cursor.setPosition(position + 1);
    return cursor.charFormat();
}

QByteArray repeated(QByteArrayView piece, qsizetype times)
{
    QByteArray result;
    result.reserve(piece.size() * times);
    for (qsizetype i = 0; i < times; ++i)
        result.append(piece);
    return result;
}

} // namespace

class tst_RtfReader final : public QObject {
    Q_OBJECT

private slots:
    void text_data();
    void text();
    void charFormat_data();
    void charFormat();
    void blockFormat_data();
    void blockFormat();
    void lists_data();
    void lists();
    void notRtf_data();
    void notRtf();
    void replacesContent();
    void depthLimitKeepsBalance();
    void limits_data();
    void limits();
    void structureBudgetKeepsText_data();
    void structureBudgetKeepsText();
    void hostileInputsFinish_data();
    void hostileInputsFinish();
    void fiftyMegabytes();
    void helpFile();
};

void tst_RtfReader::text_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QString>("expected");

    // Structure
    QTest::newRow("plain") << R"({\rtf1 Hello})"_ba << u"Hello"_s;
    QTest::newRow("empty document") << R"({\rtf1})"_ba << QString();
    QTest::newRow("paragraphs") << R"({\rtf1 A\par B})"_ba << u"A\nB"_s;
    QTest::newRow("closing par leaves no empty line") << R"({\rtf1 A\par})"_ba << u"A"_s;
    QTest::newRow("empty paragraph kept") << R"({\rtf1 A\par\par B\par})"_ba << u"A\n\nB"_s;
    QTest::newRow("backslash before line end is par") << "{\\rtf1 A\\\nB\\\r\nC}"_ba << u"A\nB\nC"_s;
    QTest::newRow("line ends are not text") << "{\\rtf1 A\r\nB\nC\rD}"_ba << u"ABCD"_s;
    QTest::newRow("one delimiting space eaten") << R"({\rtf1\b  two\b0 X})"_ba << u" twoX"_s;
    QTest::newRow("word ends at non-letter") << R"({\rtf1\b0,x})"_ba << u",x"_s;
    QTest::newRow("minus without digits is text") << R"({\rtf1\b- x})"_ba << u"- x"_s;
    QTest::newRow("text after the document ignored") << R"({\rtf1 A}B{\rtf1 C})"_ba << u"A"_s;
    QTest::newRow("unterminated group") << R"({\rtf1 A{\b B)"_ba << u"AB"_s;
    QTest::newRow("section page row end paragraphs")
        << R"({\rtf1 A\sect B\page C\cell D\row E})"_ba << u"A\nB\nC\tD\nE"_s;

    // Symbols and special characters
    QTest::newRow("escaped braces and backslash") << R"({\rtf1 \{a\}\\})"_ba << u"{a}\\"_s;
    QTest::newRow("non-breaking space") << R"({\rtf1 a\~b})"_ba << u"a\u00A0b"_s;
    QTest::newRow("optional hyphen") << R"({\rtf1 a\-b})"_ba << u"a\u00ADb"_s;
    QTest::newRow("non-breaking hyphen") << R"({\rtf1 a\_b})"_ba << u"a\u2011b"_s;
    QTest::newRow("tab and line") << R"({\rtf1 a\tab b\line c})"_ba << u"a\tb\u2028c"_s;
    QTest::newRow("named characters") << R"({\rtf1 \emdash\endash\bullet\lquote\rquote\ldblquote\rdblquote})"_ba
                                      << u"\u2014\u2013\u2022\u2018\u2019\u201C\u201D"_s;
    QTest::newRow("control bytes dropped") << "{\\rtf1 a\x01\x1f\x7f"
                                              "b\tc}"_ba
                                           << u"a\x7f"
                                              "b\tc"_s;
    QTest::newRow("unknown words ignored") << R"({\rtf1 \foo A\bar12 B\baz-3 C})"_ba << u"ABC"_s;

    // Code pages
    QTest::newRow("1252 euro") << R"({\rtf1\ansi\ansicpg1252 \'80})"_ba << u"\u20AC"_s;
    QTest::newRow("1252 e acute, either case") << R"({\rtf1\ansi caf\'e9 caf\'E9})"_ba << u"caf\u00E9 caf\u00E9"_s;
    QTest::newRow("1252 quotes and dashes")
        << R"({\rtf1 \'93\'94\'96\'97\'85})"_ba << u"\u201C\u201D\u2013\u2014\u2026"_s;
    QTest::newRow("1252 range ends") << R"({\rtf1 \'8a\'9f\'a0\'ff})"_ba << u"\u0160\u0178\u00A0\u00FF"_s;
    QTest::newRow("1252 undefined codes are C1 controls")
        << R"({\rtf1 \'81\'8d\'8f\'90\'9d})"_ba << u"\u0081\u008D\u008F\u0090\u009D"_s;
    QTest::newRow("raw high bytes use the code page") << "{\\rtf1 caf\xe9 \x80}"_ba << u"caf\u00E9 \u20AC"_s;
    QTest::newRow("hex zero dropped") << R"({\rtf1 a\'00b})"_ba << u"ab"_s;
    QTest::newRow("code page without a table") << R"({\rtf1\ansicpg1251 a\'e9b})"_ba << u"a\uFFFDb"_s;
    QTest::newRow("double-byte pair is one character") << R"({\rtf1\ansicpg932 a\'82\'a0b})"_ba << u"a\uFFFDb"_s;
    QTest::newRow("font charset wins over document page")
        << R"({\rtf1\ansicpg1251{\fonttbl{\f0\fcharset0 Arial;}}\f0 \'e9})"_ba << u"\u00E9"_s;
    QTest::newRow("symbol font bullet") << R"({\rtf1{\fonttbl{\f0 Arial;}{\f1\fnil\fcharset2 Symbol;}}\f1\'b7\f0 x})"_ba
                                        << u"\u2022x"_s;
    QTest::newRow("wingdings square bullet")
        << R"({\rtf1{\fonttbl{\f3\fcharset2 Wingdings;}}\f3\'a7})"_ba << u"\u25AA"_s;

    // Unicode
    QTest::newRow("u skips one fallback") << R"({\rtf1 \u233?x})"_ba << u"\u00E9x"_s;
    QTest::newRow("u fallback as hex escape") << R"({\rtf1 \u8364\'80x})"_ba << u"\u20ACx"_s;
    QTest::newRow("uc0 skips nothing") << R"({\rtf1\uc0 \u233?})"_ba << u"\u00E9?"_s;
    QTest::newRow("uc2 skips two") << R"({\rtf1\uc2 \u233\'65\'3f!})"_ba << u"\u00E9!"_s;
    QTest::newRow("uc2 counts bytes of text") << R"({\rtf1\uc2\u233 xyz})"_ba << u"\u00E9z"_s;
    QTest::newRow("skip stops at group end") << R"({\rtf1 {\u233}x})"_ba << u"\u00E9x"_s;
    QTest::newRow("uc is scoped to its group") << R"({\rtf1 {\uc0\u233}\u233?x})"_ba << u"\u00E9\u00E9x"_s;
    QTest::newRow("negative u") << R"({\rtf1 \u-223?})"_ba << u"\uFF21"_s;
    QTest::newRow("surrogate pair") << R"({\rtf1 \u-10179?\u-8704?})"_ba << u"\U0001F600"_s;
    QTest::newRow("surrogate pair, positive") << R"({\rtf1 \u55357?\u56832?})"_ba << u"\U0001F600"_s;
    QTest::newRow("code point above the BMP") << R"({\rtf1 \u128512?})"_ba << u"\U0001F600"_s;
    QTest::newRow("lone high surrogate") << R"({\rtf1 \u55357?x})"_ba << u"\uFFFDx"_s;
    QTest::newRow("lone high surrogate at end") << R"({\rtf1 x\u55357?})"_ba << u"x\uFFFD"_s;
    QTest::newRow("lone low surrogate") << R"({\rtf1 \u56832?x})"_ba << u"\uFFFDx"_s;
    QTest::newRow("huge u") << R"({\rtf1 \u99999999999?x})"_ba << u"\uFFFDx"_s;
    QTest::newRow("huge negative u") << R"({\rtf1 \u-99999999999?x})"_ba << u"\uFFFDx"_s;
    QTest::newRow("u zero dropped") << R"({\rtf1 a\u0?b})"_ba << u"ab"_s;
    QTest::newRow("u paragraph separator stays in the paragraph") << R"({\rtf1 a\u8233?b})"_ba << u"a\u2028b"_s;
    QTest::newRow("u frame markers neutralised") << R"({\rtf1 a\u-560?\u-559?\u-4?b})"_ba << u"a\uFFFD\uFFFD\uFFFDb"_s;
    QTest::newRow("long parameter") << R"({\rtf1 \fs00000000000000000000000000000024 x})"_ba << u"x"_s;

    // Destinations
    QTest::newRow("font table not shown") << R"({\rtf1{\fonttbl{\f0\fswiss Arial;}{\f1 Times;}}Hi})"_ba << u"Hi"_s;
    QTest::newRow("colour table not shown") << R"({\rtf1{\colortbl;\red255\green0\blue0;}Hi})"_ba << u"Hi"_s;
    QTest::newRow("ignorable destination") << R"({\rtf1{\*\foo secret {nested} text}shown})"_ba << u"shown"_s;
    QTest::newRow("stylesheet") << R"({\rtf1{\stylesheet{\s0 Normal;}{\s1 heading 1;}}x})"_ba << u"x"_s;
    QTest::newRow("info") << R"({\rtf1{\info{\title T}{\author Me}}x})"_ba << u"x"_s;
    QTest::newRow("picture") << R"({\rtf1 a{\pict\pngblip 89504e470d0a1a0a}b})"_ba << u"ab"_s;
    QTest::newRow("header and footer") << R"({\rtf1{\header top}{\footerr bottom}x})"_ba << u"x"_s;
    QTest::newRow("footnote") << R"({\rtf1 a{\footnote note}b})"_ba << u"ab"_s;
    QTest::newRow("object") << R"({\rtf1 a{\object\objemb{\*\objdata 0102}{\result shown?}}b})"_ba << u"ab"_s;
    QTest::newRow("field shows its result")
        << R"({\rtf1 {\field{\*\fldinst HYPERLINK "http://x.example"}{\fldrslt link}}!})"_ba << u"link!"_s;
    QTest::newRow("field instruction without star") << R"({\rtf1 {\field{\fldinst PAGE}{\fldrslt 3}}})"_ba << u"3"_s;
    QTest::newRow("hidden text") << R"({\rtf1 A{\v hidden}B\v C\v0 D})"_ba << u"ABD"_s;
    QTest::newRow("old list numbering skipped") << R"({\rtf1 {\*\pn\pnlvlblt\pnf1{\pntxtb\'B7}}x})"_ba << u"x"_s;

    // Binary data
    QTest::newRow("bin skips its length") << R"({\rtf1 A\bin4 {}\}B})"_ba << u"AB"_s;
    QTest::newRow("bin inside a skipped group") << R"({\rtf1 {\*\blip\bin2 }}}A})"_ba << u"A"_s;
    QTest::newRow("bin zero") << R"({\rtf1 A\bin0 B})"_ba << u"AB"_s;
    QTest::newRow("bin negative") << R"({\rtf1 A\bin-5 B})"_ba << u"AB"_s;
    QTest::newRow("bin past the end") << R"({\rtf1 A\bin999999999 BCD})"_ba << u"A"_s;

    // Cut-off escapes
    QTest::newRow("trailing backslash") << "{\\rtf1 A\\"_ba << u"A"_s;
    QTest::newRow("hex escape without digits") << "{\\rtf1 A\\'"_ba << u"A"_s;
    QTest::newRow("hex escape with one digit") << "{\\rtf1 A\\'4"_ba << u"A"_s;
    QTest::newRow("hex escape with a bad digit") << R"({\rtf1 A\'4x})"_ba << u"Ax"_s;
    QTest::newRow("word at the very end") << "{\\rtf1 A\\par"_ba << u"A"_s;
    QTest::newRow("parameter at the very end") << "{\\rtf1 A\\fs-2"_ba << u"A"_s;
}

void tst_RtfReader::text()
{
    QFETCH(QByteArray, rtf);
    QFETCH(QString, expected);

    QTextDocument document;
    RtfReader reader;
    QVERIFY2(reader.read(rtf, document), qPrintable(reader.errorString()));
    QCOMPARE(textOf(document), expected);
    QVERIFY(reader.errorString().isEmpty());
}

void tst_RtfReader::charFormat_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QString>("needle");
    QTest::addColumn<QString>("expected");

    const QByteArray tables =
        R"({\fonttbl{\f0\fswiss\fcharset0 Arial;}{\f1\froman Times New Roman;}{\f2\fcharset2 Symbol;}})"
        R"({\colortbl;\red255\green0\blue0;\red0\green0\blue255;})"_ba;
    const auto doc = [&tables](const char *body) { return "{\\rtf1\\ansi\\deff0"_ba + tables + body + "}"_ba; };

    QTest::newRow("default") << doc("x") << u"x"_s << u"12pt font=Arial"_s;
    QTest::newRow("bold on") << doc(R"(\b X\b0 y)") << u"X"_s << u"bold 12pt font=Arial"_s;
    QTest::newRow("bold off") << doc(R"(\b X\b0 y)") << u"y"_s << u"12pt font=Arial"_s;
    QTest::newRow("italic") << doc(R"(\i X)") << u"X"_s << u"italic 12pt font=Arial"_s;
    QTest::newRow("underline") << doc(R"(\ul X\ulnone y)") << u"X"_s << u"underline 12pt font=Arial"_s;
    QTest::newRow("ulnone") << doc(R"(\ul X\ulnone y)") << u"y"_s << u"12pt font=Arial"_s;
    QTest::newRow("ul0") << doc(R"(\ul X\ul0 y)") << u"y"_s << u"12pt font=Arial"_s;
    QTest::newRow("wave underline") << doc(R"(\ulwave X)") << u"X"_s << u"underline 12pt font=Arial"_s;
    QTest::newRow("strike") << doc(R"(\strike X\strike0 y)") << u"X"_s << u"strike 12pt font=Arial"_s;
    QTest::newRow("group restores") << doc(R"({\b\i\fs40 X}y)") << u"y"_s << u"12pt font=Arial"_s;
    QTest::newRow("plain resets") << doc(R"(\b\i\ul\strike\fs40\f1\cf1 \plain X)") << u"X"_s << u"12pt font=Arial"_s;
    QTest::newRow("font size in half points") << doc(R"(\fs40 X)") << u"X"_s << u"20pt font=Arial"_s;
    QTest::newRow("odd font size") << doc(R"(\fs21 X)") << u"X"_s << u"10.5pt font=Arial"_s;
    QTest::newRow("fs0 is the default") << doc(R"(\fs0 X)") << u"X"_s << u"12pt font=Arial"_s;
    QTest::newRow("huge font size capped") << doc(R"(\fs99999 X)") << u"X"_s << u"500pt font=Arial"_s;
    QTest::newRow("font from table") << doc(R"(\f1 X)") << u"X"_s << u"12pt font=Times New Roman"_s;
    QTest::newRow("unknown font") << doc(R"(\f9 X)") << u"X"_s << u"12pt"_s;
    QTest::newRow("symbol font has no family") << doc(R"(\f2\'b7)") << u"\u2022"_s << u"12pt"_s;
    QTest::newRow("colour") << doc(R"(\cf1 X)") << u"X"_s << u"12pt color=#ff0000 font=Arial"_s;
    QTest::newRow("auto colour") << doc(R"(\cf1 x\cf0 X)") << u"X"_s << u"12pt font=Arial"_s;
    QTest::newRow("colour out of range") << doc(R"(\cf7 X\cf-1 Y)") << u"X"_s << u"12pt font=Arial"_s;
    QTest::newRow("negative colour") << doc(R"(\cf-1 X)") << u"X"_s << u"12pt font=Arial"_s;
    QTest::newRow("highlight") << doc(R"(\highlight2 X)") << u"X"_s << u"12pt background=#0000ff font=Arial"_s;
    QTest::newRow("cb") << doc(R"(\cb1 X)") << u"X"_s << u"12pt background=#ff0000 font=Arial"_s;
    QTest::newRow("superscript") << doc(R"(\super X\nosupersub y)") << u"X"_s << u"super 12pt font=Arial"_s;
    QTest::newRow("subscript") << doc(R"(\sub X)") << u"X"_s << u"sub 12pt font=Arial"_s;
    QTest::newRow("default font by deff")
        << R"({\rtf1\deff1{\fonttbl{\f0 Arial;}{\f1 Courier New;}}X})"_ba << u"X"_s << u"12pt font=Courier New"_s;
    QTest::newRow("fonts without groups")
        << R"({\rtf1{\fonttbl\f0\fnil Arial;\f1\fnil Courier;}\f1 X})"_ba << u"X"_s << u"12pt font=Courier"_s;
    QTest::newRow("font name without semicolon")
        << R"({\rtf1{\fonttbl{\f0 Arial}{\f1 Courier}}\f1 X})"_ba << u"X"_s << u"12pt font=Courier"_s;
    QTest::newRow("panose in font table")
        << R"({\rtf1{\fonttbl{\f0{\*\panose 020b0604020202020204}Arial;}}X})"_ba << u"X"_s << u"12pt font=Arial"_s;
    QTest::newRow("colour entry with only red")
        << R"({\rtf1{\colortbl;\red128;}\cf1 X})"_ba << u"X"_s << u"12pt color=#800000"_s;
    QTest::newRow("colour components clamped")
        << R"({\rtf1{\colortbl;\red999\green-5\blue256;}\cf1 X})"_ba << u"X"_s << u"12pt color=#ff00ff"_s;
    QTest::newRow("listtext plain does not leak")
        << doc(R"(\b {\listtext\plain \'b7\tab}X)") << u"X"_s << u"bold 12pt font=Arial"_s;
    QTest::newRow("formats across a paragraph") << doc(R"(\b A\par X)") << u"X"_s << u"bold 12pt font=Arial"_s;
}

void tst_RtfReader::charFormat()
{
    QFETCH(QByteArray, rtf);
    QFETCH(QString, needle);
    QFETCH(QString, expected);

    QTextDocument document;
    RtfReader reader;
    QVERIFY2(reader.read(rtf, document), qPrintable(reader.errorString()));
    QVERIFY2(textOf(document).contains(needle), qPrintable(textOf(document)));
    QCOMPARE(describe(formatAt(document, needle)), expected);
}

void tst_RtfReader::blockFormat_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<int>("block");
    QTest::addColumn<QString>("expected");

    QTest::newRow("default") << R"({\rtf1 A})"_ba << 0 << u"left"_s;
    QTest::newRow("center") << R"({\rtf1\qc A\par})"_ba << 0 << u"center"_s;
    QTest::newRow("right") << R"({\rtf1\qr A\par})"_ba << 0 << u"right"_s;
    QTest::newRow("justify") << R"({\rtf1\qj A\par})"_ba << 0 << u"justify"_s;
    QTest::newRow("ql after qc") << R"({\rtf1\qc\ql A\par})"_ba << 0 << u"left"_s;
    QTest::newRow("left indent in twips") << R"({\rtf1\li720 A\par})"_ba << 0 << u"left margin=48"_s;
    QTest::newRow("right indent") << R"({\rtf1\ri1440 A\par})"_ba << 0 << u"left right=96"_s;
    QTest::newRow("hanging indent with tab")
        << R"({\rtf1\fi-360\li720 A\par})"_ba << 0 << u"left margin=48 indent=-24 tab=24"_s;
    QTest::newRow("first line indent") << R"({\rtf1\fi360 A\par})"_ba << 0 << u"left indent=24"_s;
    QTest::newRow("space before and after") << R"({\rtf1\sb240\sa120 A\par})"_ba << 0 << u"left top=16 bottom=8"_s;
    QTest::newRow("last paragraph without par") << R"({\rtf1 A\par\qc B})"_ba << 1 << u"center"_s;
    QTest::newRow("properties at the paragraph end count") << R"({\rtf1 A\qc\par B})"_ba << 0 << u"center"_s;
    QTest::newRow("carried to the next paragraph") << R"({\rtf1\qc A\par B\par})"_ba << 1 << u"center"_s;
    QTest::newRow("pard resets") << R"({\rtf1\qc\li720 A\par\pard B\par})"_ba << 1 << u"left"_s;
    QTest::newRow("group scoped") << R"({\rtf1 {\qc A}\par})"_ba << 0 << u"left"_s;
    QTest::newRow("empty paragraph formatted") << R"({\rtf1 A\par\qc\par B})"_ba << 1 << u"center"_s;
    QTest::newRow("negative left indent clamped") << R"({\rtf1\li-720 A\par})"_ba << 0 << u"left"_s;
    QTest::newRow("hanging past the edge clamped")
        << R"({\rtf1\fi-1440\li720 A\par})"_ba << 0 << u"left margin=48 indent=-48 tab=48"_s;
    QTest::newRow("huge indent clamped") << R"({\rtf1\li99999999 A\par})"_ba << 0 << u"left margin=2112"_s;
    QTest::newRow("negative spacing clamped") << R"({\rtf1\sb-100\sa-100 A\par})"_ba << 0 << u"left"_s;
}

void tst_RtfReader::blockFormat()
{
    QFETCH(QByteArray, rtf);
    QFETCH(int, block);
    QFETCH(QString, expected);

    QTextDocument document;
    RtfReader reader;
    QVERIFY2(reader.read(rtf, document), qPrintable(reader.errorString()));
    QVERIFY(block < document.blockCount());
    QCOMPARE(describe(document.findBlockByNumber(block).blockFormat()), expected);
}

void tst_RtfReader::lists_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QStringList>("paragraphs");
    QTest::addColumn<QStringList>("blockFormats");

    // Bullets and numbers the way the small word processor that comes with the system writes them.
    QTest::newRow("pntext")
        << R"({\rtf1\ansi\ansicpg1252\deff0\nouicompat\deflang1033{\fonttbl{\f0\fnil\fcharset0 Calibri;}{\f1\fnil\fcharset2 Symbol;}}
{\*\generator Riched20 10.0.19041}\viewkind4\uc1
\pard\sa200\sl276\slmult1\f0\fs22\lang9 Intro\par

\pard{\pntext\f1\'B7\tab}{\*\pn\pnlvlblt\pnf1\pnindent0{\pntxtb\'B7}}\fi-360\li720\sa200\sl276\slmult1 First\par
{\pntext\f1\'B7\tab}Second\par

\pard{\pntext\f0 1.\tab}{\*\pn\pnlvlbody\pnf0\pnindent0\pnstart1\pndec{\pntxta.}}
\fi-360\li720\sa200\sl276\slmult1 Step one\par
{\pntext\f0 2.\tab}Step two\par

\pard\sa200\sl276\slmult1 End\par
}
)"_ba << QStringList{u"Intro"_s,        u"\u2022\tFirst"_s, u"\u2022\tSecond"_s,
                     u"1.\tStep one"_s, u"2.\tStep two"_s,  u"End"_s}
        << QStringList{u"left bottom=13.33"_s,
                       u"left margin=48 indent=-24 bottom=13.33 tab=24"_s,
                       u"left margin=48 indent=-24 bottom=13.33 tab=24"_s,
                       u"left margin=48 indent=-24 bottom=13.33 tab=24"_s,
                       u"left margin=48 indent=-24 bottom=13.33 tab=24"_s,
                       u"left bottom=13.33"_s};

    // The way a full word processor writes them: list tables, \ls and \listtext groups.
    QTest::newRow("listtext")
        << R"({\rtf1\ansi\ansicpg1252\deff0{\fonttbl{\f0\froman\fcharset0 Times New Roman;}{\f3\fbidi \froman\fcharset2 Symbol;}
{\f10\fbidi \fnil\fcharset2 Wingdings;}{\f2\fmodern\fcharset0 Courier New;}}
{\*\listtable{\list\listtemplateid1{\listlevel\levelnfc23{\leveltext\'01\u-3913 ?;}{\levelnumbers;}\f3\fi-360\li720}{\listname ;}\listid1}}
{\*\listoverridetable{\listoverride\listid1\listoverridecount0\ls1}}
\pard\plain \f0\fs24 Before\par
{\listtext\pard\plain \f3\fs24 \'b7\tab}\pard\plain \fi-360\li720\ls1 \f0\fs24 Word item\par
{\listtext\pard\plain \f10\fs24 \'a7\tab}\pard\plain \fi-360\li1440\ls1\ilvl1 \f0\fs24 Nested\par
{\listtext\pard\plain \f2\fs24 o\tab}Hollow\par
})"_ba << QStringList{u"Before"_s, u"\u2022\tWord item"_s, u"\u25AA\tNested"_s, u"o\tHollow"_s}
        << QStringList{u"left"_s, u"left margin=48 indent=-24 tab=24"_s, u"left margin=96 indent=-24 tab=24"_s,
                       u"left margin=96 indent=-24 tab=24"_s};
}

void tst_RtfReader::lists()
{
    QFETCH(QByteArray, rtf);
    QFETCH(QStringList, paragraphs);
    QFETCH(QStringList, blockFormats);

    QTextDocument document;
    RtfReader reader;
    QVERIFY2(reader.read(rtf, document), qPrintable(reader.errorString()));
    QCOMPARE(textOf(document).split(u'\n'), paragraphs);
    QStringList actual;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
        actual << describe(block.blockFormat());
    QCOMPARE(actual, blockFormats);
}

void tst_RtfReader::notRtf_data()
{
    QTest::addColumn<QByteArray>("input");

    QTest::newRow("empty") << QByteArray();
    QTest::newRow("plain text") << "Hello, world"_ba;
    QTest::newRow("cut header") << R"({\rt)"_ba;
    QTest::newRow("leading space") << R"( {\rtf1 x})"_ba;
    QTest::newRow("byte order mark") << "\xEF\xBB\xBF{\\rtf1 x}"_ba;
    QTest::newRow("html") << "<html><body>x</body></html>"_ba;
    QTest::newRow("binary") << QByteArray("\0\1\2{\\rtf1", 9);
}

void tst_RtfReader::notRtf()
{
    QFETCH(QByteArray, input);

    QTextDocument document;
    document.setPlainText(u"old"_s);
    RtfReader reader;
    QVERIFY(!reader.read(input, document));
    QVERIFY(!reader.errorString().isEmpty());
    QVERIFY(document.isEmpty());
}

void tst_RtfReader::replacesContent()
{
    QTextDocument document;
    document.setPlainText(u"old text\nsecond line"_s);
    RtfReader reader;
    QVERIFY(!reader.read("nonsense"_ba, document));
    QVERIFY(reader.read(R"({\rtf1 new})"_ba, document));
    QVERIFY2(reader.errorString().isEmpty(), "a successful read clears the previous error");
    QCOMPARE(textOf(document), u"new"_s);
    QCOMPARE(document.blockCount(), 1);
    // The load itself is not an edit the reader of the help could undo, and the setting is left as it was.
    QVERIFY(document.isUndoRedoEnabled());
    QVERIFY(!document.isUndoAvailable());
}

void tst_RtfReader::depthLimitKeepsBalance()
{
    // Past the depth limit groups no longer nest formatting, but they still pair up, and the state from
    // before the first group that was too deep comes back once they have all closed.
    RtfReader::Limits limits;
    limits.maxDepth = 2;
    RtfReader reader(limits);
    QTextDocument document;
    QVERIFY(reader.read(R"({\rtf1 {\b {\i {\ul x}} y{\*\skipped s}} z})"_ba, document));
    QCOMPARE(textOf(document), u"x y z"_s);
    QCOMPARE(describe(formatAt(document, u"x"_s)), u"bold italic underline 12pt"_s);
    QCOMPARE(describe(formatAt(document, u"y"_s)), u"bold 12pt"_s);
    QCOMPARE(describe(formatAt(document, u"z"_s)), u"12pt"_s);

    // The same with the default limit and far deeper nesting.
    RtfReader deep;
    const QByteArray rtf = "{\\rtf1 "_ba + repeated("{\\b ", 5000) + "x"_ba + repeated("}", 5000) + "y}"_ba;
    QVERIFY(deep.read(rtf, document));
    QCOMPARE(textOf(document), u"xy"_s);
    QCOMPARE(describe(formatAt(document, u"x"_s)), u"bold 12pt"_s);
    QCOMPARE(describe(formatAt(document, u"y"_s)), u"12pt"_s);
}

void tst_RtfReader::limits_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<int>("maxDepth");
    QTest::addColumn<qsizetype>("maxGroups");
    QTest::addColumn<qsizetype>("maxInputBytes");
    QTest::addColumn<qsizetype>("maxOutputChars");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<bool>("complete");

    const RtfReader::Limits d;
    const QByteArray hello = R"({\rtf1 Hello world})"_ba;
    QTest::newRow("output cut") << hello << d.maxDepth << d.maxGroups << d.maxInputBytes << qsizetype(5) << u"Hello"_s
                                << false;
    QTest::newRow("output exactly fits") << hello << d.maxDepth << d.maxGroups << d.maxInputBytes << qsizetype(11)
                                         << u"Hello world"_s << true;
    QTest::newRow("paragraph ends count") << R"({\rtf1 A\par B\par C})"_ba << d.maxDepth << d.maxGroups
                                          << d.maxInputBytes << qsizetype(3) << u"A\nB"_s << false;
    QTest::newRow("surrogate pair not split") << R"({\rtf1 a\u-10179?\u-8704?})"_ba << d.maxDepth << d.maxGroups
                                              << d.maxInputBytes << qsizetype(2) << u"a"_s << false;
    QTest::newRow("input cut") << hello << d.maxDepth << d.maxGroups << qsizetype(12) << d.maxOutputChars << u"Hello"_s
                               << false;
    QTest::newRow("input exactly fits") << hello << d.maxDepth << d.maxGroups << hello.size() << d.maxOutputChars
                                        << u"Hello world"_s << true;
    QTest::newRow("groups") << R"({\rtf1 {a}{b}{c}})"_ba << d.maxDepth << qsizetype(3) << d.maxInputBytes
                            << d.maxOutputChars << u"ab"_s << false;
    QTest::newRow("groups exactly fit") << R"({\rtf1 {a}{b}{c}})"_ba << d.maxDepth << qsizetype(4) << d.maxInputBytes
                                        << d.maxOutputChars << u"abc"_s << true;
    QTest::newRow("depth zero still reads")
        << R"({\rtf1 {\b a}b})"_ba << 0 << d.maxGroups << d.maxInputBytes << d.maxOutputChars << u"ab"_s << true;
}

void tst_RtfReader::limits()
{
    QFETCH(QByteArray, rtf);
    QFETCH(int, maxDepth);
    QFETCH(qsizetype, maxGroups);
    QFETCH(qsizetype, maxInputBytes);
    QFETCH(qsizetype, maxOutputChars);
    QFETCH(QString, expected);
    QFETCH(bool, complete);

    RtfReader reader(RtfReader::Limits{maxDepth, maxGroups, maxInputBytes, maxOutputChars});
    QTextDocument document;
    QCOMPARE(reader.read(rtf, document), complete);
    QCOMPARE(reader.errorString().isEmpty(), complete);
    QCOMPARE(textOf(document), expected);
}

void tst_RtfReader::structureBudgetKeepsText_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QString>("expected");

    // Each row gives fewer characters than the limit but far more blocks or runs than its share.
    QTest::newRow("paragraphs") << "{\\rtf1 "_ba + repeated("x\\par ", 3000) + "}"_ba
                                << QStringList(3000, u"x"_s).join(u'\n');
    QTest::newRow("paragraph formats") << "{\\rtf1 "_ba + repeated("\\qc x\\par\\ql y\\par ", 1500) + "}"_ba
                                       << QStringList(1500, u"x\ny"_s).join(u'\n');
    QTest::newRow("character formats") << "{\\rtf1 "_ba + repeated("\\b x\\b0 y\\i z\\i0 ", 2000) + "}"_ba
                                       << QString(u"xyz"_s).repeated(2000);
}

void tst_RtfReader::structureBudgetKeepsText()
{
    // Blocks and format runs cost the document far more than characters; past a share of the character
    // limit the reader stops making them, but none of the text may go missing.
    QFETCH(QByteArray, rtf);
    QFETCH(QString, expected);

    RtfReader::Limits limits;
    limits.maxOutputChars = 8192;
    RtfReader reader(limits);
    QTextDocument document;
    QVERIFY2(reader.read(rtf, document), qPrintable(reader.errorString()));
    QString text = textOf(document);
    text.replace(QChar::LineSeparator, u'\n');
    QCOMPARE(text, expected);
    QCOMPARE(document.characterCount(), expected.size() + 1);
    QVERIFY(document.blockCount() < 2048);
}

void tst_RtfReader::hostileInputsFinish_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<bool>("complete");
    QTest::addColumn<QString>("expected");

    constexpr qsizetype many = 100'000;
    const QByteArray head = "{\\rtf1 "_ba;
    QTest::newRow("100000 nested groups")
        << head + repeated("{", many) + "x"_ba + repeated("}", many) + "y}"_ba << true << u"xy"_s;
    QTest::newRow("100000 unclosed groups") << head + repeated("{\\i ", many) + "x"_ba << true << u"x"_s;
    QTest::newRow("100000 stray closings") << head + "x"_ba + repeated("}", many) << true << u"x"_s;
    QTest::newRow("groups past the limit") << head + repeated("{}", 1'100'000) + "x}"_ba << false << QString();
    QTest::newRow("huge bin count") << head + "A\\bin999999999 "_ba + repeated("x", many) + "}"_ba << true << u"A"_s;
    QTest::newRow("parameter with a million digits")
        << head + "\\fs"_ba + repeated("9", 1'000'000) + " x}"_ba << true << u"x"_s;
    QTest::newRow("negative u with a million digits")
        << head + "\\u-"_ba + repeated("9", 1'000'000) + "?x}"_ba << true << u"\uFFFDx"_s;
    QTest::newRow("word with a million letters")
        << head + "\\"_ba + repeated("a", 1'000'000) + " x}"_ba << true << u"x"_s;
    QTest::newRow("huge uc") << head + "\\uc2147483647\\u65 "_ba + repeated("x", many) + "}"_ba << true << u"A"_s;
    QTest::newRow("many cut escapes") << head + repeated("\\'", many) << true << QString();
    QTest::newRow("many ignorable destinations") << head + repeated("{\\*\\x y}", many) + "z}"_ba << true << u"z"_s;
    QTest::newRow("many lone surrogates")
        << head + repeated("\\u55357?", many) + "}"_ba << true << QString(many, QChar(0xFFFD));
    QTest::newRow("many paragraphs") << head + repeated("\\par ", many) + "x}"_ba << true
                                     << QString(many, u'\n') + u'x';

    // A different format for almost every character; they stop being told apart past a cap, but the text stays.
    QByteArray formats = head + "{\\colortbl;"_ba;
    for (int i = 0; i < 5000; ++i)
        formats += "\\red"_ba + QByteArray::number(i % 256) + "\\green"_ba + QByteArray::number(i / 256) + ";"_ba;
    formats += "}"_ba;
    for (int i = 0; i < 200'000; ++i)
        formats += "\\cf"_ba + QByteArray::number(i % 5000) + "\\fs"_ba + QByteArray::number(2 + i % 997) + " x"_ba;
    formats += "}"_ba;
    QTest::newRow("many distinct formats") << formats << true << QString(200'000, u'x');

    // Font tables far beyond their cap.
    QByteArray fonts = head + "{\\fonttbl"_ba;
    for (int i = 0; i < 100'000; ++i)
        fonts += "{\\f"_ba + QByteArray::number(i) + " F"_ba + QByteArray::number(i) + ";}"_ba;
    fonts += "}\\f99999 x}"_ba;
    QTest::newRow("many fonts") << fonts << true << u"x"_s;
}

void tst_RtfReader::hostileInputsFinish()
{
    QFETCH(QByteArray, rtf);
    QFETCH(bool, complete);
    QFETCH(QString, expected);

    QTextDocument document;
    RtfReader reader;
    QCOMPARE(reader.read(rtf, document), complete);
    QCOMPARE(textOf(document), expected);
}

void tst_RtfReader::fiftyMegabytes()
{
    // A long, ordinary-looking document, marked up as densely as a full word processor does: formatting,
    // list bullets, escapes and Unicode in every paragraph.
    const QByteArray paragraph = R"({\pntext\f1\'b7\tab}\pard\fi-360\li720\sa120\rtlch\fcs1 \af0\afs24 )"
                                 R"(\ltrch\fcs0 \f0\fs24\lang1033\langfe1033 Entry {\b bold} and \i italic\i0  text, )"
                                 R"(caf\'e9 \u8364\'80 costs 5\par)"
                                 "\r\n"_ba;
    constexpr qsizetype targetSize = 50 * 1024 * 1024;
    QByteArray rtf = R"({\rtf1\ansi\ansicpg1252\deff0{\fonttbl{\f0 Arial;}{\f1\fcharset2 Symbol;}})"_ba;
    rtf.reserve(targetSize + paragraph.size() + 2);
    qsizetype paragraphs = 0;
    while (rtf.size() < targetSize) {
        rtf += paragraph;
        ++paragraphs;
    }
    rtf += "}"_ba;

    QTextDocument document;
    RtfReader reader;
    QVERIFY2(reader.read(rtf, document), qPrintable(reader.errorString()));
    QCOMPARE(document.blockCount(), paragraphs);
    const QString expected = u"\u2022\tEntry bold and italic text, caf\u00E9 \u20AC costs 5"_s;
    QCOMPARE(document.lastBlock().text(), expected);
    QCOMPARE(document.characterCount(), paragraphs * (expected.size() + 1));
    QCOMPARE(describe(document.lastBlock().blockFormat()), u"left margin=48 indent=-24 bottom=8 tab=24"_s);
    QCOMPARE(describe(formatAt(document, u"bold"_s)), u"bold 12pt font=Arial"_s);
}

void tst_RtfReader::helpFile()
{
#ifndef BRISVANE_SOURCE_DIR
    QSKIP("The test data folder is not known to this build.");
#else
    QFile file(QStringLiteral(BRISVANE_SOURCE_DIR "/assets/Help.rtf"));
    QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(file.errorString()));
    QTextDocument document;
    RtfReader reader;
    QVERIFY2(reader.read(file.readAll(), document), qPrintable(reader.errorString()));
    const QString text = textOf(document);
    // Markup that slipped through as text would show as stray backslashes and braces.
    QVERIFY2(!text.contains(u'\\') && !text.contains(u'{') && !text.contains(u'}'), qPrintable(text));
    QVERIFY(!text.contains(QChar(0xFFFD)));
    for (const QString &topic :
         {u"data.enc"_s, u"master password"_s, u"Show at Startup"_s, u"View Help"_s, u"Go To"_s, u"not encryption"_s})
        QVERIFY2(text.contains(topic, Qt::CaseInsensitive), qPrintable(topic));
    QVERIFY2(document.blockCount() > 20, "the help has headings, paragraphs and lists");
#endif
}

QTEST_MAIN(tst_RtfReader)
#include "tst_RtfReader.moc"
