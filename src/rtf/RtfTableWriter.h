#pragma once

#include "rtf/RtfRowDef.h"
#include "rtf/RtfTableGrid.h"
#include "rtf/RtfTextRuns.h"

#include <array>
#include <memory>

class QTextTable;

// Writes the tables of the document for RtfDocumentWriter: cells are gathered a row at a time, and a table's rows
// go in together as one QTextTable once a paragraph outside it begins, on one grid of columns however the rows'
// cells differ. A table in a cell is gathered the same way, one depth deeper, and goes into its cell with the
// table that holds it. A row that the room left cannot take goes in as a line of text with tabs between the cells.
class RtfTableWriter final {
public:
    // The deepest table in a table kept; the cells of deeper ones are text in its cells.
    static constexpr int maxDepth = rtfMaxTableDepth;

    RtfTableWriter() = default;
    Q_DISABLE_COPY_MOVE(RtfTableWriter)

    // What a row may still take, and what it took.
    struct Room {
        qsizetype chars = 0;
        qsizetype pieces = 0; // blocks and runs, as RtfDocumentWriter counts them
        qsizetype cells = 0;  // cells for the layout besides those the cell ends paid for
    };

    // A paragraph of the cell being written at the depth, 1 for a table outside tables; the tables deeper than it
    // must have ended (endDeeper).
    void addParagraph(RtfParagraph paragraph, int depth);
    bool cellEmpty(int depth) const { return level(depth).cell.isEmpty(); }
    // Ends the cell being written at the depth, in a row defined as given so far.
    void endCell(int depth, const RtfRowDef &row);
    bool rowOpen() const;
    // Ends the rows and tables deeper than depth (0: all rows), as they were defined at their last cell's end;
    // each table goes into the cell that holds it. The text of a row written as text takes textFormat where its
    // own text has none. Returns what the rows took of the room.
    Room endDeeper(int depth, Room room, RtfInsertPoint &at, const QTextCharFormat &textFormat);
    // Ends the row of the cells ended at the depth since its last row, as the definition describes it.
    Room endRow(const RtfRowDef &row, int depth, Room room, RtfInsertPoint &at, const QTextCharFormat &textFormat);
    // Puts the outermost table's rows into the document.
    void close(RtfInsertPoint &at);

private:
    struct Table;
    struct Part {
        RtfParagraph paragraph;
        std::shared_ptr<const Table> table; // a table in the cell instead
    };
    using Cell = QList<Part>;
    struct TableRow {
        QList<Cell> cells;
        RtfRowDef definition;
        QList<int> edges;
    };
    struct Table {
        QList<TableRow> rows;
        QList<int> edges; // of its grid
    };
    struct Level {
        Table table;
        Cell cell;
        QList<Cell> rowCells;
        RtfRowDef openRow; // the definition of the row being written, as its last cell's end found it
    };

    static bool holdsNothing(const Cell &cell);
    Level &level(int depth) { return levels_[qBound(1, depth, maxDepth) - 1]; }
    const Level &level(int depth) const { return levels_[qBound(1, depth, maxDepth) - 1]; }
    Room writeRow(int depth, const RtfRowDef &row, Room room, RtfInsertPoint &at, const QTextCharFormat &textFormat);
    // Ends the table at the depth: the outermost goes into the document, a deeper one into its cell.
    void closeTable(int depth, RtfInsertPoint &at);
    static QList<int> leastWidths(const Table &table, const RtfTableGrid::Layout &grid);
    QTextTable *insertTable(QTextCursor &cursor, const Table &table, int availableTwips);
    void fillCell(QTextTable *table, int row, int column, const Cell &cell, bool &started, int availableTwips);
    void writeRowAsText(int depth, const QList<Cell> &cells, RtfInsertPoint &at, const QTextCharFormat &textFormat);
    // The text of the cells, apart by tabs, with the format of their first text.
    void appendText(const QList<Cell> &cells, QString &text, QTextCharFormat &format, bool &haveFormat) const;

    std::array<Level, maxDepth> levels_;
};
