#include "ui/TabLeaders.h"

#include "rtf/RtfFormats.h"

#include <QAbstractTextDocumentLayout>
#include <QFontMetricsF>
#include <QPainter>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

#include <cmath>

namespace {

constexpr qreal gap = 2;        // between the text and its leader
constexpr qreal dotSpacing = 4; // dots sit on a grid, so that the dots of lines below each other line up

// The stop that a tab starting at x reached: Qt takes the first one past x, measured from the line's start, in
// 1/64 pixel. -1 where the tab went on to a default stop, which has no leader.
int stopReached(const QList<QTextOption::Tab> &stops, qreal x)
{
    const auto fixed = [](qreal value) { return qRound(value * 64); };
    for (qsizetype i = 0; i < stops.size(); ++i) {
        if (fixed(stops.at(i).position) > fixed(x)) {
            return int(i);
        }
    }
    return -1;
}

void drawLeader(QPainter &painter, QChar leader, qreal from, qreal to, qreal baseline, qreal xHeight)
{
    if (leader == u'_') {
        painter.drawLine(QPointF(from, baseline + 0.5), QPointF(to, baseline + 0.5));
    } else if (leader == u'=') {
        painter.fillRect(QRectF(from, baseline - 1, to - from, 2), painter.pen().color());
    } else if (leader == u'-') {
        for (qreal x = std::ceil(from / (2 * dotSpacing)) * 2 * dotSpacing; x + dotSpacing <= to; x += 2 * dotSpacing) {
            painter.drawLine(QPointF(x, baseline - xHeight / 2), QPointF(x + dotSpacing, baseline - xHeight / 2));
        }
    } else {
        const qreal y = leader == u'.' ? baseline - 1 : baseline - xHeight / 2;
        for (qreal x = std::ceil(from / dotSpacing) * dotSpacing; x + 1 <= to; x += dotSpacing) {
            painter.fillRect(QRectF(x, y, 1, 1), painter.pen().color());
        }
    }
}

void paintBlock(QPainter &painter, const QTextBlock &block, const QString &leaders, QPointF origin)
{
    const QTextLayout *layout = block.layout();
    const QList<QTextOption::Tab> stops = block.blockFormat().tabPositions();
    if (layout == nullptr || block.textDirection() == Qt::RightToLeft) {
        return;
    }
    const QString text = block.text();
    for (qsizetype i = text.indexOf(u'\t'); i >= 0; i = text.indexOf(u'\t', i + 1)) {
        const QTextLine line = layout->lineForTextPosition(int(i));
        if (!line.isValid()) {
            continue;
        }
        const qreal start = line.cursorToX(int(i));
        const int stop = stopReached(stops, start - line.x());
        const QChar leader = stop >= 0 && stop < leaders.size() ? leaders.at(stop) : QChar(u' ');
        const qreal end = line.cursorToX(int(i + 1));
        if (leader == u' ' || end - start <= 2 * gap) {
            continue;
        }
        const qreal baseline = origin.y() + line.y() + line.ascent();
        const qreal xHeight = QFontMetricsF(layout->font()).xHeight();
        drawLeader(painter, leader, origin.x() + start + gap, origin.x() + end - gap, baseline, xHeight);
    }
}

} // namespace

void tabLeaders::paint(QPainter &painter, const QTextDocument &document, const QRectF &area)
{
    QAbstractTextDocumentLayout *layout = document.documentLayout();
    const int first = layout->hitTest(area.topLeft(), Qt::FuzzyHit);
    for (QTextBlock block = document.findBlock(qMax(0, first)); block.isValid(); block = block.next()) {
        // The layout goes down the document: a block that has no lines yet, and all after it, are not shown yet.
        const QRectF rect = layout->blockBoundingRect(block);
        if (rect.top() > area.bottom() || block.layout() == nullptr || block.layout()->lineCount() == 0) {
            break;
        }
        const QString leaders = block.blockFormat().property(rtfTabLeadersProperty).toString();
        if (!leaders.isEmpty() && rect.intersects(area)) {
            paintBlock(painter, block, leaders, rect.topLeft());
        }
    }
}
