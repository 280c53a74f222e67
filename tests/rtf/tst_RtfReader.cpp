#include "rtf/RtfReader.h"

#include <QBuffer>
#include <QColor>
#include <QFile>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPalette>
#include <QRegularExpression>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextImageFormat>
#include <QTextTable>
#include <QUrl>
#include <QtEndian>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

// The reader's own limits alone, without those of the view that shows its documents.
const RtfReader::Limits withoutLayoutBounds = [] {
    RtfReader::Limits limits;
    limits.layout = {};
    return limits;
}();

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
    if (format.isAnchor())
        words << u"link="_s + format.anchorHref();
    return words.join(u' ');
}

QString describe(const QTextBlockFormat &format)
{
    QStringList words;
    // The side it is shown at: Qt's left and right turn with the direction, unless they are absolute.
    Qt::Alignment alignment = format.alignment() & Qt::AlignHorizontal_Mask;
    if (format.layoutDirection() == Qt::RightToLeft && !(alignment & Qt::AlignAbsolute) &&
        !(alignment & ~Qt::AlignLeft))
        alignment = Qt::AlignRight;
    alignment &= ~Qt::AlignAbsolute;
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
        words << u"tab="_s + QString::number(tab.position, 'g', 4) + QString(u" rcd"_s.at(tab.type)).trimmed();
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

// "format of X": describe() of X's first character, with capitals and a raised baseline. "paragraph of X": describe()
// of X's paragraph, with its background, line height (type:height), direction and the tab leaders, which a
// QTextOption::Tab cannot hold and the reader keeps in the block's UserProperty + 1. Words without a value are left
// out.
QString details(const QTextDocument &document, const QString &name)
{
    QTextCursor cursor = document.find(name.section(u" of "_s, 1, -1));
    cursor.setPosition(cursor.selectionStart() + 1);
    const QTextCharFormat c = cursor.charFormat();
    const QTextBlockFormat b = cursor.blockFormat();
    const char16_t *const caps[] = {u"", u"caps", u"lowercase", u"smallcaps", u"capitalized"};
    const QStringList words =
        name.startsWith(u"format")
            ? QStringList{describe(c), QString::fromUtf16(caps[c.fontCapitalization()]),
                          u"baseline="_s + (c.baselineOffset() != 0 ? QString::number(c.baselineOffset()) : QString())}
            : QStringList{describe(b), u"background="_s + colorName(b.background()),
                          u"line="_s +
                              (b.lineHeightType() ? u"%1:%2"_s.arg(b.lineHeightType()).arg(b.lineHeight()) : QString()),
                          b.layoutDirection() == Qt::RightToLeft ? u"rtl"_s : QString(),
                          u"leaders="_s + b.property(QTextFormat::UserProperty + 1).toString()};
    return words.filter(QRegularExpression(u"[^=]$"_s)).join(u' ');
}

// Every cell of every table, a nested table after the cell that holds it: its text, the rows x columns it spans,
// the depth of its table, its background and the colour of its top border.
void cells(const QTextFrame *frame, int depth, QStringList &parts)
{
    for (const QTextFrame *child : frame->childFrames()) {
        const auto *table = qobject_cast<const QTextTable *>(child);
        for (int i = 0; table != nullptr && i < table->rows() * table->columns(); ++i) {
            const QTextTableCell cell = table->cellAt(i / table->columns(), i % table->columns());
            const QTextCharFormat format = cell.format();
            if (cell.row() * table->columns() + cell.column() == i)
                parts << u"%1 %2x%3@%4 %5/%6"_s.arg(cell.firstCursorPosition().block().text(),
                                                    QString::number(cell.rowSpan()), QString::number(cell.columnSpan()),
                                                    QString::number(depth), colorName(format.background()),
                                                    colorName(format.toTableCellFormat().topBorderBrush()));
        }
        cells(child, depth + (table != nullptr ? 1 : 0), parts);
    }
}

// What the document shows of one feature, in a line that a failure prints whole.
QString feature(const QTextDocument &document, const QString &name)
{
    QStringList parts;
    const QTextTable *table = nullptr;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        if (table == nullptr) {
            table = QTextCursor(block).currentTable();
        }
        if (name == u"list labels" && block.blockFormat().textIndent() < 0) {
            parts << block.text().section(u'\t', 0, 0).trimmed();
        } else if (name == u"heading" && parts.isEmpty() && !block.text().isEmpty()) {
            const QTextCharFormat format = block.begin().fragment().charFormat();
            parts << block.text() << (format.fontWeight() >= QFont::Bold ? u"bold"_s : u"normal"_s);
        } else if (name == u"tab stops" && block.text().contains(u"Ctrl+N")) {
            parts << describe(block.blockFormat());
        } else if (QString text = block.text();
                   name == u"code page text" &&
                   std::any_of(text.begin(), text.end(), [](QChar c) { return c >= u'\u0370' && c != u'\uFFFC'; })) {
            parts << text.remove(QChar::ObjectReplacementCharacter).simplified();
        }
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            if (name == u"background" && format.background().style() != Qt::NoBrush) {
                parts << it.fragment().text();
            } else if (name == u"link" && format.isAnchor()) {
                parts << it.fragment().text() + u" -> "_s + format.anchorHref();
            } else if (name == u"footnotes" && format.verticalAlignment() == QTextCharFormat::AlignSuperScript &&
                       it.fragment().text().front().isDigit()) { // N: the note, ^N: its mark after a full stop
                const QString before = block.text().left(it.fragment().position() - block.position()).trimmed();
                if (before.isEmpty() || before.endsWith(u'.'))
                    parts << (before.isEmpty()
                                  ? it.fragment().text() + u": "_s + block.text().mid(it.fragment().length()).trimmed()
                                  : u'^' + it.fragment().text());
            } else if (name == u"picture" && format.isImageFormat()) {
                const QTextImageFormat image = format.toImageFormat();
                const QVariant data = document.resource(QTextDocument::ImageResource, QUrl(image.name()));
                parts << u"%1x%2 of %3x%4"_s.arg(qRound(image.width()))
                             .arg(qRound(image.height()))
                             .arg(data.value<QImage>().width())
                             .arg(data.value<QImage>().height());
            }
        }
    }
    if (name == u"table" && table != nullptr) {
        parts << u"%1x%2"_s.arg(table->rows()).arg(table->columns());
        for (int row = 0; row < table->rows(); ++row) {
            for (int column = 0; column < table->columns(); ++column) {
                const QTextTableCell cell = table->cellAt(row, column);
                QTextCursor cursor = cell.firstCursorPosition();
                cursor.setPosition(cell.lastPosition(), QTextCursor::KeepAnchor);
                parts << cursor.selectedText();
            }
        }
        for (const QTextLength &width : table->format().columnWidthConstraints()) {
            parts << QString::number(qRound(width.rawValue()));
        }
        const QTextTableCellFormat cell = table->cellAt(0, 0).format().toTableCellFormat();
        parts << u"border %1 %2 %3 %4"_s.arg(cell.topBorder())
                     .arg(cell.leftBorder())
                     .arg(cell.bottomBorder())
                     .arg(cell.rightBorder());
    }
    if (name.startsWith(u"format of ") || name.startsWith(u"paragraph of "))
        parts << details(document, name);
    if (name == u"cells")
        cells(document.rootFrame(), 0, parts);
    if (name == u"default tab")
        parts << QString::number(document.defaultTextOption().tabStopDistance());
    return parts.isEmpty() ? u"none"_s : parts.join(u" | ");
}

