// The table side of RtfDocumentWriter: cells gathered a row at a time become rows of a QTextTable.

#include "rtf/RtfDocumentWriter.h"
#include "rtf/RtfTwips.h"

#include <QTextTable>

namespace {

constexpr int maxColumns = 64;
// A table cell costs the document about three times what a paragraph costs, which is two pieces.
constexpr qsizetype piecesPerCell = 6;
// The characters a new table adds besides its cells: its end, the block after it, and the empty block
// before it at the start of a document.
constexpr qsizetype charsPerTable = 3;

void setBorder(QTextTableCellFormat &format, quint8 borders, quint8 side, qreal width)
{
    const bool shown = (borders & side) != 0;
    const qreal size = shown ? width : 0;
    const QTextFrameFormat::BorderStyle style =
        shown ? QTextFrameFormat::BorderStyle_Solid : QTextFrameFormat::BorderStyle_None;
    switch (side) {
    case RtfCellDef::Top:
        format.setTopBorder(size);
        format.setTopBorderStyle(style);
        format.setTopBorderBrush(Qt::black);
        break;
    case RtfCellDef::Left:
        format.setLeftBorder(size);
        format.setLeftBorderStyle(style);
        format.setLeftBorderBrush(Qt::black);
        break;
    case RtfCellDef::Bottom:
        format.setBottomBorder(size);
        format.setBottomBorderStyle(style);
        format.setBottomBorderBrush(Qt::black);
        break;
    default:
        format.setRightBorder(size);
        format.setRightBorderStyle(style);
        format.setRightBorderBrush(Qt::black);
        break;
    }
}

} // namespace

bool RtfDocumentWriter::endCell(const QTextBlockFormat &block, const QTextCharFormat &mark)
{
    if (limitReached_) {
        return false;
    }
    // A cell past the table's last column still costs a paragraph in that column.
    if (!budget_.chargeCell() || !budget_.chargeBreak(mark)) {
        return stopForLayout();
    }
    if (!reserve(1)) {
        return false;
    }
    if (blockStarted_) {
        // The paragraph began outside the table and is already partly in the document.
        writeBlock(block, mark);
        blockStarted_ = false;
        unbroken_ = 0;
    } else if (!text_.isEmpty() || cellParagraphs_.isEmpty()) {
        cellParagraphs_.append(takeParagraph(block, mark));
    }
    paragraphInTable_ = false;
    if (rowCells_.size() < maxColumns) {
        rowCells_.append(std::exchange(cellParagraphs_, {}));
    } else {
        rowCells_.last().append(std::exchange(cellParagraphs_, {}));
    }
    return true;
}

void RtfDocumentWriter::endRow(const RtfRowDef &row)
{
    if (!limitReached_ && !budget_.chargeBreak(format_)) {
        stopForLayout();
    }
    if (!text_.isEmpty() && !blockStarted_) {
        takeUnendedParagraph(lastBlock_, lastMark_);
    }
    if (!cellParagraphs_.isEmpty()) {
        rowCells_.append(std::exchange(cellParagraphs_, {}));
    }
    paragraphInTable_ = false;
    if (!rowCells_.isEmpty()) {
        writeRow(row);
    }
}

// Every paragraph in a cell takes one character besides its text: its end, or the separator before it where the
// row is written as text. endParagraph pays for the paragraphs it ends; this pays for the one that a row or the
// document ends first. Where the limit leaves no room for it, its text goes, as the rest beyond the limit does.
void RtfDocumentWriter::takeUnendedParagraph(const QTextBlockFormat &block, const QTextCharFormat &mark)
{
    if (reserve(1)) {
        cellParagraphs_.append(takeParagraph(block, mark));
    } else {
        text_.clear();
        runs_.clear();
    }
}

void RtfDocumentWriter::flushOpenRow()
{
    if (!cellParagraphs_.isEmpty()) {
        rowCells_.append(std::exchange(cellParagraphs_, {}));
    }
    if (!rowCells_.isEmpty()) {
        writeRow(lastRow_);
    }
}

void RtfDocumentWriter::writeRow(const RtfRowDef &row)
{
    lastRow_ = row;
    QList<Cell> cells = std::exchange(rowCells_, {});
    const int columns = int(qBound<qsizetype>(1, qMax(row.cells.size(), cells.size()), qsizetype(maxColumns)));
    while (cells.size() > columns) {
        const Cell surplus = cells.takeLast();
        cells.last().append(surplus);
    }
    const bool newTable = tableRows_.isEmpty() || tableColumns_ != columns;
    const qsizetype pieces = (columns + (newTable ? 1 : 0)) * piecesPerCell;
    // Cells the row does not fill still take a character each.
    const qsizetype chars = (columns - cells.size()) + (newTable ? charsPerTable : 0);
    if (pieces_ + pieces > maxPieces_ || chars > maxChars_ - written_) {
        writeRowAsText(cells);
        return;
    }
    pieces_ += pieces;
    written_ += chars;
    if (newTable) {
        closeTable();
        tableColumns_ = columns;
    }
    cells.resize(columns);
    tableRows_.append(TableRow{std::move(cells), row});
}

