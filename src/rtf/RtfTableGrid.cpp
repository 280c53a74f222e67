#include "rtf/RtfTableGrid.h"

#include "rtf/RtfTwips.h"

#include <algorithm>

namespace {

constexpr int defaultCellTwips = 1440;

int columnEnding(const QList<int> &edges, int edge)
{
    return int(std::lower_bound(edges.begin(), edges.end(), edge) - edges.begin());
}

// Whether a cell merged down into this row continues the cell above it, which must cover the same columns.
bool continues(const RtfTableGrid::Cell &above, int row, int column, int span)
{
    return above.column == column && above.columnSpan == span && above.row + above.rowSpan == row;
}

} // namespace

namespace RtfTableGrid {

QList<int> rowEdges(const RtfRowDef &definition, qsizetype cellCount)
{
    QList<int> edges;
    const qsizetype count = qMin<qsizetype>(qMax(cellCount, definition.cells.size()), maxColumns);
    edges.reserve(count);
    int left = 0;
    for (qsizetype i = 0; i < count; ++i) {
        const int right = i < definition.cells.size() ? definition.cells.at(i).rightTwips : left + defaultCellTwips;
        left = qMax(right, left + 1);
        edges.append(left);
    }
    return edges;
}

QList<int> joinedEdges(const QList<int> &grid, const QList<int> &row)
{
    QList<int> joined;
    joined.reserve(grid.size() + row.size());
    std::set_union(grid.begin(), grid.end(), row.begin(), row.end(), std::back_inserter(joined));
    return joined;
}

Layout layout(const QList<Row> &rows)
{
    Layout result;
    for (const Row &row : rows) {
        result.edges = joinedEdges(result.edges, row.edges);
    }
    QList<qsizetype> downFrom(result.edges.size(), -1); // per column: the cell that a merge down would continue
    for (int r = 0; r < rows.size(); ++r) {
        const Row &row = rows.at(r);
        QList<qsizetype> &target = result.target.emplace_back();
        qsizetype across = -1; // the cell that a merge across would widen
        int start = 0;
        for (int i = 0; i < row.edges.size(); ++i) {
            const int end = columnEnding(result.edges, row.edges.at(i)) + 1;
            const RtfCellDef def = i < row.definition->cells.size() ? row.definition->cells.at(i) : RtfCellDef{};
            const qsizetype above = downFrom.at(start);
            qsizetype shown = -1;
            if (def.across == RtfCellDef::Merge::Covered && across >= 0) {
                shown = across;
                result.cells[across].columnSpan = end - result.cells.at(across).column;
            } else if (def.down == RtfCellDef::Merge::Covered && above >= 0 &&
                       continues(result.cells.at(above), r, start, end - start)) {
                shown = above;
                ++result.cells[above].rowSpan;
            } else {
                shown = result.cells.size();
                result.cells.append(Cell{r, start, 1, end - start, i});
            }
            across = shown == above ? -1 : shown;
            for (int c = start; c < end; ++c) {
                downFrom[c] = -1;
            }
            if (shown == above || def.down == RtfCellDef::Merge::First) {
                downFrom[start] = shown;
            }
            target.append(shown);
            start = end;
        }
    }
    return result;
}

QList<QTextLength> widths(const QList<int> &edges, const QList<int> &leastTwips, int availableTwips)
{
    QList<QTextLength> result;
    const int total = edges.isEmpty() ? 0 : edges.last();
    const bool fits = total <= availableTwips;
    QList<qint64> shares;
    qint64 sum = 0;
    int left = 0;
    for (qsizetype i = 0; i < edges.size(); ++i) {
        const int right = edges.at(i);
        const qint64 width = fits ? right - left : qint64(right - left) * availableTwips / qMax(1, total);
        // A long word may still break: it never asks for more than a third of the width.
        const int least = qMax(minColumnTwips, qMin(i < leastTwips.size() ? leastTwips.at(i) : 0, availableTwips / 3));
        shares.append(qMax<qint64>(width, least));
        sum += shares.last();
        left = right;
    }
    for (const qint64 share : shares) {
        result.append(fits ? QTextLength(QTextLength::FixedLength, share / RtfTwips::perPixel)
                           : QTextLength(QTextLength::PercentageLength, 100.0 * share / qMax<qint64>(1, sum)));
    }
    return result;
}

int spanTwips(const QList<int> &edges, int first, int count, int availableTwips)
{
    if (edges.isEmpty() || first < 0 || first + count > edges.size() || count <= 0) {
        return availableTwips;
    }
    const qint64 width = edges.at(first + count - 1) - (first > 0 ? edges.at(first - 1) : 0);
    const int total = edges.last();
    return int(total <= availableTwips ? width : width * availableTwips / qMax(1, total));
}

} // namespace RtfTableGrid
