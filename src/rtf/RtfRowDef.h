#pragma once

#include <QList>
#include <QtGlobal>

// A table row's cells as \trowd ... \cellx describe them: what the table reader gathers and the table writer lays out.
struct RtfCellDef {
    enum Border : quint8 { Top = 1, Left = 2, Bottom = 4, Right = 8 };

    int rightTwips = 0; // where the cell ends, from where the row starts
    quint8 borders = 0;
    int borderTwips = 0;
};

struct RtfRowDef {
    QList<RtfCellDef> cells;
};
