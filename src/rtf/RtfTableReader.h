#pragma once

#include "rtf/RtfKeywords.h"
#include "rtf/RtfRowDef.h"
#include "rtf/RtfTokenizer.h"

#include <array>

class RtfFormats;

// Reads the definitions of the table rows being written (\trowd, \cellx, the cells' borders, colours and merges)
// from the body's words: one row for each depth of tables in tables. The ends of cells and rows are text, which
// RtfTextReader writes with the row read here.
class RtfTableReader final {
public:
    // The deepest row kept: a row defined deeper is that row.
    static constexpr int maxDepth = rtfMaxTableDepth;

    explicit RtfTableReader(const RtfFormats &formats) : formats_(formats) {}
    Q_DISABLE_COPY_MOVE(RtfTableReader)

    // Returns false for a word that is not one of the row's. depth is how deep in tables the paragraph is that
    // the word comes in; a row defined there is the row of that depth, of the outermost table outside tables.
    bool word(RtfKeyword keyword, const RtfToken &token, int depth);
    const RtfRowDef &row(int depth) const { return rows_.at(qBound(1, depth, maxDepth) - 1); }

private:
    bool cellWord(RtfKeyword keyword, const RtfToken &token);
    bool borderWord(RtfKeyword keyword, const RtfToken &token);
    void endCellDefinition(const RtfToken &token);

    const RtfFormats &formats_;
    std::array<RtfRowDef, maxDepth> rows_;
    int defining_ = 0; // the index in rows_ of the row that the words describe
    RtfCellDef pendingCell_;
    int pattern_ = -1;           // \clcfpat: the colour of the shading's pattern
    int patternBackground_ = -1; // \clcbpat
    int shading_ = 0;            // \clshdng, in hundredths of a percent of the pattern's colour
    quint8 borderSide_ = 0;      // the cell border that \brdr words describe now
};