// The rows go in together: a table that grows a row at a time lays out its whole grid again each time.
void RtfDocumentWriter::closeTable()
{
    if (tableRows_.isEmpty()) {
        return;
    }
    const QList<TableRow> rows = std::exchange(tableRows_, {});
    QTextTable *table = cursor_.insertTable(int(rows.size()), tableColumns_, tableFormat(rows.first().definition));
    freeBlock_ = false;
    for (int row = 0; row < rows.size(); ++row) {
        const TableRow &tableRow = rows.at(row);
        for (int column = 0; column < tableColumns_; ++column) {
            const QList<RtfCellDef> &definitions = tableRow.definition.cells;
            fillCell(table->cellAt(row, column), tableRow.cells.at(column),
                     column < definitions.size() ? definitions.at(column) : RtfCellDef{});
        }
    }
    cursor_ = table->lastCursorPosition();
    cursor_.movePosition(QTextCursor::NextBlock);
    freeBlock_ = true;
}

QTextTableFormat RtfDocumentWriter::tableFormat(const RtfRowDef &row) const
{
    const int columns = tableColumns_;
    QTextTableFormat format;
    // A collapsed table draws the borders its cells ask for, and none of its own.
    format.setBorder(0);
    format.setBorderCollapse(true);
    format.setCellSpacing(0);
    format.setCellPadding(4);
    QList<QTextLength> widths;
    int left = 0;
    for (int column = 0; column < columns; ++column) {
        const int right = column < row.cells.size() ? row.cells.at(column).rightTwips : left;
        widths.append(right > left ? QTextLength(QTextLength::FixedLength, (right - left) / RtfTwips::perPixel)
                                   : QTextLength(QTextLength::VariableLength, 0));
        left = qMax(left, right);
    }
    format.setColumnWidthConstraints(widths);
    return format;
}

void RtfDocumentWriter::fillCell(QTextTableCell tableCell, const Cell &cell, const RtfCellDef &definition)
{
    QTextCursor cursor = tableCell.firstCursorPosition();
    for (qsizetype i = 0; i < cell.size(); ++i) {
        const Paragraph &paragraph = cell.at(i);
        if (i == 0) {
            cursor.setBlockFormat(paragraph.block);
            cursor.setBlockCharFormat(paragraph.mark);
        } else {
            cursor.insertBlock(paragraph.block, paragraph.mark);
        }
        insertRuns(cursor, paragraph.text, paragraph.runs);
    }
    // The cell's format is the character format of its first block's start, so it goes on last.
    QTextTableCellFormat format = tableCell.format().toTableCellFormat();
    const qreal width = definition.borderTwips > 0 ? qMax(1.0, definition.borderTwips / RtfTwips::perPixel) : 1.0;
    for (const quint8 side : {RtfCellDef::Top, RtfCellDef::Left, RtfCellDef::Bottom, RtfCellDef::Right}) {
        setBorder(format, definition.borders, side, width);
    }
    tableCell.setFormat(format);
}

// Past the budget a row goes at the end of the last paragraph, on a line of its own, its cells apart by
// tabs: its text stays without new blocks.
void RtfDocumentWriter::writeRowAsText(const QList<Cell> &cells)
{
    closeTable();
    QString text;
    QTextCharFormat format = format_;
    bool haveFormat = false;
    for (qsizetype c = 0; c < cells.size(); ++c) {
        text += c == 0 ? QChar::LineSeparator : QChar(u'\t');
        for (qsizetype p = 0; p < cells.at(c).size(); ++p) {
            const Paragraph &paragraph = cells.at(c).at(p);
            if (p > 0) {
                text += QChar::LineSeparator;
            }
            for (const Run &run : paragraph.runs) {
                if (!haveFormat && !run.format.isImageFormat()) {
                    format = run.format;
                    haveFormat = true;
                }
            }
            // Pictures need their own runs, which the budget no longer allows.
            QString own = paragraph.text;
            own.remove(QChar::ObjectReplacementCharacter);
            text += own;
        }
    }
    if (freeBlock_) {
        text.remove(0, 1);
        freeBlock_ = false;
    }
    cursor_.insertText(text, format);
}
