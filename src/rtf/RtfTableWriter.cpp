#include "rtf/RtfTableWriter.h"

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

void RtfTableWriter::endCell()
{
    if (rowCells_.size() < maxColumns) {
        rowCells_.append(std::exchange(cellParagraphs_, {}));
    } else {
        rowCells_.last().append(std::exchange(cellParagraphs_, {}));
    }
}

RtfTableWriter::Room RtfTableWriter::endRow(const RtfRowDef &row, Room room, RtfInsertPoint &at,
                                            const QTextCharFormat &textFormat)
{
    if (!cellParagraphs_.isEmpty()) {
        rowCells_.append(std::exchange(cellParagraphs_, {}));
    }
    if (rowCells_.isEmpty()) {
        return {};
    }
    return writeRow(row, room, at, textFormat);
}

RtfTableWriter::Room RtfTableWriter::endOpenRow(Room room, RtfInsertPoint &at, const QTextCharFormat &textFormat)
{
    return endRow(RtfRowDef(lastRow_), room, at, textFormat);
}

RtfTableWriter::Room RtfTableWriter::writeRow(const RtfRowDef &row, Room room, RtfInsertPoint &at,
                                              const QTextCharFormat &textFormat)
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
    if (pieces > room.pieces || chars > room.chars) {
        writeRowAsText(cells, at, textFormat);
        return {};
    }
    if (newTable) {
        close(at);
        tableColumns_ = columns;
    }
    cells.resize(columns);
    tableRows_.append(TableRow{std::move(cells), row});
    return {chars, pieces};
}

// The rows go in together: a table that grows a row at a time lays out its whole grid again each time.
void RtfTableWriter::close(RtfInsertPoint &at)
{
    if (tableRows_.isEmpty()) {
        return;
    }
    const QList<TableRow> rows = std::exchange(tableRows_, {});
    QTextTable *table = at.cursor.insertTable(int(rows.size()), tableColumns_, tableFormat(rows.first().definition));
    at.freeBlock = false;
    for (int row = 0; row < rows.size(); ++row) {
        const TableRow &tableRow = rows.at(row);
        for (int column = 0; column < tableColumns_; ++column) {
            const QList<RtfCellDef> &definitions = tableRow.definition.cells;
            fillCell(table->cellAt(row, column), tableRow.cells.at(column),
                     column < definitions.size() ? definitions.at(column) : RtfCellDef{});
        }
    }
    at.cursor = table->lastCursorPosition();
    at.cursor.movePosition(QTextCursor::NextBlock);
    at.freeBlock = true;
}

QTextTableFormat RtfTableWriter::tableFormat(const RtfRowDef &row) const
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

void RtfTableWriter::fillCell(QTextTableCell tableCell, const Cell &cell, const RtfCellDef &definition)
{
    QTextCursor cursor = tableCell.firstCursorPosition();
    for (qsizetype i = 0; i < cell.size(); ++i) {
        const RtfParagraph &paragraph = cell.at(i);
        if (i == 0) {
            cursor.setBlockFormat(paragraph.block);
            cursor.setBlockCharFormat(paragraph.mark);
        } else {
            cursor.insertBlock(paragraph.block, paragraph.mark);
        }
        RtfTextRuns::insert(cursor, paragraph.text, paragraph.runs);
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
void RtfTableWriter::writeRowAsText(const QList<Cell> &cells, RtfInsertPoint &at, const QTextCharFormat &textFormat)
{
    close(at);
    QString text;
    QTextCharFormat format = textFormat;
    bool haveFormat = false;
    for (qsizetype c = 0; c < cells.size(); ++c) {
        text += c == 0 ? QChar::LineSeparator : QChar(u'\t');
        for (qsizetype p = 0; p < cells.at(c).size(); ++p) {
            const RtfParagraph &paragraph = cells.at(c).at(p);
            if (p > 0) {
                text += QChar::LineSeparator;
            }
            for (const RtfTextRun &run : paragraph.runs) {
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
    if (at.freeBlock) {
        text.remove(0, 1);
        at.freeBlock = false;
    }
    at.cursor.insertText(text, format);
}
