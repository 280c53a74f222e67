#pragma once

#include <QtGlobal>

class QTextCharFormat;

// What a document will cost the text layout of the view that shows it, estimated while it is written: the lines
// it lays out (paragraphs, line breaks, cells, rows, and the lines that its text wraps into), the table cells,
// the runs of one format, and the height of it all. The layout's time grows with each of them, and beyond a few
// million pixels of height its lazy layout slows down far faster than the document grows; the bounds keep every
// document well short of that. Each charge returns false, and charges nothing, once it would pass its bound.
class RtfLayoutBudget final {
public:
    struct Bounds {
        qsizetype lines = 0;
        qsizetype cells = 0;
        qsizetype runs = 0;
        qint64 heightPixels = 0;
    };

    explicit RtfLayoutBudget(Bounds bounds) : bounds_(bounds) {}

    // A break of any kind in the given format: a paragraph's end, a line break, a cell's or a row's end.
    bool chargeBreak(const QTextCharFormat &format);
    // Text in the given format, which wraps into lines at the view's width: returns how many of the characters fit,
    // and charges them.
    qsizetype chargeText(qsizetype characters, const QTextCharFormat &format);
    bool chargeCell();
    bool chargeRun();
    // Something as tall as a picture, on a line of its own at worst.
    bool chargeHeight(qreal pixels);

    qsizetype lines() const { return lines_; }

private:
    bool chargeLines(qsizetype count, qreal pixelsEach);

    Bounds bounds_;
    qsizetype lines_ = 0;
    qsizetype cells_ = 0;
    qsizetype runs_ = 0;
    qreal height_ = 0;
    qreal lineFill_ = 0; // how much of the current line text fills, in pixels
};
