#pragma once

#include "rtf/RtfKeywords.h"
#include "rtf/RtfRowDef.h"
#include "rtf/RtfTokenizer.h"

// Reads the definition of the table row being written (\trowd, \cellx and the cells' borders) from the body's
// words. The ends of cells and rows are text, which RtfTextReader writes with the row read here.
class RtfTableReader final {
public:
    RtfTableReader() = default;
    Q_DISABLE_COPY_MOVE(RtfTableReader)

    // Returns false for a word that is not one of the row's.
    bool word(RtfKeyword keyword, const RtfToken &token);
    const RtfRowDef &row() const { return row_; }

private:
    RtfRowDef row_;
    RtfCellDef pendingCell_;
    quint8 borderSide_ = 0; // the cell border that \brdr words describe now
};
