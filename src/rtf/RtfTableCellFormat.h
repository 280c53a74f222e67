#pragma once

#include "rtf/RtfRowDef.h"
#include "rtf/RtfTextRuns.h"

#include <QList>
#include <QTextLength>
#include <QTextTableCellFormat>
#include <QTextTableFormat>

// The Qt formats of a table and of its cells as their definitions describe them.
namespace RtfTableCellFormat {

// A collapsed table with the columns' widths, which draws the borders its cells ask for and none of its own.
QTextTableFormat table(const QList<QTextLength> &widths);
// How wide a column must be for the paragraph's longest word to fit on a line, padding included.
int wordTwips(const RtfParagraph &paragraph);
// The cell's format with the definition's borders, their colours and its background.
QTextTableCellFormat cell(QTextTableCellFormat format, const RtfCellDef &definition);

} // namespace RtfTableCellFormat