QByteArray hexPicture(const char *format, QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::darkBlue);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return buffer.data().toHex();
}

// A device-independent bitmap of 24x16 pixels: a .bmp file without its file header.
QByteArray dibOf(QImage::Format format)
{
    QImage image(24, 16, QImage::Format_RGB32);
    image.fill(Qt::darkBlue);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    image.convertToFormat(format).save(&buffer, "BMP");
    return buffer.data().mid(14);
}

// A Windows metafile, in hex, whose one record (function, its own fields, then the DIB) draws the DIB; a size in
// words other than -1 replaces the record's own.
QByteArray metafileHex(quint16 function, int fieldBytes, const QByteArray &dib, qint64 recordWords = -1)
{
    QByteArray record = QByteArray(6 + fieldBytes, '\0') + dib;
    qToLittleEndian<quint32>(quint32(recordWords >= 0 ? recordWords : record.size() / 2), record.data());
    qToLittleEndian<quint16>(function, record.data() + 4);
    QByteArray header = QByteArray::fromHex("010009000003000000000000000000000000");
    qToLittleEndian<quint32>(quint32((header.size() + record.size()) / 2 + 3), header.data() + 6);
    return (header + record + QByteArray::fromHex("030000000000")).toHex();
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
    void samples_data();
    void samples();
    void words_data();
    void words();
    void pictures_data();
    void pictures();
    void tablesKeepText_data();
    void tablesKeepText();
    void tables_data();
    void tables();
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
    QTest::newRow("document code page") << R"({\rtf1\ansicpg1251 a\'e9b})"_ba << u"a\u0439b"_s;
    QTest::newRow("double-byte pair is one character") << R"({\rtf1\ansicpg932 a\'82\'a0b})"_ba << u"a\u3042b"_s;
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
    QTest::newRow("footnote at the end") << R"({\rtf1 a{\footnote note}b})"_ba << u"ab\n\nnote"_s;
    QTest::newRow("object") << R"({\rtf1 a{\object\objemb{\*\objdata 0102}{\result shown?}}b})"_ba << u"ab"_s;
    QTest::newRow("field shows its result")
        << R"({\rtf1 {\field{\*\fldinst HYPERLINK "http://x.example"}{\fldrslt link}}!})"_ba << u"link!"_s;
    QTest::newRow("known starred destination read")
        << R"({\rtf1 {\field{\*\fldinst HYPERLINK "u"}{\*\fldrslt link}}!})"_ba << u"link!"_s;
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

    // Code pages: the font's over the document's, pairs of double-byte pages wherever their bytes stand.
    const QByteArray fonts =
        R"({\rtf1\ansicpg1251{\fonttbl{\f0\fcharset204 C;}{\f1\cpg1253 G;}{\f5\fcharset128 J;}})"_ba;
    QTest::newRow("font code page") << fonts + R"(\f1\'e1\f0\'e1})" << u"\u03B1\u0431"_s;
    QTest::newRow("double-byte font as Word selects it")
        << fonts + R"(\loch\af5\hich\af5\dbch\f5 \'82\'a0})" << u"\u3042"_s;
    QTest::newRow("trail byte written as text") << R"({\rtf1\ansicpg932 \'8aE\'8a\'45})"_ba << u"\u754C\u754C"_s;
    QTest::newRow("raw lead byte, escaped trail") << "{\\rtf1\\ansicpg936 \xc4\\'e3}"_ba << u"\u4F60"_s;
    QTest::newRow("lead byte before a word") << R"({\rtf1\ansicpg932 a\'82\b b})"_ba << u"a\uFFFDb"_s;
    QTest::newRow("lead byte at a group end") << R"({\rtf1\ansicpg932 {a\'82}\'b1b})"_ba << u"a\uFFFD\uFF71b"_s;
    QTest::newRow("uc2 skips a pair") << R"({\rtf1\ansicpg932\uc2 \u12354\'82\'a0x})"_ba << u"\u3042x"_s;
    QTest::newRow("mac and pc pages") << R"({\rtf1\mac \'8e\pc \'82})"_ba << u"\u00E9\u00E9"_s;
    // Footnotes: the raised number where the mark stands, the notes after the text, numbered as the marks are.
    QTest::newRow("footnotes numbered in order")
        << R"({\rtf1 a{\super\chftn}{\footnote\chftn  one}b\chftn{\*\footnote\chftn  two\par}})"_ba
        << u"a1b2\n\n1 one\n2 two"_s;
    QTest::newRow("footnote of paragraphs") << R"({\rtf1 a{\footnote x\par y\par}})"_ba << u"a\n\nx\ny"_s;
    QTest::newRow("footnote inside a footnote") << R"({\rtf1 a{\footnote x{\footnote y}z}b})"_ba << u"ab\n\nxyz"_s;
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
    const QByteArray blackFirst =
        R"({\rtf1{\colortbl\red0\green0\blue0;\red255\green0\blue0;}\cb1 x\cb0 Y\plain X})"_ba;
    QTest::newRow("background 0 is none") << blackFirst << u"Y"_s << u"12pt color=#000000"_s;
    QTest::newRow("plain background is none") << blackFirst << u"X"_s << u"12pt color=#000000"_s;
    QTest::newRow("hyperlink")
        << doc(R"({\field{\*\fldinst {HYPERLINK "https://x.example/a b" }}{\fldrslt{\ul\cf1 X}}}y)") << u"X"_s
        << u"underline 12pt color=#ff0000 font=Arial link=https://x.example/a b"_s;
    QTest::newRow("link ends with its field")
        << doc(R"({\field{\*\fldinst HYPERLINK "u"}{\fldrslt X}}y)") << u"y"_s << u"12pt font=Arial"_s;
    QTest::newRow("bookmark link") << doc(R"({\field{\*\fldinst HYPERLINK \\o "tip" \\l "top"}{\fldrslt\ul\cf2 X}})")
                                   << u"X"_s << u"underline 12pt color=#0000ff font=Arial link=#top"_s;
    QTest::newRow("plain link looks like a link")
        << R"({\rtf1{\colortbl\red0\green0\blue0;}\cf0{\field{\*\fldinst HYPERLINK "u"}{\fldrslt X}}})"_ba << u"X"_s
        << u"underline 12pt color="_s + QGuiApplication::palette().color(QPalette::Link).name() + u" link=u"_s;
    QTest::newRow("other field is no link")
        << doc(R"({\field{\*\fldinst PAGE}{\fldrslt X}})") << u"X"_s << u"12pt font=Arial"_s;
    QTest::newRow("listtext plain does not leak")
        << doc(R"(\b {\listtext\plain \'b7\tab}X)") << u"X"_s << u"bold 12pt font=Arial"_s;
    QTest::newRow("formats across a paragraph") << doc(R"(\b A\par X)") << u"X"_s << u"bold 12pt font=Arial"_s;

    // The document's defaults: \defchp, then the Normal style; not the other styles, and not after \plain.
    const QByteArray styles = R"({\rtf1{\*\defchp \fs20}{\stylesheet{\fs18\i0 Normal;}{\s1\fs40 H;}{\*\cs2\b C;}})"_ba;
    QTest::newRow("default character format") << R"({\rtf1{\*\defchp \fs20}X})"_ba << u"X"_s << u"10pt"_s;
    QTest::newRow("normal style") << styles + "X}"_ba << u"X"_s << u"9pt"_s;
    QTest::newRow("default in a table cell")
        << styles + R"(\trowd\cellx900\intbl X\cell\row})"_ba << u"X"_s << u"9pt"_s;
    QTest::newRow("plain goes to 12 pt") << styles + R"(\plain X})"_ba << u"X"_s << u"12pt"_s;
    QTest::newRow("footnote mark raised") << R"({\rtf1 a\chftn{\footnote b}})"_ba << u"1"_s << u"super 12pt"_s;
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
    QTest::newRow("tab stops") << R"({\rtf1\tx720\tqr\tx2880\tqc\tx4320\tqdec\tx5760 A\par})"_ba << 0
                               << u"left tab=48 tab=192r tab=288c tab=384d"_s;
    QTest::newRow("tab stops with a hanging line")
        << R"({\rtf1\li720\fi-360\tx1440\tx360 A\par})"_ba << 0 << u"left margin=48 indent=-24 tab=24 tab=72"_s;
    QTest::newRow("pard clears tab stops") << R"({\rtf1\tx720 A\par\pard B\par})"_ba << 1 << u"left"_s;
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
    QTest::newRow("default paragraph format") << R"({\rtf1{\*\defpap \qc\sa120}A\par})"_ba << 0 << u"center bottom=8"_s;
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
    // Writers that leave the number out of \listtext: it comes from the list tables or the old numbering,
    // and a level that shows no number puts nothing before the text.
    const QString hanging = u"left margin=48 indent=-24 tab=24"_s;
    QTest::newRow("numbers from the list tables")
        << R"({\rtf1{\fonttbl{\f0 Arial;}{\f3\fcharset2 Symbol;}}
{\*\listtable{\list{\listlevel\levelnfc0{\leveltext\'02\'00.;}\fi-360\li720}{\listlevel\levelnfc4\levelstartat1{\leveltext\'02\'01);}}\listid7}
{\list{\listlevel\levelnfc2\levelstartat4\levelfollow1{\leveltext\'03(\'00);}}\listid8}
{\list{\listlevel\levelnfc23{\leveltext\'01\u-3913 ?;}\f3}\listid9}{\list{\listlevel\levelnfc255{\leveltext\'01\'00;}}\listid10}}
{\listoverridetable{\listoverride\listid7\ls1}{\listoverride\listid8\ls2}{\listoverride\listid9\ls3}{\listoverride\listid10\ls4}}
{\listtext\pard\plain \tab}\ls4 Heading\par
{\listtext \tab}\ls1 One\par{\listtext \tab}\ls1\ilvl1 Sub\par{\listtext\tab}\ls1\ilvl1 Sub\par
{\listtext\tab}\pard\ls1 Two\par{\listtext\tab}\ls1\ilvl1 Sub\par
{\listtext\tab}\pard\ls2 Roman\par{\listtext\tab}\pard\ls3 Bullet\par\pard{\listtext 9.\tab}\ls1 Own\par
})"_ba << QStringList{u"Heading"_s, u"1.\tOne"_s,    u"a)\tSub"_s,        u"b)\tSub"_s, u"2.\tTwo"_s,
                      u"a)\tSub"_s, u"(iv) Roman"_s, u"\u2022\tBullet"_s, u"9.\tOwn"_s}
        << QStringList{u"left"_s, hanging, u"left"_s, u"left"_s, hanging, u"left"_s, u"left"_s, u"left"_s, hanging};
    QTest::newRow("old numbering")
        << R"({\rtf1 {\pntext\tab}{\*\pn\pnlvlbody\pnucltr\pnstart3{\pntxtb (}{\pntxta )}}One\par
{\pntext\tab}Two\par\pard Plain\par})"_ba
        << QStringList{u"(C)\tOne"_s, u"(D)\tTwo"_s, u"Plain"_s} << QStringList(3, u"left"_s);
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
    // A row that ends before its last cell does: that cell's separator counts like the others.
    QTest::newRow("row ends its cell, no room") << R"({\rtf1 A\par abcd\intbl\row})"_ba << d.maxDepth << d.maxGroups
                                                << d.maxInputBytes << qsizetype(6) << u"A"_s << false;
    QTest::newRow("row ends its cell, room") << R"({\rtf1 A\par abcd\intbl\row})"_ba << d.maxDepth << d.maxGroups
                                             << d.maxInputBytes << qsizetype(7) << u"A\u2028abcd"_s << true;
    QTest::newRow("depth zero still reads")
        << R"({\rtf1 {\b a}b})"_ba << 0 << d.maxGroups << d.maxInputBytes << d.maxOutputChars << u"ab"_s << true;
    // The footnotes at the end count like the text.
    const QByteArray notes = R"({\rtf1 Hello{\footnote world}{\footnote again}})"_ba;
    QTest::newRow("footnotes cut") << notes << d.maxDepth << d.maxGroups << d.maxInputBytes << qsizetype(8)
                                   << u"Hello\n\nw"_s << false;
    QTest::newRow("footnotes fit") << notes << d.maxDepth << d.maxGroups << d.maxInputBytes << qsizetype(18)
                                   << u"Hello\n\nworld\nagain"_s << true;
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
    // The last paragraph's end is the document's own.
    QVERIFY(document.characterCount() <= maxOutputChars + 1);
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
    limits.layout = {};
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

    // Runs of a byte or two, each in another code page, and notes by the hundred thousand.
    QTest::newRow("many cut double-byte characters")
        << head + "\\ansicpg932 "_ba + repeated("\\'82\\b ", many) + "}"_ba << true << QString(many, QChar(0xFFFD));
    QTest::newRow("code page changing with every byte")
        << head + "{\\fonttbl{\\f1\\fcharset161 G;}{\\f2\\fcharset204 C;}}"_ba +
               repeated("{\\f1\\'e1}{\\f2\\'e1}", many) + "}"_ba
        << true << u"\u03B1\u0431"_s.repeated(many);
    QTest::newRow("many footnotes") << head + repeated("a{\\footnote x}", many) + "}"_ba << true
                                    << QString(many, u'a') + u'\n' + u"\nx"_s.repeated(many);
}

void tst_RtfReader::hostileInputsFinish()
{
    QFETCH(QByteArray, rtf);
    QFETCH(bool, complete);
    QFETCH(QString, expected);

    QTextDocument document;
    RtfReader reader(withoutLayoutBounds);
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
    RtfReader reader(withoutLayoutBounds);
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

void tst_RtfReader::samples_data()
{
    QTest::addColumn<QString>("writer");
    QTest::addColumn<QString>("feature");
    QTest::addColumn<QString>("expected");

    const QString link = u"the Brisvane page -> https://brisvane.example/news"_s;
    const QString cells = u"Key | Action | Ctrl+F | Find"_s;
    const QString labels = u"\u2022 | \u2022 | 1. | 2."_s;
    const QString heading = u"Keeping passwords | bold"_s;
    const QString tabs = u"tab=192 tab=480r"_s;
    const QStringList features{u"background"_s, u"link"_s,      u"list labels"_s, u"heading"_s,
                               u"table"_s,      u"tab stops"_s, u"picture"_s};
    const QStringList libreOffice{u"none"_s,
                                  link,
                                  labels,
                                  heading,
                                  u"2x2 | "_s + cells + u" | 312 | 312 | border 1 1 1 1"_s,
                                  u"left top=5.733 bottom=5.733 "_s + tabs,
                                  u"48x32 of 24x16"_s};
    const QStringList abiWord{u"none"_s,
                              link,
                              labels,
                              heading,
                              u"2x2 | "_s + cells + u" | 266 | 264 | border 1 1 1 1"_s,
                              u"left bottom=13.33 "_s + tabs,
                              u"64x42 of 24x16"_s};
    const QStringList pandoc{
        u"none"_s,          link, labels, heading, u"2x2 | "_s + cells + u" | 288 | 288 | border 0 0 1 0"_s, u"none"_s,
        u"32x21 of 24x16"_s};
    // More writers' samples, where the reader already shows what LibreOffice shows.
    const char *shown[][3] = {
        {"word_shape", "list labels", "1. | 2. | 2.1 | 2.2 | 2.2.1"},
        {"libreoffice_odt", "link", "Adding an entry -> #Adding"},
        {"libreoffice_html", "picture", "48x32 of 24x16"},
        {"word_shape", "format of highlighted", "11pt background=#ffff00 font=Times New Roman"},
        {"abiword_odt", "format of 2O", "sub 12pt color=#000000 font=Liberation Serif"},
        {"word_shape", "format of Keeping passwords", "bold 16pt color=#1f4e79 font=Arial"},
        {"word_shape", "format of Working with entries", "12pt font=Times New Roman"}, // \s1 alone makes no heading
        {"abiword_docx", "code page text",
         "Русский: Привет мир. Polski: Zażółć gęślą jaźń. Ελληνικά: Γειά σου κόσμε. 中文：你好世界。 "
         "日本語：こんにちは世界。 | العربية: مرحبا بالعالم"},
    };
    for (const auto &[writer, name, expected] : shown)
        QTest::addRow("%s %s", writer, name)
            << QString::fromLatin1(writer) << QString::fromLatin1(name) << QString::fromUtf8(expected);
    // Tables: one grid across rows whose cells differ, merged cells as spans, shading and border colours, tables in
    // cells (listed after the cells of the table that holds them), and a table wider than the page scaled to fit.
    const char *tables[][3] = {
        {"word_shape", "cells",
         "Keys of the main window 1x4@0 #dbe5f1/#1f4e79 | Entries 2x1@0 /#c0504d | Ctrl+N 1x2@0 /#c0504d | Add 1x1@0 "
         "#fff2cc/#c0504d | Ctrl+E 1x1@0 /#c0504d |  1x2@0 /#c0504d | Edit 1x1@1 /#c0504d | Enter 1x1@1 /#c0504d | "
         "Username 1x1@0 /#ffffff | Who you are 1x1@0 /#ffffff"},
        {"libreoffice_odt", "cells",
         "Keys of the main window 1x3@0 #dbe5f1/#1f4e79 | Entries 2x1@0 /#c0504d | Ctrl+N 1x1@0 /#c0504d | Add 1x1@0 "
         "/#c0504d | Ctrl+E 1x1@0 /#c0504d |  1x1@0 /#c0504d | Edit 1x1@1 /#c0504d | Enter 1x1@1 /#c0504d | Username "
         "1x1@0 / | Who you are 1x1@0 /"},
        {"libreoffice_html", "cells",
         "Keys of the list 1x2@0 #dbe5f1/#808080 | Entries 2x1@0 /#808080 | Ctrl+N adds one 1x1@0 #fff2cc/#808080 | "
         "Ctrl+E changes one 1x1@0 /#808080 | Username 1x1@0 / | Who you are 1x1@0 /"},
        {"libreoffice_html", "table",
         "3x2 | Keys of the list | Keys of the list | Entries | Ctrl+N adds one | Entries | Ctrl+E changes one | 29 | "
         "71 | border 1 1 1 1"},
        {"abiword_docx", "cells",
         "Keys of the main window 1x3@0 #dbe5f1/#1f4e79 | Entries 2x1@0 /#c0504d | Ctrl+N 1x1@0 /#c0504d | Add 1x1@0 "
         "/#c0504d | Ctrl+E 1x1@0 /#c0504d |  1x1@0 /#c0504d | Edit 1x1@1 /#c0504d | Enter 1x1@1 /#c0504d | Username "
         "1x1@0 /#ffffff | Who you are 1x1@0 /#ffffff"},
    };
    for (const auto &[writer, name, expected] : tables)
        QTest::addRow("%s %s", writer, name)
            << QString::fromLatin1(writer) << QString::fromLatin1(name) << QString::fromUtf8(expected);
    for (qsizetype i = 0; i < features.size(); ++i) {
        QTest::addRow("libreoffice %s", qPrintable(features.at(i)))
            << u"libreoffice"_s << features.at(i) << libreOffice.at(i);
        QTest::addRow("abiword %s", qPrintable(features.at(i))) << u"abiword"_s << features.at(i) << abiWord.at(i);
        QTest::addRow("pandoc %s", qPrintable(features.at(i))) << u"pandoc"_s << features.at(i) << pandoc.at(i);
    }

    // Character marks, paragraph spacing, direction and backgrounds, tab leaders and default stops, list numbers.
    const char *words[][3] = {
        {"word_shape", "format of shaded", "11pt background=#c6efce font=Times New Roman"},
        {"libreoffice_odt", "format of highlighted", "12pt background=#ffff00 font=Liberation Serif"},
        {"libreoffice_odt", "format of shaded", "12pt background=#c6efce font=Liberation Serif"},
        {"libreoffice_html", "format of highlighted", "12pt background=#ffff00 font=DejaVu Serif"},
        {"word_shape", "format of 2O", "11pt font=Times New Roman baseline=-18.1818"},
        {"word_shape", "format of 2,", "11pt font=Times New Roman baseline=27.2727"},
        {"libreoffice_html", "format of 2O", "12pt font=DejaVu Serif baseline=-8.33333"},
        {"libreoffice_html", "format of 2,", "12pt font=DejaVu Serif baseline=33.3333"},
        {"word_shape", "format of Small", "11pt font=Times New Roman smallcaps"},
        {"word_shape", "format of capitals.", "11pt font=Times New Roman caps"},
        {"libreoffice_odt", "format of Small", "12pt font=Liberation Serif smallcaps"},
        {"word_shape", "format of \t1", "11pt font=Times New Roman link=#_Toc100"}, // the writer ended the link's look
        {"word_shape", "paragraph of pale yellow", "left bottom=10.67 background=#fff2cc line=1:107.917"},
        {"word_shape", "paragraph of One and a half", "left bottom=10.67 line=1:150"},
        {"word_shape", "paragraph of Exactly", "left bottom=10.67 line=2:26.6667"},
        {"libreoffice_odt", "paragraph of One and a half", "left bottom=9.333 line=1:150"},
        {"libreoffice_odt", "paragraph of At least", "left bottom=9.333 line=3:28.8"},
        {"abiword_odt", "paragraph of At least", "left bottom=9.267 line=3:0.4"},
        {"wordpad_shape", "paragraph of Windows-1252", "left bottom=13.33 line=1:115"},
        {"word_shape", "paragraph of Find", "left bottom=10.67 tab=384r tab=528 line=1:107.917 leaders=._"},
        {"libreoffice_odt", "paragraph of Find", "left bottom=9.333 tab=384r tab=528 leaders=._"},
        {"word_shape", "paragraph of \t1", "left bottom=6.667 tab=623r leaders=."},
        {"libreoffice_odt", "paragraph of Adding an entry", "left tab=624r leaders=."},
        {"libreoffice_odt", "paragraph of العربية", "right bottom=9.333 rtl"},
        {"libreoffice_html", "paragraph of العربية", "right bottom=9.333 line=1:115 rtl"},
        {"abiword_odt", "paragraph of العربية", "right bottom=9.267 rtl"},
        {"abiword_docx", "paragraph of العربية", "justify bottom=9.333"},
        {"word_shape", "paragraph of مرحبا", "right bottom=10.67 line=1:107.917 rtl"},
        {"word_shape", "default tab", "47.2"},
        {"wordpad_shape", "default tab", "48"},
        {"abiword_html", "list labels", "1. | 2. | 2.1. | 2.2. | 2.2.1."},
        {"abiword_odt", "list labels", "none"},
        {"abiword_docx", "format of 2.2.1.", "12pt color=#000000 font=Liberation Serif"}, // \\fi without \\li: no hang
    };
    for (const auto &[writer, name, expected] : words)
        QTest::addRow("%s %s", writer, name)
            << QString::fromLatin1(writer) << QString::fromUtf8(name) << QString::fromUtf8(expected);
    // Code pages of the document and of each font, double-byte pages included; footnotes at the end of the document.
    const char *const note = "^1 | 1: The list is saved when you close the window.";
    const char *text[][3] = {
        {"word_shape", "code page text",
         "Русский: Привет мир. Polski: Zażółć gęślą jaźń. Γειά σου κόσμε. こんにちは世界 你好世界 | مرحبا بالعالم"},
        {"wordpad_shape", "code page text",
         "Windows-1252: café, “quotes”, € 5, … | Привет мир Zażółć gęślą jaźń Γειά σου κόσμε | こんにちは世界 你好世界 "
         "| "
         "مرحبا بالعالم"},
        {"word_shape", "footnotes", note},
        {"libreoffice_odt", "footnotes", note},
        {"abiword_odt", "footnotes", note},
        {"abiword_docx", "footnotes", note},
        {"pandoc_markdown", "footnotes", "^1 | 1: The search looks at the username and the location."},
        {"word_shape", "format of Polski", "11pt font=Times New Roman"}, // written in "Times New Roman CE"
    };
    for (const auto &[writer, name, expected] : text)
        QTest::addRow("%s %s", writer, name)
            << QString::fromLatin1(writer) << QString::fromLatin1(name) << QString::fromUtf8(expected);
    // Pictures in shapes and metafiles, each once, at the shape's size; AbiWord's frame properties stay hidden.
    const char *pictures[][3] = {
        {"libreoffice_odt", "picture", "48x32 of 24x16"},
        {"abiword_odt", "picture", "48x32 of 24x16"},
        {"abiword_docx", "picture", "48x32 of 24x16"},
        {"word_shape", "picture", "48x32 of 24x16"},
        {"wordpad_shape", "picture", "48x32 of 24x16 | 48x32 of 24x16"},
        {"abiword_odt", "format of frame-type", "0pt"},
    };
    for (const auto &[writer, name, expected] : pictures)
        QTest::addRow("%s %s", writer, name)
            << QString::fromLatin1(writer) << QString::fromLatin1(name) << QString::fromUtf8(expected);
}

// One help page saved as RTF by three word processors, read as the help window reads it.
void tst_RtfReader::samples()
{
#ifndef BRISVANE_SOURCE_DIR
    QSKIP("The test data folder is not known to this build.");
#else
    QFETCH(QString, writer);
    QFETCH(QString, feature);
    QFETCH(QString, expected);

    QFile file(QStringLiteral(BRISVANE_SOURCE_DIR "/tests/rtf/samples/") + writer + u".rtf"_s);
    QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(file.errorString()));
    QTextDocument document;
    RtfReader reader;
    QVERIFY2(reader.read(file.readAll(), document), qPrintable(reader.errorString()));
    QCOMPARE(::feature(document, feature), expected);
    const QString text = document.toPlainText();
    QVERIFY2(!text.contains(u'\\') && !text.contains(u'{') && !text.contains(u'}'), qPrintable(text));
#endif
}

void tst_RtfReader::words_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QString>("feature");
    QTest::addColumn<QString>("expected");
    const char *rows[][3] = {
        {"{\\rtf1\\rtlpar\\qr a\\par\\pard b\\par}", "paragraph of b", "left"},
        {"{\\rtf1\\rtlpar a\\par\\rtlpar\\ql b\\par}", "paragraph of a", "right rtl"}, // where it begins
        {"{\\rtf1\\rtlpar a\\par\\rtlpar\\ql b\\par}", "paragraph of b", "left rtl"},
        {"{\\rtf1\\sl31680\\slmult1 a\\par}", "paragraph of a", "left line=1:300"},
        {"{\\rtf1\\sl-31680 a\\par}", "paragraph of a", "left line=2:48"},
        {"{\\rtf1\\fs2\\up1000 a}", "format of a", "1pt baseline=100"},
        {"{\\rtf1\\dn x\\up0 a}", "format of a", "12pt"},
        {"{\\rtf1\\tx720\\tldot\\tx720 a\\tab b\\par}", "paragraph of a", "left tab=48 leaders=."}, // the last one
        {"{\\rtf1\\deftab1 a}", "default tab", "4.8"},
        {"{\\rtf1{\\listtext 1.\\tab Extra\\par}a\\par}", "format of Extra", "0pt"}, // the label ends at its tab
    };
    for (const auto &[rtf, feature, expected] : rows)
        QTest::addRow("%s", rtf) << QByteArray(rtf) << QString::fromLatin1(feature) << QString::fromLatin1(expected);
}

// Character and paragraph words at the edges of what they may ask.
void tst_RtfReader::words()
{
    QFETCH(QByteArray, rtf);
    QFETCH(QString, feature);
    QFETCH(QString, expected);
    QTextDocument document;
    QVERIFY(RtfReader().read(rtf, document));
    QCOMPARE(::feature(document, feature), expected);
}

void tst_RtfReader::pictures_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<qint64>("maxPixels");
    QTest::addColumn<QString>("expected");

    const QByteArray png = hexPicture("PNG", {24, 16});
    const qint64 plenty = RtfReader::Limits{}.maxPicturePixels;
    const auto pict = [](const QByteArray &words, const QByteArray &data) {
        return "{\\pict"_ba + words + " "_ba + data + "}"_ba;
    };
    const auto doc = [](const QByteArray &body) { return "{\\rtf1 a"_ba + body + "b}"_ba; };
    QTest::newRow("png at goal size") << doc(pict("\\pngblip\\picwgoal720\\pichgoal480", png)) << plenty
                                      << u"48x32 of 24x16"_s;
    QTest::newRow("png scaled") << doc(pict("\\pngblip\\picscalex50\\picscaley200", png)) << plenty
                                << u"12x32 of 24x16"_s;
    QTest::newRow("jpeg") << doc(pict("\\jpegblip", hexPicture("JPEG", {8, 8}))) << plenty << u"8x8 of 8x8"_s;
    QTest::newRow("binary data") << doc(pict("\\pngblip\\bin" + QByteArray::number(png.size() / 2),
                                             QByteArray::fromHex(png)))
                                 << plenty << u"24x16 of 24x16"_s;
    QTest::newRow("shape picture over its fallback")
        << doc("{\\*\\shppict"_ba + pict("\\pngblip", png) + "}{\\nonshppict"_ba + pict("\\wmetafile8", "0100"_ba) +
               "}"_ba)
        << plenty << u"24x16 of 24x16"_s;
    QTest::newRow("metafile left out") << doc(pict("\\wmetafile8", "010009000003"_ba)) << plenty << u"none"_s;
    QTest::newRow("broken png costs only itself")
        << doc(pict("\\pngblip", png.first(60)) + pict("\\pngblip", png)) << plenty << u"24x16 of 24x16"_s;
    QTest::newRow("pixels past the limit")
        << doc(pict("\\pngblip", png) + pict("\\pngblip", png)) << qint64(500) << u"24x16 of 24x16"_s;
    QTest::newRow("hidden picture") << doc("{\\v "_ba + pict("\\pngblip", png) + "}"_ba) << plenty << u"none"_s;

    // Shapes: the picture of "pib" at the shape's box, or the fallback where the shape has none; never both.
    const auto shape = [&](const QByteArray &property, const QByteArray &fallback) {
        return "{\\shp{\\*\\shpinst\\shpleft0\\shptop0\\shpright720\\shpbottom480{\\sp{\\sn "_ba + property +
               "}{\\sv "_ba + pict("\\pngblip", png) + "}}{\\sp{\\sn shapeType}{\\sv 75}}}"_ba + fallback + "}"_ba;
    };
    const QByteArray fallback = "{\\shprslt "_ba + pict("\\pngblip\\picscalex50", png) + "}"_ba;
    QTest::newRow("shape over its fallback") << doc(shape("pib", fallback)) << plenty << u"48x32 of 24x16"_s;
    QTest::newRow("fallback of a shape without a picture")
        << doc(shape("fillBlip", fallback)) << plenty << u"12x16 of 24x16"_s;
    QTest::newRow("shape pixels past the limit")
        << doc(shape("pib", {}) + shape("pib", {})) << qint64(500) << u"48x32 of 24x16"_s;
    QTest::newRow("hidden shape") << doc("{\\v "_ba + shape("pib", fallback) + "}"_ba) << plenty << u"none"_s;

    // Metafiles that wrap a bitmap, and bitmaps of their own.
    const QByteArray dib24 = dibOf(QImage::Format_RGB32);
    QByteArray topDown = dib24;
    qToLittleEndian<qint32>(-16, topDown.data() + 8);
    const QByteArray wmf = "\\wmetafile8\\picwgoal720\\pichgoal480"_ba;
    QTest::newRow("metafile, stretched DIB")
        << doc(pict(wmf, metafileHex(0x0F43, 22, dib24))) << plenty << u"48x32 of 24x16"_s;
    QTest::newRow("metafile, 8-bit DIB") << doc(pict(wmf, metafileHex(0x0B41, 20, dibOf(QImage::Format_Indexed8))))
                                         << plenty << u"48x32 of 24x16"_s;
    QTest::newRow("metafile, 1-bit DIB") << doc(pict(wmf, metafileHex(0x0D33, 20, dibOf(QImage::Format_Mono))))
                                         << plenty << u"48x32 of 24x16"_s;
    QTest::newRow("metafile, top-down DIB")
        << doc(pict(wmf, metafileHex(0x0F43, 22, topDown))) << plenty << u"48x32 of 24x16"_s;
    QTest::newRow("bitmap") << doc(pict("\\dibitmap0", dib24.toHex())) << plenty << u"24x16 of 24x16"_s;
    QTest::newRow("metafile's bitmap past the limit")
        << doc(pict(wmf, metafileHex(0x0F43, 22, dib24))) << qint64(24 * 16 - 1) << u"none"_s;
    QTest::newRow("metafile, DIB shorter than its rows")
        << doc(pict(wmf, metafileHex(0x0F43, 22, dib24.chopped(4)))) << plenty << u"none"_s;
    QTest::newRow("metafile, record past its end")
        << doc(pict(wmf, metafileHex(0x0F43, 22, dib24, 0x7FFFFFFF))) << plenty << u"none"_s;
    QTest::newRow("metafile, record of no size")
        << doc(pict(wmf, metafileHex(0x0F43, 22, dib24, 0))) << plenty << u"none"_s;
}

void tst_RtfReader::pictures()
{
    QFETCH(QByteArray, rtf);
    QFETCH(qint64, maxPixels);
    QFETCH(QString, expected);

    RtfReader::Limits limits;
    limits.maxPicturePixels = maxPixels;
    RtfReader reader(limits);
    QTextDocument document;
    QVERIFY2(reader.read(rtf, document), qPrintable(reader.errorString()));
    QCOMPARE(feature(document, u"picture"_s), expected);
    QCOMPARE(document.toPlainText().remove(QChar::ObjectReplacementCharacter), u"ab"_s);
}

void tst_RtfReader::tablesKeepText_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<int>("letters");

    const QByteArray head = "{\\rtf1 "_ba;
    QTest::newRow("many rows") << head +
                                      repeated("\\trowd\\cellx1000\\cellx2000\\intbl x\\cell x\\cell\\row ", 20'000) +
                                      "}"_ba
                               << 40'000;
    QTest::newRow("cells past the columns")
        << head + "\\intbl "_ba + repeated("x\\cell ", 5'000) + "\\row}"_ba << 5'000;
    QTest::newRow("rows of changing width")
        << head + repeated("\\intbl x\\cell\\row\\intbl x\\cell x\\cell\\row ", 2'000) + "}"_ba << 6'000;
    QTest::newRow("cells without a row end") << head + "\\intbl x\\cell x\\par x"_ba << 3;
    QTest::newRow("row end without cells") << head + repeated("\\intbl\\row x", 1'000) + "}"_ba << 1'000;
    QTest::newRow("many cell definitions")
        << head + repeated("\\clbrdrt\\brdrs\\cellx10", 100'000) + "\\intbl x\\cell\\row}"_ba << 1;
    QTest::newRow("long paragraph in a cell")
        << head + "\\intbl "_ba + repeated("x", 100'000) + "\\cell\\row}"_ba << 100'000;
    // Tables in tables: each depth past the deepest kept is text in the deepest cell.
    QByteArray deep = head;
    for (int depth = 1; depth <= 40; ++depth)
        deep += "\\pard\\intbl\\itap" + QByteArray::number(depth) + " x\\nestcell ";
    for (int depth = 40; depth > 1; --depth)
        deep += "{\\*\\nesttableprops\\trowd\\cellx900\\nestrow}\\pard\\intbl\\itap" + QByteArray::number(depth - 1) +
                " x\\nestcell ";
    QTest::newRow("tables nested past the deepest") << deep + "\\cell\\row}"_ba << 79;
    QTest::newRow("many tables in cells")
        << head +
               repeated("\\intbl\\itap2 x\\nestcell{\\*\\nesttableprops\\trowd\\clvmrg\\cellx9\\nestrow}"
                        "\\pard\\intbl x\\cell\\row ",
                        20'000) +
               "}"_ba
        << 40'000;
    QTest::newRow("table in the first row of a new table")
        << head + "\\trowd"_ba + repeated("\\cellx1", 64) +
               "\\intbl x\\cell\\row\\trowd\\cellx99\\intbl\\itap2 x\\nestcell"_ba +
               "{\\*\\nesttableprops\\trowd\\cellx9\\nestrow}\\pard\\intbl\\cell\\row}"_ba
        << 2;
    QTest::newRow("merges every way")
        << head +
               repeated(
                   "\\trowd\\clvmrg\\clmrg\\cellx5\\clmgf\\clvmgf\\cellx3\\clmrg\\cellx99999\\intbl x\\cell x\\cell "
                   "x\\cell x\\cell\\row ",
                   10'000) +
               "}"_ba
        << 40'000;
}

// However a file builds its tables, their text is all there and the document can be laid out.
void tst_RtfReader::tablesKeepText()
{
    QFETCH(QByteArray, rtf);
    QFETCH(int, letters);

    RtfReader::Limits limits;
    limits.maxOutputChars = 200'000;
    limits.layout = {};
    RtfReader reader(limits);
    QTextDocument document;
    QVERIFY2(reader.read(rtf, document), qPrintable(reader.errorString()));
    QCOMPARE(document.toPlainText().count(u'x'), letters);
    QVERIFY(document.characterCount() <= limits.maxOutputChars + 1);
    document.setTextWidth(400);
    QVERIFY(document.size().height() > 0);
}

void tst_RtfReader::tables_data()
{
    QTest::addColumn<QByteArray>("rows");
    QTest::addColumn<QString>("feature");
    QTest::addColumn<QString>("expected");

    QTest::newRow("rows whose cells differ share a grid")
        << "\\trowd\\cellx1000\\cellx3000\\intbl a\\cell b\\cell\\row\\trowd\\cellx2000\\cellx3000\\intbl c\\cell d\\cell\\row"_ba
        << u"cells"_s << u"a 1x1@0 / | b 1x2@0 / | c 1x2@0 / | d 1x1@0 /"_s;
    QTest::newRow("merges that do not line up stay apart")
        << "\\trowd\\clmrg\\cellx1000\\clvmgf\\cellx2000\\intbl a\\cell b\\cell\\row"
           "\\trowd\\cellx1500\\clvmrg\\cellx2000\\intbl c\\cell d\\cell\\row"_ba
        << u"cells"_s << u"a 1x1@0 / | b 1x2@0 / | c 1x2@0 / | d 1x1@0 /"_s;
    QTest::newRow("shading, and colours of sides without their own")
        << "\\trowd\\clcbpat1\\clcfpat2\\clshdng2500\\clbrdrl\\brdrs\\brdrcf2\\clbrdrt\\brdrs\\cellx900\\clbrdrb\\brdrn"
           "one"
           "\\cellx1800\\intbl a\\cell b\\cell\\row"_ba
        << u"cells"_s << u"a 1x1@0 #bfbfff/#0000ff | b 1x1@0 /"_s;
    QTest::newRow("table wider than the page") << "\\trowd\\cellx10\\cellx65534\\intbl a\\cell b\\cell\\row"_ba
                                               << u"table"_s << u"1x2 | a | b | 4 | 96 | border 0 0 0 0"_s;
    QTest::newRow("table in a table in a cell")
        << "\\trowd\\cellx9000\\intbl\\itap3 "
           "a\\nestcell{\\*\\nesttableprops\\trowd\\cellx900\\nestrow}\\pard\\intbl\\itap2 "
           "b\\nestcell{\\*\\nesttableprops\\trowd\\cellx9000\\nestrow}\\pard\\intbl c\\cell\\row"_ba
        << u"cells"_s << u" 1x1@0 / |  1x1@1 / | a 1x1@2 /"_s;
}

// Tables as a word processor writes them: the colour table has white, blue and red.
void tst_RtfReader::tables()
{
    QFETCH(QByteArray, rows);
    QFETCH(QString, feature);
    QFETCH(QString, expected);

    QTextDocument document;
    RtfReader reader;
    QVERIFY2(reader.read("{\\rtf1{\\colortbl;\\red255\\green255\\blue255;\\red0\\green0\\blue255;}"_ba + rows + "}"_ba,
                         document),
             qPrintable(reader.errorString()));
    QCOMPARE(::feature(document, feature), expected);
}

QTEST_MAIN(tst_RtfReader)
#include "tst_RtfReader.moc"
