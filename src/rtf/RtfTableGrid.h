#pragma once

#include "rtf/RtfRowDef.h"

#include <QList>
#include <QTextLength>

// Lays a table's rows out on one grid of columns: the columns' edges are the union of the rows' cell edges, and
// each cell spans the columns between its edges. Merged cells (\clmgf/\clmrg across, \clvmgf/\clvmrg down)
// become one cell that spans them all.
namespace RtfTableGrid {

// The most columns a grid has: a row that would pass it starts a new table.
constexpr int maxColumns = 64;
// The text's width on a usual page, and the least a column is given: a wider table is scaled down to it.
constexpr int textTwips = 9360;
constexpr int minColumnTwips = 360;

struct Row {
    const RtfRowDef *definition = nullptr;
    QList<int> edges; // where each of its cells ends, rising
};

struct Cell {
    int row = 0;
    int column = 0;
    int rowSpan = 1;
    int columnSpan = 1;
    int definition = 0; // the index of its definition in its row
};

struct Layout {
    QList<int> edges;               // where each column ends
    QList<Cell> cells;              // the cells shown, row by row
    QList<QList<qsizetype>> target; // for each row's cells: the index of the cell shown that takes its content
};

// Where the cells of a row with this definition end: a cell past the definitions is an inch wide, and every
// cell is wider than the one before it ends.
QList<int> rowEdges(const RtfRowDef &definition, qsizetype cellCount);
// The edges of a grid with the row's added.
QList<int> joinedEdges(const QList<int> &grid, const QList<int> &row);
Layout layout(const QList<Row> &rows);
// The columns' widths: in pixels where the table fits the width given, else as shares of the view's width. No
// column is narrower than minColumnTwips, nor than its least width given (its longest word; 0: none).
QList<QTextLength> widths(const QList<int> &edges, const QList<int> &leastTwips, int availableTwips);
// How wide a column range is once the widths fit the width given.
int spanTwips(const QList<int> &edges, int first, int count, int availableTwips);

} // namespace RtfTableGrid
