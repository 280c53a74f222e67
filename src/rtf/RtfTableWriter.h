#pragma once

#include "rtf/RtfRowDef.h"
#include "rtf/RtfTextRuns.h"

class QTextTableCell;
class QTextTableFormat;

// Writes the tables of the document for RtfDocumentWriter: cells are gathered a row at a time, and a table's rows
// go in together as one QTextTable once a paragraph outside it begins. A row that the room left cannot take goes
// in as a line of text with tabs between the cells.
class RtfTableWriter final {
public:
    RtfTableWriter() = default;
    Q_DISABLE_COPY_MOVE(RtfTableWriter)

    // What a row may still take, and what it took.
    struct Room {
        qsizetype chars = 0;
        qsizetype pieces = 0; // blocks and runs, as RtfDocumentWriter counts them
    };

    // A paragraph of the cell being written.
    void addParagraph(RtfParagraph paragraph) { cellParagraphs_.append(std::move(paragraph)); }
    bool cellEmpty() const { return cellParagraphs_.isEmpty(); }
    void endCell();
    bool rowOpen() const { return !rowCells_.isEmpty() || !cellParagraphs_.isEmpty(); }
    // Ends the row of the cells ended since the last row, as the definition describes it; the text of a row
    // written as text takes textFormat where its own text has none. Returns what the row took of the room.
    Room endRow(const RtfRowDef &row, Room room, RtfInsertPoint &at, const QTextCharFormat &textFormat);
    // Ends an unfinished row as the last row was defined.
    Room endOpenRow(Room room, RtfInsertPoint &at, const QTextCharFormat &textFormat);
    // Puts the table's rows into the document.
    void close(RtfInsertPoint &at);

private:
    using Cell = QList<RtfParagraph>;
    struct TableRow {
        QList<Cell> cells;
        RtfRowDef definition;
    };

    Room writeRow(const RtfRowDef &row, Room room, RtfInsertPoint &at, const QTextCharFormat &textFormat);
    QTextTableFormat tableFormat(const RtfRowDef &row) const;
    static void fillCell(QTextTableCell tableCell, const Cell &cell, const RtfCellDef &definition);
    void writeRowAsText(const QList<Cell> &cells, RtfInsertPoint &at, const QTextCharFormat &textFormat);

    QList<TableRow> tableRows_; // the rows of the table being written, until a paragraph outside it
    int tableColumns_ = 0;
    Cell cellParagraphs_;  // the paragraphs of the cell being written
    QList<Cell> rowCells_; // the cells of the row being written
    RtfRowDef lastRow_;
};
