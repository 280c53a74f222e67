#include "rtf/RtfTableWriter.h"

#include "rtf/RtfTableCellFormat.h"
#include "rtf/RtfTableGrid.h"

#include <QTextTable>

namespace {

// A table cell costs the document about three times what a paragraph costs, which is two pieces.
constexpr qsizetype piecesPerCell = 6;
// The characters a new table adds besides its cells: its end, the block after it, and the empty block
// before it at the start of a document or a cell.
constexpr qsizetype charsPerTable = 3;

} // namespace

bool RtfTableWriter::holdsNothing(const Cell &cell)
{
    return cell.isEmpty() || (cell.size() == 1 && !cell.first().table && cell.first().paragraph.text.isEmpty());
}

void RtfTableWriter::addParagraph(RtfParagraph paragraph, int depth)
{
    level(depth).cell.append(Part{std::move(paragraph), {}});
}

void RtfTableWriter::endCell(int depth, const RtfRowDef &row)
{
    Level &open = level(depth);
    open.openRow = row;
    if (open.rowCells.size() < RtfTableGrid::maxColumns) {
        open.rowCells.append(std::exchange(open.cell, {}));
    } else {
        open.rowCells.last().append(std::exchange(open.cell, {}));
    }
}

bool RtfTableWriter::rowOpen() const
{
    for (int depth = 1; depth <= maxDepth; ++depth) {
        const Level &open = level(depth);
        if (!open.cell.isEmpty() || !open.rowCells.isEmpty() || (depth > 1 && !open.table.rows.isEmpty())) {
            return true;
        }
    }
    return false;
}

RtfTableWriter::Room RtfTableWriter::endDeeper(int depth, Room room, RtfInsertPoint &at,
                                               const QTextCharFormat &textFormat)
{
    Room taken;
    for (int deeper = maxDepth; deeper > qMax(0, depth); --deeper) {
        Level &open = level(deeper);
        if (!open.cell.isEmpty()) {
            open.rowCells.append(std::exchange(open.cell, {}));
        }
        if (!open.rowCells.isEmpty()) {
            const Room left{room.chars - taken.chars, room.pieces - taken.pieces, room.cells - taken.cells};
            const Room row = writeRow(deeper, RtfRowDef(open.openRow), left, at, textFormat);
            taken = {taken.chars + row.chars, taken.pieces + row.pieces, taken.cells + row.cells};
        }
        if (deeper > 1) {
            closeTable(deeper, at);
        }
    }
    return taken;
}

RtfTableWriter::Room RtfTableWriter::endRow(const RtfRowDef &row, int depth, Room room, RtfInsertPoint &at,
                                            const QTextCharFormat &textFormat)
{
    Level &open = level(depth);
    if (!open.cell.isEmpty()) {
        open.rowCells.append(std::exchange(open.cell, {}));
    }
    if (open.rowCells.isEmpty()) {
        return {};
    }
    return writeRow(depth, row, room, at, textFormat);
}

RtfTableWriter::Room RtfTableWriter::writeRow(int depth, const RtfRowDef &row, Room room, RtfInsertPoint &at,
                                              const QTextCharFormat &textFormat)
{
    Level &open = level(depth);
    QList<Cell> cells = std::exchange(open.rowCells, {});
    // A cell past the row's definition that holds nothing shows nothing.
    while (cells.size() > qMax<qsizetype>(1, row.cells.size()) && holdsNothing(cells.last())) {
        cells.removeLast();
    }
    const QList<int> edges = RtfTableGrid::rowEdges(row, cells.size());
    QList<int> grid = RtfTableGrid::joinedEdges(open.table.edges, edges);
    const bool newTable = open.table.rows.isEmpty() || grid.size() > RtfTableGrid::maxColumns;
    if (newTable) {
        grid = edges;
    }
    const qsizetype rowsBefore = newTable ? 0 : open.table.rows.size();
    const qsizetype added = (rowsBefore + 1) * grid.size() - rowsBefore * (newTable ? 0 : open.table.edges.size());
    const qsizetype unpaid = qMax<qsizetype>(0, added - cells.size());
    const Room taken{unpaid + (newTable ? charsPerTable : 0), (added + (newTable ? 1 : 0)) * piecesPerCell, unpaid};
    if (taken.pieces > room.pieces || taken.chars > room.chars || taken.cells > room.cells) {
        writeRowAsText(depth, cells, at, textFormat);
        return {};
    }
    if (newTable) {
        closeTable(depth, at);
    }
    cells.resize(edges.size());
    open.table.edges = grid;
    open.table.rows.append(TableRow{std::move(cells), row, edges});
    return taken;
}

