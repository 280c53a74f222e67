#pragma once

#include <QColor>
#include <QList>
#include <QtGlobal>

#include <array>

// How deep tables in table cells go: the cells of deeper ones are text in the cells of the deepest.
constexpr int rtfMaxTableDepth = 4;

// A table row's cells as \trowd ... \cellx describe them: what the table reader gathers and the table writer lays out.
struct RtfCellDef {
    enum Border : quint8 { Top = 1, Left = 2, Bottom = 4, Right = 8 };
    // A cell merged with its neighbours: the first of them, or one that the first covers.
    enum class Merge : quint8 { None, First, Covered };

    int rightTwips = 0; // where the cell ends, from where the row starts
    quint8 borders = 0;
    int borderTwips = 0;
    std::array<QColor, 4> borderColors; // top, left, bottom, right; invalid: the side has none of its own
    QColor background;                  // invalid: none
    Merge across = Merge::None;         // with the cells beside it
    Merge down = Merge::None;           // with the cells below it
};

struct RtfRowDef {
    QList<RtfCellDef> cells;
};
