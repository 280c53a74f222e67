#pragma once

#include <QRectF>

class QPainter;
class QTextDocument;

// The leaders of tab stops (dots, hyphens or a line from the text before a tab to the text after it, as in
// "Keeping passwords.....1"), which Qt's text layout does not draw. The RTF reader keeps them in a block property.
namespace tabLeaders {

// Draws the leaders of the blocks that lie in area, given in the document's coordinates.
void paint(QPainter &painter, const QTextDocument &document, const QRectF &area);

} // namespace tabLeaders
