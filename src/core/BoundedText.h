#pragma once

#include <QString>

// The start of a text that may be too long to show: laying out a field of many megabytes would stall a window for
// minutes or crash Qt's text layout.
namespace BoundedText {

// The start of `text`, at most `length` characters and never half a surrogate pair, with "…" at the end when
// something was left off; shorter texts unchanged.
QString of(QStringView text, qsizetype length);

} // namespace BoundedText