void RtfTableWriter::closeTable(int depth, RtfInsertPoint &at)
{
    Level &open = level(depth);
    if (open.table.rows.isEmpty()) {
        return;
    }
    if (depth <= 1) {
        close(at);
        return;
    }
    level(depth - 1).cell.append(Part{{}, std::make_shared<const Table>(std::exchange(open.table, {}))});
}

// The rows go in together: a table that grows a row at a time lays out its whole grid again each time.
void RtfTableWriter::close(RtfInsertPoint &at)
{
    Table table = std::exchange(level(1).table, {});
    if (table.rows.isEmpty()) {
        return;
    }
    const QTextTable *written = insertTable(at.cursor, table, RtfTableGrid::textTwips);
    at.freeBlock = false;
    at.cursor = written->lastCursorPosition();
    at.cursor.movePosition(QTextCursor::NextBlock);
    at.freeBlock = true;
}

// What each column needs for the longest word of the cells that are in it alone.
QList<int> RtfTableWriter::leastWidths(const Table &table, const RtfTableGrid::Layout &grid)
{
    QList<int> least(grid.edges.size(), 0);
    for (qsizetype r = 0; r < table.rows.size(); ++r) {
        const QList<Cell> &cells = table.rows.at(r).cells;
        for (qsizetype i = 0; i < cells.size() && i < grid.target.at(r).size(); ++i) {
            const RtfTableGrid::Cell &shown = grid.cells.at(grid.target.at(r).at(i));
            for (const Part &part : cells.at(i)) {
                if (shown.columnSpan == 1 && !part.table) {
                    least[shown.column] = qMax(least.at(shown.column), RtfTableCellFormat::wordTwips(part.paragraph));
                }
            }
        }
    }
    return least;
}

// Calls itself for the tables in its cells, which are each one deeper: never more than maxDepth deep.
QTextTable *RtfTableWriter::insertTable(QTextCursor &cursor, const Table &table, int availableTwips)
{
    QList<RtfTableGrid::Row> shapes;
    shapes.reserve(table.rows.size());
    for (const TableRow &row : table.rows) {
        shapes.append(RtfTableGrid::Row{&row.definition, row.edges});
    }
    const RtfTableGrid::Layout grid = RtfTableGrid::layout(shapes);
    const QList<int> least = leastWidths(table, grid);
    QTextTableFormat format = RtfTableCellFormat::table(RtfTableGrid::widths(grid.edges, least, availableTwips));
    QTextTable *written = cursor.insertTable(int(table.rows.size()), int(grid.edges.size()), format);
    QList<bool> started(grid.cells.size(), false);
    for (qsizetype r = 0; r < table.rows.size(); ++r) {
        const QList<Cell> &cells = table.rows.at(r).cells;
        for (qsizetype i = 0; i < cells.size() && i < grid.target.at(r).size(); ++i) {
            const qsizetype target = grid.target.at(r).at(i);
            const RtfTableGrid::Cell &shown = grid.cells.at(target);
            if (started.at(target) && holdsNothing(cells.at(i))) {
                continue; // a merged cell's own empty paragraph
            }
            const int width = RtfTableGrid::spanTwips(grid.edges, shown.column, shown.columnSpan, availableTwips);
            fillCell(written, shown.row, shown.column, cells.at(i), started[target], width);
        }
    }
    // A cell's format, its spans included, is the character format of its first block's start, which its first
    // paragraph sets: the spans and formats go on last.
    for (const RtfTableGrid::Cell &cell : grid.cells) {
        if (cell.rowSpan > 1 || cell.columnSpan > 1) {
            written->mergeCells(cell.row, cell.column, cell.rowSpan, cell.columnSpan);
        }
    }
    for (const RtfTableGrid::Cell &cell : grid.cells) {
        const QList<RtfCellDef> &definitions = table.rows.at(cell.row).definition.cells;
        QTextTableCell tableCell = written->cellAt(cell.row, cell.column);
        tableCell.setFormat(RtfTableCellFormat::cell(
            tableCell.format().toTableCellFormat(),
            cell.definition < definitions.size() ? definitions.at(cell.definition) : RtfCellDef{}));
    }
    return written;
}

