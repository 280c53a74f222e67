#pragma once

#include <QtGlobal>

#include <limits>

class QTextCharFormat;

// What a document will cost the text layout of the view that shows it, estimated while it is written: the lines
// it lays out (paragraphs, line breaks, cells, rows, and the lines that its text wraps into), the table cells,
// the runs of one format, and the height of it all. The layout's time grows with each of them, and beyond a few
// million pixels of height its lazy layout slows down far faster than the document grows; the bounds keep every
// document well short of that. Each charge returns false, and charges nothing, once it would pass its bound.
class RtfLayoutBudget final {
public:
    // Unbounded unless set; helpView() gives what the help view's layout does in about a second.
    struct Bounds {
        qsizetype lines = std::numeric_limits<qsizetype>::max();
        qsizetype cells = std::numeric_limits<qsizetype>::max();
        qsizetype runs = std::numeric_limits<qsizetype>::max(); // runs of one format, pictures included
        // Characters laid out: a long paragraph is laid out in one piece, and its glyphs take memory besides.
        qsizetype characters = std::numeric_limits<qsizetype>::max();
        qint64 heightPixels = std::numeric_limits<qint64>::max();
        // Past this many characters without a space a word gets a zero-width space, where the layout can break it
        // at no cost: otherwise it looks for the view's edge over the rest of the word for every line. 0: never.
        qsizetype unbrokenChars = 0;

        static Bounds helpView() { return {50'000, 8'000, 100'000, 2'000'000, 1'000'000, 200}; }
    };

    explicit RtfLayoutBudget(Bounds bounds) : bounds_(bounds) {}

    // A break of any kind in the given format: a paragraph's end, a line break, a cell's or a row's end.
    bool chargeBreak(const QTextCharFormat &format);
    // Text in the given format, which wraps into lines at the view's width: returns how many of the characters fit,
    // and charges them.
    qsizetype chargeText(qsizetype characters, const QTextCharFormat &format);
    bool chargeCell();
    // Cells that a table's grid adds besides those that ended in the file.
    qsizetype cellsLeft() const { return bounds_.cells - cells_; }
    void chargeCells(qsizetype count) { cells_ += qBound<qsizetype>(0, count, cellsLeft()); }
    bool chargeRun();
    // Something as tall as a picture, on a line of its own at worst.
    bool chargeHeight(qreal pixels);

    const Bounds &bounds() const { return bounds_; }

private:
    bool chargeLines(qsizetype count, qreal pixelsEach);

    Bounds bounds_;
    qsizetype lines_ = 0;
    qsizetype cells_ = 0;
    qsizetype runs_ = 0;
    qsizetype characters_ = 0;
    qreal height_ = 0;
    qreal lineFill_ = 0; // how much of the current line text fills, in pixels
};