void RtfTableWriter::fillCell(QTextTable *table, int row, int column, const Cell &cell, bool &started,
                              int availableTwips)
{
    bool freeBlock = !started;
    for (const Part &part : cell) {
        QTextCursor cursor = table->cellAt(row, column).lastCursorPosition();
        if (part.table) {
            insertTable(cursor, *part.table, availableTwips);
            freeBlock = true;
            continue;
        }
        const RtfParagraph &paragraph = part.paragraph;
        if (freeBlock) {
            cursor.setBlockFormat(paragraph.block);
            cursor.setBlockCharFormat(paragraph.mark);
        } else {
            cursor.insertBlock(paragraph.block, paragraph.mark);
        }
        freeBlock = false;
        RtfTextRuns::insert(cursor, paragraph.text, paragraph.runs);
    }
    started = started || !cell.isEmpty();
}

// Past the budget a row goes on a line of its own, its cells apart by tabs: its text stays without new blocks.
// Outside tables the line goes at the end of the last paragraph; in a cell, at the end of the cell's last paragraph.
void RtfTableWriter::writeRowAsText(int depth, const QList<Cell> &cells, RtfInsertPoint &at,
                                    const QTextCharFormat &textFormat)
{
    QString text;
    QTextCharFormat format = textFormat;
    bool haveFormat = false;
    appendText(cells, text, format, haveFormat);
    closeTable(depth, at);
    if (depth > 1) {
        Cell &holder = level(depth - 1).cell;
        if (holder.isEmpty() || holder.last().table) {
            text.remove(0, 1);
            holder.append(Part{});
        }
        RtfParagraph &paragraph = holder.last().paragraph;
        paragraph.text += text;
        paragraph.runs.append(RtfTextRun{format, paragraph.text.size()});
        return;
    }
    if (at.freeBlock) {
        text.remove(0, 1);
        at.freeBlock = false;
    }
    at.cursor.insertText(text, format);
}

// Calls itself for the tables in the cells, which are each one deeper: never more than maxDepth deep.
void RtfTableWriter::appendText(const QList<Cell> &cells, QString &text, QTextCharFormat &format,
                                bool &haveFormat) const
{
    for (qsizetype c = 0; c < cells.size(); ++c) {
        text += c == 0 ? QChar::LineSeparator : QChar(u'\t');
        for (qsizetype p = 0; p < cells.at(c).size(); ++p) {
            const Part &part = cells.at(c).at(p);
            if (p > 0) {
                text += QChar::LineSeparator;
            }
            if (part.table) {
                for (const TableRow &row : part.table->rows) {
                    appendText(row.cells, text, format, haveFormat);
                }
                continue;
            }
            for (const RtfTextRun &run : part.paragraph.runs) {
                if (!haveFormat && !run.format.isImageFormat()) {
                    format = run.format;
                    haveFormat = true;
                }
            }
            // Pictures need their own runs, which the budget no longer allows.
            QString own = part.paragraph.text;
            own.remove(QChar::ObjectReplacementCharacter);
            text += own;
        }
    }
}
